#include "app/ListBox.h"
#include "app/QtUserInteraction.h"
#include "app/frmMain.h"
#include "support/RecordingInteraction.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QRegularExpression>
#include <QTest>
#include <QTimer>

using namespace meloport;

class TestPaste final : public QObject {
    Q_OBJECT
private slots:
    // The title list held a typed title; the clipboard then goes in by `how`. Questions are
    // answered from `answers` (none left: Enter, which answers はい here).
    void paste_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<QString>("clipboard");
        QTest::addColumn<QList<bool>>("answers");
        QTest::addColumn<QStringList>("shown"); // questions ("? ..."), messages, the list, the title field

        const QString shopList = u"1. 序曲 3:45\r\n\r\n2 - 夜明けの① (4:02)\r\n"_qs;
        const QString question = u"? 貼り付けた曲名から先頭のﾄﾗｯｸ番号、末尾の演奏時間、空の行を取り除きますか?\n"
                                 u"例: 「1. 序曲 3:45」→「序曲」"_qs;
        QTest::newRow("Ctrl+V on the list, Enter: clean titles")
            << u"Ctrl+V on the list"_qs << shopList << QList<bool>()
            << QStringList{question, u"序曲"_qs, u"夜明けの①"_qs, QString()};
        QTest::newRow("context menu, いいえ: as pasted")
            << u"menu"_qs << shopList << QList<bool>{false}
            << QStringList{question, u"1. 序曲 3:45"_qs, QString(), u"2 - 夜明けの① (4:02)"_qs, QString()};
        QTest::newRow("titles alone: no question")
            << u"menu"_qs << u"序曲\n24:00\n"_qs << QList<bool>() << QStringList{u"序曲"_qs, u"24:00"_qs, QString()};
        QTest::newRow("nothing but blanks: the list stays")
            << u"Ctrl+V on the list"_qs << u" \n"_qs << QList<bool>()
            << QStringList{u"ｸﾘｯﾌﾟﾎﾞｰﾄﾞに文字がないため、変換後曲名一覧は変わっていません。"_qs, u"typed"_qs, QString()};
        QTest::newRow("Ctrl+V in the title field pastes into the field")
            << u"Ctrl+V in TextName"_qs << u"1. 序曲"_qs << QList<bool>() << QStringList{u"typed"_qs, u"1. 序曲"_qs};
    }
    void paste()
    {
        QFETCH(QString, how);
        QFETCH(QString, clipboard);
        QFETCH(QList<bool>, answers);
        QFETCH(QStringList, shown);
        RecordingInteraction interaction;
        interaction.questionAnswers.append(answers);
        frmMain window(interaction);
        window.show();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        window.ListDstMusic->addItem(u"typed"_qs);
        QGuiApplication::clipboard()->setText(clipboard);
        if (how == u"menu") {
            QVERIFY(window.ListDstMusic->actions().contains(window.cmdPaste));
            QCOMPARE(window.cmdPaste->text(), u"貼り付け(&P)"_qs);
            window.cmdPaste->trigger();
        } else {
            QWidget *target = how == u"Ctrl+V in TextName" ? static_cast<QWidget *>(window.TextName)
                                                           : window.ListDstMusic;
            target->setFocus();
            QTest::keyClick(target, Qt::Key_V, Qt::ControlModifier);
        }
        QStringList asked = interaction.questions;
        asked.replaceInStrings(QRegularExpression(u"^"_qs), u"? "_qs);
        QCOMPARE(asked + interaction.messageTexts() + window.ListDstMusic->items() << window.TextName->text(), shown);
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
        QtUserInteraction interaction;
        QTimer press;
        connect(&press, &QTimer::timeout, this, [&press, key] {
            if (QWidget *box = QApplication::activeModalWidget()) {
                press.stop();
                QTest::keyClick(box, Qt::Key(key));
            }
        });
        press.start(10);
        QCOMPARE(interaction.askQuestion(nullptr, u"めろぽーと"_qs, u"?"_qs, defaultAnswer), answer);
    }
};

QTEST_MAIN(TestPaste)
#include "tst_paste.moc"
