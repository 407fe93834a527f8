#include "core/Common.h"
#include "core/MessageCatalogue.h"
#include "core/settings/WindowGeometry.h"

#include <QTest>

using namespace meloport;

class TestCommon final : public QObject {
    Q_OBJECT
private slots:
    void versionString()
    {
        // 1.2.34 and 1.23.4 both run together to 1.234.
        QCOMPARE((QStringList{GetVersionString({0, 2, 0}), GetVersionString({1, 2, 34}), GetVersionString({1, 23, 4})}),
                 (QStringList{u"0.20"_qs, u"1.234"_qs, u"1.234"_qs}));
    }

    void pathSeparator_data()
    {
        QTest::addColumn<QString>("folder");
        QTest::addColumn<QChar>("separator");
        QTest::addColumn<QString>("expected");
        const QChar win = u'\\';
        const QChar posix = u'/';
        QTest::newRow("windows folder") << u"C:\\Music"_qs << win << u"C:\\Music\\"_qs;
        QTest::newRow("windows, separator there") << u"C:\\Music\\"_qs << win << u"C:\\Music\\"_qs;
        QTest::newRow("empty") << QString() << win << u"\\"_qs;
        QTest::newRow("last character 0x5C in Shift-JIS") << u"C:\\ソ"_qs << win << u"C:\\ソ\\"_qs;
        QTest::newRow("linux folder") << u"/home/u/Music"_qs << posix << u"/home/u/Music/"_qs;
        QTest::newRow("linux, separator there") << u"/"_qs << posix << u"/"_qs;
        QTest::newRow("backslash is a name character here") << u"/tmp/a\\"_qs << posix << u"/tmp/a\\/"_qs;
        QTest::newRow("blanks are part of the name") << u" /Album "_qs << posix << u" /Album /"_qs;
    }
    void pathSeparator()
    {
        QFETCH(QString, folder);
        QFETCH(QChar, separator);
        QFETCH(QString, expected);
        QCOMPARE(AddPathSeparator(folder, separator), expected);
    }

    void storedTwips_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<qint64>("twips"); // -1: does not fit, the design geometry stays
        QTest::newRow("half down to even") << u"1200.5"_qs << qint64(1200);
        QTest::newRow("half up to even") << u"1201.5"_qs << qint64(1202);
        QTest::newRow("negative half to even") << u"-1201.5"_qs << qint64(-1202);
        QTest::newRow("trailing zeros keep a half") << u"1200.5000"_qs << qint64(1200);
        QTest::newRow("just above a half goes up") << u"1200.50000000000000000001"_qs << qint64(1201);
        QTest::newRow("leading number of 12abc") << u"12abc"_qs << qint64(12);
        QTest::newRow("not a number") << u"abc"_qs << qint64(0);
        QTest::newRow("an older build's largest") << u"32767"_qs << qint64(32767);
        QTest::newRow("second monitor, x = 3000 px") << u"45000"_qs << qint64(45000);
        QTest::newRow("monitor left of the primary") << u"-40000.5"_qs << qint64(-40000);
        QTest::newRow("beyond 16 bits, with garbage") << u"98304.5px"_qs << qint64(98304);
        QTest::newRow("largest") << u"2147483647"_qs << qint64(2147483647);
        QTest::newRow("smallest") << u"-2147483648.4"_qs << qint64(-2147483648);
        QTest::newRow("rounds beyond the largest") << u"2147483647.5"_qs << qint64(-1);
        QTest::newRow("absurdly long") << u"99999999999999999999999"_qs << qint64(-1);
    }
    void storedTwips()
    {
        QFETCH(QString, text);
        QFETCH(qint64, twips);
        const std::optional<qint32> read = twipsFromText(text);
        QCOMPARE(read.has_value() ? qint64(*read) : qint64(-1), twips);
    }

    // Two full-HD monitors side by side.
    void restoredPlace_data()
    {
        QTest::addColumn<QRect>("frame");
        QTest::addColumn<QList<QRect>>("screens");
        QTest::addColumn<bool>("staysPut"); // otherwise: the design place on the primary screen
        const QRect left(0, 0, 1920, 1040), right(1920, 0, 1920, 1040);
        QTest::newRow("on the second monitor") << QRect(3000, 500, 540, 560) << QList{left, right} << true;
        QTest::newRow("second monitor unplugged") << QRect(3000, 500, 540, 560) << QList{left} << false;
        QTest::newRow("a corner still on a screen") << QRect(1900, -550, 540, 560) << QList{left} << true;
        QTest::newRow("just beside the only screen") << QRect(1920, 0, 540, 560) << QList{left} << false;
    }
    void restoredPlace()
    {
        QFETCH(QRect, frame);
        QFETCH(QList<QRect>, screens);
        QFETCH(bool, staysPut);
        QCOMPARE(keepOnScreen(frame, screens), staysPut ? std::optional(frame.topLeft()) : std::nullopt);
    }

    // Character for character: a full-width ｺﾋﾟｰ or ﾊﾟｽ would be a different text.
    void catalogue()
    {
        const QMap<Msg, QString> texts{{Msg(201), u"このアプリケーションは既に起動しています。"_qs},
                                       {Msg(202), u"変換前と変換後の名前一覧の数が一致していません。"_qs},
                                       {Msg(203), u"終了しました。"_qs},
                                       {Msg(204), u"変換後曲名一覧に名前が設定されていません。"_qs},
                                       {Msg(205), u"変換前曲名一覧に名前が設定されていません。"_qs},
                                       {Msg(206), u"ｺﾋﾟｰ先ﾊﾟｽ名が設定されていません。"_qs},
                                       {Msg(207), u"ｺﾋﾟｰに失敗しました。"_qs}};
        for (auto it = texts.cbegin(); it != texts.cend(); ++it)
            QCOMPARE(LoadMessage(it.key()).text, it.value());
    }
};

QTEST_GUILESS_MAIN(TestCommon)
#include "tst_common.moc"
