#include "platform/Platform.h"
#include "platform/PosixSupport.h"

#include <QFile>

#include <cerrno>
#include <cstdio>
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

bool exists(int dir, const QByteArray &name)
{
    struct stat st {};
    return fstatat(dir, name.constData(), &st, AT_SYMLINK_NOFOLLOW) == 0;
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

// Whether the only entry of the folder that `to` names, ignoring case, is `from` itself. A file
// system that ignores case then found `from` when asked for `to`. The inode cannot tell: FUSE
// numbers each spelling of a name on its own.
bool onlyFromMatches(int dir, const QByteArray &from, const QString &to)
{
    const int readable = openat(dir, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (readable < 0)
        return false;
    std::unique_ptr<DIR, int (*)(DIR *)> entries(fdopendir(readable), closedir);
    if (!entries) {
        close(readable);
        return false;
    }
    bool sawFrom = false;
    while (const dirent *entry = readdir(entries.get())) {
        const QByteArray name = QByteArray::fromRawData(entry->d_name, static_cast<qsizetype>(std::strlen(entry->d_name)));
        if (QFile::decodeName(name).compare(to, Qt::CaseInsensitive) != 0)
            continue;
        if (name != from)
            return false;
        sawFrom = true;
    }
    return sawFrom;
}

// The new name is taken. It may be the file itself: the same name, or a change of letter case
// on a file system that ignores case (an exFAT or FAT stick), which must work as on Windows.
int renameOntoItself(int dir, const QByteArray &from, const QByteArray &to, const QString &fromName,
                     const QString &toName)
{
    if (from == to)
        return 0; // it carries the name already
    if (fromName.compare(toName, Qt::CaseInsensitive) != 0 || !onlyFromMatches(dir, from, toName))
        return EEXIST;
    return lastError(renameat(dir, from.constData(), dir, to.constData()));
}

} // namespace

FolderHandle::FolderHandle(const QString &path)
{
    const int fd = open(QFile::encodeName(path).constData(), O_PATH | O_DIRECTORY | O_CLOEXEC);
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

std::optional<OsError> FolderHandle::renameNoReplace(const QString &from, const QString &to) const
{
    if (m_openError)
        return m_openError;
    const int dir = static_cast<int>(m_handle);
    const QByteArray oldName = QFile::encodeName(from);
    const QByteArray newName = QFile::encodeName(to);

    int error = lastError(renameat2(dir, oldName.constData(), dir, newName.constData(), RENAME_NOREPLACE));
    if (error == EINVAL)
        error = renameWithoutFlag(dir, oldName, newName);
    if (error == EEXIST)
        error = renameOntoItself(dir, oldName, newName, from, to);
    // exFAT through FUSE answers a name it cannot hold as if the file were missing.
    if (error == ENOENT && exists(dir, oldName))
        error = EINVAL;
    if (error == 0)
        return std::nullopt;
    return osError(error);
}

} // namespace meloport::platform
