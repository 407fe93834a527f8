#include "core/rename/RenameJournal.h"
#include "core/listing/SourceListing.h"
#include "core/rename/UndoPlan.h"

#include "support/DiskImage.h"
#include "support/FolderSnapshot.h"

#include <QProcess>

using namespace meloport;

namespace {

RecordedRun renameRecorded(const RenamePlan &plan, const QString &journal)
{
    RenameBatch batch(plan);
    batch.check();
    return runRecorded(batch, journal);
}

// Undoes what the journal records; the names of files not found, then the pairs that failed.
QStringList undoRecorded(const QString &journal)
{
    const JournalReading reading = readRenameJournal(journal);
    if (!reading.record)
        return {u"(journal unusable)"_qs};
    const UndoPlan undo = planUndo(*reading.record);
    QStringList left;
    for (const RenamePair &pair : undo.notFound)
        left.append(pair.newShown + u" not found"_qs);
    for (const RenamePair &pair : undo.changed)
        left.append(pair.newShown + u" changed"_qs);
    for (const RenameFailure &failure : renameRecorded(undo.plan, journal).failures)
        left.append(undo.plan.pairs[failure.position].oldShown + u" kept"_qs);
    return left;
}

struct Undoing { QString disk; QByteArray files; QString titles, byHand, after; }; // see undoesTheLastBatch()
} // namespace
Q_DECLARE_METATYPE(Undoing)

class TestUndo final : public QObject {
    Q_OBJECT
private slots:
    // A batch renamed and recorded, something done by hand, then undone and redone. Each file
    // holds its first name; `after` is the folder after the undo, then what was left alone.
    void undoesTheLastBatch_data()
    {
        QTest::addColumn<Undoing>("row");
        const QString ext4 = u"ext4"_qs, ab = u"a.wav=a.wav b.wav=b.wav"_qs;
        QTest::newRow("swaps and a ring") << Undoing{ext4, "A.WAV B.WAV C.WAV D.WAV E.WAV", u"B|A|D|E|C"_qs, {},
                                                     u"A.WAV=A.WAV B.WAV=B.WAV C.WAV=C.WAV D.WAV=D.WAV E.WAV=E.WAV |"_qs};
        QTest::newRow("a change of case") << Undoing{ext4, "track01.wav", u"TRACK01"_qs, {}, u"track01.wav=track01.wav |"_qs};
        QTest::newRow("a Latin-1 name") << Undoing{ext4, "caf\xe9.wav", u"Café"_qs, {}, u"caf\\xe9.wav=caf\\xe9.wav |"_qs};
        QTest::newRow("a batch with a failure: the renamed ones come back")
            << Undoing{ext4, "a.wav b.wav Taken.WAV", u"X|Taken"_qs, {}, u"Taken.WAV=Taken.WAV "_qs + ab + u" |"_qs};
        QTest::newRow("a file removed by hand is reported, the others come back")
            << Undoing{ext4, "a.wav b.wav", u"X|Y"_qs, u"remove X.WAV"_qs, u"b.wav=b.wav | X.WAV not found"_qs};
        QTest::newRow("a file renamed by hand is left alone") << Undoing{ext4, "a.wav b.wav", u"X|Y"_qs,
            u"rename Y.WAV Mine.WAV"_qs, u"Mine.WAV=b.wav a.wav=a.wav | Y.WAV not found"_qs};
        QTest::newRow("an old name taken since: nothing replaced") << Undoing{ext4, "a.wav b.wav", u"X|Y"_qs,
            u"create a.wav"_qs, u"X.WAV=a.wav a.wav=mine b.wav=b.wav | X.WAV kept"_qs};
        // Disks that ignore case: the old spelling comes back as it was listed. Through lowntfs-3g
        // that is lower case, as it lists every name, whatever the disk stores.
        for (const QString &disk : {u"exFAT"_qs, u"NTFS ignoring case"_qs}) {
            const bool lower = disk != u"exFAT";
            QTest::addRow("%s: a change of case", qPrintable(disk))
                << Undoing{disk, "track01.wav Track02.wav", u"TRACK01|track02"_qs, {},
                           lower ? u"track01.wav=track01.wav track02.wav=Track02.wav |"_qs
                                 : u"Track02.wav=Track02.wav track01.wav=track01.wav |"_qs};
            QTest::addRow("%s: swaps", qPrintable(disk)) << Undoing{disk, "A.WAV b.wav", u"b|A"_qs, {},
                lower ? u"a.wav=A.WAV b.wav=b.wav |"_qs : u"A.WAV=A.WAV b.wav=b.wav |"_qs};
        }
    }
    void undoesTheLastBatch()
    {
        QFETCH(Undoing, row);
        const auto &[disk, files, titles, byHand, after] = row;
        TestFolder state;
        DiskImage image(disk);
        if (!image.isMounted())
            QSKIP(qPrintable(image.whyNot()));
        const QString folder = image.path();
        const QString journal = state.filePath(u"Meloport/last-rename.journal"_qs);
        writeFiles(folder, files.split(' '));
        const RenamePlan plan = planRenames(listMusicFiles(folder, u"WAV"_qs), titles.split(u'|'), u"WAV"_qs);
        QVERIFY(!renameRecorded(plan, journal).journalError);
        const auto renamed = folderSnapshot(folder);
        const QStringList hand = byHand.split(u' ');
        if (hand[0] == u"remove")
            QVERIFY(QFile::remove(folder + u'/' + hand[1]));
        else if (hand[0] == u"rename")
            QVERIFY(QFile::rename(folder + u'/' + hand[1], folder + u'/' + hand[2]));
        else if (hand[0] == u"create")
            writeFile(folder + u'/' + hand[1], "mine");

        const QStringList left = undoRecorded(journal);
        if (byHand.isEmpty() && disk == u"ext4") { // the undo was recorded in turn: undoing it renames again
            const auto undone = folderSnapshot(folder);
            QCOMPARE(undoRecorded(journal), QStringList());
            QCOMPARE(folderSnapshot(folder), renamed);
            QCOMPARE(undoRecorded(journal), QStringList());
            QCOMPARE(folderSnapshot(folder), undone);
        }
        QCOMPARE(QString(snapshotText(image.storedSnapshot()) + u" | "_qs + left.join(u", "_qs)).trimmed(), after);
    }

