#pragma once

// The main window holds all of the program's state in its controls: the four text fields, the
// sorted source list and the title list, and the music kind with its extension table. Each
// command is a handler here that checks its input, asks the window-free core (listing, titles,
// rename, copy) to do the work, and reports through the message catalogue. Anything that waits
// on a person goes through UserInteraction.

#include "core/MessageCatalogue.h"
#include "core/copy/CopyJob.h"
#include "core/listing/SourceListing.h"
#include "core/rename/RenameJob.h"
#include "core/settings/StatePaths.h"
#include "ui/UserInteraction.h"

#include <QMainWindow>

#include <array>
#include <memory>
#include <optional>

class QAction;
class QCloseEvent;
class QDragEnterEvent;
class QDropEvent;
class QLabel;
class QLineEdit;
class QMenu;
class QMoveEvent;
class QPushButton;
class QShowEvent;
class QToolButton;

namespace meloport {

namespace platform {
class InstanceLock;
}

class DlgCopy;
class ListBox;

class frmMain final : public QMainWindow {
    Q_OBJECT
public:
    // With the current user's settings and single-instance lock.
    explicit frmMain(UserInteraction &interaction, QWidget *parent = nullptr);
    // With the settings and the lock at other places (tests use temporary ones).
    frmMain(UserInteraction &interaction, StatePaths statePaths, QWidget *parent = nullptr);
    ~frmMain() override;

    // Runs before the window is first shown. False when the program must end at once.
    bool Form_Load();
    // Runs when the window closes.
    void Form_Unload();

    // Puts the check mark on the current kind's menu item only.
    void UpdateKindMenu();
    // Replaces the source list by the folder's files of the current kind.
    void ListSourceMusic(const QString &folder);
    // Puts `folder` in TextPath and lists it, as the folder button does; says so when it is not a
    // folder. For a folder named on the command line or dropped on the window.
    void OpenSourceFolder(const QString &folder);
    // Shows a catalogue message in a modal box.
    void ShowMessage(Msg number);
    void ShowMessage(const Message &message);
    // Asks a catalogue question (はい/いいえ); true for はい.
    bool AskQuestion(const Message &question, DefaultAnswer defaultAnswer = DefaultAnswer::No);

    // InstalledDir followed by the help file's name, as start-up set it.
    const QString &helpFilePath() const { return m_helpFilePath; }

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
    QAction *cmdUndo = nullptr;
    QMenu *cmdKind = nullptr;
    QAction *cmdWav = nullptr;
    QAction *cmdMP3 = nullptr;
    QAction *cmdWMA = nullptr;
    QAction *cmdFLAC = nullptr;
    QAction *cmdM4A = nullptr;
    QAction *cmdOGG = nullptr;
    QAction *cmdOPUS = nullptr;
    QAction *Sep2 = nullptr;
    // Checked: the rename puts each file's track number before its title.
    QAction *cmdTrackNumbers = nullptr;
    QMenu *cmdHelp = nullptr;
    QAction *cmdContents = nullptr;
    QAction *cmdUpdate = nullptr;
    QAction *Sep1 = nullptr;
    QAction *cmdAbout = nullptr;
    // In the title list's context menu, and Ctrl+V while the list has the focus.
    QAction *cmdPaste = nullptr;
    // In the ﾌｧｲﾙ menu and the title list's context menu.
    QAction *cmdTagTitles = nullptr;

protected:
    void closeEvent(QCloseEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void moveEvent(QMoveEvent *event) override;
    // A folder dropped on the window is listed, a title file is loaded; nothing else is taken.
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dropEvent(QDropEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // True while a copy runs: commands that would change its lists or files are then ignored.
    bool isCopying() const { return m_copy.isRunning(); }
    void stopCopyForClose();

    void createControls();
    void createMenus();
    void connectCommands();
    int twips(int value) const;

    void LoadWindowSettings();
    void SaveWindowSettings();
    void applyRestoredFrameSize();

    // The current kind's extension, from the extension table.
    const QString &kindExtension() const;
    void selectKind(qint16 kind);
    void cmdWav_Click();
    void cmdMP3_Click();
    void cmdWMA_Click();
    void cmdFLAC_Click();
    void cmdM4A_Click();
    void cmdOGG_Click();
    void cmdOPUS_Click();
    // Kept at once: the choice outlives a crash and a close while minimized.
    void cmdTrackNumbers_Click();
    // The kind menu's items, indexed by kind.
    std::array<QAction *, kKindCount> kindItems() const;

    void CommandBrowsePath_Click();
    void CommandBrowseFile_Click();
    void CommandLoad_Click();
    void CommandAdd_Click();
    void CommandDel_Click();
    void createPasteCommand();
    // Replaces the title list by the clipboard's lines, offering to take off track numbers and
    // playing times.
    void cmdPaste_Click();
    void createTagTitlesCommand();
    // Replaces the title list by the listed files' title tags; a file without one keeps its name.
    void cmdTagTitles_Click();
    void CommandRunAll_Click();
    // Enabled while a record of the last rename exists, even from an earlier run or from the
    // command line, unless that very record was found damaged.
    void UpdateUndoMenu();
    void cmdUndo_Click();
    // The file-open dialog of the title file. It lives as long as the window, so that it opens
    // again at the path last chosen.
    OpenFileRequest CommonDialogFile{QStringLiteral("曲名ﾌｧｲﾙを選択"), QStringLiteral("曲名ﾌｧｲﾙ (*.txt)"),
                                     QStringLiteral("txt"), QStringLiteral("曲名ﾌｧｲﾙ")};

    void CommandCopyDst_Click();
    void cmdCopy_Click();
    // Files and folders dropped on the window or on a text field.
    void acceptDroppedPaths();
    // Answers a drag or a drop that would open a folder or a title file; false for any other.
    bool takeDrop(QDropEvent *event);

    void cmdContents_Click();
    void cmdUpdate_Click();
    void cmdAbout_Click();
    // F1 anywhere in the window: help on the main window.
    void helpKey_Pressed();
    // Opens the help file at `topic`, or says where it was looked for when it is missing.
    void openHelp(int topic);

    UserInteraction &m_interaction;
    // What the source list shows: the folder it was read from and each file's exact name.
    MusicListing m_listing;
    // The copy's progress dialog, made for the first copy and kept for the next ones.
    DlgCopy *m_dlgCopy = nullptr;
    // Set at start-up from InstalledDir and the help file's name, then never changed.
    QString m_helpFilePath;
    StatePaths m_statePaths;
    UndoCommand m_undo{m_statePaths.renameJournal};
    CopyJob m_copy;
    // Held from start-up to the end of the program.
    std::unique_ptr<platform::InstanceLock> m_instanceLock;
    // Only a window whose load event ran to its end saves its place when it closes.
    bool m_loaded = false;
    // A restored outer size waits here until the window manager has put its frame around the
    // window: only then does it tell how large the inside must be.
    std::optional<QSize> m_restoredFrameSize;
};

} // namespace meloport
