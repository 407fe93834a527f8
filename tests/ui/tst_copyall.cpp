#include "ui/ListBox.h"
#include "ui/frmMain.h"
#include "platform/Platform.h"
#include "ui/DlgCopy.h"
#include "support/DropEvents.h"
#include "support/FolderSnapshot.h"
#include "support/RecordingInteraction.h"

#include <QAction>
#include <QLineEdit>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>
#include <QWindow>

#include <csignal>
#include <sys/resource.h>

using namespace meloport;

// The window's folder pickers, and its copy with the progress dialog.
class TestCopyAll final : public QObject {
    Q_OBJECT
private slots:
    void folderButtons_data()
    {
        QTest::addColumn<bool>("musicFolder");
        QTest::addColumn<bool>("picked");
        QTest::newRow("music folder picked: listed at once") << true << true;
        QTest::newRow("destination picker cancelled: field emptied") << false << false;
    }
    void folderButtons()
    {
        QFETCH(bool, musicFolder);
        QFETCH(bool, picked);
        TestFolder folder;
        writeFiles(folder.path(), {"b.wav", "A.WAV", "c.mp3"});
        RecordingInteraction interaction;
        frmMain window(interaction);
        window.ListSrcMusic->setItems({u"old.wav"_qs});
        QLineEdit *field = musicFolder ? window.TextPath : window.TextCopyDst;
        field->setText(u"typed"_qs);
        interaction.folderAnswers.enqueue(picked ? folder.path() : QString());
        (musicFolder ? window.CommandBrowsePath : window.CommandCopyDst)->click();
        QCOMPARE(interaction.folderStarts, QStringList{u"typed"_qs});
        QCOMPARE(field->text(), picked ? folder.path() : QString());
        QCOMPARE(window.ListSrcMusic->items(),
                 musicFolder && picked ? QStringList({u"A.WAV"_qs, u"b.wav"_qs}) : QStringList({u"old.wav"_qs}));
    }

