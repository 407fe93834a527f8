#include "app/ListBox.h"
#include "app/frmMain.h"
#include "support/FolderSnapshot.h"
#include "support/RecordingInteraction.h"

#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

using namespace meloport;

namespace {

void write(const QString &path, const QByteArray &content)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(content);
}

// Lists a folder holding `files` and loads `titles` as the user would.
void prepare(frmMain &window, const QTemporaryDir &dir, const QStringList &files, const QStringList &titles)
{
    for (const QString &name : files)
        write(dir.filePath(name), name.toUtf8());
    window.TextPath->setText(dir.path());
    window.cmdWav->trigger();
    for (const QString &title : titles) {
        window.TextName->setText(title);
        window.CommandAdd->click();
    }
}

} // namespace

class TestTitlesAndRename final : public QObject {
    Q_OBJECT
private slots:
    // A small script per row: "+T" types T and adds it, "#n" selects entry n, "-" deletes.
    void addAndDelete_data()
    {
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<QStringList>("titles");
        QTest::newRow("an empty field adds nothing") << QStringList{u"+"_qs} << QStringList{};
        QTest::newRow("spaces are a title") << QStringList{u"+ "_qs} << QStringList{u" "_qs};
        QTest::newRow("adding twice adds twice") << QStringList{u"+A"_qs, u"+A"_qs} << QStringList{u"A"_qs, u"A"_qs};
        QTest::newRow("delete with nothing selected removes the last")
            << QStringList{u"+A"_qs, u"+B"_qs, u"+C"_qs, u"-"_qs} << QStringList{u"A"_qs, u"B"_qs};
        QTest::newRow("delete removes the selected, then the last")
            << QStringList{u"+A"_qs, u"+B"_qs, u"+C"_qs, u"#0"_qs, u"-"_qs, u"-"_qs} << QStringList{u"B"_qs};
        QTest::newRow("delete on an empty list does nothing") << QStringList{u"-"_qs} << QStringList{};
    }
    void addAndDelete()
    {
        QFETCH(QStringList, steps);
        QFETCH(QStringList, titles);
        RecordingInteraction interaction;
        frmMain window(interaction);
        for (const QString &step : steps) {
            if (step.startsWith(u'+')) {
                window.TextName->setText(step.mid(1));
                window.CommandAdd->click();
                QCOMPARE(window.TextName->text(), step.mid(1));
            } else if (step.startsWith(u'#')) {
                window.ListDstMusic->setListIndex(step.mid(1).toInt());
            } else {
                window.CommandDel->click();
                QCOMPARE(window.ListDstMusic->listIndex(), -1);
            }
        }
        QCOMPARE(window.ListDstMusic->items(), titles);
    }

    void browseForTheTitleFile()
    {
        RecordingInteraction interaction;
        frmMain window(interaction);
        window.TextFile->setText(u"typed.txt"_qs);
        interaction.fileAnswers.enqueue(std::nullopt);
        interaction.fileAnswers.enqueue(u"/music/titles.txt"_qs);
        interaction.fileAnswers.enqueue(std::nullopt);
        for (int i = 0; i < 3; ++i)
            window.CommandBrowseFile->click();
        QCOMPARE(interaction.fileRequests.size(), 3);
        const OpenFileRequest &first = interaction.fileRequests[0];
        QCOMPARE(first.title, u"曲名ﾌｧｲﾙを選択"_qs);
        QCOMPARE(first.filter, u"曲名ﾌｧｲﾙ (*.txt)"_qs);
        QCOMPARE(first.defaultSuffix, u"txt"_qs);
        QCOMPARE(first.fileName, u"曲名ﾌｧｲﾙ"_qs);
        QCOMPARE(interaction.fileRequests[1].fileName, u"曲名ﾌｧｲﾙ"_qs); // a cancel changes nothing
        QCOMPARE(interaction.fileRequests[2].fileName, u"/music/titles.txt"_qs);
        QCOMPARE(window.TextFile->text(), u"/music/titles.txt"_qs); // nor does the last cancel
        QCOMPARE(window.ListDstMusic->listCount(), 0);                // picking does not load
    }

    void loadReplacesTheTitles()
    {
        QTemporaryDir dir;
        write(dir.filePath(u"titles.txt"_qs), "\x8b\xc8\r\nB\r\n");
        RecordingInteraction interaction;
        frmMain window(interaction);
        window.ListDstMusic->addItem(u"typed"_qs);
        window.CommandLoad->click(); // the field is empty: the list stays
        QCOMPARE(window.ListDstMusic->items(), QStringList{u"typed"_qs});
        window.TextFile->setText(dir.filePath(u"titles.txt"_qs));
        window.CommandLoad->click();
        QCOMPARE(window.ListDstMusic->items(), (QStringList{u"曲"_qs, u"B"_qs}));
        QVERIFY(interaction.messages.isEmpty());
    }

