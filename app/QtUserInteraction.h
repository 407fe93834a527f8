#pragma once

#include "app/UserInteraction.h"

namespace meloport {

// The real dialogs and the desktop's services.
class QtUserInteraction final : public UserInteraction {
public:
    void showMessage(QWidget *owner, MessageIcon icon, const QString &caption, const QString &text) override;
    QString browseForFolder(QWidget *owner, const QString &startFolder, const QString &title) override;
    std::optional<QString> getOpenFileName(QWidget *owner, const OpenFileRequest &request) override;
    bool openUrl(const QUrl &url) override;
    void showHelp(QWidget *owner, const QString &helpFile, int topic) override;
    void closeHelp() override;
    void showModal(QDialog &dialog) override;
};

} // namespace meloport
