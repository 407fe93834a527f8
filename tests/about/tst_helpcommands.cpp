#include "about/DefHomeUrl.h"
#include "about/HelpFile.h"
#include "about/HelpViewer.h"
#include "app/ListBox.h"
#include "app/QtUserInteraction.h"
#include "app/frmMain.h"
#include "support/RecordingInteraction.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QTest>
#include <QTextBlock>
#include <QTextBrowser>

using namespace meloport;

namespace {

// The help file where the program finds it without InstalledDir: beside the program (here the
// test), for as long as the object lives.
class HelpBesideProgram {
public:
    HelpBesideProgram()
    {
        QFile file(path());
        if (file.open(QIODevice::WriteOnly))
            file.write("<html><body><h1 id=\"contents\">help</h1></body></html>");
    }
    ~HelpBesideProgram() { QFile::remove(path()); }
    static QString path() { return QDir(QCoreApplication::applicationDirPath()).filePath(u"Meloport.html"_qs); }
};

QStringList anchorNames(const QTextDocument &document)
{
    QStringList names;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it)
            names += it.fragment().charFormat().anchorNames();
    }
    return names;
}

} // namespace

class TestHelpCommands final : public QObject {
    Q_OBJECT
private slots:
    void helpOpensAtTopic_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<int>("topic");
        QTest::newRow("目次 opens the contents") << u"cmdContents"_qs << 0;
        QTest::newRow("F1 in the folder field opens the main window's topic") << u"F1 TextPath"_qs << 100;
        QTest::newRow("F1 in the title list opens the main window's topic") << u"F1 ListDstMusic"_qs << 100;
    }
    void helpOpensAtTopic()
    {
        QFETCH(QString, command);
        QFETCH(int, topic);
        const HelpBesideProgram help;
        RecordingInteraction interaction;
        frmMain window(interaction);
        window.show();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        if (command == u"cmdContents") {
            window.cmdContents->trigger();
        } else {
            QWidget *focus = window.findChild<QWidget *>(command.sliced(3));
            focus->setFocus();
            QTest::keyClick(focus, Qt::Key_F1);
        }
        QCOMPARE(interaction.helpShown, (QList<QPair<QString, int>>{{HelpBesideProgram::path(), topic}}));
        QVERIFY(interaction.messages.isEmpty());
    }

    void missingHelpFileSaysWhereItWasLookedFor()
    {
        QVERIFY(!QFile::exists(HelpBesideProgram::path()));
        RecordingInteraction interaction;
        frmMain window(interaction);
        window.cmdContents->trigger();
        QVERIFY(interaction.helpShown.isEmpty());
        QCOMPARE(interaction.messages.size(), 1);
        const QString text = interaction.messages.constFirst().text;
        QVERIFY2(text.startsWith(u"ﾍﾙﾌﾟﾌｧｲﾙが見つかりません。"_qs), qPrintable(text));
        QVERIFY2(text.contains(QDir::toNativeSeparators(HelpBesideProgram::path())), qPrintable(text));
    }

    void updateOpensTheDownloadPage_data()
    {
        QTest::addColumn<bool>("browserStarts");
        QTest::newRow("the browser opens the page") << true;
        QTest::newRow("no browser: the address is shown instead") << false;
    }
    void updateOpensTheDownloadPage()
    {
        QFETCH(bool, browserStarts);
        RecordingInteraction interaction;
        interaction.openUrlSucceeds = browserStarts;
        frmMain window(interaction);
        window.cmdUpdate->trigger();
        QCOMPARE(interaction.openedUrls, QList<QUrl>{QUrl(kDownloadUrl.toString())});
        QCOMPARE(interaction.messages.size(), browserStarts ? 0 : 1);
        if (!browserStarts)
            QVERIFY(interaction.messages.constFirst().text.contains(kDownloadUrl));
    }

    void aboutOpensModallyOverTheMainWindow()
    {
        RecordingInteraction interaction;
        frmMain window(interaction);
        window.cmdAbout->trigger();
        QCOMPARE(interaction.modalDialogs, (QList<QPair<QString, QWidget *>>{{u"frmAbout"_qs, &window}}));
    }

    void shippedHelpHasEveryTopic_data()
    {
        QTest::addColumn<int>("topic");
        QTest::newRow("contents") << kHelpContents;
        QTest::newRow("main window") << kHelpMainWindow;
    }
    void shippedHelpHasEveryTopic()
    {
        QFETCH(int, topic);
        HelpViewer viewer;
        viewer.showTopic(QStringLiteral(MELOPORT_HELP_DOCUMENT), topic);
        QCOMPARE(viewer.browser()->source().fragment(), helpTopicAnchor(topic));
        QVERIFY(anchorNames(*viewer.browser()->document()).contains(helpTopicAnchor(topic)));
        QCOMPARE(viewer.windowTitle(), u"めろぽーと(**) ヘルプ"_qs);
    }

    void oneHelpWindowServesEveryRequestUntilClosed()
    {
        const auto viewers = [] {
            int count = 0;
            for (const QWidget *widget : QApplication::topLevelWidgets())
                count += qobject_cast<const HelpViewer *>(widget) && widget->isVisible();
            return count;
        };
        QtUserInteraction interaction;
        interaction.showHelp(nullptr, QStringLiteral(MELOPORT_HELP_DOCUMENT), kHelpContents);
        interaction.showHelp(nullptr, QStringLiteral(MELOPORT_HELP_DOCUMENT), kHelpMainWindow);
        QCOMPARE(viewers(), 1);
        interaction.closeHelp();
        QCOMPARE(viewers(), 0);
    }
};

QTEST_MAIN(TestHelpCommands)
#include "tst_helpcommands.moc"