    void titleFileProblemsAreReported_data()
    {
        QTest::addColumn<QByteArray>("content"); // none: the file is missing
        QTest::addColumn<QString>("message");
        QTest::newRow("missing file") << QByteArray()
                                      << u"曲名ﾌｧｲﾙを読み込めませんでした(ファイルまたはフォルダが見つかりません)。\n%1"_qs;
        QTest::newRow("UTF-16") << QByteArray("\xff\xfe" "A\0", 4)
                                << u"曲名ﾌｧｲﾙの文字コードが UTF-8 でも Shift-JIS でもないため、読み込めませんでした。\n%1"_qs;
    }
    void titleFileProblemsAreReported()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, message);
        QTemporaryDir dir;
        const QString path = dir.filePath(u"titles.txt"_qs);
        if (!content.isEmpty())
            write(path, content);
        RecordingInteraction interaction;
        frmMain window(interaction);
        window.ListDstMusic->addItem(u"typed"_qs);
        window.TextFile->setText(path);
        window.CommandLoad->click();
        QCOMPARE(window.ListDstMusic->listCount(), 0);
        QCOMPARE(interaction.messageTexts(), QStringList{message.arg(path)});
    }

    void checksBeforeRenaming_data()
    {
        QTest::addColumn<QStringList>("files");
        QTest::addColumn<QStringList>("titles");
        QTest::addColumn<QString>("message");
        QTest::newRow("both lists empty: 205")
            << QStringList{} << QStringList{} << u"変換前曲名一覧に名前が設定されていません。"_qs;
        QTest::newRow("no titles: 204")
            << QStringList{u"1.wav"_qs} << QStringList{} << u"変換後曲名一覧に名前が設定されていません。"_qs;
        QTest::newRow("three files, two titles: 202") << QStringList{u"1.wav"_qs, u"2.wav"_qs, u"3.wav"_qs}
                                                      << QStringList{u"A"_qs, u"B"_qs}
                                                      << u"変換前と変換後の名前一覧の数が一致していません。"_qs;
        QTest::newRow("a title with a slash: nothing renamed, the title shown as it is")
            << QStringList{u"1.wav"_qs, u"2.wav"_qs} << QStringList{u"A"_qs, u"AC/DC %1"_qs}
            << u"ﾌｧｲﾙ名にできない曲名があるため、何も変更しませんでした。\n2 番目の「AC/DC %1」: 「/」は使えません"_qs;
    }
    void checksBeforeRenaming()
    {
        QFETCH(QStringList, files);
        QFETCH(QStringList, titles);
        QFETCH(QString, message);
        QTemporaryDir dir;
        RecordingInteraction interaction;
        frmMain window(interaction);
        prepare(window, dir, files, titles);
        const auto before = folderSnapshot(dir.path());
        window.CommandRunAll->click();
        QCOMPARE(interaction.messageTexts(), QStringList{message});
        QCOMPARE(folderSnapshot(dir.path()), before);
    }

    void renameAllThenAgain()
    {
        QTemporaryDir dir;
        RecordingInteraction interaction;
        frmMain window(interaction);
        prepare(window, dir, {u"b.wav"_qs, u"A.WAV"_qs, u"Taken.WAV"_qs}, {u"One"_qs, u"Two"_qs, u"Three"_qs});
        window.CommandRunAll->click();
        QCOMPARE(interaction.messageTexts(), QStringList{u"終了しました。"_qs});
        QCOMPARE(folderSnapshot(dir.path()).keys(), (QStringList{u"One.WAV"_qs, u"Three.WAV"_qs, u"Two.WAV"_qs}));

        // Without relisting, the old names are gone: a failure, never "finished".
        interaction.messages.clear();
        window.CommandRunAll->click();
        QCOMPARE(interaction.messageTexts(),
                 QStringList{u"3 件のうち 3 件は名前を変更できませんでした。\n"
                             "A.WAV → One.WAV: ファイルまたはフォルダが見つかりません\n"
                             "b.wav → Two.WAV: ファイルまたはフォルダが見つかりません\n"
                             "Taken.WAV → Three.WAV: ファイルまたはフォルダが見つかりません"_qs});
    }

    void longFailureListsAreCut()
    {
        QTemporaryDir dir;
        RecordingInteraction interaction;
        frmMain window(interaction);
        QStringList files;
        for (int i = 0; i < 25; ++i)
            files.append(u"%1.wav"_qs.arg(i, 2, 10, QChar(u'0')));
        prepare(window, dir, files, QStringList(25, u"Same"_qs));
        window.CommandRunAll->click();
        const QStringList lines = interaction.messageTexts().value(0).split(u'\n');
        QCOMPARE(lines.first(), u"25 件のうち 24 件は名前を変更できませんでした。"_qs);
        QCOMPARE(lines.size(), 1 + 20 + 1);
        QCOMPARE(lines.last(), u"ほか 4 件"_qs);
    }
};

QTEST_MAIN(TestTitlesAndRename)
#include "tst_titlesandrename.moc"
