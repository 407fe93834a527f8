#pragma once

#include <QList>
#include <QString>
#include <QUrl>

#include <optional>

namespace meloport {

// What a path handed to the window from outside opens: a folder to list or a title file to load.
struct OpenedPath {
    enum class Kind { None, Folder, TitleFile };
    Kind kind = Kind::None;
    QString path; // absolute
};

// What dropped items open: one local folder, or one local plain-text file (by its name, or by its
// content when the name tells nothing). Several items at once would leave open which one the
// person meant; anything else opens nothing.
OpenedPath droppedPath(const QList<QUrl> &urls);

// The folder a path names, absolute: "." or "../Album" typed in a terminal names a folder only as
// long as the program stays where it started. Nothing when it names no folder.
std::optional<QString> folderToOpen(const QString &path);

} // namespace meloport
