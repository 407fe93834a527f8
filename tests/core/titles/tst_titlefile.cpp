#include "core/titles/TitleFile.h"

#include "support/FolderSnapshot.h"

#include <sys/stat.h>

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
        QTest::newRow("UTF-8, CRLF, empty lines after the last add nothing") << utf8 + "\r\n\r\nx\r\n\r\n\r\n" << sample;
        QTest::newRow("UTF-8 with BOM, LF, none after the last") << "\xef\xbb\xbf" + utf8 + "\n\nx" << sample;
        QTest::newRow("Shift-JIS, CR") << shiftJis + "\r\rx\r" << sample;
        QTest::newRow("LF then CR is two line ends") << utf8 + "\n\rx" << sample;
        const auto utf16 = [](QStringView text, bool bigEndian) {
            QByteArray bytes;
            for (const QChar c : QString(u"\ufeff" + text.toString())) {
                const char high = char(c.unicode() >> 8), low = char(c.unicode());
                bytes.append(bigEndian ? high : low).append(bigEndian ? low : high);
            }
            return bytes;
        };
        const QString notepad = sample[0] + u"\r\n\r\nx\r\n"; // as Notepad saves "Unicode"
        QTest::newRow("UTF-16 LE with BOM") << utf16(notepad, false) << sample;
        QTest::newRow("UTF-16 BE with BOM") << utf16(notepad, true) << sample;
        QTest::newRow("UTF-16 with a character beyond the BMP")
            << utf16(u"\U0001F3B5 曲", false) << QStringList{u"\U0001F3B5 曲"_qs};
        QTest::newRow("UTF-16 cut off in a character: damaged") << utf16(notepad, false).chopped(1)
                                                               << QStringList{u"damaged"_qs};
        QTest::newRow("UTF-16 with half a surrogate pair: damaged")
            << utf16(u"A", false) + QByteArray("\x3c\xd8\n\0", 4) << QStringList{u"damaged"_qs};
        QTest::newRow("UTF-16 holding a NUL: damaged") << utf16(u"A\0B"_qs, true) << QStringList{u"damaged"_qs};
        QTest::newRow("UTF-16 without BOM, NUL bytes: refused") << QByteArray("A\0\n\0", 4)
                                                                << QStringList{u"encoding"_qs};
        QTest::newRow("neither encoding: refused") << QByteArray("A\x85\xff\n") << QStringList{u"encoding"_qs};
        QTest::newRow("missing file") << QByteArray() << QStringList{u"unreadable"_qs};
        // Only a regular file of at most 16 MiB is read ("sparse N": N bytes, none on the disk).
        QTest::newRow("a named pipe: not waited on") << QByteArray("fifo") << QStringList{u"not a file"_qs};
        QTest::newRow("16 MiB: read (zeros are no text)") << "sparse " + QByteArray::number(16 << 20)
                                                         << QStringList{u"encoding"_qs};
        QTest::newRow("one byte over 16 MiB") << "sparse " + QByteArray::number((16 << 20) + 1)
                                              << QStringList{u"too large"_qs};
    }
    void loadsTitles()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QStringList, titles);
        TestFolder dir;
        const QString path = dir.filePath(u"曲名ﾌｧｲﾙ.txt"_qs);
        if (bytes == "fifo")
            QVERIFY(::mkfifo(QFile::encodeName(path).constData(), 0600) == 0);
        else if (!bytes.isNull())
            writeFile(path, bytes.startsWith("sparse ") ? QByteArray() : bytes);
        if (bytes.startsWith("sparse "))
            QVERIFY(QFile::resize(path, bytes.mid(7).toLongLong()));
        const TitleFile file = readTitleFile(path);
        const QStringList problems{QString(),        u"unreadable"_qs, u"encoding"_qs,
                                   u"not a file"_qs, u"too large"_qs,  u"damaged"_qs}; // by TitleFile::Problem
        QCOMPARE(file.problem == TitleFile::Problem::None ? file.titles : problems.mid(int(file.problem), 1), titles);
    }
};

QTEST_GUILESS_MAIN(TestTitleFile)
#include "tst_titlefile.moc"
