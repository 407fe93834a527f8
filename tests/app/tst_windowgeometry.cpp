#include "app/WindowGeometry.h"

#include <QTest>

using namespace meloport;

class TestWindowGeometry final : public QObject {
    Q_OBJECT
private slots:
    void storedText_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("twips"); // -1000000: does not fit, the design geometry stays
        QTest::newRow("whole number") << u"1200"_qs << 1200;
        QTest::newRow("negative, left of the primary screen") << u"-1500"_qs << -1500;
        QTest::newRow("half goes down to even") << u"1200.5"_qs << 1200;
        QTest::newRow("half goes up to even") << u"1201.5"_qs << 1202;
        QTest::newRow("trailing zeros keep a half") << u"1200.5000"_qs << 1200;
        QTest::newRow("anything above a half goes up") << u"1200.50000000000000000001"_qs << 1201;
        QTest::newRow("negative half to even") << u"-1201.5"_qs << -1202;
        QTest::newRow("leading number of 12abc") << u"12abc"_qs << 12;
        QTest::newRow("comma is no decimal mark") << u"12,7"_qs << 12;
        QTest::newRow("no exponent") << u"1e3"_qs << 1;
        QTest::newRow("not a number") << u"abc"_qs << 0;
        QTest::newRow("lone point") << u"."_qs << 0;
        QTest::newRow("fraction only") << u".7"_qs << 1;
        QTest::newRow("largest") << u"32767"_qs << 32767;
        QTest::newRow("smallest") << u"-32768.5"_qs << -32768;
        QTest::newRow("rounds beyond the largest") << u"32767.5"_qs << -1000000;
        QTest::newRow("wide desktop") << u"40000"_qs << -1000000;
        QTest::newRow("far left") << u"-32769"_qs << -1000000;
        QTest::newRow("absurdly long") << u"99999999999999999999999"_qs << -1000000;
    }
    void storedText()
    {
        QFETCH(QString, text);
        QFETCH(int, twips);
        const std::optional<qint16> read = twipsFromText(text);
        QCOMPARE(read.has_value() ? int(*read) : -1000000, twips);
        if (read)
            QCOMPARE(twipsFromText(twipsToText(*read)), read);
    }

    void keepOnScreen_data()
    {
        QTest::addColumn<QRect>("frame");
        QTest::addColumn<QPoint>("expected");
        QTest::newRow("on the primary screen") << QRect(100, 50, 600, 500) << QPoint(100, 50);
        QTest::newRow("on the second screen") << QRect(2000, 50, 600, 500) << QPoint(2000, 50);
        QTest::newRow("partly off the screens") << QRect(-300, -20, 600, 500) << QPoint(-300, -20);
        QTest::newRow("on a monitor since removed") << QRect(4000, 300, 600, 500) << QPoint(1320, 300);
        QTest::newRow("far above") << QRect(100, -9000, 600, 500) << QPoint(100, 0);
        QTest::newRow("larger than the screen") << QRect(-5000, 0, 3000, 500) << QPoint(0, 0);
    }
    void keepOnScreen()
    {
        QFETCH(QRect, frame);
        QFETCH(QPoint, expected);
        const QRect primary(0, 0, 1920, 1040);
        const QList<QRect> screens{primary, QRect(1920, 0, 1280, 1024)};
        QCOMPARE(meloport::keepOnScreen(frame, screens, primary), expected);
    }
};

QTEST_GUILESS_MAIN(TestWindowGeometry)
#include "tst_windowgeometry.moc"
