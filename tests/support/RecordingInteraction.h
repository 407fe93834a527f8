#pragma once

#include "support/MessageFamily.h"
#include "ui/UserInteraction.h"

#include <QDialog>
#include <QList>
#include <QQueue>
#include <QStringList>
#include <QUrl>

// Stands in for every dialog: records what the program asked for and answers from queues that
// a test fills beforehand.
class RecordingInteraction final : public meloport::UserInteraction {
public:
    // Messages and questions in turn, by catalogue number: "203", "? 220".
    QStringList said;
    QStringList texts; // of the messages
    QQueue<bool> questionAnswers; // none left: the default, as Enter would answer
    QStringList folderStarts;      // start folder of each folder picker
    QQueue<QString> folderAnswers; // "" answers a cancel
    QList<QUrl> openedUrls;
    bool openUrlSucceeds = true;
    QList<QPair<QString, int>> helpShown;
    int helpClosed = 0;
    QList<QPair<QString, QWidget *>> modalDialogs; // object name and owner of each

    void showMessage(QWidget *, meloport::MessageIcon, const QString &, const QString &text) override
    {
        said.append(QString::number(messageNumber(text)));
        texts.append(text);
    }
    bool askQuestion(QWidget *, const QString &, const QString &text, meloport::DefaultAnswer defaultAnswer) override
    {
        said.append(QStringLiteral("? ") + QString::number(messageNumber(text)));
        return questionAnswers.isEmpty() ? defaultAnswer == meloport::DefaultAnswer::Yes : questionAnswers.dequeue();
    }
    QString browseForFolder(QWidget *, const QString &startFolder, const QString &) override
    {
        folderStarts.append(startFolder);
        return folderAnswers.isEmpty() ? QString() : folderAnswers.dequeue();
    }
    std::optional<QString> getOpenFileName(QWidget *, const meloport::OpenFileRequest &) override { return {}; }
    bool openUrl(const QUrl &url) override
    {
        openedUrls.append(url);
        return openUrlSucceeds;
    }
    void showHelp(QWidget *, const QString &helpFile, int topic) override { helpShown.append({helpFile, topic}); }
    void closeHelp() override { ++helpClosed; }
    void showModal(QDialog &dialog) override { modalDialogs.append({dialog.objectName(), dialog.parentWidget()}); }
};
