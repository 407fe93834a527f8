#include "ui/frmMain.h"

#include "core/about/DefHomeUrl.h"
#include "core/about/HelpFile.h"
#include "ui/frmAbout.h"
#include "ui/ApplicationIcon.h"
#include "core/Common.h"
#include "ui/ListBox.h"
#include "core/Product.h"
#include "core/settings/SettingsStore.h"
#include "core/settings/WindowGeometry.h"
#include "platform/Platform.h"
#include "core/Twips.h"
#include "ui/UserInteraction.h"
#include "ui/DlgCopy.h"
#include "core/titles/PastedTitles.h"
#include "core/rename/RenameMessages.h"
#include "core/rename/RenameBatch.h"
#include "core/rename/RenameJob.h"
#include "core/rename/TitleMarks.h"
#include "core/titles/TitleFile.h"
#include "core/listing/OpenedPath.h"
#include "core/tags/TagTitles.h"

#include <QAction>
#include <QClipboard>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QDir>
#include <QEvent>
#include <QGuiApplication>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMimeData>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QToolButton>
#include <QWindow>

#include <utility>

namespace meloport {

namespace {

// The window's side of a rename or undo: message boxes.
class WindowDialog final : public JobDialog {
public:
    explicit WindowDialog(frmMain &window)
        : m_window(window)
    {
    }
    void tell(const Message &message) override { m_window.ShowMessage(message); }
    bool ask(const Message &question) override { return m_window.AskQuestion(question); }

private:
    frmMain &m_window;
};

// The window as designed, in twips: the client area below the menu bar, and every control in
// tab order.
constexpr QRect kDesignClientArea(3420, 1980, 8025, 7710);
constexpr int kPictureSize = 32;

enum class Kind { Label, Text, PictureButton, List, RunButton, Button };

struct ControlRow {
    Kind kind;
    QStringView name;
    QStringView caption;
    QRect place;
    QStringView picture = {};
    QStringView toolTip = {};
};

constexpr QStringView kFolderPicture = u":/meloport/folder.bmp";
constexpr QStringView kFolderTip = u"フォルダを選択します";
constexpr QStringView kFolderPickerTitle = u"フォルダを選択してください";

const ControlRow kControls[] = {
    {Kind::Label, u"LabelPath", u"ﾊﾟｽ名(&P):", {120, 360, 1095, 255}},
    {Kind::Text, u"TextPath", {}, {1560, 240, 4335, 375}},
    {Kind::PictureButton, u"CommandBrowsePath", {}, {6000, 240, 855, 615}, kFolderPicture, kFolderTip},
    {Kind::Label, u"LabelFile", u"曲名ﾌｧｲﾙ名(&F):", {120, 1080, 1335, 375}},
    {Kind::Text, u"TextFile", {}, {1560, 960, 4335, 375}},
    {Kind::PictureButton, u"CommandBrowseFile", {}, {6000, 840, 855, 735}, u":/meloport/titlefile.bmp",
     u"曲名ファイルを選択します"},
    {Kind::Label, u"LabelName", u"曲名(&N):", {120, 1800, 1335, 255}},
    {Kind::Text, u"TextName", {}, {1560, 1680, 4335, 375}},
    {Kind::PictureButton, u"CommandAdd", {}, {6000, 1560, 855, 735}, u":/meloport/add.bmp", u"変換後曲名一覧に追加"},
    {Kind::PictureButton, u"CommandDel", {}, {6840, 1560, 855, 735}, u":/meloport/delete.bmp",
     u"変換後曲名一覧から削除"},
    {Kind::Label, u"LabelCopyDst", u"ｺﾋﾟｰ先ﾊﾟｽ名(&A):", {120, 2520, 1335, 255}},
    {Kind::Text, u"TextCopyDst", {}, {1560, 2400, 4335, 375}},
    {Kind::PictureButton, u"CommandCopyDst", {}, {6000, 2280, 855, 615}, kFolderPicture, kFolderTip},
    {Kind::List, u"ListSrcMusic", {}, {360, 3480, 3615, 2580}},
    {Kind::List, u"ListDstMusic", {}, {4080, 3480, 3615, 2580}},
    {Kind::RunButton, u"CommandRunAll", u"変更(&R)", {3360, 6240, 1335, 1095}},
    {Kind::Label, u"LabelSrc", u"変換前曲名一覧(&S):", {360, 3120, 1575, 255}},
    {Kind::Label, u"LabelDst", u"変換後曲名一覧(&D):", {4080, 3120, 1575, 255}},
    {Kind::Button, u"CommandLoad", u"読込み(&L)", {6960, 960, 975, 495}},
};

// A label whose mnemonic only moves the focus to its buddy. QLabel would also press a buddy
// that is a button, and Alt+S must not load the title file.
class MnemonicLabel final : public QLabel {
public:
    using QLabel::QLabel;

protected:
    bool event(QEvent *event) override
    {
        if (event->type() == QEvent::Shortcut && buddy()) {
            buddy()->setFocus(Qt::ShortcutFocusReason);
            return true;
        }
        return QLabel::event(event);
    }
};

QWidget *createControl(const ControlRow &row, QWidget *parent)
{
    QWidget *widget = nullptr;
    switch (row.kind) {
    case Kind::Label:
        widget = new MnemonicLabel(row.caption.toString(), parent);
        break;
    case Kind::Text:
        widget = new QLineEdit(parent);
        break;
    case Kind::PictureButton: {
        auto *button = new QPushButton(parent);
        button->setIcon(QIcon(row.picture.toString()));
        button->setIconSize(QSize(kPictureSize, kPictureSize));
        button->setToolTip(row.toolTip.toString());
        widget = button;
        break;
    }
    case Kind::List:
        widget = new ListBox(parent);
        break;
    case Kind::RunButton: {
        auto *button = new QToolButton(parent);
        button->setText(row.caption.toString());
        button->setIcon(applicationIcon());
        button->setIconSize(QSize(kPictureSize, kPictureSize));
        button->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
        button->setFocusPolicy(Qt::StrongFocus);
        widget = button;
        break;
    }
    case Kind::Button:
        widget = new QPushButton(row.caption.toString(), parent);
        break;
    }
    widget->setObjectName(row.name.toString());
    return widget;
}

} // namespace

frmMain::frmMain(UserInteraction &interaction, QWidget *parent)
    : frmMain(interaction, StatePaths::forCurrentUser(), parent)
{
}

frmMain::frmMain(UserInteraction &interaction, StatePaths statePaths, QWidget *parent)
    : QMainWindow(parent)
    , msKindExt(defaultKindExtensions())
    , m_interaction(interaction)
    , m_statePaths(std::move(statePaths))
{
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(QStringLiteral("めろぽーと(**)"));
    setWindowIcon(applicationIcon());
    // A fixed frame: minimize and close, but no maximize button.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                   | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);

    createMenus();
    createControls();
    connectCommands();
    createPasteCommand();
    createTagTitlesCommand();
    acceptDroppedPaths();
    ListDstMusic->setArrangeable(editedTitle);

    const QSize client(twips(kDesignClientArea.width()), twips(kDesignClientArea.height()));
    centralWidget()->setFixedSize(client);
    const int menuHeight = menuBar()->sizeHint().height();
    setFixedSize(client.width(), client.height() + menuHeight);
    setGeometry(twips(kDesignClientArea.left()), twips(kDesignClientArea.top()) - menuHeight, width(), height());
}

frmMain::~frmMain()
{
    // A title still open for editing is taken as the window goes, when there are no marks to update.
    ListSrcMusic->disconnect(this);
    ListDstMusic->disconnect(this);
}

// --- Start-up and shutdown

bool frmMain::Form_Load()
{
    // A lock that cannot be tried says nothing about other programs: start anyway.
    auto lock = std::make_unique<platform::InstanceLock>(m_statePaths.instanceLock);
    if (lock->state() == platform::InstanceLockState::HeldByAnother) {
        ShowMessage(Msg::AlreadyRunning);
        return false;
    }
    m_instanceLock = std::move(lock);

    // Taken as it stands: a folder without a final separator runs into the file name.
    m_helpFilePath = SettingsStore(m_statePaths.settingsFile).value(Setting::InstalledDir) + helpFileName();
    LoadWindowSettings();
    // Only "1" is on: a value written by hand that means something else must not rename differently.
    cmdTrackNumbers->setChecked(SettingsStore(m_statePaths.settingsFile).value(Setting::TrackNumbers) == u"1");
    msKindExt = defaultKindExtensions();
    mnKind = KindWav;
    UpdateKindMenu();
    UpdateUndoMenu();
    m_loaded = true;
    return true;
}

void frmMain::Form_Unload()
{
    m_interaction.closeHelp();
    if (m_loaded)
        SaveWindowSettings();
}

void frmMain::LoadWindowSettings()
{
    QList<QRect> screens;
    for (const QScreen *screen : QGuiApplication::screens())
        screens.append(screen->availableGeometry());
    const auto place = restoredWindowPlace(SettingsStore(m_statePaths.settingsFile), logicalDpiX(), logicalDpiY(),
                                           frameGeometry().size(), menuBar()->sizeHint().height(), screens);
    if (!place)
        return;
    // move() places a window by its frame, as the stored values are. The design place is meant
    // for a screen at the origin; a primary screen elsewhere takes it along.
    if (place->topLeft)
        move(*place->topLeft);
    else if (const QScreen *primary = QGuiApplication::primaryScreen())
        setGeometry(geometry().translated(primary->geometry().topLeft()));
    if (place->size) {
        m_restoredFrameSize = place->size;
        applyRestoredFrameSize();
    }
}

void frmMain::applyRestoredFrameSize()
{
    // Until the window manager has framed the window (on X11, some time after it is shown) the
    // frame is unknown; sizing the inside before would make the window grow at every start.
    const QMargins frame = windowHandle() ? windowHandle()->frameMargins() : QMargins();
    if (!m_restoredFrameSize || frame.isNull())
        return;
    const QSize outer = *std::exchange(m_restoredFrameSize, std::nullopt);
    const QSize window = outer.shrunkBy(frame);
    const QSize client(window.width(), window.height() - menuBar()->sizeHint().height());
    if (client.isEmpty())
        return; // no room inside the frame: the design size stays
    // The window has a fixed size: its inside and the window itself are fixed anew.
    centralWidget()->setFixedSize(client);
    setFixedSize(window);
}

void frmMain::SaveWindowSettings()
{
    // QWidget::frameGeometry() can miss a frame that the window manager added without moving
    // the window; the native window knows it.
    const QRect frame = windowHandle() ? windowHandle()->frameGeometry() : frameGeometry();
    const SettingsStore store(m_statePaths.settingsFile);
    // The program is ending and has no message for this; the old settings are still intact.
    if (const auto error = saveWindowPlace(store, frame, logicalDpiX(), logicalDpiY(), isMinimized()))
        qWarning("Meloport: settings not saved to %ls: %ls", qUtf16Printable(store.filePath()),
                 qUtf16Printable(error->reason));
}

void frmMain::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    applyRestoredFrameSize();
}

