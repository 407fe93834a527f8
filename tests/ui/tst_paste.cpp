#include "ui/ListBox.h"
#include "ui/frmMain.h"
#include "support/RecordingInteraction.h"

#include <QAction>
#include <QClipboard>
#include <QLineEdit>
#include <QTest>

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
        QTest::addColumn<QString>("shown"); // what was said, the list, the title field, "|" between
        const QString shop = u"1. 序曲 3:45\r\n\r\n2 - 夜明けの① (4:02)\r\n"_qs;
        QTest::newRow("Ctrl+V on the list, Enter: clean titles") << u"list"_qs << shop << QList<bool>()
                                                                  << u"? 270|序曲|夜明けの①|"_qs;
        QTest::newRow("context menu, いいえ: as pasted") << u"menu"_qs << shop << QList<bool>{false}
                                                        << u"? 270|1. 序曲 3:45||2 - 夜明けの① (4:02)|"_qs;
        QTest::newRow("nothing but blanks: the list stays") << u"list"_qs << u" \n"_qs << QList<bool>()
                                                            << u"275|typed|"_qs;
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
        const QStringList seen = interaction.said + window.ListDstMusic->items();
        QCOMPARE((seen + QStringList{window.TextName->text()}).join(u'|'), shown);
    }
};

QTEST_MAIN(TestPaste)
#include "tst_paste.moc"
