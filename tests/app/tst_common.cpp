#include "app/Collation.h"
#include "app/Common.h"

#include <QTest>

using namespace meloport;

class TestCommon final : public QObject {
    Q_OBJECT
private slots:
    void versionString_data()
    {
        QTest::addColumn<int>("major");
        QTest::addColumn<int>("minor");
        QTest::addColumn<int>("revision");
        QTest::addColumn<QString>("expected");
        QTest::newRow("this build") << 0 << 2 << 0 << QStringLiteral("0.20");
        QTest::newRow("default of the setting") << 1 << 0 << 0 << QStringLiteral("1.00");
        QTest::newRow("digits run together") << 1 << 2 << 3 << QStringLiteral("1.23");
        QTest::newRow("two-digit minor") << 1 << 12 << 5 << QStringLiteral("1.125");
        QTest::newRow("1.2.34 reads as 1.234") << 1 << 2 << 34 << QStringLiteral("1.234");
        QTest::newRow("1.23.4 reads as 1.234 too") << 1 << 23 << 4 << QStringLiteral("1.234");
    }
    void versionString()
    {
        QFETCH(int, major);
        QFETCH(int, minor);
        QFETCH(int, revision);
        QFETCH(QString, expected);
        const AppVersion version{static_cast<short>(major), static_cast<short>(minor), static_cast<short>(revision)};
        QCOMPARE(GetVersionString(version), expected);
    }

    void buildVersionIsThisRelease() { QCOMPARE(GetVersionString(), QStringLiteral("0.20")); }

    void pathSeparator_data()
    {
        QTest::addColumn<QString>("folder");
        QTest::addColumn<QChar>("separator");
        QTest::addColumn<QString>("expected");
        const QChar win = u'\\';
        const QChar posix = u'/';
        QTest::newRow("windows folder") << QStringLiteral("C:\\Music") << win << QStringLiteral("C:\\Music\\");
        QTest::newRow("windows folder with separator") << QStringLiteral("C:\\Music\\") << win << QStringLiteral("C:\\Music\\");
        QTest::newRow("drive root") << QStringLiteral("C:\\") << win << QStringLiteral("C:\\");
        QTest::newRow("spaces around") << QStringLiteral("  C:\\Music  ") << win << QStringLiteral("C:\\Music\\");
        QTest::newRow("spaces inside stay") << QStringLiteral("C:\\My Music") << win << QStringLiteral("C:\\My Music\\");
        QTest::newRow("spaces after separator") << QStringLiteral("C:\\Music\\  ") << win << QStringLiteral("C:\\Music\\");
        QTest::newRow("empty") << QString() << win << QStringLiteral("\\");
        QTest::newRow("only spaces") << QStringLiteral("   ") << win << QStringLiteral("\\");
        QTest::newRow("forward slash is no separator there") << QStringLiteral("C:/Music/") << win << QStringLiteral("C:/Music/\\");
        QTest::newRow("last character whose Shift-JIS ends in 0x5C") << QStringLiteral("C:\\ソ") << win << QStringLiteral("C:\\ソ\\");
        QTest::newRow("linux folder") << QStringLiteral("/home/u/Music") << posix << QStringLiteral("/home/u/Music/");
        QTest::newRow("linux folder with separator") << QStringLiteral("/home/u/Music/") << posix << QStringLiteral("/home/u/Music/");
        QTest::newRow("linux root") << QStringLiteral("/") << posix << QStringLiteral("/");
        QTest::newRow("backslash is a name character here") << QStringLiteral("/tmp/a\\") << posix << QStringLiteral("/tmp/a\\/");
        QTest::newRow("linux empty") << QString() << posix << QStringLiteral("/");
    }
    void pathSeparator()
    {
        QFETCH(QString, folder);
        QFETCH(QChar, separator);
        QFETCH(QString, expected);
        QCOMPARE(AddPathSeparator(folder, separator), expected);
    }

    void listOrder_data()
    {
        QTest::addColumn<QStringList>("entries");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("case ignored") << QStringList{u"c"_qs, u"A"_qs, u"b"_qs} << QStringList{u"A"_qs, u"b"_qs, u"c"_qs};
        QTest::newRow("digits as characters")
            << QStringList{u"Track2.wav"_qs, u"Track10.wav"_qs, u"Track1.wav"_qs}
            << QStringList{u"Track1.wav"_qs, u"Track10.wav"_qs, u"Track2.wav"_qs};
        QTest::newRow("names differing only in case keep one order")
            << QStringList{u"song.wav"_qs, u"SONG.wav"_qs, u"Song.wav"_qs}
            << QStringList{u"SONG.wav"_qs, u"Song.wav"_qs, u"song.wav"_qs};
        QTest::newRow("extension case ignored") << QStringList{u"b.wav"_qs, u"A.WAV"_qs} << QStringList{u"A.WAV"_qs, u"b.wav"_qs};
    }
    void listOrder()
    {
        QFETCH(QStringList, entries);
        QFETCH(QStringList, expected);
        sortListEntries(entries);
        QCOMPARE(entries, expected);
        std::reverse(entries.begin(), entries.end());
        sortListEntries(entries);
        QCOMPARE(entries, expected);
    }
};

QTEST_GUILESS_MAIN(TestCommon)
#include "tst_common.moc"