void frmMain::moveEvent(QMoveEvent *event)
{
    QMainWindow::moveEvent(event);
    // On X11 the frame arrives with the move that puts the window into it.
    applyRestoredFrameSize();
}

void frmMain::closeEvent(QCloseEvent *event)
{
    stopCopyForClose();
    Form_Unload();
    QMainWindow::closeEvent(event);
}

int frmMain::twips(int value) const
{
    return twipsToPixels(value, logicalDpiX());
}

void frmMain::createControls()
{
    auto *client = new QWidget(this);
    client->setObjectName(QStringLiteral("client"));
    setCentralWidget(client);

    QList<QWidget *> created;
    for (const ControlRow &row : kControls) {
        QWidget *widget = createControl(row, client);
        widget->setGeometry(twipsToPixels(row.place, logicalDpiX()));
        created.append(widget);
    }

    // Tab order follows the table; a label's mnemonic goes to the next control that takes the focus.
    QWidget *previous = nullptr;
    for (qsizetype i = 0; i < created.size(); ++i) {
        QWidget *widget = created[i];
        if (auto *label = qobject_cast<QLabel *>(widget)) {
            for (qsizetype j = i + 1; j < created.size(); ++j) {
                if (!qobject_cast<QLabel *>(created[j])) {
                    label->setBuddy(created[j]);
                    break;
                }
            }
            continue;
        }
        if (previous)
            setTabOrder(previous, widget);
        previous = widget;
    }

    const auto find = [client]<typename W>(W *&member, QStringView name) {
        member = client->findChild<W *>(name.toString(), Qt::FindDirectChildrenOnly);
        Q_ASSERT(member);
    };
    find(LabelPath, u"LabelPath");
    find(TextPath, u"TextPath");
    find(CommandBrowsePath, u"CommandBrowsePath");
    find(LabelFile, u"LabelFile");
    find(TextFile, u"TextFile");
    find(CommandBrowseFile, u"CommandBrowseFile");
    find(LabelName, u"LabelName");
    find(TextName, u"TextName");
    find(CommandAdd, u"CommandAdd");
    find(CommandDel, u"CommandDel");
    find(LabelCopyDst, u"LabelCopyDst");
    find(TextCopyDst, u"TextCopyDst");
    find(CommandCopyDst, u"CommandCopyDst");
    find(ListSrcMusic, u"ListSrcMusic");
    find(ListDstMusic, u"ListDstMusic");
    find(CommandRunAll, u"CommandRunAll");
    find(LabelSrc, u"LabelSrc");
    find(LabelDst, u"LabelDst");
    find(CommandLoad, u"CommandLoad");
}

