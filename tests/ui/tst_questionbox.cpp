#include "ui/QtUserInteraction.h"

#include <QApplication>
#include <QMessageBox>
#include <QTest>
#include <QTimer>

using namespace meloport;

// The real question box, answered from the keyboard while it waits.
class TestQuestionBox final : public QObject {
    Q_OBJECT
private slots:
    void answeredByKey_data()
    {
        QTest::addColumn<DefaultAnswer>("defaultAnswer");
        QTest::addColumn<int>("key");
        QTest::addColumn<bool>("yes");
        const auto no = DefaultAnswer::No, yes = DefaultAnswer::Yes;
        QTest::newRow("Y answers はい where Enter would not") << no << int(Qt::Key_Y) << true;
        QTest::newRow("N answers いいえ where Enter would not") << yes << int(Qt::Key_N) << false;
        QTest::newRow("Enter takes the default はい") << yes << int(Qt::Key_Return) << true;
        QTest::newRow("Enter takes the default いいえ") << no << int(Qt::Key_Return) << false;
        QTest::newRow("Esc answers いいえ even when はい is the default") << yes << int(Qt::Key_Escape) << false;
    }
    void answeredByKey()
    {
        QFETCH(DefaultAnswer, defaultAnswer);
        QFETCH(int, key);
        QFETCH(bool, yes);
        // Runs inside the box's own event loop; a box never found is closed, so no row waits forever.
        QTimer::singleShot(0, this, [&] {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            if (box && QTest::qWaitForWindowActive(box))
                QTest::keyClick(box->focusWidget() ? box->focusWidget() : box, Qt::Key(key));
            else if (box)
                box->reject();
        });
        QtUserInteraction interaction;
        const bool answer = interaction.askQuestion(nullptr, u"Meloport"_qs, u"?"_qs, defaultAnswer);
        QCOMPARE(answer, yes);
    }
};

QTEST_MAIN(TestQuestionBox)
#include "tst_questionbox.moc"
