#include "platform/Platform.h"
#include "platform/PosixSupport.h"

#include <QFile>
#include <QStorageInfo>

#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace meloport::platform {

using posix::osError;

namespace {

int lastError(int result)
{
    return result == 0 ? 0 : errno;
}

// For file systems that refuse RENAME_NOREPLACE (FUSE). 0, or the error of the step that failed.
int renameWithoutFlag(int dir, const QByteArray &from, const QByteArray &to)
{
    // A hard link fails just as atomically when the new name is taken.
    if (linkat(dir, from.constData(), dir, to.constData(), 0) == 0) {
        if (unlinkat(dir, from.constData(), 0) == 0)
            return 0;
        const int error = errno;
        unlinkat(dir, to.constData(), 0); // the file keeps its old name alone, as before the call
        return error;
    }
    const int linkError = errno;
    if (linkError != EPERM && linkError != ENOSYS && linkError != EOPNOTSUPP)
        return linkError;

    // The last resort, for file systems with no hard links either (FAT, exFAT through FUSE):
    // only a file that appears between the check and the rename could be replaced.
    struct stat st {};
    if (fstatat(dir, to.constData(), &st, AT_SYMLINK_NOFOLLOW) == 0)
        return EEXIST;
    if (errno != ENOENT)
        return errno; // the name could not even be looked up
    return lastError(renameat(dir, from.constData(), dir, to.constData()));
}

} // namespace

FolderHandle::FolderHandle(const QString &path)
{
    const int fd = open(pathBytes(path).constData(), O_PATH | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        m_openError = osError(errno);
    else
        m_handle = fd;
}

FolderHandle::~FolderHandle()
{
    if (m_handle >= 0)
        close(static_cast<int>(m_handle));
}

std::optional<OsError> FolderHandle::renameNoReplace(const QByteArray &from, const QByteArray &to) const
{
    if (m_openError)
        return m_openError;
    const int dir = static_cast<int>(m_handle);
    int error = lastError(renameat2(dir, from.constData(), dir, to.constData(), RENAME_NOREPLACE));
    if (error == EINVAL)
        error = renameWithoutFlag(dir, from, to);
    error = posix::renameError(dir, from, error);
    if (error == 0)
        return std::nullopt;
    return osError(error);
}

std::optional<FileStamp> FolderHandle::lookup(const QByteArray &name, bool followLink) const
{
    // Asked of the file system itself: FUSE answers from a cache for up to a second, in which a
    // name whose file was just replaced under another spelling still shows the old file.
    struct statx st {};
    if (m_openError
        || statx(static_cast<int>(m_handle), name.constData(),
                 (followLink ? 0 : AT_SYMLINK_NOFOLLOW) | AT_STATX_FORCE_SYNC,
                 STATX_TYPE | STATX_SIZE | STATX_MTIME | STATX_INO, &st)
               != 0)
        return std::nullopt;
    return FileStamp{S_ISREG(st.stx_mode), qint64(st.stx_size),
                     qint64(st.stx_mtime.tv_sec) * 1'000'000'000 + st.stx_mtime.tv_nsec, st.stx_ino};
}

FolderHandle::Listing FolderHandle::list() const
{
    Listing listing;
    if (m_openError) {
        listing.error = m_openError;
        return listing;
    }
    // The handle only names the folder; reading it takes a descriptor of its own.
    const int readable = openat(static_cast<int>(m_handle), ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (readable < 0) {
        listing.error = osError(errno);
        return listing;
    }
    std::unique_ptr<DIR, int (*)(DIR *)> entries(fdopendir(readable), closedir);
    if (!entries) {
        listing.error = osError(errno);
        close(readable);
        return listing;
    }
    errno = 0;
    while (const dirent *entry = readdir(entries.get())) {
        if (std::strcmp(entry->d_name, ".") != 0 && std::strcmp(entry->d_name, "..") != 0) {
            listing.names.append(QByteArray(entry->d_name));
            listing.inodes.append(entry->d_ino);
        }
        errno = 0;
    }
    if (errno != 0) // a stick pulled out halfway: a partial listing must not pass for the whole
        listing.error = osError(errno);
    return listing;
}

bool FolderHandle::keepsInodes(const Listing &listing) const
{
    int compared = 0;
    for (qsizetype i = 0; i < listing.names.size() && compared < 3; ++i) {
        const std::optional<FileStamp> found = lookup(listing.names[i]);
        if (!found)
            continue; // gone meanwhile
        if (found->inode != listing.inodes.value(i))
            return false;
        ++compared;
    }
    return compared > 0;
}

std::optional<OsError> FolderHandle::flush() const
{
    if (m_openError)
        return m_openError;
    // A handle that only names the folder cannot be flushed.
    const int readable = openat(static_cast<int>(m_handle), ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (readable < 0)
        return osError(errno);
    const int error = lastError(fsync(readable));
    close(readable);
    if (error != 0)
        return osError(error);
    return std::nullopt;
}

QList<NameLimit> FolderHandle::nameLimits() const
{
    // FUSE on a block device is how NTFS (ntfs-3g) and exFAT (exfat-fuse) are mounted here; their
    // driver answers 255 for _PC_NAME_MAX, but counts UTF-16 units, not bytes.
    static const QByteArrayList windowsKinds{"vfat", "msdos", "exfat", "ntfs", "ntfs3", "fuseblk"};
    const QString path = QStringLiteral("/proc/self/fd/") + QString::number(m_handle);
    if (!m_openError && windowsKinds.contains(QStorageInfo(path).fileSystemType())) {
        // Some count bytes too (lowntfs-3g: 255 of UTF-8). Asked, not assumed: a look-up of a
        // name of 256 bytes but 92 units is refused as too long by such a driver alone.
        QByteArray probe(".meloport-");
        while (probe.size() < 256)
            probe += "\xe6\x9b\xb2"; // 曲
        struct stat st {};
        if (fstatat(static_cast<int>(m_handle), probe.constData(), &st, AT_SYMLINK_NOFOLLOW) != 0
            && errno == ENAMETOOLONG)
            return {{NameLimit::Unit::Utf16, 255}, {NameLimit::Unit::Bytes, 255}};
        return {{NameLimit::Unit::Utf16, 255}};
    }
    const long max = m_openError ? -1 : fpathconf(static_cast<int>(m_handle), _PC_NAME_MAX);
    return {{NameLimit::Unit::Bytes, max > 0 ? qsizetype(max) : 255}};
}

} // namespace meloport::platform
