#include "ui/ListBox.h"
#include "ui/frmMain.h"
#include "support/DiskImage.h"
#include "support/DropEvents.h"
#include "support/RecordingInteraction.h"

#include <QAccessible>
#include <QAction>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>

#include <memory>
#include <optional>

using namespace meloport;

namespace {

// Each marked title as "position:message number", the number of the catalogue text its tool tip
// ends with; "!" after it when the list does not also show a warning sign and give the tip to
// screen readers.
QString marksOf(ListBox &list)
{
    static const Msg kinds[] = {Msg::NameTaken,         Msg::NameKeptByOther,  Msg::SameNewName,
                                Msg::SameNewNameIgnoringCase, Msg::NameTooLongBytes, Msg::NameTooLongCharacters,
                                Msg::CharactersRefused, Msg::TitleHasControl,  Msg::TitleWithoutFile};
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
        QString mark = QString::number(row) + u":?"_qs;
        for (const Msg kind : kinds) {
            QString pattern = QRegularExpression::escape(LoadMessage(kind).text);
            pattern.replace(QRegularExpression(u"\\\\%\\d"_qs), u".*"_qs);
            if (tip.contains(QRegularExpression(pattern + u'$')))
                mark = QString::number(row) + u':' + QString::number(int(kind));
        }
        const bool shown = !index.data(Qt::DecorationRole).isNull()
                           && readers->child(row)->text(QAccessible::Description) == tip;
        marks.append(mark + (shown ? u""_qs : u"!"_qs));
    }
    return marks.join(u' ');
}

// Opens the entry at `row` for editing by `how` (F2, or a double click), puts `text` in its place
// and ends with `key`.
void editTitle(ListBox &list, int row, const QString &how, const QString &text, Qt::Key key = Qt::Key_Return)
{
    list.setFocus();
    list.setListIndex(row);
    if (how == u"F2")
        QTest::keyClick(&list, Qt::Key_F2);
    else { // the first click of a double click comes alone
        const QPoint at = list.visualRect(list.model()->index(row, 0)).center();
        QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(list.viewport(), Qt::LeftButton, {}, at);
    }
    auto *editor = list.findChild<QLineEdit *>();
    QVERIFY(editor);
    QTest::keyClick(editor, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(editor, Qt::Key_Backspace);
    QInputMethodEvent typed; // as an input method hands over Japanese text
    typed.setCommitString(text);
    QCoreApplication::sendEvent(editor, &typed);
    QTest::keyClick(editor, key);
    QCoreApplication::processEvents(); // the list takes the text once the key is through
}

} // namespace

