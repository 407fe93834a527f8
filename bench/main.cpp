// Measures the program's hot paths beside the plainest way of doing the same work on this
// machine, in one run, and prints one table. Run through bench/run.sh.

#include "Harness.h"

#include "ui/ListBox.h"
#include "ui/QtUserInteraction.h"
#include "ui/UserInteraction.h"
#include "ui/frmMain.h"
#include "platform/Platform.h"
#include "core/copy/CopyBatch.h"
#include "core/rename/RenamePlan.h"
#include "core/rename/RenameBatch.h"
#include "core/rename/RenameJournal.h"
#include "core/listing/SourceListing.h"
#include "core/tags/TagTitles.h"
#include "core/titles/TitleFile.h"

#include <QAbstractItemModel>
#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QWidget>

#include <cstdio>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <fstream>
#include <string>
#include <strings.h>
#include <unistd.h>

using bench::medianSeconds;
using bench::Row;

namespace {

// Answers every dialog at once, so that a command runs to its end unattended.
class NoDialogs final : public meloport::UserInteraction {
public:
    void showMessage(QWidget *, meloport::MessageIcon, const QString &, const QString &) override {}
    bool askQuestion(QWidget *, const QString &, const QString &, meloport::DefaultAnswer) override { return true; }
    QString browseForFolder(QWidget *, const QString &, const QString &) override { return {}; }
    std::optional<QString> getOpenFileName(QWidget *, const meloport::OpenFileRequest &) override { return {}; }
    bool openUrl(const QUrl &) override { return true; }
    void showHelp(QWidget *, const QString &, int) override {}
    void closeHelp() override {}
    void showModal(QDialog &) override {}
};

void makeFiles(const QString &folder, int count, const char *pattern)
{
    const QByteArray base = QFile::encodeName(folder);
    for (int i = 0; i < count; ++i) {
        const std::string path = base.toStdString() + '/' + QString::asprintf(pattern, i).toStdString();
        const int fd = ::open(path.c_str(), O_CREAT | O_WRONLY, 0644);
        if (fd >= 0)
            ::close(fd);
    }
}

// The plainest listing: readdir, a case-insensitive suffix test, one sort.
std::vector<std::string> plainListing(const QString &folder)
{
    std::vector<std::string> names;
    DIR *dir = opendir(QFile::encodeName(folder).constData());
    while (const dirent *entry = readdir(dir)) {
        const std::size_t n = std::strlen(entry->d_name);
        if (entry->d_name[0] != '.' && entry->d_type == DT_REG && n > 4 && strcasecmp(entry->d_name + n - 4, ".wav") == 0)
            names.emplace_back(entry->d_name, n);
    }
    closedir(dir);
    std::sort(names.begin(), names.end(), [](const std::string &a, const std::string &b) {
        return strcasecmp(a.c_str(), b.c_str()) < 0;
    });
    return names;
}

void benchListing(int count)
{
    QTemporaryDir dir;
    makeFiles(dir.path(), count, "Track %06d.wav");
    makeFiles(dir.path(), count / 10, "Other %06d.mp3");
    const int runs = count >= 100000 ? 5 : 11;
    volatile qsizetype sink = 0;

    meloport::QtUserInteraction interaction;
    meloport::frmMain window(interaction);
    window.show();
    QCoreApplication::processEvents();
    // In turns, so that a busy moment of the machine falls on all three alike.
    const std::vector<double> t = bench::medianSecondsInTurns(runs, [] {}, {
        [&] { sink = static_cast<qsizetype>(plainListing(dir.path()).size()); },
        [&] { sink = meloport::listMusicFiles(dir.path(), QStringLiteral("WAV")).files.size(); },
        [&] {
            window.ListSourceMusic(dir.path());
            window.ListSrcMusic->viewport()->repaint();
        },
    });
    const QString reference = QStringLiteral("readdir+filter+sort");
    print(Row{QStringLiteral("list %1 files (core)").arg(count), t[1], t[0], reference, QStringLiteral("<= 1.15x")});
    print(Row{QStringLiteral("list %1 files into ListSrcMusic, painted").arg(count), t[2], t[0], reference,
              count == 100000 ? QStringLiteral("< 500 ms") : QString()});
    Q_UNUSED(sink);
}

// One title edited in a list as long as the folder: the marks follow from the folder as read when
// it was listed, beside the rename's own check, which reads the folder again each time.
void benchMarks(int count)
{
    QTemporaryDir dir;
    makeFiles(dir.path(), count, "Track %06d.wav");
    QStringList titles;
    for (int i = 0; i < count; ++i)
        titles.append(QStringLiteral("曲 %1").arg(i));
    const meloport::MusicListing listing = meloport::listMusicFiles(dir.path(), QStringLiteral("WAV"));
    volatile qsizetype sink = 0;

    NoDialogs interaction;
    meloport::frmMain window(interaction);
    window.show();
    window.ListSourceMusic(dir.path());
    window.ListDstMusic->setItems(titles);
    QCoreApplication::processEvents();
    QAbstractItemModel *model = window.ListDstMusic->model();
    int edits = 0;
    const std::vector<double> t = bench::medianSecondsInTurns(count >= 100000 ? 5 : 11, [] {}, {
        [&] {
            meloport::RenameBatch batch(meloport::planRenames(listing, titles, QStringLiteral("WAV")));
            batch.check();
            sink = batch.problems().size();
        },
        [&] {
            model->setData(model->index(count / 2, 0), QStringLiteral("曲 %1").arg(count + ++edits));
            window.ListDstMusic->viewport()->repaint();
        },
    });
    print(Row{QStringLiteral("one of %1 titles edited, marks painted").arg(count), t[1], t[0],
              QStringLiteral("rename check, folder read"), QStringLiteral("< 1x")});
    Q_UNUSED(sink);
}

void writeTitleFile(const QString &path, int lines, bool codePage932)
{
    // "曲名 n" in UTF-8, or the same in code page 932 (0x8B 0xC8 0x96 0xBC is 曲名).
    std::ofstream out(QFile::encodeName(path).toStdString(), std::ios::binary);
    for (int i = 0; i < lines; ++i)
        out << (codePage932 ? "\x8b\xc8\x96\xbc " : "\xe6\x9b\xb2\xe5\x90\x8d ") << i << "\r\n";
}

void benchTitleFiles()
{
    QTemporaryDir dir;
    const int lines = 100000;
    for (const bool codePage932 : {false, true}) {
        const QString path = dir.filePath(codePage932 ? QStringLiteral("cp932.txt") : QStringLiteral("utf8.txt"));
        writeTitleFile(path, lines, codePage932);
        volatile qsizetype sink = 0;
        const double plain = medianSeconds(7, [&] {
            std::ifstream in(QFile::encodeName(path).toStdString(), std::ios::binary);
            std::vector<std::string> all;
            for (std::string line; std::getline(in, line);)
                all.push_back(line);
            sink = static_cast<qsizetype>(all.size());
        });
        const double ours = medianSeconds(7, [&] { sink = meloport::readTitleFile(path).titles.size(); });
        print(Row{QStringLiteral("load %1-line title file (%2)").arg(lines).arg(codePage932 ? u"CP932" : u"UTF-8"),
                  ours, plain, QStringLiteral("ifstream getline, no decoding"), QStringLiteral("< 1 s")});
        Q_UNUSED(sink);
    }
}

// An MP3 file as a ripper leaves it: an ID3v2.3 tag with a Latin-1 title, a few seconds of
// frames, and an ID3v1 tag at the end.
QByteArray taggedMp3(int number)
{
    const QByteArray title = "Track " + QByteArray::number(number);
    QByteArray frame = "TIT2" + QByteArray(4, '\0') + QByteArray(2, '\0') + '\0' + title;
    frame[7] = char(title.size() + 1);
    QByteArray file = "ID3\x03" + QByteArray(3, '\0') + QByteArray(3, '\0') + char(frame.size()) + frame;
    for (int i = 0; i < 100; ++i) // MPEG-1 layer III, 128 kbit/s, 44.1 kHz: 417 bytes a frame
        file += QByteArray("\xff\xfb\x90\x00", 4) + QByteArray(413, '\0');
    return file + "TAG" + title.leftJustified(30, '\0') + QByteArray(95, '\0');
}

void benchTagTitles(int count)
{
    QTemporaryDir dir;
    for (int i = 0; i < count; ++i) {
        QFile file(dir.filePath(QString::asprintf("Track%04d.mp3", i)));
        if (!file.open(QIODevice::WriteOnly) || file.write(taggedMp3(i)) < 0)
            std::fprintf(stderr, "cannot write the MP3 files\n");
    }
    const meloport::MusicListing listing = meloport::listMusicFiles(dir.path(), QStringLiteral("MP3"));
    std::vector<std::string> paths;
    for (const meloport::ListedFile &file : listing.files)
        paths.push_back(QByteArray(QFile::encodeName(listing.folder) + file.name).toStdString());
    volatile qsizetype sink = 0;
    const std::vector<double> t = bench::medianSecondsInTurns(7, [] {}, {
        [&] {
            char buffer[4096];
            for (const std::string &path : paths) {
                const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
                sink = sink + ::read(fd, buffer, sizeof buffer);
                ::close(fd);
            }
        },
        [&] { sink = meloport::readTagTitles(listing).size(); },
    });
    print(Row{QStringLiteral("read title tags of %1 MP3 files").arg(count), t[1], t[0],
              QStringLiteral("open + read 4 KiB each"), QStringLiteral("< 500 ms")});
    Q_UNUSED(sink);
}

// Plain pairs (every new name free), then swaps (titles 0 and 1 exchanged, 2 and 3, ...), each
// beside a plain renameat2 loop over as many files, taken in turns on fresh files.
void benchRename(int count)
{
    QTemporaryDir dir, state;
    const QByteArray folder = QFile::encodeName(dir.path());
    QStringList titles;
    QStringList swapped;
    std::vector<std::string> oldNames;
    std::vector<std::string> newNames;
    for (int i = 0; i < count; ++i) {
        titles.append(QString::asprintf("曲名 %05d", i));
        swapped.append(QString::asprintf("Track %05d", i ^ 1));
        oldNames.push_back(QString::asprintf("Track %05d.WAV", i).toStdString());
        newNames.push_back(QString(titles.constLast() + QStringLiteral(".WAV")).toStdString());
    }
    meloport::MusicListing listing;
    const auto prepare = [&] {
        dir.remove();
        QDir().mkpath(dir.path());
        makeFiles(dir.path(), count, "Track %05d.WAV");
        listing = meloport::listMusicFiles(dir.path(), QStringLiteral("WAV"));
    };
    const auto plain = [&] {
        const int fd = ::open(folder.constData(), O_RDONLY | O_DIRECTORY);
        for (std::size_t i = 0; i < oldNames.size(); ++i)
            ::renameat2(fd, oldNames[i].c_str(), fd, newNames[i].c_str(), RENAME_NOREPLACE);
        ::close(fd);
    };
    const auto renameAll = [&](const QStringList &newTitles, bool recorded) {
        meloport::RenameBatch batch(meloport::planRenames(listing, newTitles, QStringLiteral("WAV")));
        batch.check();
        // As the window renames: the plan written and flushed first, each step recorded for undo.
        const auto run = recorded ? meloport::runRecorded(batch, state.filePath(QStringLiteral("last-rename.journal")))
                                  : meloport::RecordedRun{std::nullopt, batch.run()};
        if (!batch.problems().isEmpty() || run.journalError || !run.failures.isEmpty())
            std::fprintf(stderr, "rename failed\n");
    };
    const std::vector<double> t = bench::medianSecondsInTurns(7, prepare, {
        plain,
        [&] { renameAll(titles, false); },
        [&] { renameAll(swapped, false); },
        [&] { renameAll(titles, true); },
    });
    const QString reference = QStringLiteral("renameat2 loop");
    print(Row{QStringLiteral("rename %1 pairs (check + run)").arg(count), t[1], t[0], reference, QStringLiteral("<= 1.2x")});
    print(Row{QStringLiteral("rename %1 pairs, all swapped (check + run)").arg(count), t[2], t[0], reference,
              QStringLiteral("<= 3x")});
    print(Row{QStringLiteral("rename %1 pairs, recorded for undo and flushed").arg(count), t[3], t[0], reference,
              QStringLiteral("<= 1.3x")});
}

// The whole process of a script's rename, beside the floor: a renameat2 loop in a process that is
// already running, plus the start and end of a bare Qt program.
void benchCommandLine(int count)
{
    QTemporaryDir dir, state;
    const QString album = dir.filePath(QStringLiteral("album"));
    const QByteArray folder = QFile::encodeName(album);
    QByteArray titles;
    std::vector<std::string> oldNames;
    std::vector<std::string> newNames;
    for (int i = 0; i < count; ++i) {
        const QString title = QString::asprintf("曲名 %05d", i);
        titles += title.toUtf8() + '\n';
        oldNames.push_back(QString::asprintf("Track %05d.WAV", i).toStdString());
        newNames.push_back(QString(title + QStringLiteral(".WAV")).toStdString());
    }
    const QString titleFile = dir.filePath(QStringLiteral("titles.txt"));
    QFile file(titleFile);
    if (!file.open(QIODevice::WriteOnly) || file.write(titles) != titles.size())
        std::fprintf(stderr, "cannot write the title file\n");
    file.close();

    const auto prepare = [&] {
        QDir(album).removeRecursively();
        QDir().mkpath(album);
        makeFiles(album, count, "Track %05d.WAV");
    };
    const auto plain = [&] {
        const int fd = ::open(folder.constData(), O_RDONLY | O_DIRECTORY);
        for (std::size_t i = 0; i < oldNames.size(); ++i)
            ::renameat2(fd, oldNames[i].c_str(), fd, newNames[i].c_str(), RENAME_NOREPLACE);
        ::close(fd);
    };
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("XDG_STATE_HOME"), state.path());
    const auto run = [&](const QString &program, const QStringList &arguments) {
        QProcess process;
        process.setProcessEnvironment(environment);
        process.start(program, arguments);
        if (!process.waitForFinished(120000) || process.exitCode() != 0)
            std::fprintf(stderr, "%s failed\n", qPrintable(program));
    };
    const std::vector<double> t = bench::medianSecondsInTurns(7, prepare, {
        plain,
        [&] { run(QStringLiteral(BARE_QT_PROGRAM), {}); },
        [&] {
            run(QStringLiteral(MELOPORT_PROGRAM),
                {QStringLiteral("--rename"), album, QStringLiteral("--titles"), titleFile});
        },
    });
    print(Row{QStringLiteral("meloport --rename, %1 pairs, whole process").arg(count), t[2], t[0] + t[1],
              QStringLiteral("renameat2 loop + bare Qt"), QStringLiteral("<= 1.3x")});
}

