#include "core/RefusedCharacters.h"
#include "core/copy/CopyJob.h"
#include "core/rename/RenameJob.h"

#include "support/DiskImage.h"
#include "support/FolderSnapshot.h"

#include <map>
#include <memory>

using namespace meloport;

namespace {

// Answers every question alike, and keeps what it was asked.
class AnsweringDialog final : public JobDialog {
public:
    explicit AnsweringDialog(bool yes)
        : m_yes(yes)
    {
    }
    void tell(const Message &) override {}
    bool ask(const Message &question) override
    {
        asked.append(question.text);
        return m_yes;
    }
    QStringList asked;

private:
    bool m_yes;
};

class QuietProgress final : public CopyProgress {
public:
    void begin(qsizetype, qint64) override {}
    bool advance(qsizetype, qint64) override { return true; }
    void end() override {}
    void stopped(const Message &) override {}
};

const QStringList kDisks{u"ext4"_qs, u"exFAT"_qs, u"NTFS"_qs};

// The names of a folder's files, in lower case: NTFS ignoring case lists them so.
QStringList names(const QString &folder)
{
    QStringList found;
    for (const auto &[name, content] : folderSnapshot(folder).asKeyValueRange())
        found.append(name.toLower() + u'=' + content);
    return found;
}

} // namespace