    // From three files, a.wav long enough for the window's events to run while it is copied, to
    // a folder that holds an old a.wav. The twist comes while a.wav is copied, or before the copy
    // for a fault. The flow and its checks are the core's; here is what the window adds: the
    // dialog, the commands that wait while a copy runs, and a full disk.
    // `shown`: the messages by number, and a part of the one message.
    void copies_data()
    {
        QTest::addColumn<QString>("twist");
        QTest::addColumn<QStringList>("arrived"); // none: the destination as it was
        QTest::addColumn<QString>("shown");
        const QStringList all{u"a.wav"_qs, u"b.wav"_qs, u"c.wav"_qs}, first{u"a.wav"_qs}, none;
        QTest::newRow("all three copied, the old a.wav replaced, then 203") << u"plain"_qs << all << u"203"_qs;
        QTest::newRow("one file: the dialog stays up while it is copied, its bar moving") << u"one file"_qs << first
                                                                                          << u"203"_qs;
        QTest::newRow("cancel within the first: old a.wav kept, no message") << u"CancelButton"_qs << none
                                                                              << QString();
        QTest::newRow("the dialog's close box: the copy goes on") << u"close box"_qs << all << u"203"_qs;
        QTest::newRow("Esc on the dialog: the copy goes on") << u"Esc"_qs << all << u"203"_qs;
        QTest::newRow("closing the window stops as cancel does") << u"close window"_qs << none << QString();
        // While a copy runs, what would change its list or its folders is ignored.
        for (const char *command : {"cmdCopy", "CommandBrowsePath", "CommandCopyDst", "cmdMP3", "drop folder",
                                    "drop title file", "TextCopyDst"})
            QTest::addRow("%s while it runs: ignored", command) << QString::fromUtf8(command) << all << u"203"_qs;
        // A fault made in a process of its own.
        QTest::newRow("full disk: said so, old a.wav kept, no temporary file")
            << u"fault: full disk"_qs << none << u"236: ディスクの空きが足りません"_qs;
    }
    void copies()
    {
        QFETCH(QString, twist);
        QFETCH(QStringList, arrived);
        QFETCH(QString, shown);
        const bool fault = twist.startsWith(u"fault: ");
        if (fault && !qEnvironmentVariableIsSet("MELOPORT_FAULT")) {
            QProcess child; // runs this row again, and makes the fault there
            qputenv("MELOPORT_FAULT", "1");
            child.start(QCoreApplication::applicationFilePath(),
                        {u"copies:"_qs + QString::fromUtf8(QTest::currentDataTag())});
            qunsetenv("MELOPORT_FAULT");
            QVERIFY(child.waitForFinished(60000));
            const QString log = QString::fromUtf8(child.readAllStandardOutput());
            if (log.contains(u"SKIP   :"))
                QSKIP("this fault cannot be made here");
            QVERIFY2(child.exitCode() == 0 && log.contains(u"PASS   : TestCopyAll::copies("), qPrintable(log));
            return;
        }
        TestFolder source, elsewhere, destination;
        writeFile(source.filePath(u"a.wav"_qs), QByteArray(3 * platform::kCopyChunkBytes + 1, 'a'));
        for (const QString &name : twist == u"one file" ? QStringList() : QStringList{u"b.wav"_qs, u"c.wav"_qs})
            writeFile(source.filePath(name), name.toUtf8());
        writeFile(destination.filePath(u"a.wav"_qs), "old");
        if (twist.startsWith(u"drop ")) { // what a drop would list or load
            writeFile(elsewhere.filePath(u"x.wav"_qs), {});
            writeFile(elsewhere.filePath(u"titles.txt"_qs), "X\n");
        }
        const QString to = destination.path();
        RecordingInteraction interaction;
        frmMain window(interaction);
        window.TextPath->setText(source.path());
        window.TextCopyDst->setText(to);
        window.ListSourceMusic(source.path());
        window.show();
        const QStringList listed = window.ListSrcMusic->items();
        const auto sourceBefore = folderSnapshot(source.path());
        auto expected = arrived.isEmpty() ? folderSnapshot(destination.path()) : QMap<QString, QString>();
        for (const QString &name : arrived)
            expected.insert(name, sourceBefore.value(name));

        interaction.folderAnswers.enqueue(destination.path());
        bool twisted = false;
        const auto twistIt = [&](DlgCopy *dialog) {
            twisted = true;
            QVERIFY(fault || folderSnapshot(destination.path()).value(u"a.wav"_qs) == u"old"_qs); // still under way
            if (twist == u"one file") // the last file under way: the dialog is up, its bar partly moved
                QVERIFY(dialog->isVisible() && dialog->ProgressBarCopy->value() > 0
                        && dialog->ProgressBarCopy->value() < dialog->ProgressBarCopy->maximum());
            if (twist == u"close window")
                window.close();
            else if (twist == u"close box")
                dialog->close();
            else if (twist.startsWith(u"drop "))
                QVERIFY(!dropOn(&window, {QUrl::fromLocalFile(twist == u"drop folder" ? elsewhere.path()
                                                             : elsewhere.filePath(u"titles.txt"_qs))}));
            else if (twist == u"Esc") {
                QTest::keyClick(dialog, Qt::Key_Escape);
                QVERIFY(dialog->isVisible());
            } else if (auto *button = window.findChild<QPushButton *>(twist))
                button->click();
            else if (auto *action = window.findChild<QAction *>(twist))
                action->trigger();
            else if (auto *field = window.findChild<QLineEdit *>(twist))
                field->setText(source.path()); // the rest would go where it began, not onto itself
        };
        bool began = false; // the window's events ran inside the copy
        QMetaObject::invokeMethod(&window, [&] { // the dialog has opened
            began = true;
            DlgCopy *dialog = window.findChild<DlgCopy *>();
            // Its bar first moves after the first chunk of a.wav, and the copy lets the window's
            // events run between its chunks.
            connect(dialog->ProgressBarCopy, &QProgressBar::valueChanged, dialog, [&, dialog] {
                QMetaObject::invokeMethod(dialog, [&, dialog] { twistIt(dialog); }, Qt::QueuedConnection);
            }, Qt::SingleShotConnection);
        }, Qt::QueuedConnection);
        // The full disk, in this process of its own: writes beyond fail as on a full disk, with
        // SIGXFSZ ignored, and a.wav fails halfway.
        const rlimit fileSize{2 * platform::kCopyChunkBytes, 2 * platform::kCopyChunkBytes};
        if (fault && (::signal(SIGXFSZ, SIG_IGN) == SIG_ERR || ::setrlimit(RLIMIT_FSIZE, &fileSize) != 0))
            QSKIP("this fault cannot be made here");
        window.cmdCopy->trigger();
        const QString number = shown.section(u": "_qs, 0, 0);
        QCOMPARE(interaction.said, number.isEmpty() ? QStringList() : QStringList{number});
        QVERIFY(interaction.texts.join(u' ').contains(shown.section(u": "_qs, 1)));
        QCOMPARE(folderSnapshot(source.path()), sourceBefore);
        QCOMPARE(folderSnapshot(destination.path()), expected);
        QCOMPARE(interaction.folderStarts, QStringList{});
        QCOMPARE(window.ListSrcMusic->items(), listed);
        QCOMPARE(window.TextFile->text() + window.ListDstMusic->items().join(u' '), QString());
        QCOMPARE(window.isVisible(), twist != u"close window");
        QCOMPARE(twisted, began);
        const DlgCopy *dialog = window.findChild<DlgCopy *>();
        QVERIFY(!dialog || !dialog->isVisible());
    }

