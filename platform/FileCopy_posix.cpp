#include "platform/Platform.h"
#include "platform/PosixSupport.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <memory>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace meloport::platform {

using posix::Fd;
using posix::osError;

namespace {

// The hidden file that receives the data. It is removed again unless it took its real name.
class TemporaryFile final {
public:
    TemporaryFile(int folderFd, const QByteArray &name, mode_t mode)
        : m_folderFd(folderFd)
        , m_name(name)
    {
        m_fd = ::openat(folderFd, m_name.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
        m_error = m_fd >= 0 ? 0 : errno;
    }
    TemporaryFile(const TemporaryFile &) = delete;
    TemporaryFile &operator=(const TemporaryFile &) = delete;
    ~TemporaryFile()
    {
        if (m_fd >= 0)
            ::close(m_fd);
        if (m_error == 0 && !m_published)
            ::unlinkat(m_folderFd, m_name.constData(), 0);
    }

    int fd() const { return m_fd; }
    const QByteArray &name() const { return m_name; }
    // errno of the creation, 0 if the file was made.
    int creationError() const { return m_error; }

    // Closes the file: 0, or the error. Some file systems (NFS, quotas) report a failed write
    // only here.
    int close()
    {
        const int closed = ::close(std::exchange(m_fd, -1));
        return closed == 0 ? 0 : errno;
    }
    void published() { m_published = true; }

private:
    int m_folderFd;
    QByteArray m_name;
    int m_fd = -1;
    int m_error = 0;
    bool m_published = false;
};

// Moves the bytes from `in` to `out`, `limit` at most, and returns how many (0 at the end of
// the source) or -1 with errno. copy_file_range lets the kernel move the data without a trip
// through this process, or the file system share them; where the two file systems cannot do
// that, or it fails, plain reads and writes take over for the rest of the file: the kernel's
// copy does not say which side failed, and they do.
class ChunkCopier final {
public:
    ssize_t copy(int in, int out, qint64 limit)
    {
        if (m_kernelCopy) {
            const ssize_t copied = ::copy_file_range(in, nullptr, out, nullptr, static_cast<size_t>(limit), 0);
            if (copied >= 0)
                return copied;
            m_kernelCopy = false; // a failed call moved nothing, so the offsets still agree
        }
        return readWrite(in, out, limit);
    }

