#include "ui/ListBox.h"
#include "ui/frmMain.h"
#include "support/DiskImage.h"
#include "support/DropEvents.h"
#include "support/MessageFamily.h"
#include "support/RecordingInteraction.h"

#include <QAccessible>
#include <QAction>
#include <QClipboard>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QMenu>
#include <QTest>
#include <QToolButton>

#include <memory>

using namespace meloport;

namespace {

// Each marked title as "position:number", the catalogue number of the reason its tool tip gives;
// "!" after it when the list does not also show a sign and give screen readers the tip.
QString marksOf(ListBox &list)
{
    // Asked afresh: without a screen reader running here, Qt does not keep its answers up to date.
    if (QAccessibleInterface *asked = QAccessible::queryAccessibleInterface(&list))
        QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(asked));
    QAccessibleInterface *readers = QAccessible::queryAccessibleInterface(&list);
    QStringList marks;
    for (int row = 0; row < list.listCount(); ++row) {
        const QModelIndex index = list.model()->index(row, 0);
        const QString tip = index.data(Qt::ToolTipRole).toString();
        if (tip.isEmpty())
            continue;
        const bool shown = !index.data(Qt::DecorationRole).isNull()
                           && readers->child(row)->text(QAccessible::Description) == tip;
        // A pair's tip is "old → new: reason", as the question puts it.
        const int reason = messageNumber(tip.contains(u" → ") ? tip.section(u": "_qs, 1) : tip);
        marks.append(QString::number(row) + u':' + QString::number(reason) + (shown ? u""_qs : u"!"_qs));
    }
    return marks.join(u' ');
}

// Does to the entry at `row` what a user would: a key ("Alt+Up", "Delete"), an edit opened by
// "F2" with the text typed and the key that ends it ("F2|text|Return"), or a
// drag dropped above or below another entry ("drop|below|2").
void act(ListBox &list, int row, const QString &action)
{
    const QStringList part = action.split(u'|');
    list.setFocus();
    list.setListIndex(row);
    if (part[0] == u"drop") {
        const QRect onto = list.visualRect(list.model()->index(part[2].toInt(), 0));
        const std::unique_ptr<QMimeData> dragged(list.model()->mimeData({list.model()->index(row, 0)}));
        dropOn(list.viewport(), *dragged, part[1] == u"above" ? onto.topLeft() : onto.bottomLeft(), Qt::MoveAction);
        return;
    }
    QTest::keySequence(&list, QKeySequence(part[0]));
    if (part.size() < 3)
        return;
    auto *editor = list.findChild<QLineEdit *>();
    QVERIFY(editor);
    QTest::keyClick(editor, Qt::Key_Backspace); // the whole title is selected
    QInputMethodEvent typed; // as an input method hands over Japanese text
    typed.setCommitString(part[1]);
    QCoreApplication::sendEvent(editor, &typed);
    QTest::keySequence(editor, QKeySequence(part[2]));
    QCoreApplication::processEvents(); // the list takes the text once the key is through
}

} // namespace

