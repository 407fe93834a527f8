#pragma once

// The main window holds all of the program's state in its controls: the four text fields, the
// sorted source list and the title list, and the music kind with its extension table. Each
// command is a handler here that checks its input, asks the window-free core (listing, titles,
// rename, copy) to do the work, and reports through the message catalogue. Anything that waits
// on a person goes through UserInteraction.

#include "app/MessageCatalogue.h"
#include "rename/SourceListing.h"

#include <QMainWindow>

class QAction;
class QCloseEvent;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QToolButton;

namespace meloport {

class DlgCopy;
class ListBox;
class UserInteraction;

class frmMain final : public QMainWindow {
    Q_OBJECT
public:
    explicit frmMain(UserInteraction &interaction, QWidget *parent = nullptr);
    ~frmMain() override;

    // Runs before the window is first shown. False when the program must end at once.
    bool Form_Load();
    // Runs when the window closes.
    void Form_Unload();

    // Puts the check mark on the current kind's menu item only.
    void UpdateKindMenu();
    // Replaces the source list by the folder's files of the current kind.
    void ListSourceMusic(const QString &folder);
    // Shows a catalogue message in a modal box.
    void ShowMessage(Msg number);

    // The current kind and its extension table.
    qint16 mnKind = KindWav;
    KindExtensionTable msKindExt;

    QLabel *LabelPath = nullptr;
    QLineEdit *TextPath = nullptr;
    QPushButton *CommandBrowsePath = nullptr;
    QLabel *LabelFile = nullptr;
    QLineEdit *TextFile = nullptr;
    QPushButton *CommandBrowseFile = nullptr;
    QLabel *LabelName = nullptr;
    QLineEdit *TextName = nullptr;
    QPushButton *CommandAdd = nullptr;
    QPushButton *CommandDel = nullptr;
    QLabel *LabelCopyDst = nullptr;
    QLineEdit *TextCopyDst = nullptr;
    QPushButton *CommandCopyDst = nullptr;
    ListBox *ListSrcMusic = nullptr;
    ListBox *ListDstMusic = nullptr;
    QToolButton *CommandRunAll = nullptr;
    QLabel *LabelSrc = nullptr;
    QLabel *LabelDst = nullptr;
    QPushButton *CommandLoad = nullptr;

    QMenu *cmdFile = nullptr;
    QAction *cmdCopy = nullptr;
    QMenu *cmdKind = nullptr;
    QAction *cmdWav = nullptr;
    QAction *cmdMP3 = nullptr;
    QAction *cmdWMA = nullptr;
    QMenu *cmdHelp = nullptr;
    QAction *cmdContents = nullptr;
    QAction *cmdUpdate = nullptr;
    QAction *Sep1 = nullptr;
    QAction *cmdAbout = nullptr;

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    // True while a copy runs: commands that would change its lists or files are then ignored.
    bool isCopying() const { return m_copying; }
    void stopCopyForClose();

    void createControls();
    void createMenus();
    void connectCommands();
    int twips(int value) const;

    void selectKind(qint16 kind);
    void cmdWav_Click();
    void cmdMP3_Click();
    void cmdWMA_Click();

    void CommandBrowsePath_Click();
    void CommandBrowseFile_Click();
    void CommandLoad_Click();
    void CommandAdd_Click();
    void CommandDel_Click();
    void CommandRunAll_Click();
    void CommandCopyDst_Click();
    void cmdCopy_Click();
    void CopyAll();
    void cmdContents_Click();
    void cmdUpdate_Click();
    void cmdAbout_Click();

    UserInteraction &m_interaction;
    bool m_copying = false;
    // The copy's progress dialog, made for the first copy and kept for the next ones.
    DlgCopy *m_dlgCopy = nullptr;
    // Set at start-up from InstalledDir and the help file's name, then never changed.
    QString m_helpFilePath;
};

} // namespace meloport
