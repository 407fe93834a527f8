#include "app/ListBox.h"
#include "app/frmMain.h"
#include "support/RecordingInteraction.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

using namespace meloport;

class TestFrmMain final : public QObject {
    Q_OBJECT
private:
    static QStringList checkedKinds(const frmMain &window)
    {
        QStringList checked;
        for (const QAction *item : {window.cmdWav, window.cmdMP3, window.cmdWMA})
            if (item->isChecked())
                checked.append(item->objectName());
        return checked;
    }
    static void touch(const QString &path)
    {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
    }

private slots:
    void resourcesAreBuiltIn()
    {
        for (const char *name : {"folder.bmp", "titlefile.bmp", "add.bmp", "delete.bmp", "meloport-16.png", "meloport-32.png"})
            QVERIFY2(QFile::exists(u":/meloport/"_qs + QLatin1String(name)), name);
    }

    void windowAtStart()
    {
        RecordingInteraction interaction;
        frmMain window(interaction);
        window.UpdateKindMenu();
        for (const char *name : {"TextPath", "TextFile", "TextName", "TextCopyDst"})
            QVERIFY(window.findChild<QLineEdit *>(QLatin1String(name))->text().isEmpty());
        QCOMPARE(window.ListSrcMusic->listCount(), 0);
        QCOMPARE(window.ListDstMusic->listCount(), 0);
        QCOMPARE(checkedKinds(window), QStringList{u"cmdWav"_qs});
        QCOMPARE(window.windowTitle(), u"めろぽーと(**)"_qs);
        QVERIFY(!(window.windowFlags() & Qt::WindowMaximizeButtonHint));
        QVERIFY(window.windowFlags() & Qt::WindowMinimizeButtonHint);
        // 8025 x 7710 twips at 96 dpi, the menu bar above.
        QCOMPARE(window.centralWidget()->size(), QSize(535, 514));
        QCOMPARE(window.minimumSize(), window.maximumSize());
        QCOMPARE(window.TextPath->geometry(), QRect(104, 16, 289, 25));
        QCOMPARE(window.CommandLoad->geometry(), QRect(464, 64, 65, 33));
    }

    void menus()
    {
        RecordingInteraction interaction;
        frmMain window(interaction);
        QStringList captions;
        for (const QAction *menu : window.menuBar()->actions()) {
            captions.append(menu->text());
            for (const QAction *item : menu->menu()->actions())
                captions.append(u"  "_qs + (item->isSeparator() ? u"-"_qs : item->text()));
        }
        QCOMPARE(captions, (QStringList{u"ﾌｧｲﾙ(&F)"_qs, u"  ｺﾋﾟｰ(&C)"_qs, u"種類(&K)"_qs, u"  WAV"_qs, u"  MP3"_qs,
                                        u"  WMA"_qs, u"ヘルプ(&H)"_qs, u"  目次(&C)"_qs, u"  最新版をダウンロード(&D)"_qs,
                                        u"  -"_qs, u"  バージョン情報(&A)..."_qs}));
    }

    void tabOrder()
    {
        RecordingInteraction interaction;
        frmMain window(interaction);
        window.show();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        const QStringList expected{u"TextPath"_qs, u"CommandBrowsePath"_qs, u"TextFile"_qs, u"CommandBrowseFile"_qs,
                                   u"TextName"_qs, u"CommandAdd"_qs, u"CommandDel"_qs, u"TextCopyDst"_qs,
                                   u"CommandCopyDst"_qs, u"ListSrcMusic"_qs, u"ListDstMusic"_qs,
                                   u"CommandRunAll"_qs, u"CommandLoad"_qs, u"TextPath"_qs};
        window.TextPath->setFocus();
        QStringList visited{QApplication::focusWidget()->objectName()};
        for (int i = 1; i < expected.size(); ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            visited.append(QApplication::focusWidget()->objectName());
        }
        QCOMPARE(visited, expected);
    }