class TestTitleList final : public QObject {
    Q_OBJECT
private slots:
    // The folder holds `files` (a "/" at the end: a folder; none: no folder is listed), listed as
    // WAV; the title list gets `titles`, then the user does `change` to a title ("<row>:<action>",
    // -1: none selected), adds a file and lists the folder again, or picks another kind.
    void titleList_data()
    {
        QTest::addColumn<QString>("disk");
        QTest::addColumn<QString>("files");
        QTest::addColumn<QString>("titles");
        QTest::addColumn<QString>("change");
        QTest::addColumn<QString>("before"); // the marks
        QTest::addColumn<QString>("after");  // the titles, the selected one, the marks
        const QString ext4 = u"ext4"_qs, exfat = u"exFAT"_qs, abc = u"A|B|C"_qs;
        const auto arranged = [&](const char *name, const char *change, const char *after) {
            QTest::newRow(name) << ext4 << QString() << abc << QString::fromUtf8(change) << QString()
                                << QString::fromUtf8(after);
        };
        arranged("F2, Enter: the new title, blanks around it taken off", "1:F2| Prelude\u3000|Return",
                 "A|Prelude|C @1");
        arranged("Esc: the old title", "1:F2|X|Esc", "A|B|C @1");
        arranged("emptied: the old title", "1:F2||Return", "A|B|C @1");
        arranged("Alt+Down on the first", "0:Alt+Down", "B|A|C @1");
        arranged("Alt+Up on the first: stays", "0:Alt+Up", "A|B|C @0");
        arranged("Alt+Down on the last: stays", "2:Alt+Down", "A|B|C @2");
        arranged("Delete: the selected one goes", "1:Delete", "A|C @-1");
        arranged("Delete with none selected: nothing", "-1:Delete", "A|B|C @-1");
        arranged("dragged below the last", "0:drop|below|2", "B|C|A @2");
        arranged("dragged above the first", "2:drop|above|0", "C|A|B @0");
        QTest::newRow("taken by a file that keeps its name, edited")
            << ext4 << u"a.wav b.wav C.WAV"_qs << u"X|C"_qs << u"1:F2|Y|Return"_qs << u"1:224"_qs << u"X|Y @1"_qs;
        QTest::newRow("taken by a folder, edited")
            << ext4 << u"a.wav Intro.WAV/"_qs << u"Intro"_qs << u"0:F2|Outro|Return"_qs << u"0:224"_qs << u"Outro @0"_qs;
        QTest::newRow("the same title twice, the second moved up: the second is marked")
            << ext4 << u"a.wav b.wav"_qs << u"Same|Same"_qs << u"1:Alt+Up"_qs << u"1:226"_qs << u"Same|Same @0 1:226"_qs;
        QTest::newRow("too long on exFAT, edited") << exfat << u"a.wav"_qs << QString(252, u'x')
                                                    << u"0:F2|Short|Return"_qs << u"0:229"_qs << u"Short @0"_qs;
        QTest::newRow("a slash and a tab, the slash edited")
            << ext4 << u"a.wav b.wav"_qs << u"AC/DC|B\tside"_qs << u"0:F2|AC-DC|Return"_qs << u"0:302 1:222"_qs
            << u"AC-DC|B\tside @0 1:222"_qs;
        QTest::newRow("more titles than files, a file added and listed again")
            << ext4 << u"a.wav"_qs << u"X|Y"_qs << u"add b.wav"_qs << u"1:340"_qs << u"X|Y @-1"_qs;
        QTest::newRow("another kind: other files, other names")
            << ext4 << u"a.wav b.wav X.MP3"_qs << u"X|Y"_qs << u"kind MP3"_qs << u""_qs << u"X|Y @-1 1:340"_qs;
    }
    void titleList()
    {
        QFETCH(QString, disk);
        QFETCH(QString, files);
        QFETCH(QString, titles);
        QFETCH(QString, change);
        QFETCH(QString, before);
        QFETCH(QString, after);
        DiskImage image(disk);
        if (!image.isMounted())
            QSKIP(qPrintable(image.whyNot()));
        const QDir folder(image.path());
        for (const QString &name : files.split(u' ', Qt::SkipEmptyParts)) {
            if (name.endsWith(u'/'))
                QVERIFY(folder.mkdir(name.chopped(1)));
            else
                writeFile(folder.filePath(name), {});
        }
        RecordingInteraction interaction;
        frmMain window(interaction);
        window.show();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        if (!files.isEmpty())
            window.OpenSourceFolder(folder.path());
        ListBox &list = *window.ListDstMusic;
        list.setItems(titles.split(u'|'));
        QCOMPARE(marksOf(list), before);
        if (change.startsWith(u"add ")) {
            writeFile(folder.filePath(change.mid(4)), {});
            window.OpenSourceFolder(folder.path());
        } else if (change == u"kind MP3") {
            window.cmdMP3->trigger();
        } else {
            act(list, change.section(u':', 0, 0).toInt(), change.section(u':', 1));
        }
        const QString marks = marksOf(list);
        QCOMPARE(list.items().join(u'|') + u" @"_qs + QString::number(list.listIndex())
                     + (marks.isEmpty() ? QString() : u' ' + marks),
                 after);
    }

