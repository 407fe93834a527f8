#include "app/MessageCatalogue.h"

#include <QTest>

using namespace meloport;

class TestMessageCatalogue final : public QObject {
    Q_OBJECT
private slots:
    // Character for character: a full-width ｺﾋﾟｰ or ﾊﾟｽ in place of the half-width forms is a
    // different text.
    void texts_data()
    {
        QTest::addColumn<int>("number");
        QTest::addColumn<bool>("warning");
        QTest::addColumn<QString>("text");
        QTest::newRow("201 already running") << 201 << true << u"このアプリケーションは既に起動しています。"_qs;
        QTest::newRow("202 lists differ") << 202 << false << u"変換前と変換後の名前一覧の数が一致していません。"_qs;
        QTest::newRow("203 finished") << 203 << false << u"終了しました。"_qs;
        QTest::newRow("204 no titles") << 204 << false << u"変換後曲名一覧に名前が設定されていません。"_qs;
        QTest::newRow("205 no sources") << 205 << false << u"変換前曲名一覧に名前が設定されていません。"_qs;
        QTest::newRow("206 no copy destination, half-width") << 206 << false << u"ｺﾋﾟｰ先ﾊﾟｽ名が設定されていません。"_qs;
        QTest::newRow("207 copy failed, half-width") << 207 << false << u"ｺﾋﾟｰに失敗しました。"_qs;
    }
    void texts()
    {
        QFETCH(int, number);
        QFETCH(bool, warning);
        QFETCH(QString, text);
        const Message &message = LoadMessage(static_cast<Msg>(number));
        QCOMPARE(message.text.toUtf8(), text.toUtf8());
        QCOMPARE(message.icon, warning ? MessageIcon::Warning : MessageIcon::Information);
    }
};

QTEST_GUILESS_MAIN(TestMessageCatalogue)
#include "tst_messagecatalogue.moc"