    void labelMnemonicsMoveFocusOnly_data()
    {
        QTest::addColumn<char>("key");
        QTest::addColumn<QString>("focused");
        QTest::newRow("Alt+P") << 'P' << u"TextPath"_qs;
        QTest::newRow("Alt+N") << 'N' << u"TextName"_qs;
        QTest::newRow("Alt+A") << 'A' << u"TextCopyDst"_qs;
        QTest::newRow("Alt+S reaches the load button") << 'S' << u"CommandLoad"_qs;
        QTest::newRow("Alt+D reaches the load button") << 'D' << u"CommandLoad"_qs;
    }
    void labelMnemonicsMoveFocusOnly()
    {
        QFETCH(char, key);
        QFETCH(QString, focused);
        RecordingInteraction interaction;
        frmMain window(interaction);
        window.show();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        window.TextName->setFocus();
        int loads = 0;
        connect(window.CommandLoad, &QPushButton::clicked, this, [&loads] { ++loads; });
        QTest::keyClick(&window, key, Qt::AltModifier);
        QTRY_COMPARE(QApplication::focusWidget()->objectName(), focused);
        QTest::qWait(50);
        QCOMPARE(loads, 0);
    }

    void toolTipsOnPictureButtonsOnly()
    {
        RecordingInteraction interaction;
        frmMain window(interaction);
        QMap<QString, QString> tips;
        for (const QWidget *widget : window.centralWidget()->findChildren<QWidget *>())
            if (!widget->toolTip().isEmpty())
                tips.insert(widget->objectName(), widget->toolTip());
        const QMap<QString, QString> expected{
            {u"CommandBrowsePath"_qs, u"フォルダを選択します"_qs},
            {u"CommandBrowseFile"_qs, u"曲名ファイルを選択します"_qs},
            {u"CommandAdd"_qs, u"変換後曲名一覧に追加"_qs},
            {u"CommandDel"_qs, u"変換後曲名一覧から削除"_qs},
            {u"CommandCopyDst"_qs, u"フォルダを選択します"_qs},
        };
        QCOMPARE(tips, expected);
    }

    void noDefaultButton()
    {
        RecordingInteraction interaction;
        frmMain window(interaction);
        for (const QPushButton *button : window.findChildren<QPushButton *>())
            QVERIFY2(!button->isDefault() && !button->autoDefault(), qPrintable(button->objectName()));
    }

    void sortedAndUnsortedLists()
    {
        RecordingInteraction interaction;
        frmMain window(interaction);
        for (const QString &entry : {u"c"_qs, u"A"_qs, u"b"_qs}) {
            window.ListSrcMusic->addItem(entry);
            window.ListDstMusic->addItem(entry);
        }
        QCOMPARE(window.ListSrcMusic->items(), (QStringList{u"A"_qs, u"b"_qs, u"c"_qs}));
        QCOMPARE(window.ListDstMusic->items(), (QStringList{u"c"_qs, u"A"_qs, u"b"_qs}));
    }

    void kindCommandsListTheFolder()
    {
        QTemporaryDir dir;
        for (const QString &name : {u"b.wav"_qs, u"A.WAV"_qs, u"c.mp3"_qs})
            touch(dir.filePath(name));
        RecordingInteraction interaction;
        frmMain window(interaction);
        window.UpdateKindMenu();

        window.TextPath->setText(dir.path());
        window.cmdWav->trigger();
        QCOMPARE(window.ListSrcMusic->items(), (QStringList{u"A.WAV"_qs, u"b.wav"_qs}));
        QCOMPARE(checkedKinds(window), QStringList{u"cmdWav"_qs});

        window.cmdMP3->trigger();
        QCOMPARE(window.mnKind, qint16(KindMp3));
        QCOMPARE(window.ListSrcMusic->items(), QStringList{u"c.mp3"_qs});
        QCOMPARE(checkedKinds(window), QStringList{u"cmdMP3"_qs});

        // The current kind again re-reads the folder.
        touch(dir.filePath(u"d.MP3"_qs));
        window.cmdMP3->trigger();
        QCOMPARE(window.ListSrcMusic->items(), (QStringList{u"c.mp3"_qs, u"d.MP3"_qs}));
        QCOMPARE(checkedKinds(window), QStringList{u"cmdMP3"_qs});

        // With no folder only the check mark moves.
        window.TextPath->clear();
        window.cmdWMA->trigger();
        QCOMPARE(window.ListSrcMusic->items(), (QStringList{u"c.mp3"_qs, u"d.MP3"_qs}));
        QCOMPARE(checkedKinds(window), QStringList{u"cmdWMA"_qs});

        // A folder that is not there empties the list.
        window.TextPath->setText(dir.filePath(u"missing"_qs));
        window.cmdMP3->trigger();
        QCOMPARE(window.ListSrcMusic->listCount(), 0);
    }
};

QTEST_MAIN(TestFrmMain)
#include "tst_frmmain.moc"