    // The title list held "typed" before the clipboard went in by `how`. Questions are answered
    // from `answers` (none left: Enter, which answers はい here).
    void paste_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<QString>("clipboard");
        QTest::addColumn<QList<bool>>("answers");
        QTest::addColumn<QString>("shown"); // what was said, the list, the title field, "|" between
        const QString shop = u"1. 序曲 3:45\r\n\r\n2 - 夜明けの① (4:02)\r\n"_qs;
        QTest::newRow("Ctrl+V on the list, Enter: clean titles") << u"list"_qs << shop << QList<bool>()
                                                                  << u"? 270|序曲|夜明けの①|"_qs;
        QTest::newRow("context menu, いいえ: as pasted") << u"menu"_qs << shop << QList<bool>{false}
                                                        << u"? 270|1. 序曲 3:45||2 - 夜明けの① (4:02)|"_qs;
        QTest::newRow("nothing but blanks: the list stays") << u"list"_qs << u" \n"_qs << QList<bool>()
                                                            << u"275|typed|"_qs;
        QTest::newRow("Ctrl+V in the title field pastes there") << u"field"_qs << u"1. 序曲"_qs << QList<bool>()
                                                                 << u"typed|1. 序曲"_qs;
    }
    void paste()
    {
        QFETCH(QString, how);
        QFETCH(QString, clipboard);
        QFETCH(QList<bool>, answers);
        QFETCH(QString, shown);
        RecordingInteraction interaction;
        interaction.questionAnswers.append(answers);
        frmMain window(interaction);
        window.show();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        window.ListDstMusic->addItem(u"typed"_qs);
        QGuiApplication::clipboard()->setText(clipboard);
        QWidget *focus = how == u"field" ? static_cast<QWidget *>(window.TextName) : window.ListDstMusic;
        focus->setFocus();
        QVERIFY(window.ListDstMusic->actions().contains(window.cmdPaste)); // its context menu's item
        if (how == u"menu")
            window.cmdPaste->trigger();
        else
            QTest::keyClick(focus, Qt::Key_V, Qt::ControlModifier);
        const QStringList seen = interaction.said + window.ListDstMusic->items();
        QCOMPARE((seen + QStringList{window.TextName->text()}).join(u'|'), shown);
    }

    // ﾀｸﾞから曲名 on a folder of MP3 files named by their track numbers, then 変更: a file without a
    // tag keeps its name.
    void fillAndRename()
    {
        TestFolder dir;
        for (const auto &[name, fixture] : {std::pair("Track01.mp3", "sjis-id3v1.mp3"), {"Track02.mp3", "untagged.mp3"}})
            QVERIFY(QFile::copy(QStringLiteral(TAG_FIXTURES "/") + QLatin1StringView(fixture),
                                dir.filePath(QLatin1StringView(name))));
        RecordingInteraction interaction;
        frmMain window(interaction);
        QVERIFY(window.cmdFile->actions().contains(window.cmdTagTitles));
        QVERIFY(window.ListDstMusic->actions().contains(window.cmdTagTitles)); // its context menu's item
        window.OpenSourceFolder(dir.path());
        window.cmdMP3->trigger();
        window.ListDstMusic->addItem(u"typed"_qs);
        window.cmdTagTitles->trigger();
        QCOMPARE(window.ListDstMusic->items(), (QStringList{u"序曲"_qs, u"Track02"_qs}));
        window.CommandRunAll->click();
        QCOMPARE(interaction.said.join(u' '), u"380 203"_qs);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files).join(u' '), u"Track02.MP3 序曲.MP3"_qs);
    }
};

QTEST_MAIN(TestTitleList)
#include "tst_titlelist.moc"