class TestRefusedCharacters final : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        const DiskImage::Kind kinds[]{DiskImage::Kind::Ext4, DiskImage::Kind::Exfat, DiskImage::Kind::NtfsIgnoringCase};
        for (qsizetype i = 0; i < kDisks.size(); ++i)
            m_disks[kDisks[i]] = std::make_unique<DiskImage>(kinds[i]);
    }

    // An album of two files on each disk, the first titled with one character that Windows disks
    // refuse; questions answered `yes`. `renamed`: what the first file is named afterwards.
    void renames_data()
    {
        QTest::addColumn<QString>("disk");
        QTest::addColumn<QString>("title");
        QTest::addColumn<bool>("yes");
        QTest::addColumn<QString>("renamed"); // empty: nothing renamed
        const QString fullWidth = u"＼／：＊？＂＜＞｜"_qs;
        const QString ascii = u"\\/:*?\"<>|"_qs;
        for (const QString &disk : kDisks) {
            for (qsizetype i = 0; i < ascii.size(); ++i) {
                const bool taken = disk == u"ext4" && ascii[i] != u'/';
                QTest::addRow("%s: %s", qPrintable(disk), qPrintable(ascii.mid(i, 1)))
                    << disk << u"Why"_qs + ascii[i] << true << u"Why"_qs + (taken ? ascii[i] : fullWidth[i]);
            }
        }
        QTest::newRow("exFAT: いいえ") << u"exFAT"_qs << u"What?"_qs << false << QString();
        QTest::newRow("ext4: いいえ to a slash") << u"ext4"_qs << u"AC/DC"_qs << false << QString();
    }
    void renames()
    {
        QFETCH(QString, disk);
        QFETCH(QString, title);
        QFETCH(bool, yes);
        QFETCH(QString, renamed);
        const QString folder = freshFolder(disk);
        if (folder.isEmpty())
            return;
        writeFile(folder + u"/a.wav"_qs, "A");
        writeFile(folder + u"/b.wav"_qs, "B");
        const QStringList before = names(folder);
        QTemporaryDir state;
        const QString journal = state.filePath(u"last-rename.journal"_qs);

        AnsweringDialog dialog(yes);
        std::optional<RenameBatch> batch =
            prepareRename(listMusicFiles(folder, u"WAV"_qs), {title, u"Plain"_qs}, u"WAV"_qs, dialog);
        // One question, showing the title as it would become.
        const bool asks = renamed != title;
        QCOMPARE(dialog.asked.size(), asks ? 1 : 0);
        if (asks)
            QVERIFY2(dialog.asked.first().contains(u"「%1」→「%2"_qs.arg(title, renamed)),
                     qPrintable(dialog.asked.first()));
        if (renamed.isEmpty()) {
            QVERIFY(!batch);
            QCOMPARE(names(folder), before);
            return;
        }
        QVERIFY(batch && batch->problems().isEmpty());
        QCOMPARE(batch->plan().titles.first(), renamed);
        QStringList planned; // what a dry run prints
        for (const RenamePair &pair : batch->plan().pairs)
            planned.append(QString::fromUtf8(pair.newName).toLower() + u'='
                           + QString::fromUtf8(pair.oldName).toUpper().left(1));
        QCOMPARE(planned.first(), renamed.toLower() + u".wav=A"_qs);
        planned.sort();
        QVERIFY(runRename(*batch, journal, dialog));
        QCOMPARE(names(folder), planned);

        QCOMPARE(undoLastRename(journal, dialog), UndoOutcome::Done);
        QCOMPARE(names(folder), before);
    }

    // What?.wav and Plain.wav copied from the computer's disk onto each disk; the question that
    // a window or --yes answers is answered `yes`.
    void copies_data()
    {
        QTest::addColumn<QString>("disk");
        QTest::addColumn<bool>("yes");
        QTest::addColumn<QStringList>("arrived"); // lower case, as NTFS ignoring case lists them
        QTest::newRow("ext4: as it is, not asked") << u"ext4"_qs << true << QStringList{u"plain.wav"_qs, u"what?.wav"_qs};
        QTest::newRow("exFAT: はい") << u"exFAT"_qs << true << QStringList{u"plain.wav"_qs, u"what？.wav"_qs};
        QTest::newRow("NTFS: はい") << u"NTFS"_qs << true << QStringList{u"plain.wav"_qs, u"what？.wav"_qs};
        QTest::newRow("exFAT: いいえ, nothing copied") << u"exFAT"_qs << false << QStringList();
    }
    void copies()
    {
        QFETCH(QString, disk);
        QFETCH(bool, yes);
        QFETCH(QStringList, arrived);
        const QString destination = freshFolder(disk);
        if (destination.isEmpty())
            return;
        QTemporaryDir source;
        writeFile(source.filePath(u"What?.wav"_qs), "W");
        writeFile(source.filePath(u"Plain.wav"_qs), "P");

        const MusicListing listing = listMusicFiles(source.path(), u"WAV"_qs);
        AnsweringDialog dialog(yes);
        QuietProgress progress;
        QCOMPARE(CopyJob().run(listing, listing.folderText, destination, dialog, progress),
                 yes ? CopyOutcome::Done : CopyOutcome::Refused);
        const bool asks = disk != u"ext4";
        QCOMPARE(dialog.asked.size(), asks ? 1 : 0);
        if (asks)
            QVERIFY2(dialog.asked.first().contains(u"「What?.wav」→「What？.wav」"_qs), qPrintable(dialog.asked.first()));
        QStringList found;
        for (const QString &name : QDir(destination).entryList(QDir::Files | QDir::Hidden))
            found.append(name.toLower());
        QCOMPARE(found, arrived);
    }

private:
    // A new folder on the disk, or empty when the disk cannot be had here (and the test skipped).
    QString freshFolder(const QString &disk)
    {
        const DiskImage &image = *m_disks.at(disk);
        if (!image.isMounted()) {
            QTest::qSkip(qPrintable(u"no "_qs + disk + u" here: "_qs + image.whyNot()), __FILE__, __LINE__);
            return {};
        }
        const QString folder = image.path() + u"/album"_qs + QString::number(++m_folders);
        return QDir().mkdir(folder) ? folder : QString();
    }

    std::map<QString, std::unique_ptr<DiskImage>> m_disks;
    int m_folders = 0;
};

QTEST_GUILESS_MAIN(TestRefusedCharacters)
#include "tst_refusedcharacters.moc"