void frmMain::createMenus()
{
    const auto action = [](QMenu *menu, QStringView name, QStringView caption) {
        QAction *item = menu->addAction(caption.toString());
        item->setObjectName(name.toString());
        return item;
    };
    const auto menu = [this](QStringView name, QStringView caption) {
        QMenu *item = menuBar()->addMenu(caption.toString());
        item->setObjectName(name.toString());
        return item;
    };

    cmdFile = menu(u"cmdFile", u"ﾌｧｲﾙ(&F)");
    cmdCopy = action(cmdFile, u"cmdCopy", u"ｺﾋﾟｰ(&C)");
    cmdUndo = action(cmdFile, u"cmdUndo", u"元に戻す(&U)");

    cmdKind = menu(u"cmdKind", u"種類(&K)");
    cmdWav = action(cmdKind, u"cmdWav", u"WAV");
    cmdMP3 = action(cmdKind, u"cmdMP3", u"MP3");
    cmdWMA = action(cmdKind, u"cmdWMA", u"WMA");
    cmdFLAC = action(cmdKind, u"cmdFLAC", u"FLAC");
    cmdM4A = action(cmdKind, u"cmdM4A", u"M4A");
    cmdOGG = action(cmdKind, u"cmdOGG", u"OGG");
    cmdOPUS = action(cmdKind, u"cmdOPUS", u"OPUS");
    for (QAction *item : kindItems())
        item->setCheckable(true);
    Sep2 = cmdKind->addSeparator();
    Sep2->setObjectName(QStringLiteral("Sep2"));
    cmdTrackNumbers = action(cmdKind, u"cmdTrackNumbers", u"ﾄﾗｯｸ番号を付ける(&T)");
    cmdTrackNumbers->setCheckable(true);

    cmdHelp = menu(u"cmdHelp", u"ヘルプ(&H)");
    cmdContents = action(cmdHelp, u"cmdContents", u"目次(&C)");
    cmdUpdate = action(cmdHelp, u"cmdUpdate", u"最新版をダウンロード(&D)");
    Sep1 = cmdHelp->addSeparator();
    Sep1->setObjectName(QStringLiteral("Sep1"));
    cmdAbout = action(cmdHelp, u"cmdAbout", u"バージョン情報(&A)...");
}

