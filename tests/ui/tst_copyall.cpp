#include "ui/ListBox.h"
#include "ui/frmMain.h"
#include "platform/Platform.h"
#include "ui/DlgCopy.h"
#include "support/DropEvents.h"
#include "support/FolderSnapshot.h"
#include "support/RecordingInteraction.h"

#include <QAction>
#include <QLineEdit>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>
#include <QWindow>

#include <csignal>
#include <sched.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <unistd.h>

using namespace meloport;

// The window's folder pickers, and its copy with the progress dialog.
class TestCopyAll final : public QObject {
    Q_OBJECT
private slots:
    void folderButtons_data()
    {
        QTest::addColumn<bool>("musicFolder");
        QTest::addColumn<bool>("picked");
        QTest::newRow("music folder picked: listed at once") << true << true;
        QTest::newRow("music folder picker cancelled: field emptied, list kept") << true << false;
        QTest::newRow("destination picked") << false << true;
        QTest::newRow("destination picker cancelled: field emptied") << false << false;
    }
    void folderButtons()
    {
        QFETCH(bool, musicFolder);
        QFETCH(bool, picked);
        QTemporaryDir folder;
        for (const QString &name : {u"b.wav"_qs, u"A.WAV"_qs, u"c.mp3"_qs})
            writeFile(folder.filePath(name), {});
        RecordingInteraction interaction;
        frmMain window(interaction);
        window.ListSrcMusic->setItems({u"old.wav"_qs});
        QLineEdit *field = musicFolder ? window.TextPath : window.TextCopyDst;
        field->setText(u"typed"_qs);
        interaction.folderAnswers.enqueue(picked ? folder.path() : QString());
        (musicFolder ? window.CommandBrowsePath : window.CommandCopyDst)->click();
        QCOMPARE(interaction.folderStarts, QStringList{u"typed"_qs});
        QCOMPARE(field->text(), picked ? folder.path() : QString());
        QCOMPARE(window.ListSrcMusic->items(),
                 musicFolder && picked ? QStringList({u"A.WAV"_qs, u"b.wav"_qs}) : QStringList({u"old.wav"_qs}));
    }

