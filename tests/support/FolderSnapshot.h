#pragma once

#include "platform/Platform.h"

#include <QCryptographicHash>
#include <QFile>
#include <QMap>
#include <QStringDecoder>
#include <QTemporaryDir>
#include <QTest>

#include <dirent.h>
#include <fcntl.h>
#include <ftw.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cstdio>
#include <memory>

// Removes what a folder holds by the bytes of each name (Qt cannot name one that is not UTF-8), on
// the folder's own disk only: a disk image mounted inside keeps its files.
inline void removeContents(const QString &folder)
{
    const auto remove = [](const char *path, const struct stat *, int, FTW *at) {
        if (at->level > 0)
            (void)std::remove(path);
        return 0;
    };
    ::nftw(QFile::encodeName(folder).constData(), remove, 16, FTW_DEPTH | FTW_PHYS | FTW_MOUNT);
}

// A temporary folder that leaves nothing behind, whatever names were made in it.
class TestFolder final : public QTemporaryDir {
public:
    using QTemporaryDir::QTemporaryDir;
    ~TestFolder() { removeContents(path()); }
};

// A path of bytes, so that a name that is not UTF-8 can be made.
inline void writeFile(const QByteArray &path, const QByteArray &data)
{
    const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    QVERIFY2(fd >= 0, path.constData());
    const bool written = ::write(fd, data.constData(), std::size_t(data.size())) == data.size();
    QVERIFY2(::close(fd) == 0 && written, path.constData());
}

inline void writeFile(const QString &path, const QByteArray &data) { writeFile(QFile::encodeName(path), data); }

// A file's bytes; none when it cannot be read.
inline QByteArray fileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// A name's bytes as text; bytes that are not UTF-8 (a Latin-1 name) as \xNN, so that such a name
// never reads like its look-alike.
inline QString readableName(const QByteArray &name)
{
    QStringDecoder utf8(QStringDecoder::Utf8);
    const QString text = utf8.decode(name);
    if (!utf8.hasError())
        return text;
    QString escaped;
    for (const char c : name)
        escaped += uchar(c) < 0x80 ? QString(QLatin1Char(c)) : QString::asprintf("\\x%02x", uchar(c));
    return escaped;
}

// Each file holding its own name, as a test album has them.
inline void writeFiles(const QString &folder, const QList<QByteArray> &names)
{
    for (const QByteArray &name : names) {
        if (!name.isEmpty())
            writeFile(QFile::encodeName(folder) + '/' + name, name);
    }
}

// Every file of a folder, hidden ones included, by its exact name and with its content (a long one
// by its checksum): two snapshots compare equal only when no file was renamed, replaced, changed
// or left behind.
inline QMap<QString, QString> folderSnapshot(const QString &folder)
{
    QMap<QString, QString> files;
    const QByteArray path = meloport::platform::pathBytes(folder) + '/';
    const std::unique_ptr<DIR, int (*)(DIR *)> dir(opendir(path.constData()), closedir);
    while (const dirent *entry = dir ? readdir(dir.get()) : nullptr) {
        const QByteArray name(entry->d_name);
        QByteArray data = "(unreadable)";
        if (const int fd = ::open(QByteArray(path + name).constData(), O_RDONLY | O_CLOEXEC); fd >= 0) {
            struct stat st {};
            if (::fstat(fd, &st) == 0 && S_ISDIR(st.st_mode)) {
                ::close(fd);
                continue;
            }
            data.clear();
            char buffer[65536];
            for (ssize_t got; (got = ::read(fd, buffer, sizeof buffer)) > 0;)
                data.append(buffer, got);
            ::close(fd);
        }
        const QByteArray shown = data.size() <= 64 ? data : QCryptographicHash::hash(data, QCryptographicHash::Sha1).toHex();
        files.insert(readableName(name), readableName(shown));
    }
    return files;
}

// The snapshot as one line: "name=content" for each file, by name.
inline QString snapshotText(const QMap<QString, QString> &files)
{
    QStringList found;
    for (auto file = files.cbegin(); file != files.cend(); ++file)
        found.append(file.key() + u'=' + file.value());
    return found.join(u' ');
}

inline QString snapshotText(const QString &folder) { return snapshotText(folderSnapshot(folder)); }
