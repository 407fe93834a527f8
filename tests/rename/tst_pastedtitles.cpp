#include "rename/PastedTitles.h"

#include <QTest>

using namespace meloport;

class TestPastedTitles final : public QObject {
    Q_OBJECT
private slots:
    void rules_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("shown");   // the list as pasted
        QTest::addColumn<QStringList>("offered"); // what the question offers to take off
        QTest::addColumn<QStringList>("cleaned"); // the list after はい

        const QStringList numbers{u"numbers"_qs}, times{u"times"_qs}, nothing;
        const QStringList titles{u"序曲"_qs, u"夜明け"_qs, u"朝"_qs, u"昼"_qs, u"夕"_qs, u"夜"_qs};
        QTest::newRow("track numbers: 1. 01 1 - 1) tab, full-width")
            << u"1. 序曲\n01 夜明け\n3 - 朝\n4) 昼\n5\t夕\n６．夜"_qs
            << QStringList{u"1. 序曲"_qs, u"01 夜明け"_qs, u"3 - 朝"_qs, u"4) 昼"_qs, u"5\t夕"_qs, u"６．夜"_qs}
            << numbers << titles;
        QTest::newRow("times: bare, (round), [square], h:mm:ss, full-width, after a tab")
            << u"序曲 3:45\n夜明け (4:02)\n朝 [1:02:03]\n昼 ３：４５\n夕\t10:59\n夜（0:30）"_qs
            << QStringList{u"序曲 3:45"_qs, u"夜明け (4:02)"_qs, u"朝 [1:02:03]"_qs, u"昼 ３：４５"_qs, u"夕\t10:59"_qs,
                           u"夜（0:30）"_qs}
            << times << titles;
        QTest::newRow("both, a title starting with digits")
            << u"1. 序曲 3:45\n2 - 夜明けの① (4:02)\n０３．24時間 (5:10)"_qs
            << QStringList{u"1. 序曲 3:45"_qs, u"2 - 夜明けの① (4:02)"_qs, u"０３．24時間 (5:10)"_qs}
            << QStringList{u"numbers"_qs, u"times"_qs} << QStringList{u"序曲"_qs, u"夜明けの①"_qs, u"24時間"_qs};
        QTest::newRow("a year or a time as a title stays when only it has one")
            << u"序曲\n1984\n24:00"_qs << QStringList{u"序曲"_qs, u"1984"_qs, u"24:00"_qs} << nothing
            << QStringList{u"序曲"_qs, u"1984"_qs, u"24:00"_qs};
        QTest::newRow("a year or a time as a title keeps what was taken off around it")
            << u"1. 1984 3:45\n2. 24:00 4:02"_qs << QStringList{u"1. 1984 3:45"_qs, u"2. 24:00 4:02"_qs}
            << QStringList{u"numbers"_qs, u"times"_qs} << QStringList{u"1984"_qs, u"24:00"_qs};
        QTest::newRow("a number on some lines only: nothing offered")
            << u"1. 序曲\n夜明け 4:02"_qs << QStringList{u"1. 序曲"_qs, u"夜明け 4:02"_qs} << nothing
            << QStringList{u"1. 序曲"_qs, u"夜明け 4:02"_qs};
        QTest::newRow("four digits are a year, no track number")
            << u"1999 Party\n2001 Odyssey"_qs << QStringList{u"1999 Party"_qs, u"2001 Odyssey"_qs} << nothing
            << QStringList{u"1999 Party"_qs, u"2001 Odyssey"_qs};
        QTest::newRow("a Windows clipboard: CRLF, blanks around, empty lines between and after")
            << u"\t1. 序曲 \r\n\r\n\u30002.\u3000夜明け\u00a0\r\n\r\n \r\n"_qs
            << QStringList{u"1. 序曲"_qs, QString(), u"2.\u3000夜明け"_qs}
            << QStringList{u"numbers"_qs, u"empty lines"_qs} << QStringList{u"序曲"_qs, u"夜明け"_qs};
        QTest::newRow("empty lines alone, CR line ends") << u"序曲\r\r夜明け\r"_qs
                                                          << QStringList{u"序曲"_qs, QString(), u"夜明け"_qs}
                                                          << QStringList{u"empty lines"_qs}
                                                          << QStringList{u"序曲"_qs, u"夜明け"_qs};
        QTest::newRow("blanks only: nothing to paste") << u" \r\n\t\n"_qs << QStringList() << nothing << QStringList();
    }
    void rules()
    {
        QFETCH(QString, text);
        QFETCH(QStringList, shown);
        QFETCH(QStringList, offered);
        QFETCH(QStringList, cleaned);
        const PastedTitles pasted = readPastedTitles(text);
        QStringList found;
        if (pasted.numbers)
            found.append(u"numbers"_qs);
        if (pasted.times)
            found.append(u"times"_qs);
        if (pasted.emptyLines)
            found.append(u"empty lines"_qs);
        QCOMPARE(pasted.titles, shown);
        QCOMPARE(found, offered);
        QCOMPARE(pasted.offersCleanup(), !offered.isEmpty());
        QCOMPARE(pasted.cleaned, cleaned);
    }
};

QTEST_GUILESS_MAIN(TestPastedTitles)
#include "tst_pastedtitles.moc"