    // From three files, a.wav long enough for the window's events to run while it is copied, to
    // a folder that holds an old a.wav. The twist comes before the copy or while a.wav is copied.
    // What is shown: a message number, or "failed: file: reason: files copied" (%D stands for the
    // destination).
    void copies_data()
    {
        QTest::addColumn<QString>("twist");
        QTest::addColumn<QStringList>("arrived"); // none: the destination as it was
        QTest::addColumn<QString>("shown");
        const QStringList all{u"a.wav"_qs, u"b.wav"_qs, u"c.wav"_qs}, first{u"a.wav"_qs}, none;
        const auto failed = [](const char *file, const QString &reason, int copied) {
            return u"failed: %1: %2: %3"_qs.arg(QString::fromUtf8(file), reason).arg(copied);
        };
        const auto write = [](const char *reason) { return FormatMessage(Msg::CopyCannotWrite, QString::fromUtf8(reason)).text; };
        const auto folder = [](const char *reason) {
            return FormatMessage(Msg::CopyDestinationUnusable, u"%D"_qs, QString::fromUtf8(reason)).text;
        };
        QTest::newRow("all three copied, the old a.wav replaced, then 203") << u"plain"_qs << all << u"203"_qs;
        QTest::newRow("one file: the dialog stays up while it is copied, its bar moving") << u"one file"_qs << first
                                                                                          << u"203"_qs;
        QTest::newRow("to another file system") << u"other file system"_qs << all << u"203"_qs;
        QTest::newRow("cancel within the first: old a.wav kept, no message") << u"CancelButton"_qs << none
                                                                              << QString();
        QTest::newRow("the dialog's close box: the copy goes on") << u"close box"_qs << all << u"203"_qs;
        QTest::newRow("Esc on the dialog: the copy goes on") << u"Esc"_qs << all << u"203"_qs;
        QTest::newRow("closing the window stops as cancel does") << u"close window"_qs << none << QString();
        QTest::newRow("second missing: first copied, the second named, the third not")
            << u"second missing"_qs << first << failed("b.wav", LoadMessage(Msg::FileMissing).text, 1);
        QTest::newRow("first cut short while copied: old a.wav kept")
            << u"cut short"_qs << none << failed("a.wav", LoadMessage(Msg::CopySourceShrank).text, 0);
        QTest::newRow("destination missing: said so, nothing copied")
            << u"destination missing"_qs << none << failed("a.wav", folder("ファイルまたはフォルダが見つかりません"), 0);
        QTest::newRow("onto itself: 207 and why, file intact") << u"same path"_qs << none << u"same folder"_qs;
        QTest::newRow("onto itself through a linked folder: 207 and why") << u"linked folder"_qs << none
                                                                          << u"same folder"_qs;
        QTest::newRow("no destination, no files: 206 only") << u"no destination, no files"_qs << none << u"206"_qs;
        QTest::newRow("blank destination: 206, not the root folder") << u"blank destination"_qs << none << u"206"_qs;
        QTest::newRow("no files: 205") << u"no files"_qs << none << u"205"_qs;
        QTest::newRow("music folder edited since listing: 219, nothing copied") << u"stale"_qs << none << u"219"_qs;
        // While a copy runs, what would change its list or its folders is ignored.
        QTest::newRow("second copy ignored") << u"cmdCopy"_qs << all << u"203"_qs;
        QTest::newRow("music folder button ignored") << u"CommandBrowsePath"_qs << all << u"203"_qs;
        QTest::newRow("destination button ignored") << u"CommandCopyDst"_qs << all << u"203"_qs;
        QTest::newRow("kind menu ignored") << u"cmdMP3"_qs << all << u"203"_qs;
        QTest::newRow("a folder dropped: ignored") << u"drop folder"_qs << all << u"203"_qs;
        QTest::newRow("a title file dropped: ignored") << u"drop title file"_qs << all << u"203"_qs;
        QTest::newRow("destination edited: the rest goes where it began") << u"TextCopyDst"_qs << all << u"203"_qs;
        // Faults made in a process of their own.
        QTest::newRow("full disk: said so, old a.wav kept, no temporary file")
            << u"fault: full disk"_qs << none << failed("a.wav", write("ディスクの空きが足りません"), 0);
        QTest::newRow("read-only destination: said so")
            << u"fault: read-only destination"_qs << none << failed("a.wav", folder("書き込みできない場所です"), 0);
        QTest::newRow("onto itself through a bind mount: 207 and why") << u"fault: bind mount onto itself"_qs << none
                                                                        << u"same folder"_qs;
        QTest::newRow("second unreadable to the user: first copied, the second named")
            << u"fault: changed user"_qs << first
            << failed("b.wav", FormatMessage(Msg::CopyCannotRead, u"アクセスが拒否されました"_qs).text, 1);
    }
    void copies()
    {
        QFETCH(QString, twist);
        QFETCH(QStringList, arrived);
        QFETCH(QString, shown);
        const bool fault = twist.startsWith(u"fault: ");
        if (fault && !qEnvironmentVariableIsSet("MELOPORT_FAULT")) {
            QProcess child; // runs this row again, and makes the fault there
            qputenv("MELOPORT_FAULT", "1");
            child.start(QCoreApplication::applicationFilePath(),
                        {u"copies:"_qs + QString::fromUtf8(QTest::currentDataTag())});
            qunsetenv("MELOPORT_FAULT");
            QVERIFY(child.waitForFinished(60000));
            const QString log = QString::fromUtf8(child.readAllStandardOutput());
            if (log.contains(u"SKIP   :"))
                QSKIP("this fault cannot be made here (no right to mount or to change user)");
            QVERIFY2(child.exitCode() == 0 && log.contains(u"PASS   : TestCopyAll::copies("), qPrintable(log));
            return;
        }
        QTemporaryDir source, elsewhere;
        QTemporaryDir destination(twist == u"other file system" ? u"/dev/shm/meloport-XXXXXX"_qs
                                                                : QDir::tempPath() + u"/meloport-XXXXXX"_qs);
        if (!destination.isValid())
            QSKIP("no second file system at /dev/shm");
        writeFile(source.filePath(u"a.wav"_qs), QByteArray(3 * platform::kCopyChunkBytes + 1, 'a'));
        for (const QString &name : twist == u"one file" ? QStringList() : QStringList{u"b.wav"_qs, u"c.wav"_qs})
            writeFile(source.filePath(name), name.toUtf8());
        writeFile(destination.filePath(u"a.wav"_qs), "old");
        if (twist == u"linked folder")
            QVERIFY(QFile::link(source.path(), elsewhere.filePath(u"link"_qs)));
        if (twist.startsWith(u"drop ")) { // what a drop would list or load
            writeFile(elsewhere.filePath(u"x.wav"_qs), {});
            writeFile(elsewhere.filePath(u"titles.txt"_qs), "X\n");
        }
        const QString to = QMap<QString, QString>{{u"same path"_qs, source.path() + u"/."_qs},
                                                  {u"linked folder"_qs, elsewhere.filePath(u"link"_qs)},
                                                  {u"destination missing"_qs, destination.filePath(u"missing"_qs)},
                                                  {u"no destination, no files"_qs, QString()},
                                                  {u"blank destination"_qs, u"  "_qs}}
                               .value(twist, destination.path());
        RecordingInteraction interaction;
        frmMain window(interaction);
        window.TextPath->setText(source.path());
        window.TextCopyDst->setText(to);
        window.ListSourceMusic(source.path());
        window.show();
        if (twist == u"stale")
            window.TextPath->setText(elsewhere.path());
        if (twist.endsWith(u"no files")) // the folder holds no file of that kind
            window.cmdMP3->trigger();
        if (twist == u"second missing")
            QVERIFY(QFile::remove(source.filePath(u"b.wav"_qs)));
        const QStringList listed = window.ListSrcMusic->items();
        const auto sourceBefore = folderSnapshot(source.path());
        auto expected = arrived.isEmpty() ? folderSnapshot(destination.path()) : QMap<QString, QString>();
        for (const QString &name : arrived)
            expected.insert(name, sourceBefore.value(name));

        interaction.folderAnswers.enqueue(destination.path());
        bool twisted = false;
        const auto twistIt = [&](DlgCopy *dialog) {
            twisted = true;
            QVERIFY(fault || folderSnapshot(destination.path()).value(u"a.wav"_qs) == u"old"_qs); // still under way
            if (twist == u"one file") // the last file under way: the dialog is up, its bar partly moved
                QVERIFY(dialog->isVisible() && dialog->ProgressBarCopy->value() > 0
                        && dialog->ProgressBarCopy->value() < dialog->ProgressBarCopy->maximum());
            if (twist == u"close window")
                window.close();
            else if (twist == u"cut short")
                QFile::resize(source.filePath(u"a.wav"_qs), 10);
            else if (twist == u"close box")
                dialog->close();
            else if (twist.startsWith(u"drop "))
                QVERIFY(!dropOn(&window, {QUrl::fromLocalFile(twist == u"drop folder" ? elsewhere.path()
                                                             : elsewhere.filePath(u"titles.txt"_qs))}));
            else if (twist == u"Esc") {
                QTest::keyClick(dialog, Qt::Key_Escape);
                QVERIFY(dialog->isVisible());
            } else if (auto *button = window.findChild<QPushButton *>(twist))
                button->click();
            else if (auto *action = window.findChild<QAction *>(twist))
                action->trigger();
            else if (auto *field = window.findChild<QLineEdit *>(twist))
                field->setText(source.path()); // the rest would be copied onto itself
        };
        bool began = false; // the window's events ran inside the copy
        QMetaObject::invokeMethod(&window, [&] { // the dialog has opened
            began = true;
            DlgCopy *dialog = window.findChild<DlgCopy *>();
            // Its bar first moves after the first chunk of a.wav, and the copy lets the window's
            // events run between its chunks.
            connect(dialog->ProgressBarCopy, &QProgressBar::valueChanged, dialog, [&, dialog] {
                QMetaObject::invokeMethod(dialog, [&, dialog] { twistIt(dialog); }, Qt::QueuedConnection);
            }, Qt::SingleShotConnection);
        }, Qt::QueuedConnection);
        // The faults, in this process of their own, undone after the copy for the checks and the clean-up.
        const QByteArray from = QFile::encodeName(source.path()), into = QFile::encodeName(to);
        const rlimit fileSize{2 * platform::kCopyChunkBytes, 2 * platform::kCopyChunkBytes}; // a.wav fails halfway
        bool made = true;
        if (twist == u"fault: full disk") // writes beyond fail as on a full disk, with SIGXFSZ ignored
            made = ::signal(SIGXFSZ, SIG_IGN) != SIG_ERR && ::setrlimit(RLIMIT_FSIZE, &fileSize) == 0;
        if (twist == u"fault: changed user") // only b.wav out of the user's reach
            made = ::geteuid() == 0 && QFile::setPermissions(source.path(), QFile::Permissions(0x7777))
                   && QFile::setPermissions(destination.path(), QFile::Permissions(0x7777))
                   && QFile::setPermissions(source.filePath(u"b.wav"_qs), {}) && ::seteuid(65534) == 0;
        const bool onto = twist.endsWith(u"onto itself");
        if (onto || twist.endsWith(u"read-only destination"))
            made = ::unshare(CLONE_NEWNS) == 0 && ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0
                   && ::mount(onto ? from : into, into, nullptr, MS_BIND, nullptr) == 0
                   && (onto || ::mount(nullptr, into, nullptr, MS_REMOUNT | MS_BIND | MS_RDONLY, nullptr) == 0);
        if (!made)
            QSKIP("this fault cannot be made here (no right to mount or to change user)");
        window.cmdCopy->trigger();
        // The rest of the suite needs root back, and a mount left behind would outlive the test.
        const bool rootAgain = !fault || ::seteuid(0) == 0;
        if (fault)
            (void)::umount2(into, MNT_DETACH);
        QVERIFY(rootAgain);
        QString expectedText = shown;
        if (const int number = shown.toInt())
            expectedText = number == 219 ? FormatMessage(Msg::ListingStale, source.path()).text : LoadMessage(Msg(number)).text;
        else if (shown == u"same folder")
            expectedText = LoadMessage(Msg::CopyFailed).text + u'\n'
                           + FormatMessage(Msg::CopyIntoSourceFolder, to, source.path()).text;
        else if (shown.startsWith(u"failed: ")) {
            const QStringList parts = shown.split(u": "_qs);
            expectedText = FormatMessage(Msg::CopyFileFailed, parts[1], QString(parts[2]).replace(u"%D"_qs, to),
                                         QString::number(listed.size()), parts[3])
                               .text;
        }
        QCOMPARE(interaction.messageTexts().join(u'\n'), expectedText);
        if (twist != u"cut short") // that one cuts the source short on purpose
            QCOMPARE(folderSnapshot(source.path()), sourceBefore);
        QCOMPARE(folderSnapshot(destination.path()), expected);
        QCOMPARE(interaction.folderStarts, QStringList{});
        QCOMPARE(window.ListSrcMusic->items(), listed);
        QCOMPARE(window.TextFile->text() + window.ListDstMusic->items().join(u' '), QString());
        QCOMPARE(window.isVisible(), twist != u"close window");
        QCOMPARE(twisted, began);
        const DlgCopy *dialog = window.findChild<DlgCopy *>();
        QVERIFY(!dialog || !dialog->isVisible());
    }