class TestTitleList final : public QObject {
    Q_OBJECT
private slots:
    void editing_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("key");
        QTest::addColumn<QString>("titles");
        QTest::newRow("F2, Enter: the new title, blanks around it taken off")
            << u"F2"_qs << u" Prelude\u3000"_qs << int(Qt::Key_Return) << u"A|Prelude|C"_qs;
        QTest::newRow("double click, Enter") << u"double click"_qs << u"X"_qs << int(Qt::Key_Return) << u"A|X|C"_qs;
        QTest::newRow("Esc: the old title") << u"F2"_qs << u"X"_qs << int(Qt::Key_Escape) << u"A|B|C"_qs;
        QTest::newRow("emptied: the old title") << u"F2"_qs << u""_qs << int(Qt::Key_Return) << u"A|B|C"_qs;
        QTest::newRow("blanks only: the old title") << u"F2"_qs << u"  "_qs << int(Qt::Key_Return) << u"A|B|C"_qs;
    }
    void editing()
    {
        QFETCH(QString, how);
        QFETCH(QString, typed);
        QFETCH(int, key);
        QFETCH(QString, titles);
        RecordingInteraction interaction;
        frmMain window(interaction);
        window.show();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        window.ListDstMusic->setItems({u"A"_qs, u"B"_qs, u"C"_qs});
        editTitle(*window.ListDstMusic, 1, how, typed, Qt::Key(key));
        QCOMPARE(window.ListDstMusic->items().join(u'|'), titles);
    }

    // The list held A, B, C with `selected` selected (-1: none) before `action`.
    void moving_data()
    {
        QTest::addColumn<QString>("list");
        QTest::addColumn<int>("selected");
        QTest::addColumn<QString>("action");
        QTest::addColumn<QString>("after"); // the entries, then the selected one
        QTest::newRow("Alt+Down on the first") << u"titles"_qs << 0 << u"Alt+Down"_qs << u"B|A|C @1"_qs;
        QTest::newRow("Alt+Up on the first: stays") << u"titles"_qs << 0 << u"Alt+Up"_qs << u"A|B|C @0"_qs;
        QTest::newRow("Alt+Down on the last: stays") << u"titles"_qs << 2 << u"Alt+Down"_qs << u"A|B|C @2"_qs;
        QTest::newRow("Alt+Up on the last") << u"titles"_qs << 2 << u"Alt+Up"_qs << u"A|C|B @1"_qs;
        QTest::newRow("Delete: the selected one goes") << u"titles"_qs << 1 << u"Delete"_qs << u"A|C @-1"_qs;
        QTest::newRow("Delete with none selected: nothing") << u"titles"_qs << -1 << u"Delete"_qs << u"A|B|C @-1"_qs;
        QTest::newRow("dragged below the last") << u"titles"_qs << 0 << u"drop below 2"_qs << u"B|C|A @2"_qs;
        QTest::newRow("dragged above the first") << u"titles"_qs << 2 << u"drop above 0"_qs << u"C|A|B @0"_qs;
        QTest::newRow("dragged onto its own place") << u"titles"_qs << 1 << u"drop below 1"_qs << u"A|B|C @1"_qs;
        QTest::newRow("the source list stays sorted") << u"files"_qs << 0 << u"Alt+Down"_qs << u"A|B|C @1"_qs;
    }
    void moving()
    {
        QFETCH(QString, list);
        QFETCH(int, selected);
        QFETCH(QString, action);
        QFETCH(QString, after);
        RecordingInteraction interaction;
        frmMain window(interaction);
        window.show();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        ListBox &box = list == u"files" ? *window.ListSrcMusic : *window.ListDstMusic;
        box.setItems({u"A"_qs, u"B"_qs, u"C"_qs});
        box.setFocus();
        box.setListIndex(selected);
        if (action.startsWith(u"drop")) {
            const QRect place = box.visualRect(box.model()->index(action.right(1).toInt(), 0));
            const std::unique_ptr<QMimeData> dragged(box.model()->mimeData({box.model()->index(selected, 0)}));
            dropOn(box.viewport(), *dragged, action.contains(u"above") ? place.topLeft() : place.bottomLeft(),
                   Qt::MoveAction);
        } else {
            const auto key = action == u"Delete" ? Qt::Key_Delete : action == u"Alt+Up" ? Qt::Key_Up : Qt::Key_Down;
            QTest::keyClick(&box, key, action == u"Delete" ? Qt::NoModifier : Qt::AltModifier);
        }
        QCOMPARE(box.items().join(u'|') + u" @"_qs + QString::number(box.listIndex()), after);
    }

    // The folder holds `files` (a "/" at the end: a folder), listed as WAV; then the titles come,
    // and `change` follows. Marks before and after.
    void marks_data()
    {
        QTest::addColumn<QString>("disk");
        QTest::addColumn<QString>("files");
        QTest::addColumn<QString>("titles");
        QTest::addColumn<QString>("change");
        QTest::addColumn<QString>("before");
        QTest::addColumn<QString>("after");
        const QString ext4 = u"ext4"_qs;
        QTest::newRow("taken by a file that keeps its name, edited")
            << ext4 << u"a.wav b.wav C.WAV"_qs << u"X|C"_qs << u"edit 1: Y"_qs << u"1:224"_qs << u""_qs;
        QTest::newRow("taken by a folder, edited")
            << ext4 << u"a.wav Intro.WAV/"_qs << u"Intro"_qs << u"edit 0: Outro"_qs << u"0:224"_qs << u""_qs;
        QTest::newRow("the same title twice, the second moved up: the mark stays on the second")
            << ext4 << u"a.wav b.wav"_qs << u"Same|Same"_qs << u"Alt+Up on 1"_qs << u"1:226"_qs << u"1:226"_qs;
        QTest::newRow("too long on exFAT, edited")
            << u"exFAT"_qs << u"a.wav"_qs << QString(252, u'x') << u"edit 0: Short"_qs << u"0:229"_qs << u""_qs;
        QTest::newRow("a character no name holds, edited")
            << ext4 << u"a.wav b.wav"_qs << u"AC/DC|B\tside"_qs << u"edit 0: AC-DC"_qs << u"0:302 1:222"_qs
            << u"1:222"_qs;
        QTest::newRow("a character exFAT refuses, edited")
            << u"exFAT"_qs << u"a.wav"_qs << u"Why?"_qs << u"edit 0: Why"_qs << u"0:302"_qs << u""_qs;
        QTest::newRow("more titles than files, a file added and listed again")
            << ext4 << u"a.wav"_qs << u"X|Y"_qs << u"add b.wav"_qs << u"1:340"_qs << u""_qs;
        QTest::newRow("another kind: other files, other names")
            << ext4 << u"a.wav b.wav X.MP3"_qs << u"X|Y"_qs << u"kind MP3"_qs << u""_qs << u"1:340"_qs;
        QTest::newRow("a title deleted frees the name it took")
            << ext4 << u"a.wav b.wav"_qs << u"Same|Same"_qs << u"delete 0"_qs << u"1:226"_qs << u""_qs;
    }
    void marks()
    {
        QFETCH(QString, disk);
        QFETCH(QString, files);
        QFETCH(QString, titles);
        QFETCH(QString, change);
        QFETCH(QString, before);
        QFETCH(QString, after);
        QTemporaryDir local;
        std::optional<DiskImage> image;
        if (disk == u"exFAT") {
            image.emplace(DiskImage::Kind::Exfat);
            if (!image->isMounted())
                QSKIP(qPrintable(u"no exFAT here: "_qs + image->whyNot()));
        }
        const QDir folder(image ? image->path() : local.path());
        for (const QString &name : files.split(u' ')) {
            if (name.endsWith(u'/'))
                QVERIFY(folder.mkdir(name.chopped(1)));
            else
                writeFile(folder.filePath(name), {});
        }
        RecordingInteraction interaction;
        frmMain window(interaction);
        window.show();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        window.OpenSourceFolder(folder.path());
        ListBox &list = *window.ListDstMusic;
        list.setItems(titles.split(u'|'));
        QCOMPARE(marksOf(list), before);

        const int row = change.section(u' ', -1).toInt();
        if (change.startsWith(u"edit"))
            editTitle(list, change.section(u' ', 1, 1).chopped(1).toInt(), u"F2"_qs, change.section(u": "_qs, 1));
        if (change.startsWith(u"Alt+Up")) {
            list.setListIndex(row);
            QTest::keyClick(&list, Qt::Key_Up, Qt::AltModifier);
        }
        if (change.startsWith(u"delete")) {
            list.setListIndex(row);
            window.CommandDel->click();
        }
        if (change.startsWith(u"add")) {
            writeFile(folder.filePath(change.section(u' ', 1)), {});
            window.OpenSourceFolder(folder.path());
        }
        if (change == u"kind MP3")
            window.cmdMP3->trigger();
        QCOMPARE(marksOf(list), after);
    }
};

QTEST_MAIN(TestTitleList)
#include "tst_titlelist.moc"
