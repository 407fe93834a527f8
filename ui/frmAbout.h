#pragma once

#include "ui/HLMgr.h"

#include <QDialog>

class QLabel;
class QPushButton;
class QTextEdit;

namespace meloport {

class UserInteraction;

// The about box: the icon, the product's title, the version and copyright lines, and the home
// page's address as a link that opens in the web browser. It loads when it is built and unloads
// when it closes; while it is loaded its link is live.
class frmAbout final : public QDialog {
    Q_OBJECT
public:
    explicit frmAbout(UserInteraction &interaction, QWidget *owner = nullptr);
    ~frmAbout() override;

    QPushButton *cmdOK = nullptr;
    QLabel *picIcon = nullptr;
    QLabel *lblTitle = nullptr;
    QLabel *lblVersion = nullptr;
    QLabel *lblCopyright = nullptr;
    QTextEdit *RichTextBoxURL = nullptr;

protected:
    // Every way of closing the box (the button, Enter, Esc, the title bar) ends here.
    void done(int result) override;

private:
    void createControls();
    void fitLinesToText();
    int twips(int value) const;

    void Form_Load();
    void Form_Unload();
    void cmdOK_Click();

    UserInteraction &m_interaction;
    HLMgr m_hyperlinks;
};

} // namespace meloport
