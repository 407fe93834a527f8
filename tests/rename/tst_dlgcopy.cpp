#include "rename/DlgCopy.h"

#include <QApplication>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>

using namespace meloport;

class TestDlgCopy final : public QObject {
    Q_OBJECT
private:
    QWidget m_owner;

private slots:
    void countsFilesThenCloses()
    {
        DlgCopy dialog(&m_owner);
        // A second copy starts again from an empty bar, counting to its own number.
        for (const int files : {3, 1}) {
            dialog.gnMax = files;
            dialog.show();
            QList<int> shown{dialog.ProgressBarCopy->value()};
            for (int i = 0; i < files; ++i) {
                dialog.NextMusic();
                if (dialog.isVisible())
                    shown.append(dialog.ProgressBarCopy->value());
            }
            QCOMPARE(shown, files == 3 ? QList<int>({0, 1, 2}) : QList<int>({0}));
            QCOMPARE(dialog.ProgressBarCopy->maximum(), files);
            // The turn after the close advances nothing and opens nothing.
            dialog.NextMusic();
            QVERIFY(!dialog.isVisible());
        }
    }

    void keysAndCloseBox_data()
    {
        QTest::addColumn<int>("key"); // 0: the close box
        QTest::addColumn<bool>("open");
        QTest::addColumn<bool>("cancelled");
        QTest::newRow("Enter presses cancel") << int(Qt::Key_Return) << false << true;
        QTest::newRow("Space presses cancel") << int(Qt::Key_Space) << false << true;
        QTest::newRow("Esc does nothing") << int(Qt::Key_Escape) << true << false;
        QTest::newRow("close box closes without cancelling") << 0 << false << false;
    }
    void keysAndCloseBox()
    {
        QFETCH(int, key);
        QFETCH(bool, open);
        QFETCH(bool, cancelled);
        DlgCopy dialog(&m_owner);
        dialog.gnMax = 3;
        dialog.show();
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        QCOMPARE(QApplication::focusWidget(), dialog.CancelButton);
        gbAbortCopy = false;
        if (key)
            QTest::keyClick(QApplication::focusWidget(), Qt::Key(key));
        else
            dialog.close();
        QCOMPARE(dialog.isVisible(), open);
        QCOMPARE(gbAbortCopy, cancelled);
    }
};

QTEST_MAIN(TestDlgCopy)
#include "tst_dlgcopy.moc"
