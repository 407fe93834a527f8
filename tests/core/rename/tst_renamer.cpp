#include "core/rename/RenameBatch.h"
#include "core/listing/SourceListing.h"

#include "support/DiskImage.h"
#include "support/FolderSnapshot.h"

#include <QRegularExpression>

using namespace meloport;

namespace {

const QStringList kDisks{u"ext4"_qs, u"exFAT"_qs, u"NTFS"_qs, u"NTFS ignoring case"_qs};
const QStringList kTitleProblems{u"empty"_qs, u"leading dot"_qs, u"NUL"_qs, u"control"_qs}; // by RefusedTitle::Problem

// "position:what", with the other pair, the system's reason, and a file left under a temporary name.
QString described(const RenameFailure &failure)
{
    static const QStringList words{u"missing"_qs, u"refused"_qs,    u"taken"_qs,      u"same as"_qs, u"too long"_qs,
                                   u"bad title"_qs, u"system"_qs, u"blocked by"_qs, u"not on disk"_qs};
    return QString::number(failure.position) + u':' + words.value(int(failure.problem))
           + (failure.other >= 0 ? u' ' + QString::number(failure.other) : QString())
           + (failure.problem == RenameProblem::System ? u' ' + failure.error.reason : QString())
           + (failure.strandedAs.isEmpty() ? QString() : u" (stranded)"_qs);
}

struct Renaming { QString disk; QByteArray files; QString titles, twist, after; }; // see renames()
struct Numbering { QString disk; int files; QString title, found; };                // see trackNumbers()
} // namespace
Q_DECLARE_METATYPE(Renaming)
Q_DECLARE_METATYPE(Numbering)