    void refusesAJournalItCannotTrust_data()
    {
        QTest::addColumn<QByteArray>("journal");
        QTest::addColumn<JournalReading::Problem>("problem");
        using Problem = JournalReading::Problem;
        const QByteArray plan = "meloport-rename-journal 2\nfolder /tmp/m\naside .m-\npair a.wav X.WAV 12 - - -\n"
                                "step 0 old 0 u\nstep 0 0 new -\nplanned\n";
        QTest::newRow("a whole record") << plan + "done 0\nfinished\n" << Problem::None;
        QTest::newRow("a crash mid-line: the cut line ignored") << plan + "done 0\nfini" << Problem::None;
        QTest::newRow("empty") << QByteArray() << Problem::NotAJournal;
        QTest::newRow("some other file") << QByteArray("[Settings]\nX=1\n") << Problem::NotAJournal;
        QTest::newRow("another version") << QByteArray(plan).replace("journal 2", "journal 3") << Problem::OtherVersion;
        QTest::newRow("the version before, without identities")
            << QByteArray(plan).replace("journal 2", "journal 1").replace(" 12 - - -", "") << Problem::None;
        QTest::newRow("a pair without its identity") << QByteArray(plan).replace(" 12 - - -", "") << Problem::Damaged;
        QTest::newRow("an identity of noise") << QByteArray(plan).replace(" 12 -", " x -") << Problem::Damaged;
        QTest::newRow("the plan cut short") << plan.left(plan.indexOf("planned")) << Problem::Damaged;
        QTest::newRow("a step of no pair") << QByteArray(plan).replace("step 0", "step 1") << Problem::Damaged;
        QTest::newRow("progress of no step") << plan + "done 2\n" << Problem::Damaged;
        QTest::newRow("a step to no name") << QByteArray(plan).replace("0 new", "0 X.WAV") << Problem::Damaged;
        QTest::newRow("a line of noise") << plan + "done 0\n\x01\x02\n" << Problem::Damaged;
    }
    void refusesAJournalItCannotTrust()
    {
        QFETCH(QByteArray, journal);
        QFETCH(JournalReading::Problem, problem);
        TestFolder state;
        writeFile(state.filePath(u"j"_qs), journal);
        const JournalReading reading = readRenameJournal(state.filePath(u"j"_qs));
        QCOMPARE(reading.problem, problem);
        QCOMPARE(reading.record.has_value(), problem == JournalReading::Problem::None);
    }

    // A batch of a ring, changes of case, and (on exFAT) a chain through another spelling is
    // killed after each of its renames, before or after recording it; undo brings every file
    // back under its old name, and none is replaced.
    void undoesAfterACrash_data()
    {
        QTest::addColumn<QString>("disk");
        QTest::addColumn<int>("kill");
        constexpr int steps = 9;
        for (const QString &disk : {u"ext4"_qs, u"exFAT"_qs}) {
            for (int kill = -steps; kill <= steps + 1; ++kill)
                QTest::addRow("%s, killed %s %d renames", qPrintable(disk), kill < 0 ? "having recorded" : "after",
                              std::abs(kill))
                    << disk << kill;
        }
    }
    void undoesAfterACrash()
    {
        QFETCH(QString, disk);
        QFETCH(int, kill);
        TestFolder state;
        DiskImage image(disk);
        if (!image.isMounted())
            QSKIP(qPrintable(image.whyNot()));
        const QString folder = image.path();
        writeFiles(folder, {"A.WAV", "B.WAV", "c.wav", "d.wav", "e.wav", "track.wav"});
        const auto before = folderSnapshot(folder);
        const QString journal = state.filePath(u"last-rename.journal"_qs);

        QProcess child;
        child.start(QString::fromUtf8(STATE_PROBE), {u"rename"_qs, journal, folder, QString::number(kill), u"B"_qs,
                                                    u"A"_qs, u"C"_qs, u"E"_qs, u"F"_qs, u"TRACK"_qs});
        QVERIFY(child.waitForFinished(30000));
        QCOMPARE(child.exitStatus() == QProcess::CrashExit, kill <= 9); // and killed before "finished"
        QCOMPARE(undoRecorded(journal), QStringList());
        QCOMPARE(folderSnapshot(folder), before);
    }

