#include "app/ListBox.h"
#include "app/frmMain.h"
#include "platform/Platform.h"
#include "rename/DlgCopy.h"
#include "support/Folders.h"
#include "support/RecordingInteraction.h"

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <cstdio>
#include <grp.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <unistd.h>

using namespace meloport;

namespace {

QStringList texts(const QList<Msg> &numbers)
{
    QStringList result;
    for (Msg number : numbers)
        result.append(LoadMessage(number).text);
    return result;
}

// A window set to copy a.wav, b.wav, c.wav from a fresh source folder into a fresh destination
// folder. The first file takes two chunks, so the window's events run while it is copied.
struct CopyRun {
    explicit CopyRun(const QStringList &names = {u"a.wav"_qs, u"b.wav"_qs, u"c.wav"_qs})
    {
        qsizetype size = platform::kCopyChunkBytes + 1;
        char fill = 'a';
        for (const QString &name : names) {
            folders::write(source.filePath(name), QByteArray(size, fill++));
            size = 3000;
        }
        window.TextPath->setText(source.path());
        window.TextCopyDst->setText(destination.path());
        window.ListSourceMusic(source.path());
        window.ListDstMusic->setItems({u"Titles play no part"_qs});
    }

    // What the destination folder should hold when these files have arrived.
    QStringList arrived(const QStringList &names) const
    {
        QStringList lines = folders::snapshot(source.path());
        lines.removeIf([&names](const QString &line) { return !names.contains(line.section(u' ', 0, 0)); });
        return lines;
    }

    QTemporaryDir source;
    QTemporaryDir destination;
    RecordingInteraction interaction;
    frmMain window{interaction};
};

// Runs `action` at the first turn of the copy, the dialog just opened.
void atFirstTurn(frmMain &window, const std::function<void(DlgCopy &)> &action)
{
    QMetaObject::invokeMethod(
        &window, [&window, action] { action(*window.findChild<DlgCopy *>()); }, Qt::QueuedConnection);
}

// Runs `action` while the first file is being copied: the dialog's first advance comes just
// before that copy, and the copy lets the window's events run between its chunks.
void whileCopyingFirst(frmMain &window, const std::function<void(DlgCopy &)> &action)
{
    atFirstTurn(window, [action](DlgCopy &dialog) {
        QObject::connect(
            dialog.ProgressBarCopy, &QProgressBar::valueChanged, &dialog,
            [&dialog, action] {
                QMetaObject::invokeMethod(&dialog, [&dialog, action] { action(dialog); }, Qt::QueuedConnection);
            },
            Qt::SingleShotConnection);
    });
}

// Faults that need a process of their own. The child runs the copy of CopyRun's folders and
// exits with 0 when the user was shown 207 and nothing else.
enum Fault { FullDisk, ReadOnlyDestination, OntoItselfThroughBindMount, UnreadableSource };
constexpr int kFaultImpossible = 77;

int copyInChild()
{
    RecordingInteraction interaction;
    frmMain window(interaction);
    window.TextPath->setText(qEnvironmentVariable("MELOPORT_SOURCE"));
    window.TextCopyDst->setText(qEnvironmentVariable("MELOPORT_DESTINATION"));
    window.ListSourceMusic(window.TextPath->text());
    window.cmdCopy->trigger();
    if (interaction.messageTexts() == texts({Msg::CopyFailed}))
        return 0;
    std::fprintf(stderr, "shown: %s\n", qPrintable(interaction.messageTexts().join(u" | ")));
    return 1;
}

// Runs in the child before it starts this program again.
void injectFault(Fault fault, const char *source, const char *destination)
{
    rlimit limit{};
    bool made = true;
    if (fault == ReadOnlyDestination || fault == OntoItselfThroughBindMount)
        made = ::unshare(CLONE_NEWNS) == 0 && ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0;
    switch (fault) {
    case FullDisk: // writes beyond 64 KiB fail as on a full disk, instead of killing the process
        ::getrlimit(RLIMIT_FSIZE, &limit);
        limit.rlim_cur = 64 * 1024;
        made = ::setrlimit(RLIMIT_FSIZE, &limit) == 0 && ::signal(SIGXFSZ, SIG_IGN) != SIG_ERR;
        break;
    case ReadOnlyDestination:
        made = made && ::mount(destination, destination, nullptr, MS_BIND, nullptr) == 0
            && ::mount(nullptr, destination, nullptr, MS_REMOUNT | MS_BIND | MS_RDONLY, nullptr) == 0;
        break;
    case OntoItselfThroughBindMount:
        made = made && ::mount(source, destination, nullptr, MS_BIND, nullptr) == 0;
        break;
    case UnreadableSource: // permissions stop only a user who is not root
        made = ::setgroups(0, nullptr) == 0 && ::setgid(65534) == 0 && ::setuid(65534) == 0;
        break;
    }
    if (!made)
        ::_exit(kFaultImpossible);
}

} // namespace

