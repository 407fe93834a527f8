#include "about/SystemInfo.h"

#include <QTest>

using namespace meloport;

class TestSystemInfo final : public QObject {
    Q_OBJECT
private slots:
    void registryNumbers_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("text");
        QTest::newRow("258: the low byte 02 keeps its zero") << QByteArray("\x02\x01\x00\x00", 4) << u"258"_qs;
        QTest::newRow("256: a zero byte is two zero digits") << QByteArray("\x00\x01\x00\x00", 4) << u"256"_qs;
        QTest::newRow("0") << QByteArray(4, '\0') << u"0"_qs;
        QTest::newRow("the largest number is not negative") << QByteArray(4, '\xff') << u"4294967295"_qs;
    }
    void registryNumbers()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, text);
        QCOMPARE(registryNumberText(bytes), text);
    }
};

QTEST_GUILESS_MAIN(TestSystemInfo)
#include "tst_systeminfo.moc"
