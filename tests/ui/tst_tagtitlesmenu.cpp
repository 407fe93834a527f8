#include "ui/ListBox.h"
#include "ui/frmMain.h"
#include "support/FolderSnapshot.h"
#include "support/RecordingInteraction.h"

#include <QAction>
#include <QDir>
#include <QMenu>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

using namespace meloport;

// ﾀｸﾞから曲名 on a folder of MP3 files named by their track numbers, then 変更.
class TestTagTitlesMenu final : public QObject {
    Q_OBJECT
private slots:
    void fillAndRename_data()
    {
        QTest::addColumn<QStringList>("files");    // name=fixture
        QTest::addColumn<QStringList>("titles");   // the title list afterwards
        QTest::addColumn<int>("messages");         // after ﾀｸﾞから曲名: one at most, whatever the result
        QTest::addColumn<QString>("told");         // a part of what both commands told
        QTest::addColumn<QStringList>("renamed");  // the folder after 変更

        QTest::newRow("tags, and a file without one keeps its name")
            << QStringList{u"Track01.mp3=sjis-id3v1.mp3"_qs, u"Track02.mp3=untagged.mp3"_qs,
                           u"Track03.mp3=latin1-id3v23.mp3"_qs}
            << QStringList{u"序曲"_qs, u"Track02"_qs, u"Café"_qs} << 1
            << u"3 件のうち 1 件は曲名ﾀｸﾞがない"_qs
            << QStringList{u"Café.MP3"_qs, u"Track02.MP3"_qs, u"序曲.MP3"_qs};
        QTest::newRow("a tag with a line break is refused at 変更")
            << QStringList{u"Track01.mp3=linebreak-id3v24.mp3"_qs, u"Track02.mp3=utf8-id3v24.mp3"_qs}
            << QStringList{u"一\n二"_qs, u"春の歌"_qs} << 0 << u"制御文字"_qs
            << QStringList{u"Track01.mp3"_qs, u"Track02.mp3"_qs};
    }
    void fillAndRename()
    {
        QFETCH(QStringList, files);
        QFETCH(QStringList, titles);
        QFETCH(int, messages);
        QFETCH(QString, told);
        QFETCH(QStringList, renamed);
        QTemporaryDir dir;
        for (const QString &file : std::as_const(files)) {
            const QString fixture = QStringLiteral(TAG_FIXTURES "/") + file.section(u'=', 1);
            QVERIFY(QFile::copy(fixture, dir.filePath(file.section(u'=', 0, 0))));
        }
        RecordingInteraction interaction;
        frmMain window(interaction);
        QVERIFY(window.cmdFile->actions().contains(window.cmdTagTitles));
        QVERIFY(window.ListDstMusic->actions().contains(window.cmdTagTitles)); // its context menu's item
        window.OpenSourceFolder(dir.path());
        window.cmdMP3->trigger();
        window.ListDstMusic->addItem(u"typed"_qs);

        window.cmdTagTitles->trigger();
        QCOMPARE(window.ListDstMusic->items(), titles);
        QCOMPARE(interaction.messages.size(), messages);
        window.CommandRunAll->click();
        QVERIFY2(interaction.messageTexts().join(u'\n').contains(told), qPrintable(interaction.messageTexts().join(u'\n')));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), renamed);
    }
};

QTEST_MAIN(TestTagTitlesMenu)
#include "tst_tagtitlesmenu.moc"