class TestCopyAll final : public QObject {
    Q_OBJECT
private slots:
    void checksBeforeCopying_data()
    {
        QTest::addColumn<QString>("destination");
        QTest::addColumn<bool>("listed");
        QTest::addColumn<Msg>("shown");
        QTest::newRow("no destination, no files: 206 only") << QString() << false << Msg::NoCopyDestination;
        QTest::newRow("blank destination: 206, not the root folder") << u"  "_qs << true << Msg::NoCopyDestination;
        QTest::newRow("no files: 205") << u"dst"_qs << false << Msg::NoSources;
    }
    void checksBeforeCopying()
    {
        QFETCH(QString, destination);
        QFETCH(bool, listed);
        QFETCH(Msg, shown);
        CopyRun run;
        run.window.TextCopyDst->setText(destination);
        if (!listed)
            run.window.ListSrcMusic->clear();
        run.window.cmdCopy->trigger();
        QCOMPARE(run.interaction.messageTexts(), texts({shown}));
        QVERIFY(!run.window.findChild<DlgCopy *>());
    }

    void oneFile()
    {
        CopyRun run({u"a.wav"_qs});
        const auto state = [&run](DlgCopy &dialog) {
            return u"%1 at %2 of %3, file %4"_qs.arg(dialog.isVisible() ? u"open"_qs : u"closed"_qs)
                .arg(dialog.ProgressBarCopy->value())
                .arg(dialog.ProgressBarCopy->maximum())
                .arg(QFile::exists(run.destination.filePath(u"a.wav"_qs)) ? u"there"_qs : u"not there"_qs);
        };
        QStringList seen;
        atFirstTurn(run.window, [&](DlgCopy &dialog) { seen.append(state(dialog)); });
        whileCopyingFirst(run.window, [&](DlgCopy &dialog) { seen.append(state(dialog)); });
        run.window.cmdCopy->trigger();
        QCOMPARE(seen, (QStringList{u"open at 0 of 1, file not there"_qs, u"closed at 1 of 1, file not there"_qs}));
        QCOMPARE(folders::snapshot(run.destination.path()), run.arrived({u"a.wav"_qs}));
        QCOMPARE(run.interaction.messageTexts(), texts({Msg::Finished}));
    }

