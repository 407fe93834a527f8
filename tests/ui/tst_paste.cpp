#include "ui/ListBox.h"
#include "ui/QtUserInteraction.h"
#include "ui/frmMain.h"
#include "support/RecordingInteraction.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QTest>
#include <QTimer>

using namespace meloport;

class TestPaste final : public QObject {
    Q_OBJECT
private slots:
    // The title list held "typed" before the clipboard went in by `how`. Questions are answered
    // from `answers` (none left: Enter, which answers はい here).
    void paste_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<QString>("clipboard");
        QTest::addColumn<QList<bool>>("answers");
        QTest::addColumn<QString>("shown"); // questions, messages, the list, the title field, "|" between
        const QString shop = u"1. 序曲 3:45\r\n\r\n2 - 夜明けの① (4:02)\r\n"_qs;
        const QString question =
            u"貼り付けた曲名から先頭のﾄﾗｯｸ番号、末尾の演奏時間、空の行を取り除きますか?\n例: 「1. 序曲 3:45」→「序曲」|"_qs;
        QTest::newRow("Ctrl+V on the list, Enter: clean titles")
            << u"list"_qs << shop << QList<bool>() << question + u"序曲|夜明けの①|"_qs;
        QTest::newRow("context menu, いいえ: as pasted")
            << u"menu"_qs << shop << QList<bool>{false} << question + u"1. 序曲 3:45||2 - 夜明けの① (4:02)|"_qs;
        QTest::newRow("titles alone: no question") << u"menu"_qs << u"序曲\n24:00\n"_qs << QList<bool>()
                                                    << u"序曲|24:00|"_qs;
        QTest::newRow("nothing but blanks: the list stays")
            << u"list"_qs << u" \n"_qs << QList<bool>()
            << u"ｸﾘｯﾌﾟﾎﾞｰﾄﾞに文字がないため、変換後曲名一覧は変わっていません。|typed|"_qs;
        QTest::newRow("Ctrl+V in the title field pastes there") << u"field"_qs << u"1. 序曲"_qs << QList<bool>()
                                                                 << u"typed|1. 序曲"_qs;
    }
    void paste()
    {
        QFETCH(QString, how);
        QFETCH(QString, clipboard);
        QFETCH(QList<bool>, answers);
        QFETCH(QString, shown);
        RecordingInteraction interaction;
        interaction.questionAnswers.append(answers);
        frmMain window(interaction);
        window.show();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        window.ListDstMusic->addItem(u"typed"_qs);
        QGuiApplication::clipboard()->setText(clipboard);
        QWidget *focus = how == u"field" ? static_cast<QWidget *>(window.TextName) : window.ListDstMusic;
        focus->setFocus();
        QVERIFY(window.ListDstMusic->actions().contains(window.cmdPaste)); // its context menu's item
        if (how == u"menu")
            window.cmdPaste->trigger();
        else
            QTest::keyClick(focus, Qt::Key_V, Qt::ControlModifier);
        const QStringList seen = interaction.questions + interaction.messageTexts() + window.ListDstMusic->items();
        QCOMPARE((seen + QStringList{window.TextName->text()}).join(u'|'), shown);
        QVERIFY(!interaction.questionDefaults.contains(DefaultAnswer::No));
    }

    // The real question box: Enter gives the default, Esc always いいえ.
    void questionKeys_data()
    {
        QTest::addColumn<DefaultAnswer>("defaultAnswer");
        QTest::addColumn<int>("key");
        QTest::addColumn<bool>("answer");
        QTest::newRow("いいえ by default: Enter") << DefaultAnswer::No << int(Qt::Key_Return) << false;
        QTest::newRow("はい by default: Enter") << DefaultAnswer::Yes << int(Qt::Key_Return) << true;
        QTest::newRow("はい by default: Esc") << DefaultAnswer::Yes << int(Qt::Key_Escape) << false;
    }
    void questionKeys()
    {
        QFETCH(DefaultAnswer, defaultAnswer);
        QFETCH(int, key);
        QFETCH(bool, answer);
        QTimer press;
        connect(&press, &QTimer::timeout, this, [&press, key] {
            if (QWidget *box = QApplication::activeModalWidget()) {
                press.stop();
                QTest::keyClick(box, Qt::Key(key));
            }
        });
        press.start(10);
        QtUserInteraction interaction;
        QCOMPARE(interaction.askQuestion(nullptr, u"Meloport"_qs, u"?"_qs, defaultAnswer), answer);
    }
};

QTEST_MAIN(TestPaste)
#include "tst_paste.moc"
