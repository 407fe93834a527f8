#include "core/about/DefHomeUrl.h"
#include "core/about/HelpFile.h"
#include "ui/ListBox.h"
#include "ui/frmAbout.h"
#include "ui/frmMain.h"
#include "ui/QtUserInteraction.h"
#include "platform/Platform.h"
#include "support/DropEvents.h"
#include "support/FolderSnapshot.h"
#include "support/RecordingInteraction.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>
#include <QTextEdit>
#include <QTimer>
#include <QToolButton>
#include <QWindow>

using namespace meloport;

namespace {

// The checked kind, then the listed files.
QStringList kindAndFiles(const frmMain &window)
{
    QStringList shown;
    for (const QAction *item : window.cmdKind->actions())
        if (item->isChecked())
            shown.append(item->objectName());
    return shown + window.ListSrcMusic->items();
}

// A start of the program with a settings file and a lock of its own.
struct Start {
    RecordingInteraction interaction;
    TestFolder dir;
    StatePaths paths{dir.filePath(u"Meloport.ini"_qs), dir.filePath(u"Meloport.lock"_qs), dir.filePath(u"last-rename.journal"_qs)};
    frmMain window{interaction, paths};
};

const QByteArray kStored = "[Settings]\nLastVersion=0.20\nX=1500\nY=3000\nWidth=9000\nHeight=7500\n";

} // namespace

