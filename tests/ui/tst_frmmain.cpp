#include "ui/ListBox.h"
#include "core/settings/SettingsStore.h"
#include "ui/frmMain.h"
#include "platform/Platform.h"
#include "support/DropEvents.h"
#include "support/RecordingInteraction.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QMenu>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <QWindow>

#include <sys/stat.h>
#include <unistd.h>

using namespace meloport;

namespace {

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void write(const QString &path, const QByteArray &content = {})
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(content);
}

// Every file of the folder as "name=content".
QStringList contents(const QDir &folder)
{
    QStringList files;
    for (const QString &name : folder.entryList(QDir::Files))
        files.append(name + u'=' + QString::fromUtf8(readAll(folder.filePath(name))));
    return files;
}

// The checked kind, then the listed files.
QStringList kindAndFiles(const frmMain &window)
{
    QStringList shown;
    for (const QAction *item : window.cmdKind->actions())
        if (item->isChecked())
            shown.append(item->objectName());
    return shown + window.ListSrcMusic->items();
}

// A start of the program with a settings file and a lock of its own.
struct Start {
    RecordingInteraction interaction;
    QTemporaryDir dir;
    StatePaths paths{dir.filePath(u"Meloport.ini"_qs), dir.filePath(u"Meloport.lock"_qs), dir.filePath(u"last-rename.journal"_qs)};
    frmMain window{interaction, paths};
};

const QByteArray kStored = "[Settings]\nLastVersion=0.20\nX=1500\nY=3000\nWidth=9000\nHeight=7500\n";

} // namespace