void frmMain::connectCommands()
{
    connect(cmdWav, &QAction::triggered, this, &frmMain::cmdWav_Click);
    connect(cmdMP3, &QAction::triggered, this, &frmMain::cmdMP3_Click);
    connect(cmdWMA, &QAction::triggered, this, &frmMain::cmdWMA_Click);
    connect(cmdFLAC, &QAction::triggered, this, &frmMain::cmdFLAC_Click);
    connect(cmdM4A, &QAction::triggered, this, &frmMain::cmdM4A_Click);
    connect(cmdOGG, &QAction::triggered, this, &frmMain::cmdOGG_Click);
    connect(cmdOPUS, &QAction::triggered, this, &frmMain::cmdOPUS_Click);
    connect(cmdTrackNumbers, &QAction::triggered, this, &frmMain::cmdTrackNumbers_Click);
    connect(CommandBrowsePath, &QPushButton::clicked, this, &frmMain::CommandBrowsePath_Click);
    connect(CommandBrowseFile, &QPushButton::clicked, this, &frmMain::CommandBrowseFile_Click);
    connect(CommandLoad, &QPushButton::clicked, this, &frmMain::CommandLoad_Click);
    connect(CommandAdd, &QPushButton::clicked, this, &frmMain::CommandAdd_Click);
    connect(CommandDel, &QPushButton::clicked, this, &frmMain::CommandDel_Click);
    connect(CommandRunAll, &QToolButton::clicked, this, &frmMain::CommandRunAll_Click);
    // The command line may have renamed since: its record is undone from here too.
    connect(cmdFile, &QMenu::aboutToShow, this, &frmMain::UpdateUndoMenu);
    connect(CommandCopyDst, &QPushButton::clicked, this, &frmMain::CommandCopyDst_Click);
    connect(cmdCopy, &QAction::triggered, this, &frmMain::cmdCopy_Click);
    connect(cmdUndo, &QAction::triggered, this, &frmMain::cmdUndo_Click);
    connect(cmdContents, &QAction::triggered, this, &frmMain::cmdContents_Click);
    connect(cmdUpdate, &QAction::triggered, this, &frmMain::cmdUpdate_Click);
    connect(cmdAbout, &QAction::triggered, this, &frmMain::cmdAbout_Click);
    connect(new QShortcut(Qt::Key_F1, this), &QShortcut::activated, this, &frmMain::helpKey_Pressed);
    connect(ListSrcMusic, &ListBox::itemsChanged, this, &frmMain::UpdateTitleMarks);
    connect(ListDstMusic, &ListBox::itemsChanged, this, &frmMain::UpdateTitleMarks);
    connect(cmdTrackNumbers, &QAction::toggled, this, &frmMain::UpdateTitleMarks);
}

