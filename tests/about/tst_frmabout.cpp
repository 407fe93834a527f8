#include "about/DefHomeUrl.h"
#include "about/frmAbout.h"
#include "support/RecordingInteraction.h"

#include <QApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QTextEdit>

using namespace meloport;

namespace {

enum class Close { Button, Enter, Esc, TitleBar };

// Where the address is drawn, in the link control's viewport.
QPoint onTheLink(const frmAbout &box)
{
    QTextCursor cursor(box.RichTextBoxURL->document());
    cursor.setPosition(3);
    return box.RichTextBoxURL->cursorRect(cursor).center();
}

void sendMouse(const frmAbout &box, QEvent::Type type, Qt::MouseButton button, QPoint point)
{
    QWidget *viewport = box.RichTextBoxURL->viewport();
    const Qt::MouseButtons held = type == QEvent::MouseButtonPress ? Qt::MouseButtons(button) : Qt::NoButton;
    QMouseEvent event(type, point, viewport->mapToGlobal(point), button, held, Qt::NoModifier);
    QApplication::sendEvent(viewport, &event);
}

void leftPressOnTheLink(const frmAbout &box)
{
    sendMouse(box, QEvent::MouseButtonPress, Qt::LeftButton, onTheLink(box));
}

} // namespace

Q_DECLARE_METATYPE(Close)

class TestFrmAbout final : public QObject {
    Q_OBJECT
private slots:
    void showsTitleVersionCopyrightAndAddress()
    {
        RecordingInteraction interaction;
        frmAbout box(interaction);
        QCOMPARE(box.windowTitle(), u"ﾊﾞｰｼﾞｮﾝ情報"_qs);
        QCOMPARE(box.lblTitle->text(), u"めろぽーと(**)"_qs);
        QCOMPARE(box.lblVersion->text(), u"ﾊﾞｰｼﾞｮﾝ 0.20"_qs);
        QVERIFY2(QRegularExpression(u"^Copyright \\(C\\) \\d{4} \\S.*$"_qs).match(box.lblCopyright->text()).hasMatch(),
                 qPrintable(box.lblCopyright->text()));
        QCOMPARE(box.RichTextBoxURL->toPlainText(), kHomeUrl.toString());
        QVERIFY(box.RichTextBoxURL->isReadOnly());
        QCOMPARE(box.RichTextBoxURL->palette().color(QPalette::Base), box.palette().color(QPalette::Window));
        QVERIFY(!box.picIcon->pixmap().isNull());
        QCOMPARE(box.cmdOK->text(), u"閉じる"_qs);
        QVERIFY(box.cmdOK->isDefault());
        // 7110 x 1680 twips at 96 dpi, and the user cannot resize it.
        QCOMPARE(box.size(), QSize(474, 112));
        QCOMPARE(box.minimumSize(), box.maximumSize());
        for (const QLabel *label : {box.lblTitle, box.lblVersion, box.lblCopyright})
            QVERIFY2(label->width() >= label->sizeHint().width(), qPrintable(label->text()));
    }

    void onlyLeftPressOnTheLinkOpensIt_data()
    {
        QTest::addColumn<QEvent::Type>("type");
        QTest::addColumn<Qt::MouseButton>("button");
        QTest::addColumn<bool>("onLink");
        QTest::addColumn<bool>("opens");
        QTest::newRow("left press on the link opens it") << QEvent::MouseButtonPress << Qt::LeftButton << true << true;
        QTest::newRow("left press beside the link opens nothing")
            << QEvent::MouseButtonPress << Qt::LeftButton << false << false;
        QTest::newRow("moving over the link opens nothing") << QEvent::MouseMove << Qt::NoButton << true << false;
        QTest::newRow("releasing the button over the link opens nothing")
            << QEvent::MouseButtonRelease << Qt::LeftButton << true << false;
        QTest::newRow("right press on the link opens nothing")
            << QEvent::MouseButtonPress << Qt::RightButton << true << false;
    }
    void onlyLeftPressOnTheLinkOpensIt()
    {
        QFETCH(QEvent::Type, type);
        QFETCH(Qt::MouseButton, button);
        QFETCH(bool, onLink);
        QFETCH(bool, opens);
        RecordingInteraction interaction;
        frmAbout box(interaction);
        box.show();
        QVERIFY(QTest::qWaitForWindowExposed(&box));
        const int besideX = box.RichTextBoxURL->width() - 4;
        QVERIFY(box.RichTextBoxURL->document()->idealWidth() < besideX);
        const QPoint point = onLink ? onTheLink(box) : QPoint(besideX, onTheLink(box).y());
        sendMouse(box, type, button, point);
        QCOMPARE(interaction.openedUrls, opens ? QList<QUrl>{QUrl(kHomeUrl.toString())} : QList<QUrl>{});
    }

    void linkIsLiveOnlyWhileTheBoxIsOpen_data()
    {
        QTest::addColumn<Close>("close");
        QTest::newRow("closed with 閉じる") << Close::Button;
        QTest::newRow("closed with Enter") << Close::Enter;
        QTest::newRow("closed with Esc") << Close::Esc;
        QTest::newRow("closed from the title bar") << Close::TitleBar;
    }
    void linkIsLiveOnlyWhileTheBoxIsOpen()
    {
        QFETCH(Close, close);
        RecordingInteraction interaction;
        for (int opening = 1; opening <= 2; ++opening) {
            frmAbout box(interaction);
            box.show();
            QVERIFY(QTest::qWaitForWindowExposed(&box));
            leftPressOnTheLink(box);
            QCOMPARE(interaction.openedUrls.size(), opening);

            switch (close) {
            case Close::Button:
                box.cmdOK->click();
                break;
            case Close::Enter:
                QTest::keyClick(&box, Qt::Key_Return);
                break;
            case Close::Esc:
                QTest::keyClick(&box, Qt::Key_Escape);
                break;
            case Close::TitleBar:
                box.close();
                break;
            }
            QVERIFY(!box.isVisible());
            leftPressOnTheLink(box);
            QCOMPARE(interaction.openedUrls.size(), opening);
        }
    }

    void systemInformationWithoutATool()
    {
        QTemporaryDir emptyFolder;
        const QByteArray path = qgetenv("PATH");
        qputenv("PATH", QFile::encodeName(emptyFolder.path()));
        RecordingInteraction interaction;
        frmAbout box(interaction);
        box.StartSysInfo();
        qputenv("PATH", path);
        QCOMPARE(interaction.messageTexts(), QStringList{u"現時点ではｼｽﾃﾑ情報を使用できません"_qs});
    }
};

QTEST_MAIN(TestFrmAbout)
#include "tst_frmabout.moc"