class TestFrmMain final : public QObject {
    Q_OBJECT
private:
    QRect m_design; // the outer geometry of a window that restored nothing

private slots:
    void initTestCase()
    {
        Start start;
        start.window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&start.window));
        m_design = start.window.windowHandle()->frameGeometry();
        QCOMPARE(start.window.logicalDpiX(), 96);
    }

    // A start with settings stored (or none), and a close. The rules of the stored place are the
    // core's; the window moves and sizes itself by them, and saves its place when it closes.
    void startAndClose_data()
    {
        QTest::addColumn<QByteArray>("ini");
        QTest::addColumn<QString>("twist");
        QTest::addColumn<QRect>("expected");
        QTest::newRow("first start: nothing stored") << QByteArray() << QString() << m_design;
        QTest::newRow("second start: stored place and size") << kStored << QString() << QRect(100, 200, 600, 500);
        QTest::newRow("closed minimized: nothing saved") << kStored + "InstalledDir=/opt/meloport\n" << u"minimized"_qs
                                                         << QRect();
        QTest::newRow("another program running: 201, and it ends at once") << kStored << u"second"_qs << QRect();
    }
    void startAndClose()
    {
        QFETCH(QByteArray, ini);
        QFETCH(QString, twist);
        QFETCH(QRect, expected);
        Start start;
        if (!ini.isNull())
            writeFile(start.paths.settingsFile, ini);
        std::optional<platform::InstanceLock> other;
        if (twist == u"second")
            other.emplace(start.paths.instanceLock);
        start.window.mnKind = KindWma;
        QCOMPARE(start.window.Form_Load(), !other);
        if (other) {
            QCOMPARE(start.interaction.said, QStringList{u"201"_qs});
            start.window.close(); // even a close some caller forces saves nothing
            QCOMPARE(fileBytes(start.paths.settingsFile), ini);
            return;
        }
        QVERIFY(start.window.cmdWav->isChecked());
        if (twist == u"minimized") {
            start.window.showMinimized();
            start.window.close();
            QCOMPARE(start.interaction.helpClosed, 1);
            QCOMPARE(fileBytes(start.paths.settingsFile), ini);
            return;
        }
        start.window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&start.window));
        const QRect r = start.window.windowHandle()->frameGeometry();
        QCOMPARE(r, expected);
        start.window.close(); // saves this version and the real geometry, whatever was stored: 15 twips a pixel
        QCOMPARE(fileBytes(start.paths.settingsFile), u"[Settings]\nLastVersion=0.20\nX=%1\nY=%2\nWidth=%3\nHeight=%4\n"_qs
                     .arg(r.x() * 15).arg(r.y() * 15).arg(r.width() * 15).arg(r.height() * 15).toUtf8());
    }

    // Each kind lists its own files, whatever their case; the same kind again reads the folder
    // again, and with no folder only the check mark moves.
    void kindMenu()
    {
        TestFolder dir;
        writeFiles(dir.path(), {"t.wav", "t.mp3", "t.wma", "t.Flac", "t.m4a", "t.ogg", "t.opus", "t.oga", "t.aac"});
        RecordingInteraction interaction;
        frmMain window(interaction);
        window.TextPath->setText(dir.path());
        QStringList listed;
        for (QAction *item : window.cmdKind->actions()) {
            if (item->isCheckable() && item != window.cmdTrackNumbers) {
                item->trigger();
                listed += kindAndFiles(window);
            }
        }
        QCOMPARE(listed.join(u' '), u"cmdWav t.wav cmdMP3 t.mp3 cmdWMA t.wma cmdFLAC t.Flac cmdM4A t.m4a cmdOGG t.ogg "
                                    u"cmdOPUS t.opus"_qs);
        writeFile(dir.filePath(u"u.OPUS"_qs), {});
        window.cmdOPUS->trigger();
        window.TextPath->clear();
        window.cmdWMA->trigger();
        QCOMPARE(kindAndFiles(window), (QStringList{u"cmdWMA"_qs, u"t.opus"_qs, u"u.OPUS"_qs}));
    }

    // A folder or title file dropped on the window or a text field, or a folder named on the
    // command line (relative to where the program starts). The window showed a folder before.
    void opensDroppedPaths_data()
    {
        QTest::addColumn<QStringList>("given"); // names in the temporary folder
        QTest::addColumn<QString>("onto");      // a text field, the window, or "command line"
        QTest::addColumn<QString>("after"); // TextPath, TextFile, TextName, both lists, messages
        const QString untouched = u"{dir}/Other||name|c.wav||"_qs;
        const QString listed = u"{dir}/Album||name|a.wav b.wav||"_qs;
        QTest::newRow("a folder: listed") << QStringList{u"Album"_qs} << QString() << listed;
        QTest::newRow("a folder on the title field: listed, not typed in")
            << QStringList{u"Album"_qs} << u"TextFile"_qs << listed;
        QTest::newRow("a title file on the name field: loaded, not typed in")
            << QStringList{u"titles.txt"_qs} << u"TextName"_qs << u"{dir}/Other|{dir}/titles.txt|name|c.wav|X Y|"_qs;
        QTest::newRow("an audio file: ignored") << QStringList{u"Album/a.wav"_qs} << QString() << untouched;
        QTest::newRow("a folder and a title file at once: ignored")
            << QStringList{u"Album"_qs, u"titles.txt"_qs} << QString() << untouched;
        QTest::newRow("command line: a file, said so") << QStringList{u"titles.txt"_qs} << u"command line"_qs
                                                       << untouched + FormatMessage(Msg::NotAFolder, u"titles.txt"_qs).text;
    }
    void opensDroppedPaths()
    {
        QFETCH(QStringList, given);
        QFETCH(QString, onto);
        QFETCH(QString, after);
        TestFolder dir;
        const QDir root(dir.path());
        QVERIFY(root.mkdir(u"Album"_qs) && root.mkdir(u"Other"_qs));
        writeFiles(root.filePath(u"Album"_qs), {"a.wav", "b.wav"});
        writeFiles(root.filePath(u"Other"_qs), {"c.wav"});
        writeFile(root.filePath(u"titles.txt"_qs), "X\r\nY\r\n");
        RecordingInteraction interaction;
        frmMain window(interaction);
        window.OpenSourceFolder(root.filePath(u"Other"_qs));
        window.TextName->setText(u"name"_qs);
        QList<QUrl> urls;
        for (const QString &name : given)
            urls.append(QUrl::fromLocalFile(root.filePath(name)));
        const QString started = QDir::currentPath();
        if (onto == u"command line" && QDir::setCurrent(dir.path())) {
            window.OpenSourceFolder(given.first());
            QVERIFY(QDir::setCurrent(started));
        } else { // with the path as text too, as some file managers offer, which a field would insert
            QWidget *target = onto.isEmpty() ? static_cast<QWidget *>(&window) : window.findChild<QLineEdit *>(onto);
            QCOMPARE(dropOn(target, urls, urls.first().toString()), !after.startsWith(u"{dir}/Other||"_qs));
        }
        const QStringList state{window.TextPath->text(), window.TextFile->text(), window.TextName->text(),
                                window.ListSrcMusic->items().join(u' '), window.ListDstMusic->items().join(u' '),
                                interaction.texts.join(u'\n')};
        QCOMPARE(state.join(u'|'), after.replace(u"{dir}"_qs, dir.path()));
    }

    void addAndDelete()
    {
        RecordingInteraction interaction;
        frmMain window(interaction);
        for (const QString &title : {u"B"_qs, u""_qs, u" "_qs, u"A"_qs}) {
            window.TextName->setText(title);
            window.CommandAdd->click();
        }
        // Unsorted; an empty field adds nothing, spaces are a title, the field keeps its text.
        QCOMPARE(window.ListDstMusic->items() << window.TextName->text(),
                 (QStringList{u"B"_qs, u" "_qs, u"A"_qs, u"A"_qs}));
        window.CommandDel->click(); // nothing selected: the last goes
        window.ListDstMusic->setListIndex(0);
        window.CommandDel->click(); // then the selected one
        QCOMPARE(window.ListDstMusic->items(), QStringList{u" "_qs});
        QCOMPARE(window.ListDstMusic->listIndex(), -1);
        window.CommandDel->click();
        window.CommandDel->click(); // on an empty list: nothing
        QCOMPARE(window.ListDstMusic->listCount(), 0);
    }

    // 種類 → ﾄﾗｯｸ番号を付ける chosen; titles typed, then no title file or one that cannot be used
    // (said so): the typed titles stay; then one loaded over them, and 変更 with a title the disk
    // refuses, answered はい: the list shows the look-alike renamed to. Started again, the choice is
    // kept, or where the settings cannot be saved, said so and numbered in this run only.
    void renameAll_data()
    {
        QTest::addColumn<bool>("blocked"); // the settings file's folder cannot be made
        QTest::newRow("numbering kept") << false;
        QTest::newRow("numbering cannot be kept: 360") << true;
    }
    void renameAll()
    {
        QFETCH(bool, blocked);
        TestFolder album, state;
        writeFiles(album.path(), {"a.wav", "b.wav"});
        writeFile(state.filePath(u"titles.txt"_qs), "Two\r\nAC/DC\r\n");
        if (blocked)
            writeFile(state.filePath(u"blocker"_qs), "a file, not a folder");
        const StatePaths paths{state.filePath(blocked ? u"blocker/Meloport.ini"_qs : u"Meloport.ini"_qs),
                               state.filePath(u"Meloport.lock"_qs), state.filePath(u"last-rename.journal"_qs)};
        RecordingInteraction interaction;
        interaction.questionAnswers.enqueue(true);
        std::optional<frmMain> window(std::in_place, interaction, paths);
        QVERIFY(window->Form_Load());
        window->cmdTrackNumbers->trigger();
        window->OpenSourceFolder(album.path());
        window->ListDstMusic->addItem(u"typed"_qs);
        for (const QString &file : {QString(), state.path(), state.filePath(u"titles.txt"_qs)}) {
            QCOMPARE(window->ListDstMusic->items(), QStringList{u"typed"_qs});
            window->TextFile->setText(file);
            window->CommandLoad->click();
        }
        window->CommandRunAll->click();
        QCOMPARE(snapshotText(album.path()), u"01 Two.WAV=a.wav 02 AC／DC.WAV=b.wav"_qs);
        QCOMPARE(window->ListDstMusic->items(), (QStringList{u"Two"_qs, u"AC／DC"_qs}));
        QCOMPARE(fileBytes(paths.settingsFile), blocked ? QByteArray() : QByteArray("[Settings]\nTrackNumbers=1\n"));
        QCOMPARE(interaction.said.join(u", "_qs), (blocked ? u"360, "_qs : QString()) + u"208, ? 300, 203"_qs);

        window->close(); // saves the window's place beside the choice
        window.emplace(interaction, paths);
        QVERIFY(window->Form_Load());
        QCOMPARE(window->cmdTrackNumbers->isChecked(), !blocked);
    }

    // The real question box, answered from the keyboard while it waits.
    void answeredByKey_data()
    {
        QTest::addColumn<DefaultAnswer>("defaultAnswer");
        QTest::addColumn<int>("key");
        QTest::addColumn<bool>("yes");
        const auto no = DefaultAnswer::No, yes = DefaultAnswer::Yes;
        QTest::newRow("Y answers はい where Enter would not") << no << int(Qt::Key_Y) << true;
        QTest::newRow("N answers いいえ where Enter would not") << yes << int(Qt::Key_N) << false;
        QTest::newRow("Enter takes the default はい") << yes << int(Qt::Key_Return) << true;
        QTest::newRow("Enter takes the default いいえ") << no << int(Qt::Key_Return) << false;
        QTest::newRow("Esc answers いいえ even when はい is the default") << yes << int(Qt::Key_Escape) << false;
    }
    void answeredByKey()
    {
        QFETCH(DefaultAnswer, defaultAnswer);
        QFETCH(int, key);
        QFETCH(bool, yes);
        // Runs inside the box's own event loop; a box never found is closed, so no row waits forever.
        QTimer::singleShot(0, this, [&] {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            if (box && QTest::qWaitForWindowActive(box))
                QTest::keyClick(box->focusWidget() ? box->focusWidget() : box, Qt::Key(key));
            else if (box)
                box->reject();
        });
        QtUserInteraction interaction;
        const bool answer = interaction.askQuestion(nullptr, u"Meloport"_qs, u"?"_qs, defaultAnswer);
        QCOMPARE(answer, yes);
    }

    void onlyALeftPressOpensTheLinkWhileTheBoxIsOpen_data()
    {
        QTest::addColumn<Qt::MouseButton>("button");
        QTest::addColumn<bool>("onLink");
        QTest::addColumn<Qt::Key>("closeKey"); // Key_unknown: closed from the title bar
        QTest::newRow("left press; Enter") << Qt::LeftButton << true << Qt::Key_Return;
        QTest::newRow("beside it; Esc") << Qt::LeftButton << false << Qt::Key_Escape;
        QTest::newRow("right press; title bar") << Qt::RightButton << true << Qt::Key_unknown;
    }
    void onlyALeftPressOpensTheLinkWhileTheBoxIsOpen()
    {
        QFETCH(Qt::MouseButton, button);
        QFETCH(bool, onLink);
        QFETCH(Qt::Key, closeKey);
        RecordingInteraction interaction;
        for (qsizetype opening = 1; opening <= 2; ++opening) {
            frmAbout box(interaction);
            box.show();
            QVERIFY(QTest::qWaitForWindowExposed(&box));
            const QPoint onIt = box.RichTextBoxURL->cursorRect(QTextCursor(box.RichTextBoxURL->document())).center()
                + QPoint(8, 0); // in the address's first characters
            QWidget *viewport = box.RichTextBoxURL->viewport();
            QTest::mousePress(viewport, button, {}, onLink ? onIt : QPoint(viewport->width() - 4, onIt.y()));
            const QList<QUrl> opened(button == Qt::LeftButton && onLink ? opening : 0, QUrl(kHomeUrl.toString()));
            QCOMPARE(interaction.openedUrls, opened);
            closeKey == Qt::Key_unknown ? void(box.close()) : QTest::keyClick(&box, closeKey);
            QVERIFY(!box.isVisible());
            QTest::mouseClick(viewport, Qt::LeftButton, {}, onIt); // the closed box's link is dead
            QCOMPARE(interaction.openedUrls, opened);
        }
    }

    void helpFileIsLookedFor_data()
    {
        QTest::addColumn<QString>("installedDir"); // "" when unset; every folder is under a scratch root
        QTest::addColumn<QStringList>("present");  // the folders that hold the help file
        QTest::addColumn<QString>("found");
        QTest::newRow("InstalledDir: its file") << u"opt"_qs << QStringList{u"opt"_qs, u"bin"_qs} << u"opt"_qs;
        QTest::newRow("InstalledDir: there only") << u"opt"_qs << QStringList{u"bin"_qs} << QString();
        QTest::newRow("in share/meloport") << QString() << QStringList{u"share/meloport"_qs} << u"share/meloport"_qs;
        QTest::newRow("both: beside first") << QString() << QStringList{u"share/meloport"_qs, u"bin"_qs} << u"bin"_qs;
    }
    void helpFileIsLookedFor()
    {
        QFETCH(QString, installedDir);
        QFETCH(QStringList, present);
        QFETCH(QString, found);
        QTemporaryDir root;
        const auto helpIn = [&root](const QString &folder) { return root.filePath(folder + u"/Meloport.html"_qs); };
        for (const QString &folder : present)
            QVERIFY(QDir(root.path()).mkpath(folder) && QFile(helpIn(folder)).open(QIODevice::WriteOnly));
        const QString path = installedDir.isEmpty() ? u"Meloport.html"_qs : helpIn(installedDir);
        QCOMPARE(findHelpFile(helpFileCandidates(path, root.filePath(u"bin"_qs))),
                 found.isEmpty() ? found : helpIn(found));
    }

    void helpMenuCommandsAndF1_data()
    {
        QTest::addColumn<QString>("command"); // a command, or the control that F1 is pressed in
        QTest::addColumn<int>("topic");       // -1: no help shown
        QTest::addColumn<QString>("message"); // what the one message names; "" when all goes well
        const QString help = QDir::toNativeSeparators(QCoreApplication::applicationDirPath() + u"/Meloport.html"_qs);
        QTest::newRow("目次: the contents") << u"cmdContents"_qs << 0 << QString();
        QTest::newRow("F1: the main window's topic 100") << u"TextPath"_qs << 100 << QString();
        QTest::newRow("no help file: where it looked") << u"TextPath"_qs << -1 << help;
        QTest::newRow("最新版, no browser: the address") << u"cmdUpdate"_qs << -1 << kDownloadUrl.toString();
        QTest::newRow("バージョン情報: the about box") << u"cmdAbout"_qs << -1 << QString();
    }
    void helpMenuCommandsAndF1()
    {
        QFETCH(QString, command);
        QFETCH(int, topic);
        QFETCH(QString, message);
        const bool works = message.isEmpty();
        QFile help(QCoreApplication::applicationDirPath() + u"/Meloport.html"_qs);
        const auto removeHelp = qScopeGuard([&help] { help.remove(); });
        QVERIFY(works ? help.open(QIODevice::WriteOnly) : !help.exists());
        RecordingInteraction interaction;
        interaction.openUrlSucceeds = works;
        frmMain window(interaction);
        window.show();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        if (auto *menuCommand = window.findChild<QAction *>(command)) {
            menuCommand->trigger();
        } else {
            window.findChild<QWidget *>(command)->setFocus();
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_F1);
        }
        QCOMPARE(interaction.helpShown, (QList<QPair<QString, int>>(topic < 0 ? 0 : 1, {help.fileName(), topic})));
        QCOMPARE(interaction.openedUrls, QList<QUrl>(command == u"cmdUpdate" ? 1 : 0, QUrl(kDownloadUrl.toString())));
        QCOMPARE(interaction.modalDialogs,
                 (QList<QPair<QString, QWidget *>>(command == u"cmdAbout" ? 1 : 0, {u"frmAbout"_qs, &window})));
        QCOMPARE(interaction.texts.size(), works ? 0 : 1);
        QVERIFY(works || interaction.texts.constFirst().contains(message));
    }
};

QTEST_MAIN(TestFrmMain)
#include "tst_frmmain.moc"
