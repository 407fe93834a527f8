#include "rename/Renamer.h"

#include "support/ExfatMount.h"
#include "support/FolderSnapshot.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace meloport;

using Contents = QMap<QString, QString>; // file name -> content

namespace {

void write(const QString &folder, const QString &name, const QByteArray &content)
{
    QFile file(QDir(folder).filePath(name));
    QVERIFY2(file.open(QIODevice::WriteOnly | QIODevice::NewOnly), qPrintable(name));
    file.write(content);
}

// Each file holds its own first name, so that a test sees which file ended up under which name.
void createFiles(const QString &folder, const QStringList &names)
{
    for (const QString &name : names)
        write(folder, name, name.toUtf8());
}

Contents contents(const QString &folder)
{
    Contents found;
    const QDir dir(folder);
    for (const QString &name : dir.entryList(QDir::Files)) {
        QFile file(dir.filePath(name));
        if (file.open(QIODevice::ReadOnly))
            found.insert(name, QString::fromUtf8(file.readAll()));
    }
    return found;
}

QList<int> failedPositions(const QList<RenameFailure> &failures)
{
    QList<int> positions;
    for (const RenameFailure &failure : failures) {
        positions.append(static_cast<int>(failure.position));
        if (failure.error.reason.isEmpty())
            positions.append(-1); // every failure must say why
    }
    return positions;
}

} // namespace

class TestRenamer final : public QObject {
    Q_OBJECT
private:
    static void renameCases()
    {
        QTest::addColumn<QStringList>("sources");
        QTest::addColumn<QStringList>("others");
        QTest::addColumn<QStringList>("titles");
        QTest::addColumn<Contents>("after");
        QTest::addColumn<QList<int>>("failed");
        QTest::newRow("every file gets its title")
            << QStringList{u"01.wav"_qs, u"02.WAV"_qs} << QStringList{} << QStringList{u"序曲"_qs, u"ｿﾅﾀ"_qs}
            << Contents{{u"序曲.WAV"_qs, u"01.wav"_qs}, {u"ｿﾅﾀ.WAV"_qs, u"02.WAV"_qs}} << QList<int>{};
        QTest::newRow("a taken name is skipped, later pairs still renamed")
            << QStringList{u"1.wav"_qs, u"2.wav"_qs, u"3.wav"_qs} << QStringList{u"Taken.WAV"_qs}
            << QStringList{u"X"_qs, u"Taken"_qs, u"Z"_qs}
            << Contents{{u"X.WAV"_qs, u"1.wav"_qs}, {u"2.wav"_qs, u"2.wav"_qs}, {u"Taken.WAV"_qs, u"Taken.WAV"_qs},
                        {u"Z.WAV"_qs, u"3.wav"_qs}}
            << QList<int>{1};
        QTest::newRow("A and B swapped both stay") << QStringList{u"A.WAV"_qs, u"B.WAV"_qs} << QStringList{}
                                                   << QStringList{u"B"_qs, u"A"_qs}
                                                   << Contents{{u"A.WAV"_qs, u"A.WAV"_qs}, {u"B.WAV"_qs, u"B.WAV"_qs}}
                                                   << QList<int>{0, 1};
        QTest::newRow("the same title twice: the second is taken")
            << QStringList{u"a.wav"_qs, u"b.wav"_qs} << QStringList{} << QStringList{u"Same"_qs, u"Same"_qs}
            << Contents{{u"Same.WAV"_qs, u"a.wav"_qs}, {u"b.wav"_qs, u"b.wav"_qs}} << QList<int>{1};
        QTest::newRow("a file that has its name already") << QStringList{u"Song.WAV"_qs} << QStringList{}
                                                           << QStringList{u"Song"_qs}
                                                           << Contents{{u"Song.WAV"_qs, u"Song.WAV"_qs}} << QList<int>{};
        QTest::newRow("a name too long fails alone")
            << QStringList{u"a.wav"_qs, u"b.wav"_qs} << QStringList{} << QStringList{QString(300, u'x'), u"B"_qs}
            << Contents{{u"a.wav"_qs, u"a.wav"_qs}, {u"B.WAV"_qs, u"b.wav"_qs}} << QList<int>{0};
    }

