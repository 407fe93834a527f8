#pragma once

#include "ui/UserInteraction.h"

#include <memory>

namespace meloport {

class HelpViewer;

// The real dialogs and the desktop's services.
class QtUserInteraction final : public UserInteraction {
public:
    QtUserInteraction();
    ~QtUserInteraction() override;

    void showMessage(QWidget *owner, MessageIcon icon, const QString &caption, const QString &text) override;
    bool askQuestion(QWidget *owner, const QString &caption, const QString &text,
                     DefaultAnswer defaultAnswer) override;
    QString browseForFolder(QWidget *owner, const QString &startFolder, const QString &title) override;
    std::optional<QString> getOpenFileName(QWidget *owner, const OpenFileRequest &request) override;
    bool openUrl(const QUrl &url) override;
    void showHelp(QWidget *owner, const QString &helpFile, int topic) override;
    void closeHelp() override;
    void showModal(QDialog &dialog) override;

private:
    std::unique_ptr<HelpViewer> m_helpViewer; // made on first use, then reused
};

} // namespace meloport