    // One dialog for all rows, as in the program: each opening starts afresh. Steps: "n" counts a
    // file done, a number shows that many bytes copied. The bar after opening and after each step,
    // in percent of its range; -1 once the dialog has closed.
    void dialogShowsProgress_data()
    {
        QTest::addColumn<int>("files");
        QTest::addColumn<qint64>("bytes");
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<QList<int>>("shown");
        const qint64 GiB = qint64(1) << 30;
        QTest::newRow("3 empty files: counted, closed after the third, nothing after")
            << 3 << qint64(0) << QStringList{u"n"_qs, u"n"_qs, u"n"_qs, u"n"_qs} << QList<int>{0, 33, 66, -1, -1};
        QTest::newRow("1 file: moves within it, closes when it is done")
            << 1 << qint64(4000000) << QStringList{u"1000000"_qs, u"3000000"_qs, u"4000000"_qs, u"n"_qs}
            << QList<int>{0, 24, 74, 99, -1};
        QTest::newRow("6 GiB in 2 files, beyond the bar's int")
            << 2 << 6 * GiB << QStringList{QString::number(3 * GiB), u"n"_qs, QString::number(6 * GiB), u"n"_qs}
            << QList<int>{0, 50, 50, 100, -1};
    }
    void dialogShowsProgress()
    {
        QFETCH(int, files);
        QFETCH(qint64, bytes);
        QFETCH(QStringList, steps);
        QFETCH(QList<int>, shown);
        static QWidget owner;
        static DlgCopy dialog(&owner);
        const auto percent = [] {
            const QProgressBar *bar = dialog.ProgressBarCopy;
            return dialog.isVisible() ? int(qint64(bar->value()) * 100 / bar->maximum()) : -1;
        };
        dialog.begin(files, bytes);
        QList<int> seen{percent()};
        for (const QString &step : steps) {
            if (step == u"n")
                dialog.NextMusic();
            else
                dialog.ShowCopiedBytes(step.toLongLong());
            seen.append(percent());
        }
        QCOMPARE(seen, shown);
    }
};

QTEST_MAIN(TestCopyAll)
#include "tst_copyall.moc"
