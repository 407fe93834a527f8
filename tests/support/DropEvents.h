#pragma once

#include <QCoreApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QUrl>
#include <QWidget>

// Drags `data` onto `target` at `at` and drops it there. The drop is sent even when the drag
// was refused, so that a test also sees what a drop alone would do. True when both were accepted.
inline bool dropOn(QWidget *target, const QMimeData &data, QPoint at, Qt::DropAction action = Qt::CopyAction)
{
    QDragEnterEvent enter(at, action, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &enter);
    QDropEvent drop(QPointF(at), action, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &drop);
    return enter.isAccepted() && drop.isAccepted();
}

// Drags `urls` (and `text`, as some file managers add) onto `target` and drops them there, as a
// file manager would; X11 tools cannot drag between programs.
inline bool dropOn(QWidget *target, const QList<QUrl> &urls, const QString &text = {})
{
    QMimeData data;
    data.setUrls(urls);
    if (!text.isEmpty())
        data.setText(text);
    return dropOn(target, data, target->rect().center());
}
