#pragma once

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
    struct ShownMessage {
        meloport::MessageIcon icon;
        QString caption;
        QString text;
    };

    QList<ShownMessage> messages;
    QStringList questions;
    QQueue<bool> questionAnswers; // none left: the default, as Enter would answer
    QList<meloport::DefaultAnswer> questionDefaults;
    QStringList folderStarts;        // start folder of each folder picker
    QStringList folderTitles;
    QQueue<QString> folderAnswers;   // "" answers a cancel
    QList<meloport::OpenFileRequest> fileRequests;
    QQueue<std::optional<QString>> fileAnswers;
    QList<QUrl> openedUrls;
    bool openUrlSucceeds = true;
    QList<QPair<QString, int>> helpShown;
    int helpClosed = 0;
    QList<QPair<QString, QWidget *>> modalDialogs; // object name and owner of each

    QStringList messageTexts() const
    {
        QStringList texts;
        for (const ShownMessage &m : messages)
            texts.append(m.text);
        return texts;
    }

    void showMessage(QWidget *, meloport::MessageIcon icon, const QString &caption, const QString &text) override
    {
        messages.append({icon, caption, text});
    }
    bool askQuestion(QWidget *, const QString &, const QString &text, meloport::DefaultAnswer defaultAnswer) override
    {
        questions.append(text);
        questionDefaults.append(defaultAnswer);
        if (questionAnswers.isEmpty())
            return defaultAnswer == meloport::DefaultAnswer::Yes;
        return questionAnswers.dequeue();
    }
    QString browseForFolder(QWidget *, const QString &startFolder, const QString &title) override
    {
        folderStarts.append(startFolder);
        folderTitles.append(title);
        return folderAnswers.isEmpty() ? QString() : folderAnswers.dequeue();
    }
    std::optional<QString> getOpenFileName(QWidget *, const meloport::OpenFileRequest &request) override
    {
        fileRequests.append(request);
        return fileAnswers.isEmpty() ? std::nullopt : fileAnswers.dequeue();
    }
    bool openUrl(const QUrl &url) override
    {
        openedUrls.append(url);
        return openUrlSucceeds;
    }
    void showHelp(QWidget *, const QString &helpFile, int topic) override { helpShown.append({helpFile, topic}); }
    void closeHelp() override { ++helpClosed; }
    void showModal(QDialog &dialog) override { modalDialogs.append({dialog.objectName(), dialog.parentWidget()}); }
};