    void outcomes_data()
    {
        QTest::addColumn<QString>("twist");
        QTest::addColumn<QStringList>("arrived");
        QTest::addColumn<QList<Msg>>("shown");
        const QStringList all{u"a.wav"_qs, u"b.wav"_qs, u"c.wav"_qs};
        const QStringList first{u"a.wav"_qs};
        const QList<Msg> failed{Msg::CopyFailed};
        QTest::newRow("three files copied under their listed names, then 203") << QString() << all
                                                                                << QList<Msg>{Msg::Finished};
        QTest::newRow("same-named file at the destination replaced") << u"old file"_qs << all
                                                                     << QList<Msg>{Msg::Finished};
        QTest::newRow("cancel during the first: it completes, no second, no message") << u"cancel"_qs << first
                                                                                      << QList<Msg>{};
        QTest::newRow("closing the window stops the copy as a cancel does") << u"close"_qs << first << QList<Msg>{};
        QTest::newRow("second of three missing: first copied, 207 once, third not") << u"second missing"_qs << first
                                                                                    << failed;
        QTest::newRow("first cut short while copied: 207, old file kept") << u"cut short"_qs << QStringList{}
                                                                          << failed;
        QTest::newRow("destination folder missing: 207") << u"no destination"_qs << QStringList{} << failed;
        QTest::newRow("onto itself: 207, file intact") << u"onto itself"_qs << QStringList{} << failed;
        QTest::newRow("onto itself through a linked folder: 207") << u"linked folder"_qs << QStringList{} << failed;
    }
    void outcomes()
    {
        QFETCH(QString, twist);
        QFETCH(QStringList, arrived);
        QFETCH(QList<Msg>, shown);
        CopyRun run;
        run.window.show();
        QTemporaryDir elsewhere;
        if (twist == u"old file" || twist == u"cut short")
            folders::write(run.destination.filePath(u"a.wav"_qs), "old");
        if (twist == u"second missing")
            QVERIFY(QFile::remove(run.source.filePath(u"b.wav"_qs)));
        if (twist == u"no destination")
            run.window.TextCopyDst->setText(run.destination.filePath(u"missing"_qs));
        if (twist == u"onto itself")
            run.window.TextCopyDst->setText(run.source.path() + u"/."_qs);
        if (twist == u"linked folder") {
            QVERIFY(QFile::link(run.source.path(), elsewhere.filePath(u"link"_qs)));
            run.window.TextCopyDst->setText(elsewhere.filePath(u"link"_qs));
        }
        bool firstUnderWay = false;
        whileCopyingFirst(run.window, [&](DlgCopy &dialog) {
            firstUnderWay = !QFile::exists(run.destination.filePath(u"a.wav"_qs));
            if (twist == u"cancel")
                dialog.CancelButton->click();
            if (twist == u"close")
                run.window.close();
            if (twist == u"cut short")
                QFile::resize(run.source.filePath(u"a.wav"_qs), 10);
        });
        const QStringList sourceBefore = folders::snapshot(run.source.path());
        const QStringList destinationAfter = arrived.isEmpty() ? folders::snapshot(run.destination.path())
                                                               : run.arrived(arrived);

        run.window.cmdCopy->trigger();
        QCOMPARE(run.interaction.messageTexts(), texts(shown));
        if (twist != u"cut short") // that one cuts the source short on purpose
            QCOMPARE(folders::snapshot(run.source.path()), sourceBefore);
        QCOMPARE(folders::snapshot(run.destination.path()), destinationAfter);
        QVERIFY(!run.window.findChild<DlgCopy *>()->isVisible());
        QCOMPARE(run.window.isVisible(), twist != u"close");
        if (twist == u"cancel" || twist == u"close")
            QVERIFY(firstUnderWay);
    }

    void toAnotherFileSystem()
    {
        // Where the kernel cannot copy from one file system to the other, reads and writes do.
        QTemporaryDir other(u"/dev/shm/meloport-XXXXXX"_qs);
        if (!other.isValid())
            QSKIP("no second file system at /dev/shm");
        CopyRun run;
        run.window.TextCopyDst->setText(other.path());
        run.window.cmdCopy->trigger();
        QCOMPARE(run.interaction.messageTexts(), texts({Msg::Finished}));
        QCOMPARE(folders::snapshot(other.path()), run.arrived({u"a.wav"_qs, u"b.wav"_qs, u"c.wav"_qs}));
    }

