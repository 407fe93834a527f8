#include "platform/Platform.h"

#include <QTest>

using namespace meloport::platform;

class TestPaths final : public QObject {
    Q_OBJECT
private slots:
    // A path as text gives back its very bytes, and a person sees a replacement mark for each byte
    // that is not UTF-8, and nothing else changed.
    void keepsEveryByte_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("shown");
        QTest::newRow("UTF-8") << QByteArray("/曲/Café") << u"/曲/Café"_qs;
        QTest::newRow("a Latin-1 byte") << QByteArray("/caf\xe9/x") << u"/caf\uFFFD/x"_qs;
        QTest::newRow("a sequence cut off at the end") << QByteArray("a\xe6\x9b") << u"a\uFFFD\uFFFD"_qs;
        QTest::newRow("overlong") << QByteArray("\xc0\xaf") << u"\uFFFD\uFFFD"_qs;
        QTest::newRow("an encoded surrogate") << QByteArray("\xed\xb2\x80") << u"\uFFFD\uFFFD\uFFFD"_qs;
        QTest::newRow("beyond Unicode") << QByteArray("\xf5\x80\x80\x80") << u"\uFFFD\uFFFD\uFFFD\uFFFD"_qs;
        QTest::newRow("beside a four-byte character") << QByteArray("\xff\xf0\x9f\x8e\xb5\xff")
                                                      << u"\uFFFD\U0001F3B5\uFFFD"_qs;
    }
    void keepsEveryByte()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, shown);
        const QString text = pathText(bytes);
        QCOMPARE(pathBytes(text), bytes);
        QCOMPARE(shownPath(text), shown);
    }
};

QTEST_GUILESS_MAIN(TestPaths)
#include "tst_paths.moc"
