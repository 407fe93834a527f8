#include "ui/ListBox.h"
#include "ui/frmMain.h"
#include "support/TestFolder.h"
#include "support/RecordingInteraction.h"

#include <QAction>
#include <QDir>
#include <QMenu>
#include <QTest>
#include <QToolButton>

using namespace meloport;

// ﾀｸﾞから曲名 on a folder of MP3 files named by their track numbers, then 変更: a file without a
// tag keeps its name.
class TestTagTitlesMenu final : public QObject {
    Q_OBJECT
private slots:
    void fillAndRename()
    {
        TestFolder dir;
        for (const auto &[name, fixture] : {std::pair("Track01.mp3", "sjis-id3v1.mp3"), {"Track02.mp3", "untagged.mp3"}})
            QVERIFY(QFile::copy(QStringLiteral(TAG_FIXTURES "/") + QLatin1StringView(fixture),
                                dir.filePath(QLatin1StringView(name))));
        RecordingInteraction interaction;
        frmMain window(interaction);
        QVERIFY(window.cmdFile->actions().contains(window.cmdTagTitles));
        QVERIFY(window.ListDstMusic->actions().contains(window.cmdTagTitles)); // its context menu's item
        window.OpenSourceFolder(dir.path());
        window.cmdMP3->trigger();
        window.ListDstMusic->addItem(u"typed"_qs);
        window.cmdTagTitles->trigger();
        QCOMPARE(window.ListDstMusic->items(), (QStringList{u"序曲"_qs, u"Track02"_qs}));
        window.CommandRunAll->click();
        QCOMPARE(interaction.said.join(u' '), u"380 203"_qs);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files).join(u' '), u"Track02.MP3 序曲.MP3"_qs);
    }
};

QTEST_MAIN(TestTagTitlesMenu)
#include "tst_tagtitlesmenu.moc"
