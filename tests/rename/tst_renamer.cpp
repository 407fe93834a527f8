#include "rename/Renamer.h"
#include "rename/SourceListing.h"

#include "support/ExfatMount.h"
#include "support/FolderSnapshot.h"

#include <optional>

using namespace meloport;

class TestRenamer final : public QObject {
    Q_OBJECT
private slots:
    // Each file holds its first name; `after` says which content ended up under which name. The
    // first files are paired with the titles (split at "|"). Every file is made after the plan,
    // just before the renames, so that no look at the folder while planning can stand in for a
    // rename that never replaces.
    void renames_data()
    {
        QTest::addColumn<bool>("exfat"); // no RENAME_NOREPLACE, no hard links, case ignored: a USB stick
        QTest::addColumn<QString>("files");
        QTest::addColumn<QString>("titles");
        QTest::addColumn<QString>("after"); // then the positions of the failed pairs, or the refused titles
        for (const bool exfat : {false, true})
            QTest::addRow("%sa taken name is skipped, later pairs renamed", exfat ? "exFAT, " : "")
                << exfat << u"1.wav 2.wav 3.wav Taken.WAV"_qs << u"X|Taken|Z"_qs
                << u"2.wav=2.wav Taken.WAV=Taken.WAV X.WAV=1.wav Z.WAV=3.wav | 1"_qs;
        QTest::newRow("A and B swapped: both stay") << false << u"A.WAV B.WAV"_qs << u"B|A"_qs
                                                    << u"A.WAV=A.WAV B.WAV=B.WAV | 0 1"_qs;
        QTest::newRow("the same title twice: the second keeps its name")
            << false << u"a.wav b.wav"_qs << u"Same|Same"_qs << u"Same.WAV=a.wav b.wav=b.wav | 1"_qs;
        QTest::newRow("a file named so already") << false << u"Song.WAV"_qs << u"Song"_qs << u"Song.WAV=Song.WAV |"_qs;
        QTest::newRow("the title's own extension kept") << false << u"a.wav"_qs << u"Song.wav"_qs
                                                         << u"Song.wav.WAV=a.wav |"_qs;
        QTest::newRow("names in another case are other files") << false << u"song.wav SONG.WAV"_qs << u"SONG"_qs
                                                                << u"SONG.WAV=SONG.WAV song.wav=song.wav | 0"_qs;
        QTest::newRow("exFAT, a change of case alone") << true << u"song.wav"_qs << u"SONG"_qs
                                                        << u"SONG.WAV=song.wav |"_qs;
        QTest::newRow("exFAT, another file's name in another case is taken")
            << true << u"a.wav b.wav"_qs << u"B"_qs << u"a.wav=a.wav b.wav=b.wav | 0"_qs;
        // One title that cannot be a file name, and nothing is renamed.
        const QString ab = u"a.wav b.wav"_qs, untouched = u"a.wav=a.wav b.wav=b.wav | title 1: "_qs;
        QTest::newRow("empty title refused") << false << ab << u"A|"_qs << untouched + u"empty"_qs;
        QTest::newRow("leading dot refused") << false << ab << u"A|.B"_qs << untouched + u"leading dot"_qs;
        QTest::newRow("slash refused") << false << ab << u"A|AC/DC"_qs << untouched + u"separator"_qs;
        QTest::newRow("NUL refused") << false << ab << u"A|B\0"_qs << untouched + u"NUL"_qs;
    }
    void renames()
    {
        QFETCH(bool, exfat);
        QFETCH(QString, files);
        QFETCH(QString, titles);
        QFETCH(QString, after);
        QTemporaryDir local;
        std::optional<ExfatMount> stick;
        if (exfat && !stick.emplace().isMounted())
            QSKIP(qPrintable(u"no exFAT here: "_qs + stick->whyNot()));
        const QString folder = exfat ? stick->path() : local.path();
        const QStringList names = files.split(u' '), newNames = titles.split(u'|');
        const RenamePlan plan = planRenames(folder, names.first(newNames.size()), newNames,
                                            defaultKindExtensions().at(KindWav), u'/');
        for (const QString &name : names)
            writeFile(folder + u'/' + name, name.toUtf8());

        QStringList found, failures;
        const QStringList problems{u"empty"_qs, u"leading dot"_qs, u"separator"_qs, u"NUL"_qs}; // by TitleProblem
        for (const RefusedTitle &refused : plan.refused)
            failures.append(u"title %1: %2"_qs.arg(refused.position).arg(problems.value(int(refused.problem))));
        for (const RenameFailure &failure : RenameAll(plan))
            failures.append(QString::number(failure.position) + (failure.error.reason.isEmpty() ? u"?"_qs : QString()));
        const auto snapshot = folderSnapshot(folder);
        for (auto file = snapshot.begin(); file != snapshot.end(); ++file)
            found.append(file.key() + u'=' + file.value());
        QCOMPARE(QString(found.join(u' ') + u" | "_qs + failures.join(u' ')).trimmed(), after);
    }
};

QTEST_GUILESS_MAIN(TestRenamer)
#include "tst_renamer.moc"
