#include "rename/RenamePlan.h"

#include <QTest>

using namespace meloport;

class TestRenamePlan final : public QObject {
    Q_OBJECT
private slots:
    void newNames_data()
    {
        QTest::addColumn<QString>("folder");
        QTest::addColumn<QString>("source");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("extension");
        QTest::addColumn<QString>("oldPath");
        QTest::addColumn<QString>("newPath");
        QTest::newRow("kind's extension, upper case") << u"/rip"_qs << u"Track01.mp3"_qs << u"Overture"_qs << u"MP3"_qs
                                                     << u"/rip/Track01.mp3"_qs << u"/rip/Overture.MP3"_qs;
        QTest::newRow("title's own extension kept") << u"/rip/"_qs << u"a.wav"_qs << u"Song.wav"_qs << u"WAV"_qs
                                                    << u"/rip/a.wav"_qs << u"/rip/Song.wav.WAV"_qs;
        QTest::newRow("empty folder is the root") << QString() << u"a.wma"_qs << u"B"_qs << u"WMA"_qs << u"/a.wma"_qs
                                                  << u"/B.WMA"_qs;
    }
    void newNames()
    {
        QFETCH(QString, folder);
        QFETCH(QString, source);
        QFETCH(QString, title);
        QFETCH(QString, extension);
        QFETCH(QString, oldPath);
        QFETCH(QString, newPath);
        const RenamePlan plan = planRenames(folder, {source}, {title}, extension, u'/');
        QVERIFY(plan.refused.isEmpty());
        QCOMPARE(plan.pairs.size(), 1);
        QCOMPARE(plan.folder + plan.pairs[0].oldName, oldPath);
        QCOMPARE(plan.folder + plan.pairs[0].newName, newPath);
    }

    void refusedTitles_data()
    {
        QTest::addColumn<QString>("title");
        QTest::addColumn<TitleProblem>("problem");
        QTest::newRow("empty: would hide the file as .WAV") << QString() << TitleProblem::Empty;
        QTest::newRow("leading dot: would hide the file") << u".hack"_qs << TitleProblem::LeadingDot;
        QTest::newRow("slash: would move it to another folder") << u"AC/DC"_qs << TitleProblem::Separator;
        QTest::newRow("parent folder") << u"../x"_qs << TitleProblem::Separator;
        QTest::newRow("NUL") << QStringView(u"a\0b", 3).toString() << TitleProblem::Nul;
    }
    void refusedTitles()
    {
        QFETCH(QString, title);
        QFETCH(TitleProblem, problem);
        const RenamePlan plan = planRenames(u"/rip"_qs, {u"1.wav"_qs, u"2.wav"_qs, u"3.wav"_qs},
                                            {u"fine"_qs, title, u"fine too"_qs}, u"WAV"_qs, u'/');
        QCOMPARE(plan.refused.size(), 1);
        QCOMPARE(plan.refused[0].position, 1);
        QCOMPARE(plan.refused[0].title, title);
        QCOMPARE(plan.refused[0].problem, problem);
        QVERIFY2(plan.pairs.isEmpty(), "nothing may be renamed when a title is refused");
    }
};

QTEST_GUILESS_MAIN(TestRenamePlan)
#include "tst_renameplan.moc"