// Source files of one size, named as a listing would show them.
QStringList makeSourceFiles(const QString &folder, int count, qint64 size, char fill)
{
    QDir().mkpath(folder);
    QStringList names;
    const QByteArray data(size, fill);
    for (int i = 0; i < count; ++i) {
        names.append(QString::asprintf("Track %05d.wav", i));
        QFile file(folder + u'/' + names.constLast());
        if (!file.open(QIODevice::WriteOnly) || file.write(data) != size)
            std::fprintf(stderr, "cannot write the source files\n");
    }
    return names;
}

QStringList inFolder(QStringList names, const QString &folder)
{
    for (QString &name : names)
        name.prepend(folder + u'/');
    return names;
}

void benchCopy(int count, qint64 size, const QString &target)
{
    QTemporaryDir dir;
    const QString source = dir.filePath(QStringLiteral("source"));
    const QStringList names = makeSourceFiles(source, count, size, 'x');
    const meloport::MusicListing listing = meloport::listMusicFiles(source, QStringLiteral("WAV"));
    NoDialogs dialogs;
    meloport::frmMain window(dialogs);
    window.show();
    window.TextPath->setText(source);
    window.ListSourceMusic(source);
    // A new folder for every run, all removed at the end: ext4 creates files slowly for half a
    // minute after many were deleted, and would time the clean-up instead of the copy.
    QString destination;
    int runs = 0;
    const auto freshDestination = [&] {
        destination = dir.filePath(QStringLiteral("destination-%1").arg(++runs));
        QDir().mkpath(destination);
        window.TextCopyDst->setText(destination);
        ::sync(); // no run pays for the writes of the one before
    };

    const std::vector<double> times = bench::medianSecondsInTurns(5, freshDestination, {
        [&] { QProcess::execute(QStringLiteral("cp"), inFolder(names, source) << destination); },
        [&] {
            meloport::CopyBatch batch(listing, destination);
            batch.check();
            if (batch.run().failure)
                std::fprintf(stderr, "copy failed\n");
        },
        [&] { window.cmdCopy->trigger(); },
    });
    const QString what = QStringLiteral("copy %1 new files of %2 KiB").arg(count).arg(size / 1024);
    print(Row{what + QStringLiteral(" (core)"), times[1], times[0], QStringLiteral("cp"), QString()});
    print(Row{what + QStringLiteral(" (copy command)"), times[2], times[0], QStringLiteral("cp"), target});
}

