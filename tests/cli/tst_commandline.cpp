// The program run as a script runs it: a child process with no display, its output and its exit
// status, and the files it leaves.

#include "ui/frmMain.h"
#include "core/MessageCatalogue.h"
#include "platform/Platform.h"
#include "support/DiskImage.h"
#include "support/FolderSnapshot.h"
#include "support/MessageFamily.h"
#include "support/RecordingInteraction.h"

#include <QAction>
#include <QLineEdit>
#include <QMenu>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

#include <cerrno>
#include <sys/stat.h>

using namespace meloport;

namespace {

struct Run {
    int status = -1;
    QByteArray out;
    QString err;
};

// Starts the program with the journal under `state`, as a script on a machine without a display;
// through a shell command `wrapper` ending in "$@" where one is given.
void startProgram(QProcess &process, const QStringList &arguments, const QString &state,
                  const QString &workingFolder = {}, const QString &wrapper = {})
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        environment.remove(QString::fromLatin1(name));
    environment.insert(u"XDG_STATE_HOME"_qs, state);
    process.setProcessEnvironment(environment);
    process.setWorkingDirectory(workingFolder);
    if (wrapper.isEmpty())
        process.start(QStringLiteral(MELOPORT_PROGRAM), arguments);
    else
        process.start(u"sh"_qs, QStringList{u"-c"_qs, wrapper, u"sh"_qs, QStringLiteral(MELOPORT_PROGRAM)} + arguments);
}

Run finished(QProcess &process)
{
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit)
        return {};
    return {process.exitCode(), process.readAllStandardOutput(), QString::fromUtf8(process.readAllStandardError())};
}

Run runProgram(const QStringList &arguments, const QString &state, const QString &workingFolder = {},
               const QString &wrapper = {})
{
    QProcess process;
    startProgram(process, arguments, state, workingFolder, wrapper);
    return finished(process);
}

// Each renameat2 of the program then takes `ms` longer.
// LeakSanitizer cannot run under ptrace, so a sanitized build leaves leaks to the untraced runs.
QString slowedRenames(int ms)
{
    return u"ASAN_OPTIONS=\"$ASAN_OPTIONS:detect_leaks=0\" exec strace -f -o /dev/null -e trace=renameat2 -e inject=renameat2:delay_enter=%1000 \"$@\""_qs.arg(ms);
}

// The catalogue numbers of the messages on standard error (0: Qt's own words), in order.
QString said(const Run &run)
{
    QStringList numbers;
    for (const QString &message : run.err.split(u"meloport: "_qs, Qt::SkipEmptyParts))
        numbers.append(QString::number(messageNumber(message.chopped(1))));
    return numbers.join(u", "_qs);
}

// Waits until the rename under way has written `line` into its record under `state`.
bool journalSays(const QString &state, QByteArrayView line)
{
    return QTest::qWaitFor([&] { return fileBytes(state + u"/Meloport/last-rename.journal"_qs).contains(line); }, 20000);
}

} // namespace