class TestFrmMain final : public QObject {
    Q_OBJECT
private:
    QRect m_design; // the outer geometry of a window that restored nothing

private slots:
    void initTestCase()
    {
        Start start;
        start.window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&start.window));
        m_design = start.window.windowHandle()->frameGeometry();
        QCOMPARE(start.window.logicalDpiX(), 96);
    }

    void windowAtStart()
    {
        RecordingInteraction interaction;
        frmMain window(interaction);
        window.UpdateKindMenu();
        QStringList shown = kindAndFiles(window) + window.ListDstMusic->items();
        for (const QLineEdit *field : {window.TextPath, window.TextFile, window.TextName, window.TextCopyDst})
            shown.append(field->text());
        QCOMPARE(shown, (QStringList{u"cmdWav"_qs, u""_qs, u""_qs, u""_qs, u""_qs}));
        // 8025 x 7710 twips at 96 dpi below the menu bar, and no way to change that.
        QCOMPARE(window.centralWidget()->size(), QSize(535, 514));
        QCOMPARE(window.minimumSize(), window.maximumSize());
        QVERIFY(!(window.windowFlags() & Qt::WindowMaximizeButtonHint));
        QMap<QString, QString> tips; // on the five picture buttons only
        for (const QWidget *widget : window.findChildren<QWidget *>())
            if (!widget->toolTip().isEmpty())
                tips.insert(widget->objectName(), widget->toolTip());
        QCOMPARE(tips, (QMap<QString, QString>{{u"CommandBrowsePath"_qs, u"フォルダを選択します"_qs},
                                               {u"CommandBrowseFile"_qs, u"曲名ファイルを選択します"_qs},
                                               {u"CommandAdd"_qs, u"変換後曲名一覧に追加"_qs},
                                               {u"CommandDel"_qs, u"変換後曲名一覧から削除"_qs},
                                               {u"CommandCopyDst"_qs, u"フォルダを選択します"_qs}}));
    }

    void restoresGeometry_data()
    {
        QTest::addColumn<QByteArray>("ini");
        QTest::addColumn<QRect>("expected");
        QTest::newRow("first start: nothing stored") << QByteArray() << m_design;
        QTest::newRow("second start: stored place and size") << kStored << QRect(100, 200, 600, 500);
        QTest::newRow("fractions to even, leading numbers")
            << QByteArray(kStored).replace("1500", "1500.5").replace("3000", "3000abc") << QRect(100, 200, 600, 500);
        QTest::newRow("another version: design geometry") << QByteArray(kStored).replace("0.20", "1.00") << m_design;
        QTest::newRow("wider than 16 bits") << QByteArray(kStored).replace("9000", "40000") << QRect(100, 200, 2667, 500);
        QTest::newRow("monitor removed: design place on the primary screen")
            << QByteArray(kStored).replace("1500", "45000") << QRect(m_design.topLeft(), QSize(600, 500));
        QTest::newRow("beyond 32 bits: design geometry") << QByteArray(kStored).replace("1500", "2147483648") << m_design;
        QTest::newRow("garbled size: design size at the stored place")
            << QByteArray(kStored).replace("9000", "abc") << QRect(QPoint(100, 200), m_design.size());
    }
    void restoresGeometry()
    {
        QFETCH(QByteArray, ini);
        QFETCH(QRect, expected);
        Start start;
        if (!ini.isNull())
            write(start.paths.settingsFile, ini);
        write(start.paths.instanceLock, "999999\n"); // a lock file left by a crash stops no start
        start.window.mnKind = KindWma;
        QVERIFY(start.window.Form_Load());
        QVERIFY(start.window.cmdWav->isChecked());
        start.window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&start.window));
        const QRect r = start.window.windowHandle()->frameGeometry();
        QCOMPARE(r, expected);

        // A normal close saves this version and the real geometry, whatever was stored: 15 twips a pixel.
        const auto twips = [](int pixels) { return QByteArray::number(pixels * 15); };
        start.window.close();
        QCOMPARE(readAll(start.paths.settingsFile), "[Settings]\nLastVersion=0.20\nX=" + twips(r.x()) + "\nY="
                     + twips(r.y()) + "\nWidth=" + twips(r.width()) + "\nHeight=" + twips(r.height()) + '\n');
    }

    void minimizedCloseWritesNothing()
    {
        Start start;
        const QByteArray ini = kStored + "InstalledDir=/opt/meloport\n";
        write(start.paths.settingsFile, ini);
        QVERIFY(start.window.Form_Load());
        QCOMPARE(start.window.helpFilePath(), u"/opt/meloportMeloport.html"_qs); // taken as it stands
        start.window.move(300, 300);
        start.window.showMinimized();
        start.window.close();
        QCOMPARE(start.interaction.helpClosed, 1);
        QCOMPARE(readAll(start.paths.settingsFile), ini);
    }

    void secondInstanceEndsAtOnce()
    {
        Start start;
        const platform::InstanceLock first(start.paths.instanceLock);
        QVERIFY(!start.window.Form_Load());
        QCOMPARE(start.interaction.messageTexts(), QStringList{u"このアプリケーションは既に起動しています。"_qs});
        QCOMPARE(start.interaction.messages[0].icon, MessageIcon::Warning);
        start.window.close(); // even a close some caller forces saves nothing
        QVERIFY(!QFile::exists(start.paths.settingsFile));
    }

    // Each row saves in a process of its own, after reading every setting as a start does. A save
    // that cannot finish leaves the old file whole and nothing beside it.
    void saving_data()
    {
        QTest::addColumn<QString>("limits");
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<QByteArray>("after");
        QTest::addColumn<QString>("printed"); // what was read, then how the save went
        const QByteArray old("[Settings]\nX = 2\nInstalledDir=/m/\n\n[Other]\nY=9\n");
        const QByteArray damaged("\0\x01junk\n[Settings\n[Settings]\nno equals\n\x80\x81\nX=2\n", 45);
        QTest::newRow("values replaced where they stand, new ones added to their section")
            << QString() << old
            << QByteArray("[Settings]\nX=1500\nInstalledDir=/m/\nLastVersion=0.20\n\n[Other]\nY=9\n")
            << u"/m/ 1.00 2 0 0 0 0 saved"_qs;
        QTest::newRow("damaged lines kept") << QString() << damaged
                                            << QByteArray(damaged).replace("X=2", "X=1500") + "LastVersion=0.20\n"
                                            << u" 1.00 2 0 0 0 0 saved"_qs;
        QTest::newRow("full disk") << u"--fsize 20"_qs << old << old << u"/m/ 1.00 2 0 0 0 0 ディスクの空きが足りません"_qs;
        QTest::newRow("another user: defaults") << u"--as-nobody"_qs << old << old << u" 1.00 0 0 0 0 0 アクセスが拒否されました"_qs;
    }
    void saving()
    {
        QFETCH(QString, limits);
        QFETCH(QByteArray, before);
        QFETCH(QByteArray, after);
        QFETCH(QString, printed);
        QTemporaryDir dir; // others may enter it, not write in it
        QVERIFY(QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner
                                                      | QFile::ReadOther | QFile::ExeOther));
        const QString path = dir.filePath(u"Meloport.ini"_qs);
        write(path, before);
        QVERIFY(QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner));
        QString output;
        for (const QString &command : {u"load"_qs, u"save"_qs}) {
            QProcess probe;
            probe.start(QString::fromUtf8(STATE_PROBE),
                        limits.split(u' ', Qt::SkipEmptyParts) + QStringList{command, path});
            QVERIFY(probe.waitForFinished());
            output += QString::fromUtf8(probe.readAllStandardOutput());
        }
        QCOMPARE(output, printed.replace(u' ', u'\n') + u'\n');
        QCOMPARE(readAll(path), after);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{u"Meloport.ini"_qs});
    }

    void aLinkStaysALink()
    {
        QTemporaryDir dir;
        const QString real = dir.filePath(u"real.ini"_qs), link = dir.filePath(u"Meloport.ini"_qs);
        write(real, "[Settings]\n");
        QVERIFY(QFile::link(real, link));
        QVERIFY(!SettingsStore(link).save({{Setting::X, u"2"_qs}}));
        QCOMPARE(QFileInfo(link).symLinkTarget(), real);
        QCOMPARE(readAll(real), QByteArray("[Settings]\nX=2\n"));
    }

    // Tab goes round; a label's Alt key only moves the focus, Alt+S and Alt+D to the load button.
    void keyboard()
    {
        RecordingInteraction interaction;
        frmMain window(interaction);
        window.show();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        window.TextPath->setFocus();
        const QSignalSpy loads(window.CommandLoad, &QPushButton::clicked);
        QStringList visited;
        const QByteArray keys = QByteArray(13, '\t') + "NASPD";
        for (const char key : keys) {
            QTest::keyClick(QApplication::focusWidget(), key, key == '\t' ? Qt::NoModifier : Qt::AltModifier);
            visited.append(QApplication::focusWidget()->objectName());
        }
        QCOMPARE(visited, (QStringList{u"CommandBrowsePath"_qs, u"TextFile"_qs, u"CommandBrowseFile"_qs, u"TextName"_qs,
                                       u"CommandAdd"_qs, u"CommandDel"_qs, u"TextCopyDst"_qs, u"CommandCopyDst"_qs,
                                       u"ListSrcMusic"_qs, u"ListDstMusic"_qs, u"CommandRunAll"_qs, u"CommandLoad"_qs,
                                       u"TextPath"_qs, u"TextName"_qs, u"TextCopyDst"_qs, u"CommandLoad"_qs,
                                       u"TextPath"_qs, u"CommandLoad"_qs}));
        QTest::qWait(300); // longer than the press a mnemonic would animate
        QCOMPARE(loads.count(), 0);
    }

    // The source list ignores case, compares digits as characters and puts case-only twins in one order.
    void kindsListTheFolder()
    {
        QTemporaryDir dir;
        for (const QString &name :
             {u"b.wav"_qs, u"a.wav"_qs, u"Track2.wav"_qs, u"A.WAV"_qs, u"Track10.wav"_qs, u"c.mp3"_qs})
            write(dir.filePath(name));
        RecordingInteraction interaction;
        frmMain window(interaction);
        window.TextPath->setText(dir.path());
        window.cmdMP3->trigger();
        QCOMPARE(kindAndFiles(window), (QStringList{u"cmdMP3"_qs, u"c.mp3"_qs}));
        window.cmdWav->trigger();
        write(dir.filePath(u"d.WAV"_qs));
        window.cmdWav->trigger(); // the same kind again reads the folder again
        const QStringList wavs{u"A.WAV"_qs, u"a.wav"_qs, u"b.wav"_qs, u"d.WAV"_qs, u"Track10.wav"_qs, u"Track2.wav"_qs};
        QCOMPARE(kindAndFiles(window), QStringList{u"cmdWav"_qs} + wavs);
        window.TextPath->clear(); // with no folder only the check mark moves
        window.cmdWMA->trigger();
        QCOMPARE(kindAndFiles(window), QStringList{u"cmdWMA"_qs} + wavs);
    }

    // Each kind lists its own files only, whatever their case, and renames to its extension.
    void eachKindListsAndRenames_data()
    {
        QTest::addColumn<QString>("item");
        QTest::addColumn<QString>("file");
        for (const auto &[item, file] : {std::pair(u"cmdWav"_qs, u"t.wav"_qs), {u"cmdFLAC"_qs, u"t.Flac"_qs},
                                         {u"cmdM4A"_qs, u"t.m4a"_qs}, {u"cmdOGG"_qs, u"t.ogg"_qs},
                                         {u"cmdOPUS"_qs, u"t.opus"_qs}})
            QTest::newRow(qPrintable(item.mid(3))) << item << file;
    }
    void eachKindListsAndRenames()
    {
        QFETCH(QString, item);
        QFETCH(QString, file);
        QTemporaryDir dir;
        const QStringList all{u"t.wav"_qs, u"t.mp3"_qs, u"t.wma"_qs, u"t.Flac"_qs, u"t.m4a"_qs,
                              u"t.ogg"_qs, u"t.opus"_qs, u"t.oga"_qs, u"t.aac"_qs};
        for (const QString &name : all)
            write(dir.filePath(name), name.toUtf8());
        Start start;
        QVERIFY(start.window.Form_Load());
        start.window.TextPath->setText(dir.path());
        start.window.findChild<QAction *>(item)->trigger();
        QCOMPARE(kindAndFiles(start.window), (QStringList{item, file}));
        start.window.TextName->setText(u"曲"_qs);
        start.window.CommandAdd->click();
        start.window.CommandRunAll->click();
        QCOMPARE(start.interaction.messageTexts(), QStringList{u"終了しました。"_qs});
        const QStringList after = contents(QDir(dir.path()));
        QVERIFY(after.contains(u"曲."_qs + item.mid(3).toUpper() + u'=' + file));
        QCOMPARE(after.size(), all.size());
    }

    // A title file that cannot be used is told apart, and the typed title stays in the list.
    void refusedTitleFileKeepsTheList_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("shown"); // {file} filled in
        const QString notAFile = FormatMessage(Msg::TitleFileNotAFile, u"{file}"_qs).text;
        const QString tooLarge = FormatMessage(Msg::TitleFileTooLarge, u"{file}"_qs, u"16"_qs).text;
        QTest::newRow("a named pipe: not waited on") << u"fifo"_qs << notAFile;
        QTest::newRow("a device that never ends") << u"/dev/zero"_qs << notAFile;
        QTest::newRow("one byte over 16 MiB") << u"16 MiB + 1"_qs << tooLarge;
        QTest::newRow("a sparse file of 1 TiB: not read") << u"1 TiB"_qs << tooLarge;
    }
    void refusedTitleFileKeepsTheList()
    {
        QFETCH(QString, file);
        QFETCH(QString, shown);
        QTemporaryDir dir;
        const QString path = file.startsWith(u'/') ? file : dir.filePath(file);
        const QByteArray name = QFile::encodeName(path);
        if (file == u"fifo")
            QVERIFY(::mkfifo(name.constData(), 0600) == 0);
        else if (file != u"/dev/zero") { // sparse: nothing of it is on the disk
            write(path);
            QVERIFY(::truncate(name.constData(), file == u"1 TiB" ? off_t(1) << 40 : off_t(16 << 20) + 1) == 0);
        }
        RecordingInteraction interaction;
        frmMain window(interaction);
        window.ListDstMusic->addItem(u"typed"_qs);
        window.TextFile->setText(path);
        window.CommandLoad->click();
        QCOMPARE(interaction.messageTexts(), QStringList{shown.replace(u"{file}"_qs, path)});
        QCOMPARE(window.ListDstMusic->items(), QStringList{u"typed"_qs});
    }

    // A folder or title file dropped on the window or a text field, or a folder named on the
    // command line (relative to where the program starts). The window showed a folder before.
    void opensDroppedPaths_data()
    {
        QTest::addColumn<QStringList>("given"); // names in the temporary folder
        QTest::addColumn<QString>("onto");      // a text field, the window, or "command line"
        QTest::addColumn<QString>("after"); // TextPath, TextFile, TextName, both lists, messages
        const QString untouched = u"{dir}/Other||name|c.wav||"_qs;
        const QString listed = u"{dir}/Album||name|a.wav b.wav||"_qs;
        QTest::newRow("a folder: listed") << QStringList{u"Album"_qs} << QString() << listed;
        QTest::newRow("a folder on the title field: listed, not typed in")
            << QStringList{u"Album"_qs} << u"TextFile"_qs << listed;
        QTest::newRow("a title file on the name field: loaded, not typed in")
            << QStringList{u"titles.txt"_qs} << u"TextName"_qs << u"{dir}/Other|{dir}/titles.txt|name|c.wav|X Y|"_qs;
        QTest::newRow("an audio file: ignored") << QStringList{u"Album/a.wav"_qs} << QString() << untouched;
        QTest::newRow("an audio file on the name field: ignored")
            << QStringList{u"Album/a.wav"_qs} << u"TextName"_qs << untouched;
        QTest::newRow("a folder and a title file at once: ignored")
            << QStringList{u"Album"_qs, u"titles.txt"_qs} << QString() << untouched;
        QTest::newRow("command line: a folder") << QStringList{u"Album"_qs} << u"command line"_qs << listed;
        QTest::newRow("command line: a file, said so") << QStringList{u"titles"_qs} << u"command line"_qs
                                                       << untouched + FormatMessage(Msg::NotAFolder, u"titles"_qs).text;
    }
    void opensDroppedPaths()
    {
        QFETCH(QStringList, given);
        QFETCH(QString, onto);
        QFETCH(QString, after);
        QTemporaryDir dir;
        const QDir root(dir.path());
        QVERIFY(root.mkdir(u"Album"_qs) && root.mkdir(u"Other"_qs));
        for (const QString &name : {u"Album/a.wav"_qs, u"Album/b.wav"_qs, u"Other/c.wav"_qs})
            write(root.filePath(name));
        for (const QString &name : {u"titles.txt"_qs, u"titles"_qs})
            write(root.filePath(name), "X\r\nY\r\n");
        RecordingInteraction interaction;
        frmMain window(interaction);
        window.OpenSourceFolder(root.filePath(u"Other"_qs));
        window.TextName->setText(u"name"_qs);
        QList<QUrl> urls;
        for (const QString &name : given)
            urls.append(QUrl::fromLocalFile(root.filePath(name)));
        const QString started = QDir::currentPath();
        if (onto == u"command line" && QDir::setCurrent(dir.path())) {
            window.OpenSourceFolder(given.first());
            QVERIFY(QDir::setCurrent(started));
        } else { // with the path as text too, as some file managers offer, which a field would insert
            QWidget *target = onto.isEmpty() ? static_cast<QWidget *>(&window) : window.findChild<QLineEdit *>(onto);
            QCOMPARE(dropOn(target, urls, urls.first().toString()), !after.startsWith(u"{dir}/Other||"_qs));
        }
        const QStringList state{window.TextPath->text(), window.TextFile->text(), window.TextName->text(),
                                window.ListSrcMusic->items().join(u' '), window.ListDstMusic->items().join(u' '),
                                interaction.messageTexts().join(u'\n')};
        QCOMPARE(state.join(u'|'), after.replace(u"{dir}"_qs, dir.path()));
    }

    void addAndDelete()
    {
        RecordingInteraction interaction;
        frmMain window(interaction);
        for (const QString &title : {u"B"_qs, u""_qs, u" "_qs, u"A"_qs}) {
            window.TextName->setText(title);
            window.CommandAdd->click();
        }
        // Unsorted; an empty field adds nothing, spaces are a title, the field keeps its text.
        QCOMPARE(window.ListDstMusic->items() << window.TextName->text(),
                 (QStringList{u"B"_qs, u" "_qs, u"A"_qs, u"A"_qs}));
        window.CommandDel->click(); // nothing selected: the last goes
        window.ListDstMusic->setListIndex(0);
        window.CommandDel->click(); // then the selected one
        QCOMPARE(window.ListDstMusic->items(), QStringList{u" "_qs});
        QCOMPARE(window.ListDstMusic->listIndex(), -1);
        window.CommandDel->click();
        window.CommandDel->click(); // on an empty list: nothing
        QCOMPARE(window.ListDstMusic->listCount(), 0);
    }

    // Files listed from the folder "Album", titles loaded from a title file (none: it is missing),
    // then renamed; the title list held titles typed before. A twist comes between listing and
    // renaming; questions are answered from `answers` (none left: いいえ).
    void renameAll_data()
    {
        QTest::addColumn<QStringList>("files"); // each holding its own name
        QTest::addColumn<QByteArray>("titleFile");
        QTest::addColumn<QString>("twist");
        QTest::addColumn<QList<bool>>("answers");
        QTest::addColumn<QStringList>("after"); // name=content; none: as before
        QTest::addColumn<QStringList>("shown"); // questions ("? ..."), then messages; {file}, {folder} filled in
        const QStringList two{u"a.wav"_qs, u"b.wav"_qs};
        const QStringList none;
        const QString finished = u"終了しました。"_qs;
        QTest::newRow("nothing listed: 205") << none << QByteArray("A\n") << QString() << QList<bool>() << none
                                             << QStringList{u"変換前曲名一覧に名前が設定されていません。"_qs};
        QTest::newRow("no titles: 204") << two << QByteArray("") << QString() << QList<bool>() << none
                                        << QStringList{u"変換後曲名一覧に名前が設定されていません。"_qs};
        QTest::newRow("two files, one title: 202") << two << QByteArray("A\n") << QString() << QList<bool>() << none
                                                   << QStringList{u"変換前と変換後の名前一覧の数が一致していません。"_qs};
        const QString slashQuestion = u"? 次の 1 件の曲名には、このﾃﾞｨｽｸのﾌｧｲﾙ名に使えない文字(/)があります。全角の似た"
                                      u"文字に置き換えると、次のようになります。\n2 番目の「AC/DC %1」→「AC／DC %1」\n\n"
                                      u"置き換えて名前を変更しますか?"_qs;
        QTest::newRow("a slash: asked with its look-alike; いいえ leaves every file and title")
            << two << QByteArray("A\nAC/DC %1\n") << QString() << QList<bool>() << none << QStringList{slashQuestion};
        QTest::newRow("a slash: はい renames with its look-alike, which the title list shows")
            << two << QByteArray("A\nAC/DC %1\n") << QString() << QList<bool>{true}
            << QStringList{u"A.WAV=a.wav"_qs, u"AC／DC %1.WAV=b.wav"_qs} << QStringList{slashQuestion, finished};
        // 曲 and く in JIS: the second holds a "/" between the escapes.
        QTest::newRow("JIS (ISO-2022-JP) titles: nothing renamed, the escapes shown and the encoding named")
            << two << QByteArray("\x1b$B6J\x1b(B\r\n\x1b$B$/\x1b(B\r\n") << QString() << QList<bool>() << none
            << QStringList{u"ﾌｧｲﾙ名にできない曲名があるため、何も変更しませんでした。\n"
                           u"1 番目の「␛$B6J␛(B」: 制御文字(ﾀﾌﾞなど)は使えません\n"
                           u"2 番目の「␛$B$/␛(B」: 制御文字(ﾀﾌﾞなど)は使えません\n"
                           u"曲名ﾌｧｲﾙは JIS (ISO-2022-JP) で書かれているようです。UTF-8 か Shift-JIS で保存し直してから"
                           u"読み込んでください。"_qs};
        QTest::newRow("missing title file: named, the typed title kept")
            << two << QByteArray() << QString() << QList<bool>() << none
            << QStringList{u"曲名ﾌｧｲﾙを読み込めませんでした(ファイルまたはフォルダが見つかりません)。\n{file}"_qs,
                           u"変換前と変換後の名前一覧の数が一致していません。"_qs};
        const QStringList renamed{u"Two.WAV=a.wav"_qs, u"曲.WAV=b.wav"_qs};
        QTest::newRow("UTF-8 titles: 203")
            << two << QByteArray("Two\r\n曲\r\n") << QString() << QList<bool>() << renamed << QStringList{finished};
        const QString sameQuestion = u"? 次の 1 件は名前を変更できません。\nb.wav → Same.WAV: 1 番目と同じ名前になります"
                                     u"\n\nほかの 1 件の名前を変更しますか?"_qs;
        QTest::newRow("the same title twice: asked first; いいえ leaves every file as it was")
            << two << QByteArray("Same\nSame\n") << QString() << QList<bool>() << none << QStringList{sameQuestion};
        QTest::newRow("the same title twice: はい renames the other and reports the one")
            << two << QByteArray("Same\nSame\n") << QString() << QList<bool>{true}
            << QStringList{u"b.wav=b.wav"_qs, u"Same.WAV=a.wav"_qs}
            << QStringList{sameQuestion, u"2 件のうち 1 件は名前を変更できませんでした。\n"
                                         u"b.wav → Same.WAV: 1 番目と同じ名前になります"_qs};
        QTest::newRow("a name taken by a file that is not listed: いいえ leaves every file as it was")
            << two << QByteArray("X\nTaken\n") << u"taken"_qs << QList<bool>() << none
            << QStringList{u"? 次の 1 件は名前を変更できません。\nb.wav → Taken.WAV: 同じ名前のﾌｧｲﾙが既にあります"
                           u"\n\nほかの 1 件の名前を変更しますか?"_qs};
        QTest::newRow("every pair would fail: told, not asked")
            << two << QByteArray("a\na\n") << u"gone"_qs << QList<bool>() << none
            << QStringList{u"2 件のうち 2 件は名前を変更できませんでした。\n"
                           u"a.wav → a.WAV: 一覧を読み込んだ後に、ﾌｧｲﾙが移動または削除されました\n"
                           u"b.wav → a.WAV: 一覧を読み込んだ後に、ﾌｧｲﾙが移動または削除されました"_qs};
        const QStringList tracks{u"Track1.wav"_qs, u"Track10.wav"_qs, u"Track2.wav"_qs};
        const QString orderQuestion = u"? 変換前曲名一覧は文字の順に並んでいるため、「Track10.wav」が「Track2.wav」より前に"
                                      u"あります。曲名は一覧の順に割り当てられます。\n\nこのまま名前を変更しますか?"_qs;
        QTest::newRow("Track10 listed before Track2: asked; いいえ leaves them")
            << tracks << QByteArray("A\nB\nC\n") << QString() << QList<bool>() << none << QStringList{orderQuestion};
        QTest::newRow("Track10 listed before Track2: はい renames as listed")
            << tracks << QByteArray("A\nB\nC\n") << QString() << QList<bool>{true}
            << QStringList{u"A.WAV=Track1.wav"_qs, u"B.WAV=Track10.wav"_qs, u"C.WAV=Track2.wav"_qs}
            << QStringList{orderQuestion, finished};
        const QString stale = u"変換前曲名一覧はﾌｫﾙﾀﾞ「{folder}」の一覧ですが、ﾊﾟｽ名が変わっているため、何も変更しません"
                              u"でした。\nﾌｫﾙﾀﾞを選び直すか種類を選んで、一覧を読み込み直してください。"_qs;
        QTest::newRow("the folder field edited since: no folder touched")
            << two << QByteArray("X\nY\n") << u"field names another folder"_qs << QList<bool>() << none
            << QStringList{stale};
        QTest::newRow("the folder picker cancelled, field emptied: nothing renamed, not in the root either")
            << two << QByteArray("X\nY\n") << u"picker cancelled"_qs << QList<bool>() << none << QStringList{stale};
        QTest::newRow("a folder whose name ends in a blank is itself")
            << two << QByteArray("X\nY\n") << u"blank at the end"_qs << QList<bool>()
            << QStringList{u"X.WAV=a.wav"_qs, u"Y.WAV=b.wav"_qs} << QStringList{finished};
    }
    void renameAll()
    {
        QFETCH(QStringList, files);
        QFETCH(QByteArray, titleFile);
        QFETCH(QString, twist);
        QFETCH(QList<bool>, answers);
        QFETCH(QStringList, after);
        QFETCH(QStringList, shown);
        QTemporaryDir root;
        QTemporaryDir titleDir;
        // "Album" and its look-alikes: another folder, and one whose name ends in a blank.
        const QDir album(root.filePath(twist == u"blank at the end" ? u"Album "_qs : u"Album"_qs));
        const QDir other(root.filePath(twist == u"blank at the end" ? u"Album"_qs : u"Other"_qs));
        QVERIFY(album.mkpath(u"."_qs) && other.mkpath(u"."_qs));
        for (const QString &name : files)
            write(album.filePath(name), name.toUtf8());
        for (const QString &name : {u"c.wav"_qs, u"d.wav"_qs})
            write(other.filePath(name), name.toUtf8());
        const QString titles = titleDir.filePath(u"titles.txt"_qs);
        if (!titleFile.isNull())
            write(titles, titleFile);
        RecordingInteraction interaction;
        interaction.questionAnswers.append(answers);
        frmMain window(interaction);
        interaction.folderAnswers.enqueue(album.path());
        window.CommandBrowsePath->click();
        window.ListDstMusic->addItem(u"typed"_qs);
        window.CommandLoad->click(); // no title file named yet: the typed titles stay
        QCOMPARE(window.ListDstMusic->items(), QStringList{u"typed"_qs});
        window.TextFile->setText(titles);
        window.CommandLoad->click();
        const QStringList before = contents(album.path()), otherBefore = contents(other.path());
        if (twist == u"field names another folder")
            window.TextPath->setText(other.path());
        if (twist == u"picker cancelled")
            window.CommandBrowsePath->click();
        if (twist == u"taken") // made after listing: not in the list, so not in the batch
            write(album.filePath(u"Taken.WAV"_qs), "mine");
        if (twist == u"gone") // moved away by hand after listing
            for (const QString &name : files)
                QVERIFY(QFile::rename(album.filePath(name), other.filePath(name)));
        window.CommandRunAll->click();
        QCOMPARE(window.ListDstMusic->items().join(u'|').contains(u'／'), after.join(u'|').contains(u'／'));
        if (twist == u"gone")
            QCOMPARE(contents(other.path()).size(), otherBefore.size() + files.size());
        else if (twist == u"taken")
            QCOMPARE(contents(album.path()), (QStringList{u"a.wav=a.wav"_qs, u"b.wav=b.wav"_qs, u"Taken.WAV=mine"_qs}));
        else
            QCOMPARE(contents(album.path()), after.isEmpty() ? before : after);
        if (twist != u"gone")
            QCOMPARE(contents(other.path()), otherBefore);
        QStringList asked = interaction.questions;
        QCOMPARE(asked.replaceInStrings(QRegularExpression(u"^"_qs), u"? "_qs) + interaction.messageTexts(),
                 shown.replaceInStrings(u"{file}"_qs, titles).replaceInStrings(u"{folder}"_qs, album.path()));
    }

    // 種類 → ﾄﾗｯｸ番号を付ける as found at start, perhaps chosen once; then an album renamed, the
    // program started again, and the rename undone. `stored`: the settings file before that start.
    void trackNumbers_data()
    {
        QTest::addColumn<QByteArray>("ini"); // "blocked": a settings file whose folder cannot be made
        QTest::addColumn<bool>("choose");
        QTest::addColumn<bool>("checked");
        QTest::addColumn<QByteArray>("stored");
        QTest::addColumn<QString>("told"); // a part of the one message besides 203; empty: none
        const QByteArray on("[Settings]\nTrackNumbers=1\n");
        QTest::newRow("first start: off, the names as before") << QByteArray() << false << false << QByteArray()
                                                               << QString();
        QTest::newRow("chosen: numbered names, and kept") << QByteArray() << true << true << on << QString();
        QTest::newRow("stored on: checked at start") << on << false << true << on << QString();
        QTest::newRow("a garbled value reads as off") << QByteArray("[Settings]\nTrackNumbers=yes\n") << false
                                                      << false << QByteArray("[Settings]\nTrackNumbers=yes\n")
                                                      << QString();
        QTest::newRow("chosen off again: the line replaced where it stands, the rest kept")
            << QByteArray("[Settings]\nTrackNumbers=1\nX=0\n\n[Other]\nA=b\n") << true << false
            << QByteArray("[Settings]\nTrackNumbers=0\nX=0\n\n[Other]\nA=b\n") << QString();
        QTest::newRow("cannot be kept: said so, numbered in this run only")
            << QByteArray("blocked") << true << true << QByteArray() << u"ﾄﾗｯｸ番号を付けるかどうかを保存できませんでした"_qs;
    }
    void trackNumbers()
    {
        QFETCH(QByteArray, ini);
        QFETCH(bool, choose);
        QFETCH(bool, checked);
        QFETCH(QByteArray, stored);
        QFETCH(QString, told);
        QTemporaryDir album, state;
        for (const QString &name : {u"a.wav"_qs, u"b.wav"_qs})
            write(album.filePath(name), name.toUtf8());
        const bool blocked = ini == "blocked";
        if (blocked)
            write(state.filePath(u"blocker"_qs), "a file, not a folder");
        const StatePaths paths{state.filePath(blocked ? u"blocker/Meloport.ini"_qs : u"Meloport.ini"_qs),
                               state.filePath(u"Meloport.lock"_qs), state.filePath(u"last-rename.journal"_qs)};
        if (!ini.isNull() && !blocked)
            write(paths.settingsFile, ini);
        RecordingInteraction interaction;
        std::optional<frmMain> window(std::in_place, interaction, paths);
        QVERIFY(window->Form_Load());
        if (choose)
            window->cmdTrackNumbers->trigger();
        QCOMPARE(window->cmdTrackNumbers->isChecked(), checked);
        interaction.folderAnswers.enqueue(album.path());
        window->CommandBrowsePath->click();
        for (const QString &title : {u"X"_qs, u"Y"_qs}) {
            window->TextName->setText(title);
            window->CommandAdd->click();
        }
        window->CommandRunAll->click();
        const QStringList renamed = checked ? QStringList{u"01 X.WAV=a.wav"_qs, u"02 Y.WAV=b.wav"_qs}
                                            : QStringList{u"X.WAV=a.wav"_qs, u"Y.WAV=b.wav"_qs};
        QCOMPARE(contents(album.path()), renamed);
        QCOMPARE(window->ListDstMusic->items(), (QStringList{u"X"_qs, u"Y"_qs}));
        QCOMPARE(readAll(paths.settingsFile), stored);
        const QStringList shown = interaction.messageTexts();
        QCOMPARE(shown.size(), told.isEmpty() ? 1 : 2);
        QVERIFY2(shown.first().contains(told), qPrintable(shown.first()));

        window->close(); // saves the window's place beside the choice
        window.emplace(interaction, paths);
        QVERIFY(window->Form_Load());
        QCOMPARE(window->cmdTrackNumbers->isChecked(), checked && !blocked);
        interaction.questionAnswers.enqueue(true);
        window->cmdUndo->trigger();
        QCOMPARE(contents(album.path()), (QStringList{u"a.wav=a.wav"_qs, u"b.wav=b.wav"_qs}));
    }

    // An album renamed through the window, then ﾌｧｲﾙ → 元に戻す, in the same run or after a restart.
    void undo_data()
    {
        QTest::addColumn<QString>("twist");
        QTest::addColumn<bool>("answer");
        QTest::addColumn<QStringList>("after");
        QTest::addColumn<QStringList>("shown"); // questions ("? ..."), then messages, after the rename's 203
        const QStringList back{u"a.wav=a.wav"_qs, u"b.wav=b.wav"_qs}, renamed{u"a.WAV=b.wav"_qs, u"b.WAV=a.wav"_qs};
        const QString question = u"? ﾌｫﾙﾀﾞ「{folder}/」の 2 個のﾌｧｲﾙの名前を、前回変更する前の名前に戻します。よろしいですか?"_qs;
        QTest::newRow("はい: every file has its old name") << QString() << true << back
                                                         << QStringList{question, u"終了しました。"_qs};
        QTest::newRow("いいえ: nothing changes") << QString() << false << renamed << QStringList{question};
        QTest::newRow("after a restart") << u"restart"_qs << true << back << QStringList{question, u"終了しました。"_qs};
        QTest::newRow("a damaged record: refused, the command disabled")
            << u"damaged"_qs << true << renamed
            << QStringList{u"前回の名前の変更の記録を使えないため、元に戻せません(記録が壊れています)。\n{journal}"_qs};
    }
    void undo()
    {
        QFETCH(QString, twist);
        QFETCH(bool, answer);
        QFETCH(QStringList, after);
        QFETCH(QStringList, shown);
        QTemporaryDir album;
        for (const QString &name : {u"a.wav"_qs, u"b.wav"_qs})
            write(album.filePath(name), name.toUtf8());
        RecordingInteraction interaction;
        QTemporaryDir state;
        const StatePaths paths{state.filePath(u"Meloport.ini"_qs), state.filePath(u"Meloport.lock"_qs),
                               state.filePath(u"Meloport/last-rename.journal"_qs)};
        std::optional<frmMain> window(std::in_place, interaction, paths);
        QVERIFY(window->Form_Load());
        QVERIFY(!window->cmdUndo->isEnabled()); // nothing recorded yet
        interaction.folderAnswers.enqueue(album.path());
        window->CommandBrowsePath->click();
        for (const QString &title : {u"b"_qs, u"a"_qs}) {
            window->TextName->setText(title);
            window->CommandAdd->click();
        }
        window->CommandRunAll->click();
        QVERIFY(window->cmdUndo->isEnabled());
        if (twist == u"restart") { // the same places, a new window
            window->close();
            window.emplace(interaction, paths);
            QVERIFY(window->Form_Load());
        }
        if (twist == u"damaged")
            write(paths.renameJournal, "meloport-rename-journal 1\nfolder /\nstep 9 a b uc\nplanned\n");
        interaction.messages.clear();
        interaction.questionAnswers.enqueue(answer);
        window->cmdUndo->trigger();
        QCOMPARE(contents(album.path()), after);
        QStringList asked = interaction.questions;
        QCOMPARE(asked.replaceInStrings(QRegularExpression(u"^"_qs), u"? "_qs) + interaction.messageTexts(),
                 shown.replaceInStrings(u"{folder}"_qs, album.path()).replaceInStrings(u"{journal}"_qs, paths.renameJournal));
        QCOMPARE(window->cmdUndo->isEnabled(), twist != u"damaged");
    }
};

QTEST_MAIN(TestFrmMain)
#include "tst_frmmain.moc"
