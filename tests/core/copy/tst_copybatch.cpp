#include "core/copy/CopyBatch.h"
#include "core/copy/CopyMessages.h"
#include "core/listing/SourceListing.h"

#include "support/DiskImage.h"
#include "support/FolderSnapshot.h"

#include <QDir>
#include <QScopeGuard>

#include <optional>
#include <utility>
#include <sched.h>
#include <sys/mount.h>

using namespace meloport;

namespace {

const QStringList kDisks{u"ext4"_qs, u"exFAT"_qs, u"NTFS ignoring case"_qs};
struct Copying { QString disk, to; QByteArray files; QString present, twist, outcome, after; }; // see copies()

// Makes what a layout lists in `folder`: "name" holds its own name, "name=text" the text, "name:N" N
// chunks of 'x' and one byte more, "dir:name" is a folder, "link:name>target" a link.
void make(const QString &folder, const QByteArray &layout)
{
    QVERIFY(QDir().mkpath(folder));
    const QByteArray prefix = QFile::encodeName(folder) + '/';
    for (const QByteArray &entry : layout.split(' ')) {
        if (entry.isEmpty())
            continue;
        if (entry.startsWith("dir:"))
            QVERIFY(QDir().mkdir(QFile::decodeName(prefix + entry.mid(4))));
        else if (entry.startsWith("link:"))
            QVERIFY(::symlink(entry.mid(entry.indexOf('>') + 1).constData(),
                              QByteArray(prefix + entry.mid(5, entry.indexOf('>') - 5)).constData())
                    == 0);
        else if (const qsizetype colon = entry.indexOf(':'); colon > 0)
            writeFile(prefix + entry.left(colon), QByteArray(entry.mid(colon + 1).toInt() * platform::kCopyChunkBytes + 1, 'x'));
        else if (const qsizetype equals = entry.indexOf('='); equals > 0)
            writeFile(prefix + entry.left(equals), entry.mid(equals + 1));
        else
            writeFile(prefix + entry, entry);
    }
}

// Every entry of a folder as the layout above would make it, a long file as "name=x*bytes".
QString described(const QString &folder)
{
    QStringList entries;
    const QMap<QString, QString> files = folderSnapshot(folder);
    for (auto file = files.cbegin(); file != files.cend(); ++file) {
        const QFileInfo info(folder + u'/' + file.key());
        if (info.isSymLink())
            entries.append(u"link:"_qs + file.key() + u'>' + info.symLinkTarget().section(u'/', -1));
        else if (info.size() > 64)
            entries.append(file.key() + u"=x*"_qs + QString::number(info.size()));
        else
            entries.append(file.key() + u'=' + file.value());
    }
    for (const QString &dir : QDir(folder).entryList(QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot))
        entries.append(u"dir:"_qs + dir);
    entries.sort();
    return entries.join(u' ');
}

} // namespace
Q_DECLARE_METATYPE(Copying)