    static void checkRenames(const QString &folder)
    {
        QFETCH(QStringList, sources);
        QFETCH(QStringList, others);
        QFETCH(QStringList, titles);
        QFETCH(Contents, after);
        QFETCH(QList<int>, failed);
        createFiles(folder, sources + others);
        const RenamePlan plan = planRenames(folder, sources, titles, u"WAV"_qs, u'/');
        QCOMPARE(failedPositions(RenameAll(plan)), failed);
        QCOMPARE(contents(folder), after);
    }

private slots:
    void renames_data()
    {
        renameCases();
        // Where case counts, the other spelling is another file.
        QTest::newRow("a name differing in case only is another file here")
            << QStringList{u"song.wav"_qs} << QStringList{u"SONG.WAV"_qs} << QStringList{u"SONG"_qs}
            << Contents{{u"song.wav"_qs, u"song.wav"_qs}, {u"SONG.WAV"_qs, u"SONG.WAV"_qs}} << QList<int>{0};
    }
    void renames()
    {
        QTemporaryDir dir;
        checkRenames(dir.path());
    }

    void renamesOnExfat_data() { renameCases(); }
    void renamesOnExfat()
    {
        ExfatMount stick;
        if (!stick.isMounted())
            QSKIP(qPrintable(u"no exFAT here: "_qs + stick.whyNot()));
        checkRenames(stick.path());
    }

    void caseInsensitiveNames_data()
    {
        QTest::addColumn<QStringList>("sources");
        QTest::addColumn<QStringList>("others");
        QTest::addColumn<QStringList>("titles");
        QTest::addColumn<Contents>("after");
        QTest::addColumn<QList<int>>("failed");
        QTest::newRow("a change of case alone works")
            << QStringList{u"song.wav"_qs} << QStringList{} << QStringList{u"SONG"_qs}
            << Contents{{u"SONG.WAV"_qs, u"song.wav"_qs}} << QList<int>{};
        QTest::newRow("another file's name in other case is taken")
            << QStringList{u"a.wav"_qs} << QStringList{u"b.wav"_qs} << QStringList{u"B"_qs}
            << Contents{{u"a.wav"_qs, u"a.wav"_qs}, {u"b.wav"_qs, u"b.wav"_qs}} << QList<int>{0};
        QTest::newRow("characters the stick refuses") << QStringList{u"a.wav"_qs, u"b.wav"_qs} << QStringList{}
                                                      << QStringList{u"a:b?"_qs, u"B"_qs}
                                                      << Contents{{u"a.wav"_qs, u"a.wav"_qs}, {u"B.WAV"_qs, u"b.wav"_qs}}
                                                      << QList<int>{0};
    }
    void caseInsensitiveNames()
    {
        ExfatMount stick;
        if (!stick.isMounted())
            QSKIP(qPrintable(u"no exFAT here: "_qs + stick.whyNot()));
        checkRenames(stick.path());
    }

    void fileAppearingBeforeTheCallIsKept()
    {
        QTemporaryDir dir;
        createFiles(dir.path(), {u"1.wav"_qs, u"2.wav"_qs});
        const RenamePlan plan = planRenames(dir.path(), {u"1.wav"_qs, u"2.wav"_qs}, {u"New"_qs, u"Two"_qs}, u"WAV"_qs, u'/');
        write(dir.path(), u"New.WAV"_qs, "appeared after the plan");
        const auto before = folderSnapshot(dir.path());
        const QList<RenameFailure> failures = RenameAll(plan);
        QCOMPARE(failedPositions(failures), QList<int>{0});
        QCOMPARE(failures[0].error.code, EEXIST);
        auto expected = before;
        expected.insert(u"Two.WAV"_qs, expected.take(u"2.wav"_qs));
        QCOMPARE(folderSnapshot(dir.path()), expected);
    }
};

QTEST_GUILESS_MAIN(TestRenamer)
#include "tst_renamer.moc"
