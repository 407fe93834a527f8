#include "ui/ListBox.h"
#include "ui/frmMain.h"
#include "support/FolderSnapshot.h"
#include "support/RecordingInteraction.h"

#include <QAction>
#include <QDir>
#include <QMenu>
#include <QTest>
#include <QToolButton>

using namespace meloport;

// ﾀｸﾞから曲名 on a folder of MP3 files named by their track numbers, then 変更.
class TestTagTitlesMenu final : public QObject {
    Q_OBJECT
private slots:
    void fillAndRename_data()
    {
        QTest::addColumn<QStringList>("files");   // name=fixture
        QTest::addColumn<QStringList>("titles");  // the title list afterwards
        QTest::addColumn<QString>("said");        // by ﾀｸﾞから曲名, then by 変更
        QTest::addColumn<QStringList>("renamed"); // the folder after 変更
        QTest::newRow("tags, and a file without one keeps its name")
            << QStringList{u"Track01.mp3=sjis-id3v1.mp3"_qs, u"Track02.mp3=untagged.mp3"_qs,
                           u"Track03.mp3=latin1-id3v23.mp3"_qs}
            << QStringList{u"序曲"_qs, u"Track02"_qs, u"Café"_qs} << u"380 203"_qs
            << QStringList{u"Café.MP3"_qs, u"Track02.MP3"_qs, u"序曲.MP3"_qs};
    }
    void fillAndRename()
    {
        QFETCH(QStringList, files);
        QFETCH(QStringList, titles);
        QFETCH(QString, said);
        QFETCH(QStringList, renamed);
        TestFolder dir;
        for (const QString &file : std::as_const(files))
            QVERIFY(QFile::copy(QStringLiteral(TAG_FIXTURES "/") + file.section(u'=', 1),
                                dir.filePath(file.section(u'=', 0, 0))));
        RecordingInteraction interaction;
        frmMain window(interaction);
        QVERIFY(window.cmdFile->actions().contains(window.cmdTagTitles));
        QVERIFY(window.ListDstMusic->actions().contains(window.cmdTagTitles)); // its context menu's item
        window.OpenSourceFolder(dir.path());
        window.cmdMP3->trigger();
        window.ListDstMusic->addItem(u"typed"_qs);
        window.cmdTagTitles->trigger();
        QCOMPARE(window.ListDstMusic->items(), titles);
        window.CommandRunAll->click();
        QCOMPARE(interaction.said.join(u' '), said);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), renamed);
    }
};

QTEST_MAIN(TestTagTitlesMenu)
#include "tst_tagtitlesmenu.moc"