class TestCopyBatch final : public QObject {
    Q_OBJECT
private slots:
    // The source folder holds `files`, the destination `present`; `to` says where the destination
    // is. `outcome`: "copied N", "stopped at N", "same folder", or "failed at N: reason" for the
    // message naming file N (%D stands for the destination). `after`: the destination afterwards.
    void copies_data()
    {
        QTest::addColumn<Copying>("row");
        const auto row = [](const QStringList &disks, const char *what, const QString &to, const QByteArray &files,
                            const QString &present, const QString &twist, const QString &outcome, const QString &after) {
            for (const QString &disk : disks)
                QTest::addRow("%s: %s", qPrintable(disk), what) << Copying{disk, to, files, present, twist, outcome, after};
        };
        const QStringList ext4{u"ext4"_qs}, exfat{u"exFAT"_qs}, caseBlind{u"exFAT"_qs, u"NTFS ignoring case"_qs};
        const QString apart = u"apart"_qs;
        const auto failed = [](int at, const QString &reason) { return u"failed at %1: %2"_qs.arg(at).arg(reason); };
        const auto writing = [](const char *why) { return FormatMessage(Msg::CopyCannotWrite, QString::fromUtf8(why)).text; };
        const auto unusable = [](const char *why) {
            return FormatMessage(Msg::CopyDestinationUnusable, u"%D"_qs, QString::fromUtf8(why)).text;
        };

        row(kDisks, "new files, and an old one replaced", apart, "a.wav b.wav", u"b.wav=old"_qs, {},
            u"copied 2"_qs, u"a.wav=a.wav b.wav=b.wav"_qs);
        row(ext4, "a Latin-1 name copied as itself", apart, "caf\xe9.wav", {}, {}, u"copied 1"_qs,
            u"caf\\xe9.wav=caf\\xe9.wav"_qs);
        // Never onto itself: nothing touched, not even a leftover temporary file in it. (A driver
        // crashed by a rename over the open source would show an empty folder afterwards.)
        const QByteArray mine = "a.wav b.wav .meloport-k3j2.tmp=left";
        row(caseBlind, "the same folder in other letters", u"other case"_qs, mine, {}, {}, u"same folder"_qs, {});
        row(ext4, "the same folder through a linked folder", u"link"_qs, mine, {}, {}, u"same folder"_qs, {});
        row(ext4, "the same folder through a bind mount", u"bind mount"_qs, mine, {}, {}, u"same folder"_qs, {});
        // Never over its own work.
        const QString twin = failed(1, FormatMessage(Msg::CopySameName, u"1"_qs, u"A.WAV"_qs).text);
        for (const QString &disk : caseBlind) // NTFS ignoring case lists every name in lower case
            row({disk}, "case twins: the first copied and intact, the second reported", apart, "A.WAV a.wav c.wav",
                {}, {}, twin, disk == u"exFAT" ? u"A.WAV=A.WAV"_qs : u"a.wav=A.WAV"_qs);
        row(exfat, "case twins over an old file in other letters", apart, "A.WAV a.wav", u"a.wav=old"_qs, {}, twin,
            u"A.WAV=A.WAV"_qs);
        row(ext4, "case twins are two files where case counts", apart, "A.WAV a.wav", {}, {}, u"copied 2"_qs,
            u"A.WAV=A.WAV a.wav=a.wav"_qs);
        row(ext4, "an old file changed during the copy is kept", apart, "big.wav:3", u"big.wav=old"_qs,
            u"intruder: big.wav"_qs, failed(0, LoadMessage(Msg::CopyNameChanged).text), u"big.wav=intruder"_qs);
        row(kDisks, "a new name taken during the copy is kept", apart, "big.wav:3", {}, u"intruder: big.wav"_qs,
            failed(0, LoadMessage(Msg::CopyNameChanged).text), u"big.wav=intruder"_qs);
        // Say what failed; what the destination held stays, and no temporary file is left.
        row(exfat, "a full stick", apart, "a.wav b.wav:20 c.wav", u"b.wav=old"_qs, {},
            failed(1, writing("ディスクの空きが足りません")), u"a.wav=a.wav b.wav=old"_qs);
        row(caseBlind, "a name the disk cannot hold, known before", apart, "a.wav b?.wav c.wav", {}, {},
            failed(1, FormatMessage(Msg::CopyCharactersRefused, u"?"_qs).text), u"a.wav=a.wav"_qs);
        row(ext4, "a missing destination", u"missing"_qs, "a.wav", {}, {},
            failed(0, unusable("ファイルまたはフォルダが見つかりません")), {});
        row(ext4, "a read-only destination", u"read-only"_qs, "a.wav", u"a.wav=old"_qs, {},
            failed(0, unusable("書き込みできない場所です")), u"a.wav=old"_qs);
        row(ext4, "a file gone since it was listed", apart, "a.wav b.wav c.wav", {}, u"gone: b.wav"_qs,
            failed(1, LoadMessage(Msg::FileMissing).text), u"a.wav=a.wav"_qs);
        row(ext4, "a source cut short while copied: its old version kept", apart, "big.wav:3", u"big.wav=old"_qs,
            u"cut short"_qs, failed(0, LoadMessage(Msg::CopySourceShrank).text), u"big.wav=old"_qs);
        row(ext4, "a link to the source file in the destination", apart, "a.wav", u"link:a.wav>../source/a.wav"_qs,
            {}, failed(0, LoadMessage(Msg::CopyOntoItself).text), u"link:a.wav>a.wav"_qs);
        row(ext4, "a folder in the way", apart, "a.wav b.wav", u"dir:b.wav"_qs, {},
            failed(1, writing("フォルダです")), u"a.wav=a.wav dir:b.wav"_qs);
        // Cancel within a file: its old version stays, its temporary file goes.
        row({u"ext4"_qs, u"exFAT"_qs}, "stopped within a large file", apart, "a.wav big.wav:8",
            u"big.wav=old"_qs, u"stop"_qs, u"stopped at 1"_qs, u"a.wav=a.wav big.wav=old"_qs);
        // Leftovers of a copy cut off: its own pattern, regular files only.
        row({u"ext4"_qs, u"exFAT"_qs}, "leftovers removed and nothing else", apart, "a.wav",
            u".meloport-k3j2.tmp=left .meloport-0.tmp=left .meloport-renaming-k3j2-0=user"
            u" .meloport-renaming-k3j2-0.tmp=user .meloport-Q7X9.tmp=user .meloport-k3j2.tmp.wav=user"
            u" meloport-k3j2.tmp=user .meloport-.tmp=user dir:.meloport-d1r.tmp"_qs,
            {}, u"copied 1"_qs,
            u".meloport-.tmp=user .meloport-Q7X9.tmp=user .meloport-k3j2.tmp.wav=user .meloport-renaming-k3j2-0.tmp=user"
            u" .meloport-renaming-k3j2-0=user a.wav=a.wav dir:.meloport-d1r.tmp meloport-k3j2.tmp=user"_qs);
        // Another copy runs whole beside a large file's copy: neither takes the other's temporary or
        // probe file for a leftover, and a leftover stays for a copy that runs there alone.
        row({u"ext4"_qs, u"exFAT"_qs}, "another copy beside it", apart, "a.wav:3 b.wav", {},
            u"another copy: c.wav .meloport-k3j2.tmp=left"_qs, u"copied 2"_qs,
            u".meloport-k3j2.tmp=left a.wav=x*3145729 b.wav=b.wav c.wav=c.wav"_qs);
    }
    void copies()
    {
        QFETCH(Copying, row);
        const auto &[disk, to, files, present, twist, outcome, after] = row;
        TestFolder local;
        DiskImage image(disk);
        if (!image.isMounted())
            QSKIP(qPrintable(image.whyNot()));
        const QString root = disk == u"ext4" ? local.path() : image.path(); // ext4: beside the source
        const QString source = to == u"other case" ? root + u"/Music"_qs : local.filePath(u"source"_qs);
        const QString destination = QMap<QString, QString>{{u"other case"_qs, root + u"/MUSIC"_qs},
                                                           {u"link"_qs, local.filePath(u"link"_qs)},
                                                           {u"bind mount"_qs, local.filePath(u"bound"_qs)},
                                                           {u"missing"_qs, root + u"/missing"_qs}}
                                        .value(to, root + u"/destination"_qs);
        make(source, files);
        if (to == u"apart" || to == u"read-only")
            make(destination, present.toUtf8());
        if (to == u"link")
            QVERIFY(QFile::link(source, destination));
        if (to == u"bind mount" || to == u"read-only") {
            // Mounts made here stay in this process: it gets mounts of its own the first time.
            static const bool privateMounts = ::unshare(CLONE_NEWNS) == 0
                                              && ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0;
            if (!privateMounts)
                QSKIP("no right to mount here");
            QVERIFY(QDir().mkpath(destination));
            const QByteArray from = QFile::encodeName(to == u"read-only" ? destination : source);
            const QByteArray onto = QFile::encodeName(destination);
            QVERIFY(::mount(from, onto, nullptr, MS_BIND, nullptr) == 0);
            if (to == u"read-only")
                QVERIFY(::mount(nullptr, onto, nullptr, MS_REMOUNT | MS_BIND | MS_RDONLY, nullptr) == 0);
        }
        const auto unmount = qScopeGuard([&] {
            if (to == u"bind mount" || to == u"read-only")
                ::umount2(QFile::encodeName(destination).constData(), MNT_DETACH);
        });
        const QString sourceBefore = described(source);

        const MusicListing listing = listMusicFiles(source, u"WAV"_qs);
        if (twist.startsWith(u"gone: "))
            QVERIFY(QFile::remove(source + u'/' + twist.section(u": "_qs, 1)));
        CopyBatch batch(listing, destination);
        batch.check();
        bool intruded = false;
        std::optional<CopyReport> beside;
        const CopyReport report = batch.run([&](qsizetype, qint64 bytes) {
            if (twist.startsWith(u"intruder: ") && bytes > 0 && !std::exchange(intruded, true))
                writeFile(destination + u'/' + twist.section(u": "_qs, 1), "intruder");
            if (twist == u"cut short" && bytes > 0)
                QFile::resize(source + u"/big.wav"_qs, 10);
            if (twist.startsWith(u"another copy: ") && bytes > 0 && !std::exchange(intruded, true)) {
                const QStringList made = twist.section(u": "_qs, 1).split(u' ');
                make(local.filePath(u"other"_qs), made.first().toUtf8());
                make(destination, made.last().toUtf8()); // as a copy cut off would leave it
                CopyBatch other(listMusicFiles(local.filePath(u"other"_qs), u"WAV"_qs), destination);
                other.check();
                beside = other.run();
            }
            return !(twist == u"stop" && bytes >= 2 * platform::kCopyChunkBytes); // within big.wav
        });

        const QString shown = report.failure
                                  ? copyFailureMessage(batch, report).text
                                  : (report.stopped ? u"stopped at %1"_qs : u"copied %1"_qs).arg(report.copied);
        QString expected = outcome;
        if (outcome == u"same folder")
            expected = LoadMessage(Msg::CopyFailed).text + u'\n'
                       + FormatMessage(Msg::CopyIntoSourceFolder, destination, source).text;
        if (outcome.startsWith(u"failed at ")) {
            const QString at = outcome.section(u' ', 2, 2).chopped(1);
            expected = FormatMessage(Msg::CopyFileFailed, listing.files.at(at.toLongLong()).shown(),
                                     outcome.section(u": "_qs, 1).replace(u"%D"_qs, destination),
                                     QString::number(listing.files.size()), at)
                           .text;
        }
        QCOMPARE(shown, expected);
        if (beside)
            QVERIFY(!beside->failure && beside->copied == 1);
        if (!twist.startsWith(u"gone: ") && twist != u"cut short")
            QCOMPARE(described(source), sourceBefore);
        if (to == u"apart" || to == u"read-only")
            QCOMPARE(described(destination), after);
    }
};

QTEST_GUILESS_MAIN(TestCopyBatch)
#include "tst_copybatch.moc"
