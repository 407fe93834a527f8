// Measures the program's hot paths beside the plainest way of doing the same work on this
// machine, in one run, and prints one table. Run through bench/run.sh.

#include "Harness.h"

#include "app/ListBox.h"
#include "app/QtUserInteraction.h"
#include "app/frmMain.h"
#include "rename/SourceListing.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QWidget>

#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <string>
#include <strings.h>
#include <unistd.h>

using bench::medianSeconds;
using bench::Row;

namespace {

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

    const double plain = medianSeconds(runs, [&] { sink = static_cast<qsizetype>(plainListing(dir.path()).size()); });
    const double ours = medianSeconds(runs, [&] { sink = meloport::listMusicFiles(dir.path(), QStringLiteral("WAV")).size(); });
    print(Row{QStringLiteral("list %1 files (core)").arg(count), ours, plain, QStringLiteral("readdir+filter+sort"),
              QStringLiteral("<= 1.5x")});

    meloport::QtUserInteraction interaction;
    meloport::frmMain window(interaction);
    window.show();
    QCoreApplication::processEvents();
    const double shown = medianSeconds(runs, [&] {
        window.ListSourceMusic(dir.path());
        window.ListSrcMusic->viewport()->repaint();
    });
    print(Row{QStringLiteral("list %1 files into ListSrcMusic, painted").arg(count), shown, plain,
              QStringLiteral("readdir+filter+sort"), count == 100000 ? QStringLiteral("< 500 ms") : QString()});
    Q_UNUSED(sink);
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
    bench::printHeader();
    for (const int count : {1000, 10000, 100000})
        benchListing(count);
    benchStartup(QCoreApplication::applicationFilePath());
    return 0;
}