class TestCommandLine final : public QObject {
    Q_OBJECT
private slots:
    // The album holds a.wav, b.wav and a Latin-1 caf\xe9.mp3, from an old archive. `said`: the messages
    // on standard error by catalogue number (0: Qt's own words).
    void jobs_data()
    {
        QTest::addColumn<QByteArray>("titles");
        QTest::addColumn<QStringList>("arguments"); // {dir}: a folder holding album/, titles.txt and copy/
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("album"); // afterwards; empty: as it was
        QTest::addColumn<QByteArray>("out");
        QTest::addColumn<QString>("said");
        const auto row = [](const char *name, const QByteArray &titles, const QStringList &arguments, int status,
                            const QString &said, const QByteArray &out = {}, const QString &album = {}) {
            QTest::newRow(name) << titles << arguments << status << album << out << said;
        };
        const QStringList rename{u"--rename"_qs, u"{dir}/album"_qs, u"--titles"_qs, u"{dir}/titles.txt"_qs};
        const QStringList dryRun = rename + QStringList{u"--dry-run"_qs};
        const QByteArray two("序曲\n終曲\n"), same("x\nx\n");
        row("rename: a ? kept where the disk takes it", "序曲?\n終曲\n", rename, 0, u"203"_qs, {},
            u"caf\\xe9.mp3=C 序曲?.WAV=A 終曲.WAV=B"_qs);
        row("dry run of another kind, named in any case, numbered: a name that is not UTF-8 as its bytes", "序曲",
            dryRun + QStringList{u"--kind"_qs, u"Mp3"_qs, u"--number"_qs}, 0, {}, "caf\xe9.mp3\t01 序曲.MP3\n");
        row("a batch that would partly fail: nobody to answer, nothing done", same, rename, 1, u"220, 281"_qs);
        row("dry run of it: the pairs and the problem", same, dryRun, 1, u"220, 226"_qs, "a.wav\tx.WAV\nb.wav\tx.WAV\n");
        row("a folder that is not there", two, QStringList(rename).replaceInStrings(u"album"_qs, u"albun"_qs), 1,
            u"263"_qs);
        row("copy", {}, {u"--copy"_qs, u"{dir}/album"_qs, u"--to"_qs, u"{dir}/copy"_qs}, 0, u"203"_qs);
        row("usage: an unknown option", two, rename + QStringList{u"--force"_qs}, 2, u"0, 289"_qs);
        row("usage: no job", two, {u"--yes"_qs}, 2, u"284, 289"_qs);
        row("usage: rename without titles", two, {u"--rename"_qs, u"{dir}/album"_qs}, 2, u"285, 289"_qs);
        row("usage: titles from a file and from tags", two, rename + QStringList{u"--titles-from-tags"_qs}, 2,
            u"386, 289"_qs);
        row("usage: an unknown kind", two, rename + QStringList{u"--kind"_qs, u"ogg-vorbis"_qs}, 2, u"287, 289"_qs);
        row("usage: an empty folder, which is not the root", two,
            {u"--rename"_qs, QString(), u"--titles"_qs, u"{dir}/titles.txt"_qs}, 2, u"290, 289"_qs);
    }
    void jobs()
    {
        QFETCH(QByteArray, titles);
        QFETCH(QStringList, arguments);
        QFETCH(int, status);
        QFETCH(QString, album);
        QFETCH(QByteArray, out);
        QFETCH(QString, said);
        TestFolder dir;
        QVERIFY(QDir(dir.path()).mkpath(u"album"_qs) && QDir(dir.path()).mkpath(u"copy"_qs));
        writeFile(dir.filePath(u"album/a.wav"_qs), "A");
        writeFile(dir.filePath(u"album/b.wav"_qs), "B");
        writeFile(QFile::encodeName(dir.filePath(u"album/"_qs)) + "caf\xe9.mp3", "C");
        if (!titles.isEmpty())
            writeFile(dir.filePath(u"titles.txt"_qs), titles);
        const QString before = snapshotText(dir.filePath(u"album"_qs));

        const Run run = runProgram(arguments.replaceInStrings(u"{dir}"_qs, dir.path()), dir.filePath(u"state"_qs));
        QCOMPARE(::said(run), said);
        QCOMPARE(run.status, status);
        QCOMPARE(run.out, out);
        QCOMPARE(snapshotText(dir.filePath(u"album"_qs)), album.isEmpty() ? before : album);
        const bool copied = run.status == 0 && arguments.contains(u"--copy"_qs);
        QCOMPARE(snapshotText(dir.filePath(u"copy"_qs)), copied ? u"a.wav=A b.wav=B"_qs : QString());
    }

    // An album on exFAT, each title holding one character that the disk refuses: the dry run and
    // the rename with --yes give them their full-width look-alikes, and the undo takes them back.
    // The computer's What?.wav is copied onto the disk as What？.wav, and only with --yes.
    void onExfat()
    {
        DiskImage image(DiskImage::Kind::Exfat);
        if (!image.isMounted())
            QSKIP(qPrintable(u"cannot mount exFAT here: "_qs + image.whyNot()));
        TestFolder dir;
        const QString album = image.path(), state = dir.filePath(u"state"_qs);
        const QString ascii = u"\\/:*?\"<>|"_qs, fullWidth = u"＼／：＊？＂＜＞｜"_qs;
        QByteArray titles, planned;
        QStringList renamed;
        for (qsizetype i = 0; i < ascii.size(); ++i) {
            writeFile(album + u"/f%1.wav"_qs.arg(i), "");
            titles += QString(u't' + ascii[i] + u'\n').toUtf8();
            planned += u"f%1.wav\tt%2.WAV\n"_qs.arg(i).arg(fullWidth[i]).toUtf8();
            renamed.append(u"t%1.WAV"_qs.arg(fullWidth[i]));
        }
        renamed.sort();
        writeFile(dir.filePath(u"titles.txt"_qs), titles);
        writeFile(dir.filePath(u"What?.wav"_qs), "W");
        const QString before = snapshotText(album);
        const QStringList rename{u"--rename"_qs, album, u"--titles"_qs, dir.filePath(u"titles.txt"_qs), u"--yes"_qs};
        const Run dryRun = runProgram(rename + QStringList{u"--dry-run"_qs}, state);
        QCOMPARE(dryRun.status, 0);
        QCOMPARE(dryRun.out, planned);
        QCOMPARE(runProgram(rename, state).status, 0);
        QCOMPARE(folderSnapshot(album).keys(), renamed);
        QCOMPARE(runProgram({u"--undo"_qs, u"--yes"_qs}, state).status, 0);
        QCOMPARE(snapshotText(album), before);

        const QStringList copy{u"--copy"_qs, dir.path(), u"--to"_qs, album};
        QCOMPARE(runProgram(copy, state).status, 1);
        QCOMPARE(snapshotText(album), before);
        QCOMPARE(runProgram(copy + QStringList{u"--yes"_qs}, state).status, 0);
        QCOMPARE(fileBytes(album + u"/What？.wav"_qs), "W");
    }

