#include "ui/ListBox.h"
#include "ui/frmMain.h"
#include "platform/Platform.h"
#include "ui/DlgCopy.h"
#include "support/DropEvents.h"
#include "support/FolderSnapshot.h"
#include "support/RecordingInteraction.h"

#include <QAction>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>

#include <csignal>
#include <sys/resource.h>

using namespace meloport;

// The window's folder pickers, and its copy with the progress dialog.
class TestCopyAll final : public QObject {
    Q_OBJECT
private slots:
    // Each picker starts at the folder typed; a music folder picked is listed at once, a
    // destination picker cancelled empties its field.
    void folderButtons()
    {
        TestFolder folder;
        writeFiles(folder.path(), {"b.wav", "A.WAV", "c.mp3"});
        RecordingInteraction interaction;
        frmMain window(interaction);
        window.TextPath->setText(u"typed"_qs);
        window.TextCopyDst->setText(u"typed too"_qs);
        interaction.folderAnswers.enqueue(folder.path());
        window.CommandBrowsePath->click();
        window.CommandCopyDst->click();
        QCOMPARE(interaction.folderStarts, (QStringList{u"typed"_qs, u"typed too"_qs}));
        QCOMPARE(window.TextPath->text() + u'|' + window.TextCopyDst->text(), folder.path() + u'|');
        QCOMPARE(window.ListSrcMusic->items(), (QStringList{u"A.WAV"_qs, u"b.wav"_qs}));
    }

    // Three files, a.wav long enough for the window's events to run while it is copied, to a folder
    // holding an old a.wav; the twist comes while a.wav is copied. The flow is the core's; the window
    // adds its dialog, the commands that wait while a copy runs, and a full disk.
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
        QTest::newRow("full disk: said so, old a.wav kept, no temporary file")
            << u"fault: full disk"_qs << none << u"236: ディスクの空きが足りません"_qs;
    }
    void copies()
    {
        QFETCH(QString, twist);
        QFETCH(QStringList, arrived);
        QFETCH(QString, shown);
        const bool fault = twist.startsWith(u"fault: ");
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
        // A full disk: writes beyond the limit fail (SIGXFSZ ignored), and a.wav fails halfway.
        rlimit before{};
        if (fault && (::getrlimit(RLIMIT_FSIZE, &before) != 0 || ::signal(SIGXFSZ, SIG_IGN) == SIG_ERR))
            QSKIP("this fault cannot be made here");
        const rlimit fileSize{2 * platform::kCopyChunkBytes, before.rlim_max};
        QVERIFY(!fault || ::setrlimit(RLIMIT_FSIZE, &fileSize) == 0);
        window.cmdCopy->trigger();
        QVERIFY(!fault || ::setrlimit(RLIMIT_FSIZE, &before) == 0);
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

    // One dialog for two copies, as in the program: each opening starts afresh. The bar in percent
    // of its range after each step; -1 once the dialog has closed.
    void dialogShowsProgress()
    {
        QWidget owner;
        DlgCopy dialog(&owner);
        QList<int> seen;
        const auto look = [&] {
            const QProgressBar *bar = dialog.ProgressBarCopy;
            seen.append(dialog.isVisible() ? int(qint64(bar->value()) * 100 / bar->maximum()) : -1);
        };
        const auto copied = [&](qint64 bytes) { dialog.ShowCopiedBytes(bytes); look(); };
        const auto fileDone = [&] { dialog.NextMusic(); look(); };
        dialog.begin(3, 0); // empty files: counted, closed after the third, nothing after
        look(); fileDone(); fileDone(); fileDone(); fileDone();
        const qint64 GiB = qint64(1) << 30; // beyond the bar's int
        dialog.begin(2, 6 * GiB);
        look(); copied(3 * GiB); fileDone(); copied(6 * GiB); fileDone();
        QCOMPARE(seen, (QList<int>{0, 33, 66, -1, -1, 0, 50, 50, 100, -1}));
    }
};

QTEST_MAIN(TestCopyAll)
#include "tst_copyall.moc"
