#pragma once

#include "core/MessageCatalogue.h"

#include <QString>
#include <QUrl>

#include <optional>

class QDialog;
class QWidget;

namespace meloport {

// The answer that Enter gives to a question. Esc always answers いいえ.
enum class DefaultAnswer { No, Yes };

// What the file-open dialog is asked to show.
struct OpenFileRequest {
    QString title;
    QString filter;        // as Qt writes it: "Name (*.txt)"
    QString defaultSuffix; // appended to a typed name without one
    QString fileName;      // preset name or last chosen path
};

// Everything that waits on a person or hands work to another program goes through here. The
// program installs QtUserInteraction; tests install a recorder, so no test waits on a window.
class UserInteraction {
public:
    virtual ~UserInteraction() = default;

    // A modal box with one OK button; returns when it is closed.
    virtual void showMessage(QWidget *owner, MessageIcon icon, const QString &caption, const QString &text) = 0;

    // A modal question with the buttons はい(Y) and いいえ(N); いいえ is Esc's answer. True only for はい.
    virtual bool askQuestion(QWidget *owner, const QString &caption, const QString &text,
                             DefaultAnswer defaultAnswer) = 0;

    // A modal folder picker preselecting `startFolder` unless it is empty. "" on cancel.
    virtual QString browseForFolder(QWidget *owner, const QString &startFolder, const QString &title) = 0;

    // A modal file-open dialog. The confirmed path, or nothing on cancel.
    virtual std::optional<QString> getOpenFileName(QWidget *owner, const OpenFileRequest &request) = 0;

    // Hands an address to the desktop (the default web browser for a web page).
    virtual bool openUrl(const QUrl &url) = 0;

    // Shows the help file at a topic (0: its contents), and closes it again.
    virtual void showHelp(QWidget *owner, const QString &helpFile, int topic) = 0;
    virtual void closeHelp() = 0;

    // Shows a dialog modally over its owner; returns when it has been closed.
    virtual void showModal(QDialog &dialog) = 0;
};

} // namespace meloport
