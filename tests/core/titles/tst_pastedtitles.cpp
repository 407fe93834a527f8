#include "core/titles/PastedTitles.h"

#include <QTest>

using namespace meloport;

// The text pasted, the list as pasted, what the question offers to take off, the list after はい;
// lists are written with "|" between titles.
struct Pasting { QString text, shown, offered, cleaned; };
Q_DECLARE_METATYPE(Pasting)

class TestPastedTitles final : public QObject {
    Q_OBJECT
private slots:
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

QTEST_GUILESS_MAIN(TestPastedTitles)
#include "tst_pastedtitles.moc"