// Replacing files that are there already: each new version is flushed to the disk before it takes
// the old one's name. cp writes over the old files in place and flushes nothing; with `sync -d`
// after it, it pays for the same flush.
void benchReplace(int count, qint64 size)
{
    QTemporaryDir dir;
    const QString source = dir.filePath(QStringLiteral("source"));
    const QString old = dir.filePath(QStringLiteral("old"));
    const QString destination = dir.filePath(QStringLiteral("destination"));
    const QStringList names = makeSourceFiles(source, count, size, 'n');
    makeSourceFiles(old, count, size, 'o');
    const QStringList targets = inFolder(names, destination);
    const auto oldDestination = [&] {
        QDir(destination).removeRecursively();
        QProcess::execute(QStringLiteral("cp"), {QStringLiteral("-r"), old, destination});
        ::sync();
    };
    NoDialogs dialogs;
    meloport::frmMain window(dialogs);
    window.show();
    window.TextPath->setText(source);
    window.TextCopyDst->setText(destination);
    window.ListSourceMusic(source);

    const std::vector<double> times = bench::medianSecondsInTurns(3, oldDestination, {
        [&] { QProcess::execute(QStringLiteral("cp"), inFolder(names, source) << destination); },
        [&] {
            QProcess::execute(QStringLiteral("cp"), inFolder(names, source) << destination);
            QProcess::execute(QStringLiteral("sync"), QStringList{QStringLiteral("-d")} + targets);
        },
        [&] { window.cmdCopy->trigger(); },
    });
    const QString what = QStringLiteral("replace %1 files of %2 KiB (copy command)").arg(count).arg(size / 1024);
    print(Row{what, times[2], times[0], QStringLiteral("cp over them"), QStringLiteral("the flush's cost")});
    print(Row{what, times[2], times[1], QStringLiteral("cp over them + sync -d"), QStringLiteral("~1x")});
}

