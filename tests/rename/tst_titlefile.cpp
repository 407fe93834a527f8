#include "rename/TitleFile.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace meloport;

namespace {

// 曲, ｱ, ①, \, ソ (whose second byte is a backslash) and 表 in code page 932.
const QByteArray kShiftJis("\x8b\xc8\xb1\x87\x40\x5c\x83\x5c\x95\x5c");
const QString kDecoded = u"曲ｱ①\\ソ表"_qs;

} // namespace

class TestTitleFile final : public QObject {
    Q_OBJECT
private slots:
    void loadsTitles_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QStringList>("titles");
        const QByteArray bom("\xef\xbb\xbf");
        const QStringList abc{u"A"_qs, u""_qs, u"B"_qs};
        QTest::newRow("CR and LF, empty line kept") << QByteArray("A\r\n\r\nB\r\n") << abc;
        QTest::newRow("CR alone") << QByteArray("A\r\rB\r") << abc;
        QTest::newRow("LF alone") << QByteArray("A\n\nB\n") << abc;
        QTest::newRow("last line without a line end") << QByteArray("A\r\n\r\nB") << abc;
        QTest::newRow("LF then CR is two line ends") << QByteArray("A\n\rB") << abc;
        QTest::newRow("only a line end gives one empty title") << QByteArray("\r\n") << QStringList{u""_qs};
        QTest::newRow("empty file") << QByteArray() << QStringList{};
        QTest::newRow("UTF-8 byte-order mark alone") << bom << QStringList{};
        QTest::newRow("spaces kept") << QByteArray(" A \n") << QStringList{u" A "_qs};
        QTest::newRow("UTF-8") << kDecoded.toUtf8() + "\r\nx" << QStringList{kDecoded, u"x"_qs};
        QTest::newRow("UTF-8 with byte-order mark") << bom + kDecoded.toUtf8() + "\n" << QStringList{kDecoded};
        QTest::newRow("Shift-JIS") << kShiftJis + "\r\nx" << QStringList{kDecoded, u"x"_qs};
        QTest::newRow("Shift-JIS with LF") << kShiftJis + "\nx\n" << QStringList{kDecoded, u"x"_qs};
    }
    void loadsTitles()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QStringList, titles);
        QTemporaryDir dir;
        QFile file(dir.filePath(u"曲名ﾌｧｲﾙ.txt"_qs));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        file.close();
        const TitleFile loaded = readTitleFile(file.fileName());
        QCOMPARE(loaded.problem, TitleFile::Problem::None);
        QCOMPARE(loaded.titles, titles);
    }

    void refusesWhatIsNotText_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("UTF-16 with its NUL bytes") << QByteArray("\xff\xfe" "A\0\n\0", 6);
        QTest::newRow("invalid in both encodings") << QByteArray("A\x85\xff\n");
    }
    void refusesWhatIsNotText()
    {
        QFETCH(QByteArray, bytes);
        QVERIFY(!decodeTitleText(bytes).has_value());
    }
};

QTEST_GUILESS_MAIN(TestTitleFile)
#include "tst_titlefile.moc"