void frmMain::ShowMessage(Msg number)
{
    ShowMessage(LoadMessage(number));
}

void frmMain::ShowMessage(const Message &message)
{
    m_interaction.showMessage(this, message.icon, productName(), message.text);
}

bool frmMain::AskQuestion(const Message &question, DefaultAnswer defaultAnswer)
{
    return m_interaction.askQuestion(this, productName(), question.text, defaultAnswer);
}

// --- Music kind and source listing

std::array<QAction *, kKindCount> frmMain::kindItems() const
{
    return {cmdWav, cmdMP3, cmdWMA, cmdFLAC, cmdM4A, cmdOGG, cmdOPUS};
}

void frmMain::UpdateKindMenu()
{
    const auto items = kindItems();
    for (QAction *item : items)
        item->setChecked(false);
    if (mnKind >= 0 && std::size_t(mnKind) < items.size())
        items[std::size_t(mnKind)]->setChecked(true);
}

void frmMain::ListSourceMusic(const QString &folder)
{
    m_listing = listMusicFiles(folder, kindExtension());
    m_folderNames.reset();
    ListSrcMusic->setItems(m_listing.shownNames());
}

const QString &frmMain::kindExtension() const
{
    return msKindExt.at(static_cast<std::size_t>(mnKind));
}

void frmMain::selectKind(qint16 kind)
{
    if (isCopying())
        return;
    mnKind = kind;
    const QString folder = TextPath->text();
    if (!folder.isEmpty())
        ListSourceMusic(folder);
    UpdateKindMenu();
    UpdateTitleMarks(); // the new names end in the new extension, listed again or not
}

