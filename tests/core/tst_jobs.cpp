// The rename, its undo and the copy from first check to last report, as the window and the command
// line both drive them, with a scripted person: what is said and asked (by catalogue number), and
// what the folders hold afterwards. What the batches find is their own tests' matter.

#include "core/copy/CopyJob.h"
#include "core/rename/RenameJob.h"
#include "platform/Platform.h"

#include "support/FolderSnapshot.h"
#include "support/ScriptedDialog.h"

#include <QDir>

using namespace meloport;

struct Renaming { QByteArray files; QStringList titles; QString twist; bool answer; QString after, said; };
struct Copying { QString twist; CopyOutcome outcome; QString arrived, said, progress; };
Q_DECLARE_METATYPE(Renaming)
Q_DECLARE_METATYPE(Copying)

class TestJobs final : public QObject {
    Q_OBJECT
private slots:
    // The folder "Album" holds `files`, listed and paired with `titles` as the window does it; a
    // twist comes between listing and renaming. `after`: the folder afterwards, empty: as it was.
    void rename_data()
    {
        QTest::addColumn<Renaming>("row");
        const auto row = [](const char *name, const QByteArray &files, const QStringList &titles, const QString &said,
                            const QString &after = {}, const QString &twist = {}, bool answer = false) {
            QTest::newRow(name) << Renaming{files, titles, twist, answer, after, said};
        };
        const QByteArray two("a.wav b.wav"), tracks("Track1.wav Track10.wav Track2.wav");
        const QStringList xy{u"X"_qs, u"Y"_qs}, same{u"Same"_qs, u"Same"_qs}, abc{u"A"_qs, u"B"_qs, u"C"_qs};
        row("nothing listed", {}, {u"A"_qs}, u"205"_qs);
        row("no titles", two, {}, u"204"_qs);
        row("two files, one title", two, {u"A"_qs}, u"202"_qs);
        row("an empty title: nothing renamed", two, {u"A"_qs, QString()}, u"210"_qs);
        row("a slash, いいえ to its look-alike: nothing renamed", two, {u"A"_qs, u"AC/DC"_qs}, u"? 300"_qs);
        row("a slash, はい to its look-alike", two, {u"A"_qs, u"AC/DC"_qs}, u"? 300, 203"_qs,
            u"A.WAV=a.wav AC／DC.WAV=b.wav"_qs, {}, true);
        row("titles in JIS: nothing renamed, and the encoding named", two,
            {u"\x1b$B6J\x1b(B"_qs, u"\x1b$B$/\x1b(B"_qs}, u"210"_qs, {}, u"JIS"_qs);
        row("renamed", two, xy, u"203"_qs, u"X.WAV=a.wav Y.WAV=b.wav"_qs);
        row("the same title twice, いいえ: every file as it was", two, same, u"? 220"_qs);
        row("the same title twice, はい: the other renamed, the one reported", two, same, u"? 220, 216"_qs,
            u"Same.WAV=a.wav b.wav=b.wav"_qs, {}, true);
        row("every pair would fail: told, not asked", two, xy, u"216"_qs, {}, u"gone"_qs);
        row("Track10 listed before Track2, いいえ", tracks, abc, u"? 221"_qs);
        row("Track10 listed before Track2, はい: as listed", tracks, abc, u"? 221, 203"_qs,
            u"A.WAV=Track1.wav B.WAV=Track10.wav C.WAV=Track2.wav"_qs, {}, true);
        row("the record cannot be written: nothing renamed", two, xy, u"258"_qs, {}, u"journal"_qs);
    }
    void rename()
    {
        QFETCH(Renaming, row);
        const auto &[files, titles, twist, answer, after, said] = row;
        TestFolder root;
        const QString album = root.filePath(u"Album"_qs);
        QVERIFY(QDir().mkpath(album));
        writeFiles(album, files.split(' '));
        const MusicListing listing = listMusicFiles(album, u"WAV"_qs);
        if (twist == u"gone")
            removeContents(album);
        if (twist == u"journal")
            writeFile(root.filePath(u"state"_qs), "a file where the record's folder would be");
        const QString before = snapshotText(album);

        ScriptedDialog dialog;
        dialog.otherwise = answer;
        const auto lock = lockRenames(root.filePath(u"state/last-rename.journal"_qs), dialog);
        auto batch = lock ? prepareRename(listing, titles, u"WAV"_qs, dialog) : std::nullopt;
        if (batch)
            runRename(*batch, *lock, dialog);
        QCOMPARE(dialog.said.join(u", "_qs), said);
        QCOMPARE(snapshotText(album), after.isEmpty() ? before : after);
        if (twist == u"JIS")
            QVERIFY(dialog.texts.constLast().endsWith(LoadMessage(Msg::TitleFileInJis).text));
    }

