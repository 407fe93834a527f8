#include "rename/DlgCopy.h"

#include <QApplication>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>

using namespace meloport;

// Notes the abort flag at the moment the dialog disappears.
class HideWatch final : public QObject {
public:
    bool flagAtHide = false;

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Hide)
            flagAtHide = gbAbortCopy;
        return false;
    }
};

class TestDlgCopy final : public QObject {
    Q_OBJECT
private:
    QWidget m_owner;

    static QList<int> countFiles(DlgCopy &dialog, int files)
    {
        QList<int> shown;
        for (int i = 0; i < files && dialog.isVisible(); ++i) {
            dialog.NextMusic();
            if (dialog.isVisible())
                shown.append(dialog.ProgressBarCopy->value());
        }
        return shown;
    }

private slots:
    void asDesigned()
    {
        DlgCopy dialog(&m_owner);
        dialog.gnMax = 2;
        dialog.show();
        QCOMPARE(dialog.windowTitle(), u"ﾌｧｲﾙをｺﾋﾟｰ中です"_qs);
        QCOMPARE(dialog.parentWidget(), &m_owner);
        QVERIFY(!dialog.isModal());
        QCOMPARE(dialog.windowFlags() & (Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint),
                 Qt::WindowCloseButtonHint);
        // 6030 x 1260 twips at 96 dpi, at 2760, 3750 on the screen.
        QCOMPARE(dialog.geometry(), QRect(184, 250, 402, 84));
        QCOMPARE(dialog.minimumSize(), dialog.maximumSize());
        QCOMPARE(dialog.ProgressBarCopy->geometry(), QRect(16, 16, 377, 25));
        QCOMPARE(dialog.CancelButton->geometry(), QRect(160, 48, 81, 25));
        QCOMPARE(dialog.CancelButton->text(), u"ｷｬﾝｾﾙ"_qs);
    }

    void countsFilesThenCloses_data()
    {
        QTest::addColumn<int>("files");
        QTest::addColumn<QList<int>>("shown");
        QTest::newRow("one file: closes on the first advance") << 1 << QList<int>{};
        QTest::newRow("three files: 1, 2, then closes") << 3 << QList<int>{1, 2};
    }
    void countsFilesThenCloses()
    {
        QFETCH(int, files);
        QFETCH(QList<int>, shown);
        DlgCopy dialog(&m_owner);
        dialog.gnMax = files;
        dialog.show();
        QCOMPARE(dialog.ProgressBarCopy->value(), 0);
        QCOMPARE(dialog.ProgressBarCopy->maximum(), files);
        QCOMPARE(countFiles(dialog, files), shown);
        QVERIFY(!dialog.isVisible());
        QCOMPARE(dialog.ProgressBarCopy->value(), files);

        // The turn after a close advances nothing and opens nothing.
        dialog.NextMusic();
        QVERIFY(!dialog.isVisible());
        QCOMPARE(dialog.ProgressBarCopy->value(), files);
    }

    void reopensEmptyForTheNextCopy()
    {
        DlgCopy dialog(&m_owner);
        dialog.gnMax = 5;
        dialog.show();
        countFiles(dialog, 2);
        dialog.AbortCopy();
        dialog.gnMax = 2;
        dialog.show();
        QCOMPARE(dialog.ProgressBarCopy->value(), 0);
        QCOMPARE(dialog.ProgressBarCopy->maximum(), 2);
        QCOMPARE(countFiles(dialog, 2), QList<int>{1});
    }

    void keysAndCloseBox_data()
    {
        QTest::addColumn<int>("key"); // 0: the close box
        QTest::addColumn<QString>("outcome");
        QTest::newRow("Enter presses cancel") << int(Qt::Key_Return) << u"cancelled"_qs;
        QTest::newRow("Space presses cancel") << int(Qt::Key_Space) << u"cancelled"_qs;
        QTest::newRow("Esc does nothing") << int(Qt::Key_Escape) << u"open"_qs;
        QTest::newRow("close box closes without cancelling") << 0 << u"closed"_qs;
    }
    void keysAndCloseBox()
    {
        QFETCH(int, key);
        QFETCH(QString, outcome);
        DlgCopy dialog(&m_owner);
        dialog.gnMax = 3;
        dialog.show();
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        QCOMPARE(QApplication::focusWidget(), dialog.CancelButton);
        // The copy looks at the flag once the dialog is gone, so it must be set by then.
        HideWatch watch;
        dialog.installEventFilter(&watch);
        gbAbortCopy = false;
        if (key)
            QTest::keyClick(dialog.CancelButton, Qt::Key(key));
        else
            dialog.close();
        const QString seen = dialog.isVisible() ? u"open"_qs : watch.flagAtHide ? u"cancelled"_qs : u"closed"_qs;
        QCOMPARE(seen, outcome);
        QCOMPARE(gbAbortCopy, outcome == u"cancelled");
    }
};

QTEST_MAIN(TestDlgCopy)
#include "tst_dlgcopy.moc"
