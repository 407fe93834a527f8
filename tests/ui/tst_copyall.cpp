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
    // adds its dialog and the commands that wait while a copy runs.
    void copies_data()
    {
        QTest::addColumn<QString>("twist");
        QTest::addColumn<QStringList>("arrived"); // 203 said; none: the destination as it was, nothing said
        const QStringList all{u"a.wav"_qs, u"b.wav"_qs, u"c.wav"_qs};
        QTest::newRow("all three copied, the old a.wav replaced") << u"plain"_qs << all;
        QTest::newRow("one file: the dialog stays up while it is copied, its bar moving")
            << u"one file"_qs << QStringList{u"a.wav"_qs};
        QTest::newRow("cancel within the first: old a.wav kept") << u"CancelButton"_qs << QStringList();
        QTest::newRow("Esc, then the dialog's close box: the copy goes on") << u"Esc, close box"_qs << all;
        QTest::newRow("closing the window stops as cancel does") << u"close window"_qs << QStringList();
        // While a copy runs, what would change its list or its folders is ignored.
        for (const char *command :
             {"CommandBrowsePath", "CommandCopyDst", "cmdMP3", "drop folder", "drop title file", "TextCopyDst"})
            QTest::addRow("%s while it runs: ignored", command) << QString::fromUtf8(command) << all;
    }
    void copies()
    {
        QFETCH(QString, twist);
        QFETCH(QStringList, arrived);
        TestFolder source, elsewhere, destination;
        writeFile(source.filePath(u"a.wav"_qs), QByteArray(3 * platform::kCopyChunkBytes + 1, 'a'));
        for (const QString &name : twist == u"one file" ? QStringList() : QStringList{u"b.wav"_qs, u"c.wav"_qs})
            writeFile(source.filePath(name), name.toUtf8());
        writeFile(destination.filePath(u"a.wav"_qs), "old");
        writeFile(elsewhere.filePath(u"x.wav"_qs), {}); // what a drop would list or load
        writeFile(elsewhere.filePath(u"titles.txt"_qs), "X\n");
        RecordingInteraction interaction;
        frmMain window(interaction);
        window.TextPath->setText(source.path());
        window.TextCopyDst->setText(destination.path());
        window.ListSourceMusic(source.path());
        window.show();
        const QStringList listed = window.ListSrcMusic->items();
        auto expected = arrived.isEmpty() ? folderSnapshot(destination.path()) : QMap<QString, QString>();
        for (const QString &name : arrived)
            expected.insert(name, folderSnapshot(source.path()).value(name));

        interaction.folderAnswers.enqueue(destination.path());
        bool twisted = false;
        const auto twistIt = [&](DlgCopy *dialog) {
            twisted = true;
            QCOMPARE(folderSnapshot(destination.path()).value(u"a.wav"_qs), u"old"_qs); // still under way
            if (twist == u"one file") // the last file under way: the dialog is up, its bar partly moved
                QVERIFY(dialog->isVisible() && dialog->ProgressBarCopy->value() > 0
                        && dialog->ProgressBarCopy->value() < dialog->ProgressBarCopy->maximum());
            if (twist == u"close window")
                window.close();
            else if (twist.startsWith(u"drop "))
                QVERIFY(!dropOn(&window, {QUrl::fromLocalFile(twist == u"drop folder" ? elsewhere.path()
                                                             : elsewhere.filePath(u"titles.txt"_qs))}));
            else if (twist == u"Esc, close box") {
                QTest::keyClick(dialog, Qt::Key_Escape);
                QVERIFY(dialog->isVisible());
                dialog->close();
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
            // Its bar first moves after a.wav's first chunk; the window's events run between chunks.
            connect(dialog->ProgressBarCopy, &QProgressBar::valueChanged, dialog, [&, dialog] {
                QMetaObject::invokeMethod(dialog, [&, dialog] { twistIt(dialog); }, Qt::QueuedConnection);
            }, Qt::SingleShotConnection);
        }, Qt::QueuedConnection);
        window.cmdCopy->trigger();
        QCOMPARE(interaction.said, arrived.isEmpty() ? QStringList() : QStringList{u"203"_qs});
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