void frmMain::cmdWav_Click()
{
    selectKind(KindWav);
}

void frmMain::cmdMP3_Click()
{
    selectKind(KindMp3);
}

void frmMain::cmdWMA_Click()
{
    selectKind(KindWma);
}

void frmMain::cmdFLAC_Click()
{
    selectKind(KindFlac);
}

void frmMain::cmdM4A_Click()
{
    selectKind(KindM4a);
}

void frmMain::cmdOGG_Click()
{
    selectKind(KindOgg);
}

void frmMain::cmdOPUS_Click()
{
    selectKind(KindOpus);
}

void frmMain::cmdTrackNumbers_Click()
{
    const SettingsStore store(m_statePaths.settingsFile);
    // The choice holds for this run all the same; only the next start would not know it.
    const QString text = cmdTrackNumbers->isChecked() ? QStringLiteral("1") : QStringLiteral("0");
    if (const auto error = store.save({{Setting::TrackNumbers, text}}))
        ShowMessage(FormatMessage(Msg::TrackNumbersNotSaved, store.filePath(), error->reason));
}

// --- Title list and rename

void frmMain::CommandBrowseFile_Click()
{
    const std::optional<QString> picked = m_interaction.getOpenFileName(this, CommonDialogFile);
    if (!picked)
        return; // cancelled: the field keeps what it had
    CommonDialogFile.fileName = *picked;
    TextFile->setText(*picked);
}

void frmMain::CommandLoad_Click()
{
    if (isCopying())
        return;
    const QString path = TextFile->text();
    if (path.isEmpty())
        return;
    // The list is replaced only by titles that loaded: a file that cannot be used must not cost
    // the titles typed so far.
    const TitleFile file = readTitleFile(path);
    if (file.problem != TitleFile::Problem::None) {
        ShowMessage(titleFileMessage(path, file));
        return;
    }
    ListDstMusic->setItems(file.titles);
}

void frmMain::CommandAdd_Click()
{
    const QString title = TextName->text();
    if (!title.isEmpty())
        ListDstMusic->addItem(title);
}

void frmMain::CommandDel_Click()
{
    const int count = ListDstMusic->listCount();
    if (count == 0)
        return;
    const int selected = ListDstMusic->listIndex();
    ListDstMusic->removeItem(selected < 0 ? count - 1 : selected);
}

void frmMain::createPasteCommand()
{
    cmdPaste = new QAction(QStringLiteral("貼り付け(&P)"), ListDstMusic);
    cmdPaste->setObjectName(QStringLiteral("cmdPaste"));
    cmdPaste->setShortcut(QKeySequence::Paste);
    // Only on the list: Ctrl+V in a text field pastes into the field.
    cmdPaste->setShortcutContext(Qt::WidgetShortcut);
    ListDstMusic->addAction(cmdPaste);
    ListDstMusic->setContextMenuPolicy(Qt::ActionsContextMenu);
    connect(cmdPaste, &QAction::triggered, this, &frmMain::cmdPaste_Click);
}