    // A batch whose every rename fails (each new name taken after the check) leaves the last
    // record, and its undo, in place; with no last record it leaves none.
    void keepsTheLastRecordWhenNothingIsRenamed_data()
    {
        QTest::addColumn<bool>("lastRecord");
        QTest::newRow("a last record: kept") << true;
        QTest::newRow("none: none left") << false;
    }
    void keepsTheLastRecordWhenNothingIsRenamed()
    {
        QFETCH(bool, lastRecord);
        TestFolder local, state;
        const QString folder = local.path();
        const QString journal = state.filePath(u"last-rename.journal"_qs);
        writeFiles(folder, {"A.WAV", "B.WAV"});
        if (lastRecord)
            QVERIFY(!renameRecorded(planRenames(listMusicFiles(folder, u"WAV"_qs), {u"X"_qs, u"B"_qs}, u"WAV"_qs),
                                    journal).journalError);
        const QByteArray last = fileBytes(journal);

        RenameBatch batch(planRenames(listMusicFiles(folder, u"WAV"_qs), {u"P"_qs, u"Q"_qs}, u"WAV"_qs));
        batch.check();
        writeFiles(folder, {"P.WAV", "Q.WAV"}); // taken after the check
        const RecordedRun run = runRecorded(batch, journal);
        QVERIFY(!run.journalError);
        QCOMPARE(run.failures.size(), 2);
        QCOMPARE(fileBytes(journal), last);
        if (lastRecord) {
            QCOMPARE(undoRecorded(journal), QStringList());
            QVERIFY(QFile::exists(folder + u"/A.WAV"_qs));
        }
        QStringList left = QDir(state.path()).entryList(QDir::Files | QDir::Hidden);
        left.removeOne(u"last-rename.journal.lock"_qs);
        QCOMPARE(left, lastRecord ? QStringList({u"last-rename.journal"_qs}) : QStringList());
    }

    // A power cut keeps what was flushed and may lose the rest in any order: the renames without
    // their lines (the record cut back to its plan), or the lines without their renames. Undo finds
    // each file by what it is, and every file gets its old name back, none replaced.
    void undoesAfterAPowerCut_data()
    {
        QTest::addColumn<QString>("disk");
        QTest::addColumn<QString>("titles"); // for A.WAV B.WAV C.WAV d.wav, each holding its name
        QTest::addColumn<bool>("linesKept");
        const QList<std::pair<const char *, QString>> batches{
            {"a swap", u"B|A|C|D"_qs}, {"a ring of three", u"B|C|A|D"_qs}, {"new names", u"X|Y|Z|D"_qs}};
        for (const QString &disk : {u"ext4"_qs, u"exFAT"_qs}) {
            for (const auto &[what, titles] : batches) {
                for (const bool linesKept : {false, true})
                    QTest::addRow("%s, %s: %s", qPrintable(disk), what,
                                  linesKept ? "the lines kept, the renames lost" : "the renames kept, the lines lost")
                        << disk << titles << linesKept;
            }
        }
    }
    void undoesAfterAPowerCut()
    {
        QFETCH(QString, disk);
        QFETCH(QString, titles);
        QFETCH(bool, linesKept);
        TestFolder state;
        DiskImage image(disk);
        if (!image.isMounted())
            QSKIP(qPrintable(image.whyNot()));
        const QString folder = image.path();
        writeFiles(folder, {"A.WAV", "B.WAV", "C.WAV", "d.wav"});
        const auto before = folderSnapshot(folder);
        const QString journal = state.filePath(u"last-rename.journal"_qs);

        RenameBatch batch(planRenames(listMusicFiles(folder, u"WAV"_qs), titles.split(u'|'), u"WAV"_qs));
        batch.check();
        if (linesKept) {
            RenameJournalWriter writer(journal);
            QVERIFY(!writer.begin(batch));
            for (qsizetype step = 0; step < batch.schedule().size(); ++step)
                writer.stepTaken(step, false);
            writer.finish();
        } else {
            QVERIFY(!runRecorded(batch, journal).journalError);
            QVERIFY(folderSnapshot(folder) != before);
            QFile record(journal);
            QVERIFY(record.open(QIODevice::ReadWrite));
            QVERIFY(record.resize(record.readAll().indexOf("planned\n") + 8));
        }
        QCOMPARE(undoRecorded(journal), QStringList());
        QCOMPARE(folderSnapshot(folder), before);
    }
};

QTEST_GUILESS_MAIN(TestUndo)
#include "tst_undo.moc"