class TestRenamer final : public QObject {
    Q_OBJECT
private slots:
    // Each file holds its first name. The listed files are paired with the titles (split at "|")
    // as far as there are titles; `after` shows every file of the folder by its name as stored,
    // then what failed. A twist changes the folder between listing and renaming.
    void renames_data()
    {
        QTest::addColumn<Renaming>("row");
        const auto row = [](const QStringList &disks, const char *what, const QByteArray &files, const QString &titles,
                            const QString &after, const QString &twist = {}) {
            for (const QString &disk : disks)
                QTest::addRow("%s: %s", qPrintable(disk), what) << Renaming{disk, files, titles, twist, after};
        };
        const QStringList ext4{u"ext4"_qs}, exfat{u"exFAT"_qs}, both{u"ext4"_qs, u"exFAT"_qs};
        row(kDisks, "plain pairs", "a.wav b.wav", u"X|Y"_qs, u"X.WAV=a.wav Y.WAV=b.wav |"_qs);
        row(kDisks, "two titles swapped", "A.WAV B.WAV", u"B|A"_qs, u"A.WAV=B.WAV B.WAV=A.WAV |"_qs);
        row(kDisks, "a change of case alone", "track01.wav", u"TRACK01"_qs, u"TRACK01.WAV=track01.wav |"_qs);
        row(kDisks.first(3), "each name freed before it is taken", "A.WAV B.WAV", u"B|C"_qs,
            u"B.WAV=A.WAV C.WAV=B.WAV |"_qs);
        row(both, "three in a ring", "A.WAV B.WAV C.WAV", u"B|C|A"_qs, u"A.WAV=C.WAV B.WAV=A.WAV C.WAV=B.WAV |"_qs);
        row(both, "a name taken by a file outside the batch: that pair only",
            "1.wav 2.wav 3.wav Taken.WAV", u"X|Taken|Z"_qs,
            u"2.wav=2.wav Taken.WAV=Taken.WAV X.WAV=1.wav Z.WAV=3.wav | 1:taken"_qs);
        row(ext4, "a name kept by a pair that fails: the pair that needed it fails too", "a.wav B.WAV C.WAV",
            u"B|C"_qs, u"B.WAV=B.WAV C.WAV=C.WAV a.wav=a.wav | 0:taken 1 1:taken"_qs);
        row(both, "the same title twice: the second keeps its name", "a.wav b.wav",
            u"Same|Same"_qs, u"Same.WAV=a.wav b.wav=b.wav | 1:same as 0"_qs);
        row(ext4, "titles that differ in case are two names", "a.wav b.wav", u"Same|SAME"_qs,
            u"SAME.WAV=b.wav Same.WAV=a.wav |"_qs);
        row(exfat, "titles that differ in case are one name", "a.wav b.wav", u"Same|SAME"_qs,
            u"Same.WAV=a.wav b.wav=b.wav | 1:same as 0"_qs);
        row(exfat, "another file's name in another case is taken", "a.wav b.wav", u"B"_qs,
            u"a.wav=a.wav b.wav=b.wav | 0:taken"_qs);
        const QString kanji(86, u'曲'); // 262 bytes, but 90 characters
        row({u"ext4"_qs, u"NTFS ignoring case"_qs}, "86 kanji are too long in bytes", "a.wav", kanji,
            u"a.wav=a.wav | 0:too long"_qs);
        row({u"exFAT"_qs, u"NTFS"_qs}, "86 kanji fit in characters", "a.wav", kanji, kanji + u".WAV=a.wav |"_qs);
        row(both, "255 characters fit", "a.wav", QString(251, u'x'), QString(251, u'x') + u".WAV=a.wav |"_qs);
        row(both, "256 characters are too long", "a.wav", QString(252, u'x'), u"a.wav=a.wav | 0:too long"_qs);
        row({u"exFAT"_qs, u"NTFS ignoring case"_qs}, "a name the disk cannot hold fails alone, found before",
            "a.wav b.wav", u"Q?|Y"_qs,
            u"Y.WAV=b.wav a.wav=a.wav | 0:refused"_qs);
        row(ext4, "a slash fails alone, found before", "a.wav b.wav", u"AC/DC|Y"_qs,
            u"Y.WAV=b.wav a.wav=a.wav | 0:refused"_qs);
        row(ext4, "a Latin-1 name beside its look-alike: each as itself", "caf\xe9.wav caf\xef\xbf\xbd.wav",
            u"Latin"_qs, u"Latin.WAV=caf\\xe9.wav caf\uFFFD.wav=caf\uFFFD.wav |"_qs);
        row(ext4, "a file named so already", "Song.WAV", u"Song"_qs, u"Song.WAV=Song.WAV |"_qs);
        row(ext4, "the title's own extension kept", "a.wav", u"Song.wav"_qs, u"Song.wav.WAV=a.wav |"_qs);
        row(ext4, "names in another case are other files", "song.wav SONG.WAV", u"X|SONG"_qs,
            u"SONG.WAV=song.wav X.WAV=SONG.WAV |"_qs);
        row(ext4, "a file gone since it was listed", "a.wav b.wav", u"X|Y"_qs, u"Y.WAV=b.wav | 0:missing"_qs,
            u"gone: a.wav"_qs);
        row(kDisks.first(3), "a name taken after the check: nothing replaced, the chain behind it stops",
            "A.WAV B.WAV", u"B|C"_qs,
            u"A.WAV=A.WAV B.WAV=B.WAV C.WAV=intruder | 0:blocked by 1 1:system 同じ名前のファイルが既にあります"_qs,
            u"intruder: C.WAV"_qs);
        row(ext4, "a ring cut halfway: the file that stepped aside is left so and reported", "A.WAV B.WAV",
            u"B|A"_qs,
            u".meloport-renaming-N-0=A.WAV A.WAV=intruder B.WAV=B.WAV"
            u" | 0:blocked by 1 (stranded) 1:system 同じ名前のファイルが既にあります"_qs,
            u"intruder after the first step: A.WAV"_qs);
        row(ext4, "a change of case cut halfway: the file is put back under its old name", "track01.wav",
            u"TRACK01"_qs, u"TRACK01.WAV=intruder track01.wav=track01.wav | 0:system 同じ名前のファイルが既にあります"_qs,
            u"intruder after the first step: TRACK01.WAV"_qs);
        // A title that cannot be a file name, and nothing is renamed.
        for (int problem = 0; problem < kTitleProblems.size(); ++problem)
            row(ext4, qPrintable(u"refused title: "_qs + kTitleProblems[problem]), "a.wav b.wav",
                u"A|"_qs + QStringList{u""_qs, u".B"_qs, u"B\0"_qs, u"B\x1b[0m"_qs}[problem],
                u"a.wav=a.wav b.wav=b.wav | title 1: "_qs + kTitleProblems[problem]);
    }
    void renames()
    {
        QFETCH(Renaming, row);
        const auto &[disk, files, titles, twist, after] = row;
        DiskImage image(disk);
        if (!image.isMounted())
            QSKIP(qPrintable(image.whyNot()));
        const QString folder = image.path();
        writeFiles(folder, files.split(' '));
        const auto intrude = [&](const QString &kind) {
            if (twist.startsWith(kind))
                writeFile(folder + u'/' + twist.section(u": "_qs, 1), "intruder");
        };

        const RenamePlan plan = planRenames(listMusicFiles(folder, u"WAV"_qs), titles.split(u'|'), u"WAV"_qs);
        QStringList failures;
        for (const RefusedTitle &refused : plan.refused)
            failures.append(u"title %1: %2"_qs.arg(refused.position).arg(kTitleProblems.value(int(refused.problem))));
        if (twist.startsWith(u"gone: "))
            QVERIFY(QFile::remove(folder + u'/' + twist.section(u": "_qs, 1)));
        RenameBatch batch(plan);
        batch.check();
        intrude(u"intruder: "_qs);
        for (const RenameFailure &failure : batch.run([&](qsizetype step, bool undone) {
                 if (step == 0 && !undone)
                     intrude(u"intruder after the first step: "_qs);
             }))
            failures.append(described(failure));

        const QString outcome = QString(snapshotText(image.storedSnapshot()) + u" | "_qs + failures.join(u' ')).trimmed();
        static const QRegularExpression temporary(u"(\\.meloport-renaming-)[0-9a-z]+"_qs);
        QCOMPARE(QString(outcome).replace(temporary, u"\\1N"_qs), after);
    }