qint64 monotonicNanoseconds()
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return qint64(now.tv_sec) * 1000000000 + now.tv_nsec;
}

qint64 residentKiB()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').constFirst().toLongLong();
    return 0;
}

// In a child process: start the application, show the window, and print when it was painted.
int startupChild(int argc, char **argv, bool tiny)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Meloport"));
    std::unique_ptr<QWidget> window;
    meloport::QtUserInteraction interaction;
    if (tiny) {
        window = std::make_unique<QWidget>();
        window->resize(535, 540);
    } else {
        auto main = std::make_unique<meloport::frmMain>(interaction);
        if (!main->Form_Load())
            return 1;
        window = std::move(main);
    }
    window->show();
    window->repaint();
    QCoreApplication::processEvents();
    std::printf("%lld %lld\n", static_cast<long long>(monotonicNanoseconds()), static_cast<long long>(residentKiB()));
    return 0;
}

void benchStartup(const QString &self)
{
    const auto measure = [&](const QString &mode, double *rssMiB) {
        QTemporaryDir config;
        std::vector<double> times;
        for (int i = 0; i < 7; ++i) {
            QProcess child;
            QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
            env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
            env.insert(QStringLiteral("XDG_CONFIG_HOME"), config.path());
            child.setProcessEnvironment(env);
            const qint64 start = monotonicNanoseconds();
            child.start(self, {mode});
            child.waitForFinished(30000);
            const QList<QByteArray> fields = child.readAllStandardOutput().trimmed().split(' ');
            if (fields.size() != 2)
                return -1.0;
            times.push_back(double(fields[0].toLongLong() - start) / 1e9);
            *rssMiB = double(fields[1].toLongLong()) / 1024.0;
        }
        std::sort(times.begin(), times.end());
        return times[times.size() / 2];
    };
    double oursRss = 0;
    double tinyRss = 0;
    const double tiny = measure(QStringLiteral("--startup-child-tiny"), &tinyRss);
    const double ours = measure(QStringLiteral("--startup-child"), &oursRss);
    print(Row{QStringLiteral("start to first painted window"), ours, tiny, QStringLiteral("empty Qt window"),
              QStringLiteral("< 150 ms")});
    std::printf("%-52s %9.1f MB %9.1f MB %-26s %7.2fx  %s\n", "resident memory after start", oursRss, tinyRss,
                "empty Qt window", oursRss / tinyRss, "< 40 MB");
}

} // namespace

