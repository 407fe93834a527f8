#include "core/titles/PastedTitles.h"
#include "core/titles/TitleFile.h"

#include "support/FolderSnapshot.h"

#include <sys/stat.h>

using namespace meloport;

// The text pasted, the list as pasted, what the question offers to take off, the list after はい;
// lists are written with "|" between titles.
struct Pasting { QString text, shown, offered, cleaned; };
Q_DECLARE_METATYPE(Pasting)

class TestTitles final : public QObject {
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

    void rules_data()
    {
        QTest::addColumn<Pasting>("row");
        QTest::newRow("track numbers: 1. 01 1 - 1) tab, full-width")
            << Pasting{u"1. 序曲\n01 夜明け\n3 - 朝\n4) 昼\n5\t夕\n６．夜"_qs, u"1. 序曲|01 夜明け|3 - 朝|4) 昼|5\t夕|６．夜"_qs,
                       u"numbers"_qs, u"序曲|夜明け|朝|昼|夕|夜"_qs};
        QTest::newRow("times: bare, (round), [square], h:mm:ss, full-width, after a tab")
            << Pasting{u"序曲 3:45\n夜明け (4:02)\n朝 [1:02:03]\n昼 ３：４５\n夕\t10:59\n夜（0:30）"_qs,
                       u"序曲 3:45|夜明け (4:02)|朝 [1:02:03]|昼 ３：４５|夕\t10:59|夜（0:30）"_qs, u"times"_qs, u"序曲|夜明け|朝|昼|夕|夜"_qs};
        QTest::newRow("both, a title starting with digits")
            << Pasting{u"1. 序曲 3:45\n2 - 夜明けの① (4:02)\n０３．24時間 (5:10)"_qs,
                       u"1. 序曲 3:45|2 - 夜明けの① (4:02)|０３．24時間 (5:10)"_qs, u"numbers times"_qs, u"序曲|夜明けの①|24時間"_qs};
        QTest::newRow("a year or a time as a title stays when only it has one")
            << Pasting{u"序曲\n1984\n24:00"_qs, u"序曲|1984|24:00"_qs, QString(), u"序曲|1984|24:00"_qs};
        QTest::newRow("a year or a time as a title keeps what was taken off around it")
            << Pasting{u"1. 1984 3:45\n2. 24:00 4:02"_qs, u"1. 1984 3:45|2. 24:00 4:02"_qs,
                       u"numbers times"_qs, u"1984|24:00"_qs};
        QTest::newRow("four digits on every line are years, not track numbers")
            << Pasting{u"1984 序曲\n2001 夜明け"_qs, u"1984 序曲|2001 夜明け"_qs, QString(), u"1984 序曲|2001 夜明け"_qs};
        QTest::newRow("a number on some lines only, four digits: nothing offered")
            << Pasting{u"1. 序曲\n夜明け 4:02\n1999 Party"_qs, u"1. 序曲|夜明け 4:02|1999 Party"_qs,
                       QString(), u"1. 序曲|夜明け 4:02|1999 Party"_qs};
        QTest::newRow("a Windows clipboard: CRLF, blanks around, empty lines between and after")
            << Pasting{u"\t1. 序曲 \r\n\r\n\u30002.\u3000夜明け\u00a0\r\n\r\n \r\n"_qs, u"1. 序曲||2.\u3000夜明け"_qs,
                       u"numbers empty-lines"_qs, u"序曲|夜明け"_qs};
        QTest::newRow("empty lines alone, CR line ends")
            << Pasting{u"序曲\r\r夜明け\r"_qs, u"序曲||夜明け"_qs, u"empty-lines"_qs, u"序曲|夜明け"_qs};
        QTest::newRow("blanks only: nothing to paste") << Pasting{u" \r\n\t\n"_qs, QString(), QString(), QString()};
    }
    void rules()
    {
        QFETCH(Pasting, row);
        const auto &[text, shown, offered, cleaned] = row;
        const PastedTitles pasted = readPastedTitles(text);
        const QStringList found{pasted.numbers ? u"numbers"_qs : QString(), pasted.times ? u"times"_qs : QString(),
                                pasted.emptyLines ? u"empty-lines"_qs : QString()};
        QCOMPARE(pasted.titles.join(u'|'), shown);
        QCOMPARE(found.join(u' ').simplified(), offered);
        QCOMPARE(pasted.cleaned.join(u'|'), cleaned);
    }
};

QTEST_GUILESS_MAIN(TestTitles)
#include "tst_titles.moc"
