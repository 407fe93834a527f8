#include "platform/Platform.h"
#include "platform/PosixSupport.h"

#include <QFile>
#include <QRandomGenerator>

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace meloport::platform {

using posix::Fd;
using posix::osError;

namespace {

// The hidden file beside the destination that receives the data. It is removed again unless
// it was renamed over the destination.
class TemporaryFile final {
public:
    TemporaryFile(int folderFd, mode_t mode) : m_folderFd(folderFd)
    {
        // A hidden name, so that a listing of the folder never shows it.
        for (int attempt = 0; attempt < 16; ++attempt) {
            m_name = ".meloport-" + QByteArray::number(QRandomGenerator::global()->generate64(), 36) + ".tmp";
            const int fd = ::openat(folderFd, m_name.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
            if (fd >= 0 || errno != EEXIST) {
                m_fd = fd;
                m_error = fd >= 0 ? 0 : errno;
                return;
            }
        }
        m_error = EEXIST;
    }
    TemporaryFile(const TemporaryFile &) = delete;
    TemporaryFile &operator=(const TemporaryFile &) = delete;
    ~TemporaryFile()
    {
        if (m_fd >= 0)
            ::close(m_fd);
        if (m_error == 0 && !m_renamed)
            ::unlinkat(m_folderFd, m_name.constData(), 0);
    }

    int fd() const { return m_fd; }
    // errno of the creation, 0 if the file was made.
    int creationError() const { return m_error; }

    // Closes the file and renames it over `name`. 0, or the error; some file systems (NFS,
    // quotas) report a failed write only when the file is closed.
    int replace(const char *name)
    {
        const int closed = ::close(m_fd);
        m_fd = -1;
        if (closed != 0)
            return errno;
        if (::renameat(m_folderFd, m_name.constData(), m_folderFd, name) != 0)
            return errno;
        m_renamed = true;
        return 0;
    }

private:
    int m_folderFd;
    QByteArray m_name;
    int m_fd = -1;
    int m_error = 0;
    bool m_renamed = false;
};

// Moves the bytes from `in` to `out`, `limit` at most, and returns how many (0 at the end of
// the source) or -1 with errno. copy_file_range lets the kernel move the data without a trip
// through this process, or the file system share them; where the two file systems cannot do
// that, plain reads and writes take over for the rest of the file.
class ChunkCopier final {
public:
    ssize_t copy(int in, int out, qint64 limit)
    {
        if (m_kernelCopy) {
            const ssize_t copied = ::copy_file_range(in, nullptr, out, nullptr, static_cast<size_t>(limit), 0);
            if (copied >= 0)
                return copied;
            if (errno != EXDEV && errno != ENOSYS && errno != EOPNOTSUPP && errno != EINVAL)
                return -1;
            m_kernelCopy = false;
        }
        return readWrite(in, out, limit);
    }

private:
    ssize_t readWrite(int in, int out, qint64 limit)
    {
        constexpr qint64 kBufferBytes = 256 * 1024;
        if (!m_buffer)
            m_buffer = std::make_unique<char[]>(kBufferBytes);
        qint64 total = 0;
        while (total < limit) {
            const ssize_t got = ::read(in, m_buffer.get(), static_cast<size_t>(std::min(kBufferBytes, limit - total)));
            if (got < 0 && errno == EINTR)
                continue;
            if (got < 0)
                return -1;
            if (got == 0)
                break;
            if (!posix::writeAll(out, m_buffer.get(), static_cast<size_t>(got)))
                return -1;
            total += got;
        }
        return static_cast<ssize_t>(total);
    }

    bool m_kernelCopy = true;
    std::unique_ptr<char[]> m_buffer;
};

} // namespace

std::optional<OsError> copyFile(const QString &source, const QString &destination,
                                const std::function<void()> &betweenChunks)
{
    // O_NONBLOCK: a listed name that has since become a pipe must not hang the window here.
    const Fd in(::open(QFile::encodeName(source).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    if (!in.isOpen())
        return osError(errno);
    struct stat sourceStat {};
    if (::fstat(in.get(), &sourceStat) != 0)
        return osError(errno);
    if (S_ISDIR(sourceStat.st_mode))
        return osError(EISDIR);
    if (!S_ISREG(sourceStat.st_mode))
        return OsError{EINVAL, QStringLiteral("通常のファイルではありません")};

    const QByteArray target = QFile::encodeName(destination);
    const qsizetype slash = target.lastIndexOf('/');
    const QByteArray folder = slash < 0 ? QByteArray(".") : slash == 0 ? QByteArray("/") : target.left(slash);
    const QByteArray name = target.mid(slash + 1);
    if (name.isEmpty())
        return osError(EISDIR);
    // The temporary file, the look at the old destination and the rename all go through this
    // one handle, so they stay in the same folder even if it is renamed meanwhile.
    const Fd folderFd(::open(folder.constData(), O_PATH | O_DIRECTORY | O_CLOEXEC));
    if (!folderFd.isOpen())
        return osError(errno);

    struct stat targetStat {};
    if (::fstatat(folderFd.get(), name.constData(), &targetStat, 0) == 0) {
        // Through the temporary file a copy onto itself would even succeed; but the user meant
        // two folders and named one twice, and is told so.
        if (targetStat.st_dev == sourceStat.st_dev && targetStat.st_ino == sourceStat.st_ino)
            return OsError{EINVAL, QStringLiteral("コピー元とコピー先が同じファイルです")};
        if (S_ISDIR(targetStat.st_mode))
            return osError(EISDIR);
    }

    TemporaryFile out(folderFd.get(), sourceStat.st_mode & (S_IRWXU | S_IRWXG | S_IRWXO));
    if (out.creationError() != 0)
        return osError(out.creationError());

    ChunkCopier copier;
    qint64 copied = 0;
    qint64 sinceBreak = 0;
    for (;;) {
        const ssize_t chunk = copier.copy(in.get(), out.fd(), kCopyChunkBytes - sinceBreak);
        if (chunk < 0)
            return osError(errno);
        if (chunk == 0)
            break;
        copied += chunk;
        // The file is copied as long as it was when opened, which spares a last call that
        // would only find its end. (One that says 0, as some special files do, is read to it.)
        if (copied == sourceStat.st_size)
            break;
        sinceBreak += chunk;
        if (sinceBreak == kCopyChunkBytes) {
            sinceBreak = 0;
            if (betweenChunks)
                betweenChunks();
        }
    }
    // Cut short while it was read: publishing the rest would replace a good file by a torso.
    if (copied < sourceStat.st_size)
        return OsError{EIO, QStringLiteral("コピー中にコピー元のファイルが短くなりました")};

    if (const int error = out.replace(name.constData()))
        return osError(error);
    return std::nullopt;
}

} // namespace meloport::platform