void frmMain::cmdPaste_Click()
{
    if (isCopying())
        return;
    const PastedTitles pasted = readPastedTitles(QGuiApplication::clipboard()->text());
    if (pasted.titles.isEmpty()) {
        ShowMessage(Msg::NothingToPaste);
        return;
    }
    // The list shows what came in while the question is open, and stays so on いいえ.
    ListDstMusic->setItems(pasted.titles);
    // Enter may answer はい: the question changes this list only, never a file.
    if (pasted.offersCleanup() && AskQuestion(cleanupQuestion(pasted), DefaultAnswer::Yes))
        ListDstMusic->setItems(pasted.cleaned);
}

void frmMain::createTagTitlesCommand()
{
    cmdTagTitles = cmdFile->addAction(QStringLiteral("ﾀｸﾞから曲名(&G)"));
    cmdTagTitles->setObjectName(QStringLiteral("cmdTagTitles"));
    ListDstMusic->addAction(cmdTagTitles);
    connect(cmdTagTitles, &QAction::triggered, this, &frmMain::cmdTagTitles_Click);
}

void frmMain::cmdTagTitles_Click()
{
    if (isCopying())
        return;
    // The files the source list shows, in its order: the titles pair with them by position.
    if (m_listing.files.isEmpty()) {
        ShowMessage(Msg::NoSources);
        return;
    }
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    const QList<TagTitle> tags = readTagTitles(m_listing);
    QGuiApplication::restoreOverrideCursor();
    ListDstMusic->setItems(titlesOrNames(m_listing, tags));
    if (const std::optional<Message> missing = missingTitlesMessage(m_listing, tags))
        ShowMessage(*missing);
}

void frmMain::CommandRunAll_Click()
{
    if (isCopying())
        return;
    WindowDialog dialog(*this);
    if (!listingStillShown(m_listing, TextPath->text(), dialog))
        return;
    // Checked once no other program renames: the command line may have renamed since the listing.
    const std::unique_ptr<RenameLock> lock = lockRenames(m_statePaths.renameJournal, dialog);
    std::optional<RenameBatch> batch;
    if (lock)
        batch = prepareRename(m_listing, ListDstMusic->items(), kindExtension(), dialog,
                              NameOptions{cmdTrackNumbers->isChecked()});
    if (batch) {
        // Titles given look-alikes of characters the disk refuses show them, as the files will.
        if (batch->plan().titles != ListDstMusic->items())
            ListDstMusic->setItems(batch->plan().titles);
        // The source list keeps the old names: a second run finds none of them and says so.
        runRename(*batch, *lock, dialog);
        m_folderNames.reset(); // the listed names are gone now, and the marks say so
        UpdateTitleMarks();
    }
    UpdateUndoMenu();
}

void frmMain::UpdateTitleMarks()
{
    const QStringList titles = ListDstMusic->items();
    // Before a folder is listed there is nothing to pair the titles with.
    if (titles.isEmpty() || m_listing.folderText.isEmpty()) {
        ListDstMusic->setMarks({});
        return;
    }
    if (!m_folderNames)
        m_folderNames = readListedFolder(m_listing);
    ListDstMusic->setMarks(titleMarks(*m_folderNames, m_listing, titles, kindExtension(),
                                      NameOptions{cmdTrackNumbers->isChecked()}));
}

void frmMain::UpdateUndoMenu()
{
    cmdUndo->setEnabled(m_undo.available());
}

void frmMain::cmdUndo_Click()
{
    if (isCopying())
        return;
    WindowDialog dialog(*this);
    m_undo.run(dialog);
    m_folderNames.reset();
    UpdateTitleMarks();
    UpdateUndoMenu();
}

// --- Folder picker and copy

void frmMain::CommandBrowsePath_Click()
{
    // Relisting would change the list under a running copy.
    if (isCopying())
        return;
    const QString folder = m_interaction.browseForFolder(this, TextPath->text(), kFolderPickerTitle.toString());
    TextPath->setText(folder);
    if (!folder.isEmpty())
        ListSourceMusic(folder);
}

