#include "core/about/DefHomeUrl.h"
#include "core/about/HelpFile.h"
#include "ui/frmAbout.h"
#include "ui/frmMain.h"
#include "support/RecordingInteraction.h"

#include <QAction>
#include <QDir>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>
#include <QTextEdit>

using namespace meloport;

class TestAbout final : public QObject {
    Q_OBJECT
private slots:
    void onlyALeftPressOpensTheLinkWhileTheBoxIsOpen_data()
    {
        QTest::addColumn<Qt::MouseButton>("button");
        QTest::addColumn<bool>("onLink");
        QTest::addColumn<Qt::Key>("closeKey"); // Key_unknown: closed from the title bar
        QTest::newRow("left press; Enter") << Qt::LeftButton << true << Qt::Key_Return;
        QTest::newRow("beside it; Esc") << Qt::LeftButton << false << Qt::Key_Escape;
        QTest::newRow("right press; title bar") << Qt::RightButton << true << Qt::Key_unknown;
    }
    void onlyALeftPressOpensTheLinkWhileTheBoxIsOpen()
    {
        QFETCH(Qt::MouseButton, button);
        QFETCH(bool, onLink);
        QFETCH(Qt::Key, closeKey);
        RecordingInteraction interaction;
        for (qsizetype opening = 1; opening <= 2; ++opening) {
            frmAbout box(interaction);
            box.show();
            QVERIFY(QTest::qWaitForWindowExposed(&box));
            const QPoint onIt = box.RichTextBoxURL->cursorRect(QTextCursor(box.RichTextBoxURL->document())).center()
                + QPoint(8, 0); // in the address's first characters
            QWidget *viewport = box.RichTextBoxURL->viewport();
            QTest::mousePress(viewport, button, {}, onLink ? onIt : QPoint(viewport->width() - 4, onIt.y()));
            const QList<QUrl> opened(button == Qt::LeftButton && onLink ? opening : 0, QUrl(kHomeUrl.toString()));
            QCOMPARE(interaction.openedUrls, opened);
            closeKey == Qt::Key_unknown ? void(box.close()) : QTest::keyClick(&box, closeKey);
            QVERIFY(!box.isVisible());
            QTest::mouseClick(viewport, Qt::LeftButton, {}, onIt); // the closed box's link is dead
            QCOMPARE(interaction.openedUrls, opened);
        }
    }

    void helpFileIsLookedFor_data()
    {
        QTest::addColumn<QString>("installedDir"); // "" when unset; every folder is under a scratch root
        QTest::addColumn<QStringList>("present");  // the folders that hold the help file
        QTest::addColumn<QString>("found");
        QTest::newRow("InstalledDir: its file") << u"opt"_qs << QStringList{u"opt"_qs, u"bin"_qs} << u"opt"_qs;
        QTest::newRow("InstalledDir: there only") << u"opt"_qs << QStringList{u"bin"_qs} << QString();
        QTest::newRow("in share/meloport") << QString() << QStringList{u"share/meloport"_qs} << u"share/meloport"_qs;
        QTest::newRow("both: beside first") << QString() << QStringList{u"share/meloport"_qs, u"bin"_qs} << u"bin"_qs;
    }
    void helpFileIsLookedFor()
    {
        QFETCH(QString, installedDir);
        QFETCH(QStringList, present);
        QFETCH(QString, found);
        QTemporaryDir root;
        const auto helpIn = [&root](const QString &folder) { return root.filePath(folder + u"/Meloport.html"_qs); };
        for (const QString &folder : present)
            QVERIFY(QDir(root.path()).mkpath(folder) && QFile(helpIn(folder)).open(QIODevice::WriteOnly));
        const QString path = installedDir.isEmpty() ? u"Meloport.html"_qs : helpIn(installedDir);
        QCOMPARE(findHelpFile(helpFileCandidates(path, root.filePath(u"bin"_qs))),
                 found.isEmpty() ? found : helpIn(found));
    }

    void helpMenuCommandsAndF1_data()
    {
        QTest::addColumn<QString>("command"); // a command, or the control that F1 is pressed in
        QTest::addColumn<int>("topic");       // -1: no help shown
        QTest::addColumn<QString>("message"); // what the one message names; "" when all goes well
        const QString help = QDir::toNativeSeparators(QCoreApplication::applicationDirPath() + u"/Meloport.html"_qs);
        QTest::newRow("目次: the contents") << u"cmdContents"_qs << 0 << QString();
        QTest::newRow("F1: the main window's topic 100") << u"TextPath"_qs << 100 << QString();
        QTest::newRow("no help file: where it looked") << u"TextPath"_qs << -1 << help;
        QTest::newRow("最新版, no browser: the address") << u"cmdUpdate"_qs << -1 << kDownloadUrl.toString();
        QTest::newRow("バージョン情報: the about box") << u"cmdAbout"_qs << -1 << QString();
    }
    void helpMenuCommandsAndF1()
    {
        QFETCH(QString, command);
        QFETCH(int, topic);
        QFETCH(QString, message);
        const bool works = message.isEmpty();
        QFile help(QCoreApplication::applicationDirPath() + u"/Meloport.html"_qs);
        const auto removeHelp = qScopeGuard([&help] { help.remove(); });
        QVERIFY(works ? help.open(QIODevice::WriteOnly) : !help.exists());
        RecordingInteraction interaction;
        interaction.openUrlSucceeds = works;
        frmMain window(interaction);
        window.show();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        if (auto *menuCommand = window.findChild<QAction *>(command)) {
            menuCommand->trigger();
        } else {
            window.findChild<QWidget *>(command)->setFocus();
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_F1);
        }
        QCOMPARE(interaction.helpShown, (QList<QPair<QString, int>>(topic < 0 ? 0 : 1, {help.fileName(), topic})));
        QCOMPARE(interaction.openedUrls, QList<QUrl>(command == u"cmdUpdate" ? 1 : 0, QUrl(kDownloadUrl.toString())));
        QCOMPARE(interaction.modalDialogs,
                 (QList<QPair<QString, QWidget *>>(command == u"cmdAbout" ? 1 : 0, {u"frmAbout"_qs, &window})));
        QCOMPARE(interaction.texts.size(), works ? 0 : 1);
        QVERIFY(works || interaction.texts.constFirst().contains(message));
    }
};

QTEST_MAIN(TestAbout)
#include "tst_about.moc"