    // Whether the last failure was the source's.
    bool failedReading() const { return m_failedReading; }

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
            m_failedReading = got < 0;
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
    bool m_failedReading = false;
    std::unique_ptr<char[]> m_buffer;
};

CopyFileError failure(CopyFileError::Kind kind, int code = 0)
{
    return {kind, code == 0 ? OsError{} : osError(code)};
}

} // namespace

FolderUse::FolderUse(const FolderHandle &folder)
{
    if (folder.m_openError)
        return;
    // A lock of the folder's own, on a descriptor that can be locked (the handle only names it).
    // On FUSE the kernel keeps such locks itself, which is all that copies on this machine need.
    const int fd = ::openat(static_cast<int>(folder.m_handle), ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return;
    m_handle = fd;
    m_alone = ::flock(fd, LOCK_EX | LOCK_NB) == 0;
    if (!m_alone) {
        while (::flock(fd, LOCK_SH) != 0 && errno == EINTR) {
        }
    }
}

FolderUse::~FolderUse()
{
    if (m_handle >= 0)
        ::close(static_cast<int>(m_handle));
}

void FolderUse::share()
{
    // From alone to shared, the lock is briefly free: a copy starting then may find itself alone
    // and clean up, which is harmless before this one has made any file; it waits for that here.
    if (m_handle >= 0 && std::exchange(m_alone, false)) {
        while (::flock(static_cast<int>(m_handle), LOCK_SH) != 0 && errno == EINTR) {
        }
    }
}

std::optional<OsError> FolderHandle::createFile(const QByteArray &name) const
{
    if (m_openError)
        return m_openError;
    const Fd fd(::openat(static_cast<int>(m_handle), name.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600));
    if (!fd.isOpen())
        return osError(errno);
    return std::nullopt;
}

std::optional<OsError> FolderHandle::removeFile(const QByteArray &name) const
{
    const std::optional<FileStamp> found = lookup(name);
    if (!found)
        return osError(ENOENT);
    if (!found->regular)
        return osError(EISDIR);
    if (::unlinkat(static_cast<int>(m_handle), name.constData(), 0) != 0)
        return osError(errno);
    return std::nullopt;
}

std::optional<bool> FolderHandle::takesName(const QByteArray &name) const
{
    if (m_openError)
        return std::nullopt;
    const int fd =
        ::openat(static_cast<int>(m_handle), name.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd >= 0) {
        ::close(fd);
        ::unlinkat(static_cast<int>(m_handle), name.constData(), 0);
        return true;
    }
    // exFAT through FUSE answers a name it cannot hold with ENOENT, NTFS with windows_names with
    // EINVAL. (A folder removed meanwhile answers ENOENT as well; nothing can be made there anyway.)
    switch (errno) {
    case ENOENT:
    case EINVAL:
    case EILSEQ:
        return false;
    default:
        return std::nullopt;
    }
}

std::optional<CopyFileError> FolderHandle::copyFileFrom(const FolderHandle &source, const QByteArray &name,
                                                        const QByteArray &temporaryName, const CopyTarget &target,
                                                        const ChunkObserver &betweenChunks) const
{
    using Kind = CopyFileError::Kind;
    if (source.m_openError)
        return CopyFileError{Kind::Reading, *source.m_openError};
    if (m_openError)
        return CopyFileError{Kind::Writing, *m_openError};
    const int folder = static_cast<int>(m_handle);

    // O_NONBLOCK: a listed name that has since become a pipe must not hang the window here.
    const Fd in(::openat(static_cast<int>(source.m_handle), name.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    if (!in.isOpen())
        return failure(Kind::Reading, errno);
    struct stat sourceStat {};
    if (::fstat(in.get(), &sourceStat) != 0)
        return failure(Kind::Reading, errno);
    if (S_ISDIR(sourceStat.st_mode))
        return failure(Kind::Reading, EISDIR);
    if (!S_ISREG(sourceStat.st_mode))
        return CopyFileError{Kind::Reading, OsError{EINVAL, QStringLiteral("通常のファイルではありません")}};

    // A new name cannot be the source; if a file takes it meanwhile, the rename below refuses.
    struct stat targetStat {};
    if (target.replacing && ::fstatat(folder, target.name.constData(), &targetStat, 0) == 0) {
        // Through the temporary file a copy onto itself would even succeed; but the user meant
        // two files and named one twice, and is told so. (Where inode numbers cannot be trusted,
        // the batch has already made sure that the folders differ.)
        if (targetStat.st_dev == sourceStat.st_dev && targetStat.st_ino == sourceStat.st_ino)
            return failure(Kind::SameFile);
        if (S_ISDIR(targetStat.st_mode))
            return failure(Kind::Writing, EISDIR);
    }

    TemporaryFile out(folder, temporaryName, sourceStat.st_mode & (S_IRWXU | S_IRWXG | S_IRWXO));
    if (out.creationError() != 0)
        return failure(Kind::Writing, out.creationError());

    ChunkCopier copier;
    qint64 copied = 0;
    qint64 sinceBreak = 0;
    for (;;) {
        const ssize_t chunk = copier.copy(in.get(), out.fd(), kCopyChunkBytes - sinceBreak);
        if (chunk < 0)
            return failure(copier.failedReading() ? Kind::Reading : Kind::Writing, errno);
        if (chunk == 0)
            break;
        // A file that will be flushed starts for the disk at once, while the rest is copied.
        if (target.replacing)
            (void)::sync_file_range(out.fd(), copied, chunk, SYNC_FILE_RANGE_WRITE);
        copied += chunk;
        // The file is copied as long as it was when opened, which spares a last call that
        // would only find its end. (One that says 0, as some special files do, is read to it.)
        if (copied == sourceStat.st_size)
            break;
        sinceBreak += chunk;
        if (sinceBreak == kCopyChunkBytes) {
            sinceBreak = 0;
            if (betweenChunks && !betweenChunks(copied))
                return failure(Kind::Stopped);
        }
    }
    // Cut short while it was read: publishing the rest would replace a good file by a torso.
    if (copied < sourceStat.st_size)
        return failure(Kind::Shrank);

    // A new name has nothing to lose, so its data may reach the disk whenever the system likes.
    // A replaced file has: without the flush, FAT, exFAT and XFS may write the rename first.
    if (target.replacing && ::fdatasync(out.fd()) != 0)
        return failure(Kind::Writing, errno);
    if (const int error = out.close())
        return failure(Kind::Writing, error);

    if (!target.replacing) {
        if (auto error = renameNoReplace(out.name(), target.name))
            return CopyFileError{error->code == EEXIST ? Kind::NameChanged : Kind::Writing, std::move(*error)};
    } else {
        // Only the file the plan saw is replaced: one written meanwhile, perhaps by this very copy
        // under another spelling of the name, is kept.
        if (lookup(target.name) != target.replacing)
            return failure(Kind::NameChanged);
        if (::renameat(folder, out.name().constData(), folder, target.name.constData()) != 0)
            return failure(Kind::Writing, posix::renameError(folder, out.name(), errno));
    }
    out.published();
    return std::nullopt;
}

} // namespace meloport::platform
