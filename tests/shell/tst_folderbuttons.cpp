#include "app/ListBox.h"
#include "app/frmMain.h"
#include "support/Folders.h"
#include "support/RecordingInteraction.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

using namespace meloport;

class TestFolderButtons final : public QObject {
    Q_OBJECT
private slots:
    void pickOrCancel_data()
    {
        QTest::addColumn<bool>("musicFolder");
        QTest::addColumn<bool>("cancelled");
        QTest::newRow("music folder picked: listed at once") << true << false;
        QTest::newRow("music folder picker cancelled: field emptied, list kept") << true << true;
        QTest::newRow("destination picked") << false << false;
        QTest::newRow("destination picker cancelled: field emptied") << false << true;
    }
    void pickOrCancel()
    {
        QFETCH(bool, musicFolder);
        QFETCH(bool, cancelled);
        QTemporaryDir picked;
        folders::write(picked.filePath(u"b.wav"_qs), {});
        folders::write(picked.filePath(u"A.WAV"_qs), {});
        folders::write(picked.filePath(u"c.mp3"_qs), {});
        RecordingInteraction interaction;
        frmMain window(interaction);
        window.ListSrcMusic->setItems({u"old.wav"_qs});
        QLineEdit *field = musicFolder ? window.TextPath : window.TextCopyDst;
        field->setText(u" typed "_qs);
        interaction.folderAnswers.enqueue(cancelled ? QString() : picked.path());

        (musicFolder ? window.CommandBrowsePath : window.CommandCopyDst)->click();
        QCOMPARE(interaction.folderStarts, QStringList{u" typed "_qs});
        QCOMPARE(interaction.folderTitles, QStringList{u"フォルダを選択してください"_qs});
        QCOMPARE(field->text(), cancelled ? QString() : picked.path());
        const QStringList listed = musicFolder && !cancelled ? QStringList{u"A.WAV"_qs, u"b.wav"_qs}
                                                             : QStringList{u"old.wav"_qs};
        QCOMPARE(window.ListSrcMusic->items(), listed);
    }
};

QTEST_MAIN(TestFolderButtons)
#include "tst_folderbuttons.moc"