void frmMain::CommandCopyDst_Click()
{
    // A running copy would stand still behind the modal picker.
    if (isCopying())
        return;
    TextCopyDst->setText(m_interaction.browseForFolder(this, TextCopyDst->text(), kFolderPickerTitle.toString()));
}

void frmMain::cmdCopy_Click()
{
    if (isCopying())
        return;
    // Made for the first copy and kept for the next ones.
    if (!m_dlgCopy)
        m_dlgCopy = new DlgCopy(this);
    WindowDialog dialog(*this);
    m_copy.run(m_listing, TextPath->text(), TextCopyDst->text(), dialog, *m_dlgCopy);
}

void frmMain::stopCopyForClose()
{
    // As the cancel button does: the copy below on the stack stops at its next chunk, and the
    // file under way is not published.
    if (isCopying())
        m_dlgCopy->AbortCopy();
}

// --- Opening a folder or a title file from outside: the command line, a drop

void frmMain::OpenSourceFolder(const QString &folder)
{
    if (isCopying())
        return;
    const std::optional<QString> path = folderToOpen(folder);
    if (!path) {
        ShowMessage(FormatMessage(Msg::NotAFolder, folder));
        return;
    }
    TextPath->setText(*path);
    ListSourceMusic(*path);
}

void frmMain::acceptDroppedPaths()
{
    setAcceptDrops(true);
    // A text field would take a dropped file as text to insert: its path, or its address.
    for (QLineEdit *field : {TextPath, TextFile, TextName, TextCopyDst})
        field->installEventFilter(this);
}

bool frmMain::takeDrop(QDropEvent *event)
{
    // Dragged text is the text fields' own; dragged files are the window's, and one that it does
    // not open is not typed into a field either.
    if (!event->mimeData() || !event->mimeData()->hasUrls())
        return false;
    const OpenedPath target = droppedPath(event->mimeData()->urls());
    // Neither the list nor the title file may change under a running copy.
    if (target.kind == OpenedPath::Kind::None || isCopying()) {
        event->ignore();
        return true;
    }
    event->acceptProposedAction();
    if (event->type() != QEvent::Drop)
        return true;
    if (target.kind == OpenedPath::Kind::Folder) {
        OpenSourceFolder(target.path);
    } else {
        TextFile->setText(target.path);
        CommandLoad_Click();
    }
    return true;
}

void frmMain::dragEnterEvent(QDragEnterEvent *event)
{
    if (!takeDrop(event))
        QMainWindow::dragEnterEvent(event);
}

void frmMain::dropEvent(QDropEvent *event)
{
    if (!takeDrop(event))
        QMainWindow::dropEvent(event);
}

bool frmMain::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::DragEnter:
    case QEvent::DragMove:
    case QEvent::Drop:
        if (takeDrop(static_cast<QDropEvent *>(event)))
            return true;
        break;
    default:
        break;
    }
    return QMainWindow::eventFilter(watched, event);
}

// --- Help and about

void frmMain::cmdContents_Click()
{
    openHelp(kHelpContents);
}

void frmMain::helpKey_Pressed()
{
    openHelp(kHelpMainWindow);
}

void frmMain::openHelp(int topic)
{
    const QStringList candidates = helpFileCandidates(m_helpFilePath, QCoreApplication::applicationDirPath());
    const QString helpFile = findHelpFile(candidates);
    if (!helpFile.isEmpty()) {
        m_interaction.showHelp(this, helpFile, topic);
        return;
    }
    QStringList places;
    for (const QString &candidate : candidates)
        places.append(QDir::toNativeSeparators(candidate));
    ShowMessage(FormatMessage(Msg::HelpFileMissing, places.join(u'\n')));
}

void frmMain::cmdUpdate_Click()
{
    const QUrl page(kDownloadUrl.toString());
    if (m_interaction.openUrl(page))
        return;
    ShowMessage(FormatMessage(Msg::BrowserFailed, page.toString()));
}

void frmMain::cmdAbout_Click()
{
    frmAbout about(m_interaction, this);
    m_interaction.showModal(about);
}

} // namespace meloport