int main(int argc, char **argv)
{
    if (argc > 1 && std::strcmp(argv[1], "--startup-child") == 0)
        return startupChild(argc, argv, false);
    if (argc > 1 && std::strcmp(argv[1], "--startup-child-tiny") == 0)
        return startupChild(argc, argv, true);

    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    // With arguments, only the named parts: list, titles, marks, tags, rename, cli, copy, startup.
    const QStringList only = QCoreApplication::arguments().mid(1);
    const auto wanted = [&only](const char *part) { return only.isEmpty() || only.contains(QLatin1StringView(part)); };
    bench::printHeader();
    if (wanted("list"))
        for (const int count : {1000, 10000, 100000})
            benchListing(count);
    if (wanted("titles"))
        benchTitleFiles();
    if (wanted("marks"))
        for (const int count : {10000, 100000})
            benchMarks(count);
    if (wanted("tags"))
        benchTagTitles(1000);
    if (wanted("rename"))
        benchRename(10000);
    if (wanted("cli"))
        benchCommandLine(10000);
    if (wanted("copy")) {
        benchCopy(200, 5 * 1024 * 1024, QStringLiteral("<= 1.11x (0.9 of cp)"));
        benchCopy(10000, 4 * 1024, QStringLiteral("<= 1.43x (0.7 of cp)"));
        benchReplace(200, 5 * 1024 * 1024);
    }
    if (wanted("startup"))
        benchStartup(QCoreApplication::applicationFilePath());
    return 0;
}