    // a.wav and b.wav renamed to each other's names, then 元に戻す answered いいえ, はい, and with the
    // record damaged: refused, and not offered again until a new one.
    void undo()
    {
        TestFolder album, state;
        const QString journal = state.filePath(u"Meloport/last-rename.journal"_qs);
        const auto renameAll = [&] {
            removeContents(album.path());
            writeFiles(album.path(), {"a.wav", "b.wav"});
            ScriptedDialog dialog;
            const auto lock = lockRenames(journal, dialog);
            auto batch = prepareRename(listMusicFiles(album.path(), u"WAV"_qs), {u"b"_qs, u"a"_qs}, u"WAV"_qs, dialog);
            QVERIFY(lock && batch && runRename(*batch, *lock, dialog));
        };
        UndoCommand command(journal);
        const auto undo = [&](bool answer) -> QString {
            ScriptedDialog dialog;
            dialog.answers.enqueue(answer);
            command.run(dialog);
            return dialog.said.join(u", "_qs) + u" | "_qs + snapshotText(album.path());
        };
        QVERIFY(!command.available()); // nothing recorded yet
        renameAll();
        const QString renamed = u"a.WAV=b.wav b.WAV=a.wav"_qs;
        QCOMPARE(undo(false), u"? 250 | "_qs + renamed);
        QCOMPARE(undo(true), u"? 250, 203 | a.wav=a.wav b.wav=b.wav"_qs);
        QVERIFY(command.available());
        renameAll();
        writeFile(journal, "meloport-rename-journal 1\nfolder /\nstep 9 a b uc\nplanned\n");
        QCOMPARE(undo(true), u"254 | "_qs + renamed);
        QVERIFY(!command.available());
        renameAll();
        QVERIFY(command.available());
    }

    // From a.wav (three chunks and a byte), b.wav and c.wav to a folder that holds an old a.wav.
    // `progress`: what the progress side was told.
    void copy_data()
    {
        QTest::addColumn<Copying>("row"); // `arrived` empty: the destination as it was
        const auto row = [](const char *name, const QString &twist, CopyOutcome outcome, const QString &said,
                            const QString &arrived = {}, const QString &progress = {}) {
            QTest::newRow(name) << Copying{twist, outcome, arrived, said, progress};
        };
        const QString all = u"a.wav b.wav c.wav"_qs, shown = u"begin 3, end"_qs;
        row("all three, the old a.wav replaced", {}, CopyOutcome::Done, u"203"_qs, all, shown);
        row("a blank destination", u"  "_qs, CopyOutcome::Refused, u"206"_qs);
        row("no files", u"no files"_qs, CopyOutcome::Refused, u"205"_qs);
        row("the folder field edited since listing", u"field"_qs, CopyOutcome::Refused, u"219"_qs);
        row("refused by the batch: the destination is the listed folder", u"same folder"_qs, CopyOutcome::Refused,
            u"207"_qs);
        row("stopped within the first file: its old version kept, how far said to the progress side", u"stop"_qs,
            CopyOutcome::Stopped, {}, {}, u"begin 3, end, 282"_qs);
        row("the second gone since listing: the first copied, the second named", u"second gone"_qs,
            CopyOutcome::Failed, u"236"_qs, u"a.wav"_qs, shown);
        row("a copy asked for while one runs does nothing", u"again"_qs, CopyOutcome::Done, u"203"_qs, all, shown);
    }
    void copy()
    {
        QFETCH(Copying, row);
        const auto &[twist, outcome, arrived, said, progress] = row;
        TestFolder source, destination;
        writeFile(source.filePath(u"a.wav"_qs), QByteArray(3 * platform::kCopyChunkBytes + 1, 'a'));
        writeFiles(source.path(), {"b.wav", "c.wav"});
        writeFile(destination.filePath(u"a.wav"_qs), "old");
        const MusicListing listing = listMusicFiles(source.path(), twist == u"no files" ? u"MP3"_qs : u"WAV"_qs);
        if (twist == u"second gone")
            QVERIFY(QFile::remove(source.filePath(u"b.wav"_qs)));
        const QString to = QMap<QString, QString>{{u"  "_qs, u"  "_qs}, {u"same folder"_qs, source.path() + u"/."_qs}}
                               .value(twist, destination.path());
        auto expected = folderSnapshot(destination.path());
        for (const QString &name : arrived.split(u' ', Qt::SkipEmptyParts))
            expected.insert(name, folderSnapshot(source.path()).value(name));

        CopyJob job;
        ScriptedDialog dialog, inner;
        ScriptedProgress shown, innerProgress;
        shown.stop = twist == u"stop";
        if (twist == u"again")
            shown.twist = [&] {
                QVERIFY(job.isRunning());
                QCOMPARE(job.run(listing, source.path(), to, inner, innerProgress), CopyOutcome::Refused);
            };
        QCOMPARE(job.run(listing, twist == u"field" ? destination.path() : source.path(), to, dialog, shown), outcome);
        QVERIFY(!job.isRunning());
        QCOMPARE(dialog.said.join(u", "_qs), said);
        QCOMPARE(shown.seen.join(u", "_qs), progress);
        if (outcome == CopyOutcome::Done) // the last word counts every file and byte
            QCOMPARE(shown.last, std::pair(qsizetype(3), qint64(3 * platform::kCopyChunkBytes + 11)));
        QCOMPARE(inner.said + innerProgress.seen, QStringList());
        QCOMPARE(folderSnapshot(destination.path()), expected);
    }
};

QTEST_GUILESS_MAIN(TestJobs)
#include "tst_jobs.moc"
