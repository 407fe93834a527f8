#include "rename/TitleFile.h"

#include "support/FolderSnapshot.h"

using namespace meloport;

class TestTitleFile final : public QObject {
    Q_OBJECT
private slots:
    void loadsTitles_data()
    {
        QTest::addColumn<QByteArray>("bytes"); // null: no file at all
        QTest::addColumn<QStringList>("titles"); // or why there are none
        // 曲, ｱ, ①, \, ソ and 表 (both with a backslash as second byte) in code page 932.
        const QByteArray shiftJis("\x8b\xc8\xb1\x87\x40\x5c\x83\x5c\x95\x5c");
        const QStringList sample{u"曲ｱ①\\ソ表"_qs, QString(), u"x"_qs}; // with an empty line, kept
        const QByteArray utf8 = sample[0].toUtf8();
        QTest::newRow("UTF-8, CRLF, a line end after the last adds nothing") << utf8 + "\r\n\r\nx\r\n" << sample;
        QTest::newRow("UTF-8 with BOM, LF, none after the last") << "\xef\xbb\xbf" + utf8 + "\n\nx" << sample;
        QTest::newRow("Shift-JIS, CR") << shiftJis + "\r\rx\r" << sample;
        QTest::newRow("LF then CR is two line ends") << utf8 + "\n\rx" << sample;
        QTest::newRow("UTF-16, NUL bytes: refused") << QByteArray("A\0\n\0", 4) << QStringList{u"encoding"_qs};
        QTest::newRow("neither encoding: refused") << QByteArray("A\x85\xff\n") << QStringList{u"encoding"_qs};
        QTest::newRow("missing file") << QByteArray() << QStringList{u"unreadable"_qs};
    }
    void loadsTitles()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QStringList, titles);
        QTemporaryDir dir;
        const QString path = dir.filePath(u"曲名ﾌｧｲﾙ.txt"_qs);
        if (!bytes.isNull())
            writeFile(path, bytes);
        const TitleFile loaded = readTitleFile(path);
        const QStringList problems{QString(), u"unreadable"_qs, u"encoding"_qs}; // by TitleFile::Problem
        QCOMPARE(loaded.problem == TitleFile::Problem::None ? loaded.titles : problems.mid(int(loaded.problem), 1),
                 titles);
    }
};

QTEST_GUILESS_MAIN(TestTitleFile)
#include "tst_titlefile.moc"