    void changesDuringTheCopy_data()
    {
        QTest::addColumn<QString>("control");
        QTest::newRow("second copy ignored") << u"cmdCopy"_qs;
        QTest::newRow("music folder button ignored") << u"CommandBrowsePath"_qs;
        QTest::newRow("destination button ignored") << u"CommandCopyDst"_qs;
        QTest::newRow("kind menu ignored") << u"cmdWav"_qs;
        QTest::newRow("destination field edited: the rest goes where the copy began") << u"TextCopyDst"_qs;
    }
    void changesDuringTheCopy()
    {
        QFETCH(QString, control);
        CopyRun run;
        const QStringList listed = run.window.ListSrcMusic->items();
        run.interaction.folderAnswers.enqueue(run.destination.path());
        whileCopyingFirst(run.window, [&](DlgCopy &) {
            folders::write(run.source.filePath(u"new.wav"_qs), "new");
            if (auto *field = run.window.findChild<QLineEdit *>(control))
                field->setText(run.source.path()); // the rest would be copied onto itself
            else if (auto *button = run.window.findChild<QPushButton *>(control))
                button->click();
            else
                run.window.findChild<QAction *>(control)->trigger();
        });
        run.window.cmdCopy->trigger();
        QCOMPARE(run.interaction.messageTexts(), texts({Msg::Finished}));
        QCOMPARE(run.interaction.folderStarts, QStringList{});
        QCOMPARE(run.window.ListSrcMusic->items(), listed);
        QCOMPARE(folders::snapshot(run.destination.path()), run.arrived(listed));
    }

    void faults_data()
    {
        QTest::addColumn<int>("fault");
        QTest::addColumn<QStringList>("arrived");
        QTest::newRow("full disk while replacing: old file kept") << int(FullDisk) << QStringList{};
        QTest::newRow("read-only destination") << int(ReadOnlyDestination) << QStringList{};
        QTest::newRow("onto itself through a bind mount") << int(OntoItselfThroughBindMount) << QStringList{};
        QTest::newRow("second of three unreadable") << int(UnreadableSource) << QStringList{u"a.wav"_qs};
    }
    void faults()
    {
        QFETCH(int, fault);
        QFETCH(QStringList, arrived);
        CopyRun run;
        if (fault == UnreadableSource) {
            // Only the second file is out of reach of the unprivileged child.
            for (const QTemporaryDir *dir : {&run.source, &run.destination})
                QVERIFY(QFile::setPermissions(dir->path(), QFile::Permissions(0x7777)));
            QVERIFY(QFile::setPermissions(run.source.filePath(u"b.wav"_qs), {}));
        } else if (fault != OntoItselfThroughBindMount) {
            folders::write(run.destination.filePath(u"a.wav"_qs), "old");
        }
        const QStringList sourceBefore = folders::snapshot(run.source.path());
        const QStringList destinationAfter = arrived.isEmpty() ? folders::snapshot(run.destination.path())
                                                               : run.arrived(arrived);

        QProcess child;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(u"MELOPORT_SOURCE"_qs, run.source.path());
        environment.insert(u"MELOPORT_DESTINATION"_qs, run.destination.path());
        child.setProcessEnvironment(environment);
        const QByteArray source = QFile::encodeName(run.source.path());
        const QByteArray destination = QFile::encodeName(run.destination.path());
        child.setChildProcessModifier(
            [fault, source, destination] { injectFault(Fault(fault), source.constData(), destination.constData()); });
        child.start(QCoreApplication::applicationFilePath(), {});
        QVERIFY(child.waitForFinished(60000));
        if (child.exitCode() == kFaultImpossible)
            QSKIP("this fault cannot be made here (no permission to mount or to change user)");
        QVERIFY2(child.exitCode() == 0, child.readAllStandardError().constData());
        QCOMPARE(folders::snapshot(run.source.path()), sourceBefore);
        QCOMPARE(folders::snapshot(run.destination.path()), destinationAfter);
    }
};

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    if (qEnvironmentVariableIsSet("MELOPORT_SOURCE"))
        return copyInChild();
    TestCopyAll test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_copyall.moc"