    // Track01.mp3 has a title tag in Shift-JIS, Track02.mp3 none: it keeps its name, is named on
    // standard error, and makes the status 1.
    void titlesFromTags()
    {
        TestFolder dir;
        QVERIFY(QFile::copy(QStringLiteral(TAG_FIXTURES "/sjis-id3v23.mp3"), dir.filePath(u"Track01.mp3"_qs)));
        QVERIFY(QFile::copy(QStringLiteral(TAG_FIXTURES "/untagged.mp3"), dir.filePath(u"Track02.mp3"_qs)));
        const Run run = runProgram({u"--rename"_qs, dir.path(), u"--titles-from-tags"_qs, u"--kind"_qs, u"mp3"_qs},
                                   dir.filePath(u"s"_qs));
        QCOMPARE(run.status, 1);
        QVERIFY2(run.err.contains(u"「Track02.mp3」"_qs), qPrintable(run.err));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files).join(u' '), u"Track02.mp3 序曲.MP3"_qs);
    }

    // The window and the command line keep one record: either renames, the other undoes.
    void undo_data()
    {
        QTest::addColumn<bool>("byWindow");
        QTest::newRow("a window's rename, undone by the command line") << true;
        QTest::newRow("a command line's rename, from another working folder, undone by the window") << false;
    }
    void undo()
    {
        QFETCH(bool, byWindow);
        TestFolder dir;
        const QString album = dir.filePath(u"album"_qs), state = dir.filePath(u"state"_qs);
        QVERIFY(QDir(dir.path()).mkpath(u"album"_qs));
        writeFiles(album, {"a.wav", "b.wav"});
        writeFile(dir.filePath(u"titles.txt"_qs), "b\na\n");
        RecordingInteraction interaction;
        frmMain window(interaction, StatePaths{dir.filePath(u"Meloport.ini"_qs), dir.filePath(u"lock"_qs),
                                               state + u"/Meloport/last-rename.journal"_qs});
        QVERIFY(window.Form_Load());
        if (byWindow) {
            interaction.folderAnswers.enqueue(album);
            window.CommandBrowsePath->click();
            window.TextFile->setText(dir.filePath(u"titles.txt"_qs));
            window.CommandLoad->click();
            window.CommandRunAll->click();
        } else {
            QCOMPARE(runProgram({u"--rename"_qs, u"album"_qs, u"--titles"_qs, u"titles.txt"_qs}, state, dir.path()).status, 0);
        }
        QCOMPARE(snapshotText(album), u"a.WAV=b.wav b.WAV=a.wav"_qs);
        if (byWindow) {
            QCOMPARE(runProgram({u"--undo"_qs, u"--yes"_qs}, state).status, 0);
        } else {
            interaction.questionAnswers.enqueue(true);
            emit window.cmdFile->aboutToShow();
            window.cmdUndo->trigger();
        }
        QCOMPARE(snapshotText(album), u"a.wav=a.wav b.wav=b.wav"_qs);
    }

    // With the journal's disk nearly full, the plan fits and the room for the progress does not: a
    // file size limit stops the second rename before any file is touched, and says why; the first
    // rename's record stays as it was.
    void stopsWhenTheRecordCannotBeKept()
    {
        QTemporaryDir dir;
        const QString state = dir.filePath(u"state"_qs);
        const QString first = dir.filePath(u"first"_qs), second = dir.filePath(u"second"_qs);
        QVERIFY(QDir().mkpath(first) && QDir().mkpath(second));
        writeFile(first + u"/a.wav"_qs, "A");
        writeFile(dir.filePath(u"one.txt"_qs), "x\n");
        QByteArray titles;
        for (int i = 0; i < 1000; ++i) { // a plan of about 60 KB and room of 56 KB for its progress
            writeFile(second + QString::asprintf("/a%04d.wav", i), "S");
            titles += QByteArray::number(i) + '\n';
        }
        writeFile(dir.filePath(u"many.txt"_qs), titles);
        QCOMPARE(runProgram({u"--rename"_qs, first, u"--titles"_qs, dir.filePath(u"one.txt"_qs)}, state).status, 0);
        const QString journal = state + u"/Meloport/last-rename.journal"_qs;
        const QByteArray firstRecord = fileBytes(journal);
        const auto before = folderSnapshot(second);

        const Run full = runProgram({u"--rename"_qs, second, u"--titles"_qs, dir.filePath(u"many.txt"_qs)}, state, {},
                                    u"trap '' XFSZ; exec prlimit --fsize=90000 \"$@\""_qs);
        QCOMPARE(full.status, 1);
        QVERIFY2(full.err.contains(FormatMessage(Msg::JournalNotWritten, journal, platform::describeError(EFBIG)).text),
                 qPrintable(full.err));
        QCOMPARE(folderSnapshot(second), before);
        QCOMPARE(fileBytes(journal), firstRecord);
        QCOMPARE(QDir(state + u"/Meloport"_qs).entryList(QDir::Files | QDir::Hidden),
                 QStringList({u"last-rename.journal"_qs, u"last-rename.journal.lock"_qs}));
    }

    // A rename of the window and one of the command line at the same time would each write its
    // record over the other's: the second waits for the first, and says so.
    void waitsForAnotherRename()
    {
        TestFolder dir;
        const QString album = dir.filePath(u"album"_qs), state = dir.filePath(u"state"_qs);
        QVERIFY(QDir().mkpath(album) && QDir().mkpath(state + u"/Meloport"_qs));
        writeFile(album + u"/a.wav"_qs, "A");
        writeFile(dir.filePath(u"titles.txt"_qs), "x\n");
        auto held = std::make_unique<platform::InstanceLock>(state + u"/Meloport/last-rename.journal.lock"_qs);
        QCOMPARE(held->state(), platform::InstanceLockState::Acquired);

        QProcess process;
        startProgram(process, {u"--rename"_qs, album, u"--titles"_qs, dir.filePath(u"titles.txt"_qs)}, state);
        QVERIFY(!process.waitForFinished(500));
        QCOMPARE(snapshotText(album), u"a.wav=A"_qs);
        held.reset();
        const Run run = finished(process);
        QCOMPARE(run.status, 0);
        QVERIFY2(run.err.contains(LoadMessage(Msg::WaitedForOtherRename).text), qPrintable(run.err));
        QCOMPARE(snapshotText(album), u"x.WAV=A"_qs);
    }

    // A second run started while a rename is under way (each of its renames slowed down) waits for
    // it, and only then reads the record or lists and checks the folder: an undo puts back every
    // file of the batch, another rename renames the folder as the first one left it.
    void runsAfterTheRenameUnderWay_data()
    {
        QTest::addColumn<QByteArray>("first"); // titles for A.WAV B.WAV C.WAV
        QTest::addColumn<QStringList>("second");
        QTest::addColumn<QString>("after");
        QTest::newRow("an undo") << QByteArray("B\nC\nA\n") << QStringList{u"--undo"_qs, u"--yes"_qs}
                                 << u"A.WAV=A B.WAV=B C.WAV=C"_qs;
        QTest::newRow("a rename of the folder as the first left it")
            << QByteArray("A\nY\nX\n") << QStringList{u"--rename"_qs, u"{dir}/album"_qs, u"--titles"_qs, u"{dir}/second.txt"_qs}
            << u"P.WAV=A Q.WAV=C R.WAV=B"_qs;
    }
    void runsAfterTheRenameUnderWay()
    {
        QFETCH(QByteArray, first);
        QFETCH(QStringList, second);
        QFETCH(QString, after);
        if (QStandardPaths::findExecutable(u"strace"_qs).isEmpty())
            QSKIP("strace, which slows the first rename down, is not installed");
        QTemporaryDir dir;
        const QString album = dir.filePath(u"album"_qs), state = dir.filePath(u"state"_qs);
        QVERIFY(QDir().mkpath(album));
        for (const char *name : {"A", "B", "C"})
            writeFile(album + u'/' + QLatin1StringView(name) + u".WAV"_qs, name);
        writeFile(dir.filePath(u"first.txt"_qs), first);
        writeFile(dir.filePath(u"second.txt"_qs), "P\nQ\nR\n");

        QProcess renaming;
        startProgram(renaming, {u"--rename"_qs, album, u"--titles"_qs, dir.filePath(u"first.txt"_qs)}, state, {},
                     slowedRenames(1000));
        QVERIFY(journalSays(state, "planned\n"));
        const Run next = runProgram(second.replaceInStrings(u"{dir}"_qs, dir.path()), state);
        QCOMPARE(finished(renaming).status, 0);
        QVERIFY2(next.err.contains(LoadMessage(Msg::WaitedForOtherRename).text), qPrintable(next.err));
        QCOMPARE(next.status, 0);
        QCOMPARE(snapshotText(album), after);
    }

    // A folder and a title file named in Latin-1 by an old system, renamed from inside the folder
    // ("."), then undone from elsewhere: the folder is found by its bytes, never by the look-alike
    // beside it that a replacement mark would name, which only a message shows.
    void keepsANameThatIsNotUtf8()
    {
        TestFolder dir;
        const QByteArray top = QFile::encodeName(dir.path()) + '/';
        const QByteArrayList folders{"caf\xe9", "caf\uFFFD"}; // in Latin-1, and its look-alike
        for (const QByteArray &folder : folders) {
            QCOMPARE(::mkdir(QByteArray(top + folder).constData(), 0700), 0);
            writeFile(top + folder + "/a.wav", "A");
        }
        writeFile(top + "t\xe9.txt", "X\n");
        const QString state = dir.filePath(u"state"_qs);
        const Run renamed = runProgram({u"--rename"_qs, u"."_qs}, state, dir.path(),
                                       u"cd \"$(printf 'caf\\351')\" && exec \"$@\" --titles \"../$(printf 't\\351.txt')\""_qs);
        QCOMPARE(said(renamed), u"203"_qs);
        const Run undone = runProgram({u"--undo"_qs, u"--yes"_qs}, state);
        QCOMPARE(said(undone), u"250, 203"_qs);
        QVERIFY2(undone.err.contains(dir.path() + u"/caf\uFFFD/."_qs), qPrintable(undone.err));
        for (const QByteArray &folder : folders)
            QCOMPARE(snapshotText(platform::pathText(QByteArray(top + folder))), u"a.wav=A"_qs);
    }

    // A stick pulled out in the middle of a rename (its driver killed): the report says that the
    // outcome is unknown, never that nothing was renamed; an undo names the missing folder and
    // keeps the record, and once the stick is back, puts every file back.
    void aStickPulledOutMidway()
    {
        if (QStandardPaths::findExecutable(u"strace"_qs).isEmpty())
            QSKIP("strace, which slows the rename down, is not installed");
        DiskImage image(DiskImage::Kind::Exfat);
        if (!image.isMounted())
            QSKIP(qPrintable(u"cannot mount exFAT here: "_qs + image.whyNot()));
        TestFolder dir;
        const QString album = image.path(), state = dir.filePath(u"state"_qs);
        QByteArray titles;
        for (const char *name : {"A", "B", "C", "D", "E", "F"}) {
            writeFile(album + u'/' + QLatin1StringView(name) + u".WAV"_qs, name);
            titles += name + QByteArray("1\n");
        }
        writeFile(dir.filePath(u"titles.txt"_qs), titles);
        const auto before = folderSnapshot(album);

        QProcess renaming;
        startProgram(renaming, {u"--rename"_qs, album, u"--titles"_qs, dir.filePath(u"titles.txt"_qs)}, state, {},
                     slowedRenames(300));
        QVERIFY(journalSays(state, "done 1\n"));
        QVERIFY(image.pull());
        const Run cut = finished(renaming);
        QCOMPARE(said(cut), u"324"_qs);
        QCOMPARE(cut.status, 1);

        const Run unplugged = runProgram({u"--undo"_qs, u"--yes"_qs}, state);
        QCOMPARE(said(unplugged), u"323"_qs);
        QVERIFY2(unplugged.err.contains(album), qPrintable(unplugged.err));
        QCOMPARE(unplugged.status, 1);

        QVERIFY2(image.plugIn(), qPrintable(image.whyNot()));
        const Run undone = runProgram({u"--undo"_qs, u"--yes"_qs}, state);
        QCOMPARE(said(undone), u"250, 203"_qs);
        QCOMPARE(folderSnapshot(album), before);
    }
};

QTEST_MAIN(TestCommandLine)
#include "tst_commandline.moc"