    // `files` files titled `title`, numbered with as many digits as the album needs, which count
    // towards the disk's limit: the first and the last new name, then what the check found.
    void trackNumbers_data()
    {
        QTest::addColumn<Numbering>("row");
        QTest::newRow("99 files") << Numbering{u"ext4"_qs, 99, u"T"_qs, u"01 T.WAV 99 T.WAV"_qs};
        QTest::newRow("100 files") << Numbering{u"ext4"_qs, 100, u"T"_qs, u"001 T.WAV 100 T.WAV"_qs};
        const QString longest(251, u'x'), kanji(83, u'曲'); // 255 characters with ".WAV"; 253 bytes
        QTest::newRow("exFAT: a title that fits alone is too long numbered")
            << Numbering{u"exFAT"_qs, 1, longest, u"01 %1.WAV 01 %1.WAV 0:too long"_qs.arg(longest)};
        QTest::newRow("ext4: 83 kanji fit alone, numbered they are too long in bytes")
            << Numbering{u"ext4"_qs, 1, kanji, u"01 %1.WAV 01 %1.WAV 0:too long"_qs.arg(kanji)};
    }
    void trackNumbers()
    {
        QFETCH(Numbering, row);
        const auto &[disk, files, title, found] = row;
        DiskImage image(disk);
        if (!image.isMounted())
            QSKIP(qPrintable(image.whyNot()));
        for (int n = 0; n < files; ++n)
            writeFile(image.path() + u"/t%1.wav"_qs.arg(n), {});
        RenameBatch batch(planRenames(listMusicFiles(image.path(), u"WAV"_qs), QStringList(files, title), u"WAV"_qs,
                                      NameOptions{true}));
        QStringList outcome{batch.plan().pairs.first().newShown, batch.plan().pairs.last().newShown};
        batch.check();
        for (const RenameFailure &failure : batch.problems())
            outcome.append(described(failure));
        QCOMPARE(outcome.join(u' '), found);
    }

    void numberOrder_data()
    {
        QTest::addColumn<QStringList>("listed"); // in the list's order
        QTest::addColumn<QString>("first");      // the name listed before one that counts lower
        QTest::newRow("Track10 before Track2") << QStringList{u"Track1.wav"_qs, u"Track10.wav"_qs, u"Track2.wav"_qs}
                                               << u"Track10.wav"_qs;
        QTest::newRow("leading zeros count alike") << QStringList{u"01.wav"_qs, u"2.wav"_qs, u"003.wav"_qs}
                                                   << QString();
        QTest::newRow("full-width digits count too") << QStringList{u"曲１０.wav"_qs, u"曲２.wav"_qs} << u"曲１０.wav"_qs;
        QTest::newRow("numbers far beyond 64 bits")
            << QStringList{u"100000000000000000000000.wav"_qs, u"99999999999999999999999.wav"_qs}
            << u"100000000000000000000000.wav"_qs;
    }
    void numberOrder()
    {
        QFETCH(QStringList, listed);
        QFETCH(QString, first);
        const auto found = numberOrderBreak(listed);
        QCOMPARE(found ? listed.at(found->first) : QString(), first);
    }
};

QTEST_GUILESS_MAIN(TestRenamer)
#include "tst_renamer.moc"