    // One dialog for all rows, as in the program: each opening starts afresh. Steps: "n" counts a
    // file done, a number shows that many bytes copied. The bar after opening and after each step,
    // in percent of its range; -1 once the dialog has closed.
    void dialogShowsProgress_data()
    {
        QTest::addColumn<int>("files");
        QTest::addColumn<qint64>("bytes");
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<QList<int>>("shown");
        const qint64 GiB = qint64(1) << 30;
        QTest::newRow("3 empty files: counted, closed after the third, nothing after")
            << 3 << qint64(0) << QStringList{u"n"_qs, u"n"_qs, u"n"_qs, u"n"_qs} << QList<int>{0, 33, 66, -1, -1};
        QTest::newRow("1 file: moves within it, closes when it is done")
            << 1 << qint64(4000000) << QStringList{u"1000000"_qs, u"3000000"_qs, u"4000000"_qs, u"n"_qs}
            << QList<int>{0, 24, 74, 99, -1};
        QTest::newRow("6 GiB in 2 files, beyond the bar's int")
            << 2 << 6 * GiB << QStringList{QString::number(3 * GiB), u"n"_qs, QString::number(6 * GiB), u"n"_qs}
            << QList<int>{0, 50, 50, 100, -1};
    }
    void dialogShowsProgress()
    {
        QFETCH(int, files);
        QFETCH(qint64, bytes);
        QFETCH(QStringList, steps);
        QFETCH(QList<int>, shown);
        static QWidget owner;
        static DlgCopy dialog(&owner);
        const auto percent = [] {
            const QProgressBar *bar = dialog.ProgressBarCopy;
            return dialog.isVisible() ? int(qint64(bar->value()) * 100 / bar->maximum()) : -1;
        };
        dialog.begin(files, bytes);
        QList<int> seen{percent()};
        for (const QString &step : steps) {
            if (step == u"n")
                dialog.NextMusic();
            else
                dialog.ShowCopiedBytes(step.toLongLong());
            seen.append(percent());
        }
        QCOMPARE(seen, shown);
    }

    void cancelStopsTheCopyAndCloses()
    {
        QWidget owner;
        DlgCopy dialog(&owner);
        dialog.begin(2, 0);
        QVERIFY(dialog.advance(0, 0));
        dialog.CancelButton->click();
        QVERIFY(!dialog.isVisible());
        QVERIFY(!dialog.advance(1, 0));
        dialog.begin(2, 0); // the next copy starts afresh
        QVERIFY(dialog.advance(0, 0));
    }
};

QTEST_MAIN(TestCopyAll)
#include "tst_copyall.moc"
