#include "platform/Platform.h"
#include "platform/PosixSupport.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <memory>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace meloport::platform {

using posix::Fd;
using posix::osError;
using posix::writeAll;

QString describeError(int code)
{
    switch (code) {
    case EEXIST:
    case ENOTEMPTY:
        return QStringLiteral("同じ名前のファイルが既にあります");
    case ENOENT:
        return QStringLiteral("ファイルまたはフォルダが見つかりません");
    case ENOTDIR:
        return QStringLiteral("フォルダではありません");
    case EISDIR:
        return QStringLiteral("フォルダです");
    case EACCES:
    case EPERM:
        return QStringLiteral("アクセスが拒否されました");
    case EROFS:
        return QStringLiteral("書き込みできない場所です");
    case ENOSPC:
    case EDQUOT:
    case EFBIG:
        return QStringLiteral("ディスクの空きが足りません");
    case ENAMETOOLONG:
        return QStringLiteral("名前が長すぎます");
    case EINVAL:
    case EILSEQ:
        return QStringLiteral("ファイル名に使えない文字が含まれています");
    case EXDEV:
        return QStringLiteral("別のドライブへは移動できません");
    case EBUSY:
    case ETXTBSY:
        return QStringLiteral("ファイルが使用中です");
    case EIO:
        return QStringLiteral("読み書き中にエラーが発生しました");
    case ENOTCONN:
    case ENODEV:
    case ENXIO:
        return QStringLiteral("ディスクが取り外されたか、つながっていません");
    default:
        return QString::fromLocal8Bit(std::strerror(code));
    }
}

QChar pathSeparator()
{
    return u'/';
}

namespace {

constexpr char16_t kKeptByte = 0xdc00; // plus the byte: U+DC80 to U+DCFF

bool isKeptByte(QStringView text, qsizetype i)
{
    const char16_t c = text[i].unicode();
    return c >= kKeptByte + 0x80 && c <= kKeptByte + 0xff && (i == 0 || !text[i - 1].isHighSurrogate());
}

} // namespace

QString pathText(QByteArrayView bytes)
{
    if (bytes.isValidUtf8())
        return QString::fromUtf8(bytes);
    QString text;
    text.reserve(bytes.size());
    for (qsizetype i = 0; i < bytes.size();) {
        // The length a valid sequence starting with this byte has; Qt then judges it whole.
        const uchar lead = uchar(bytes[i]);
        const qsizetype length = lead < 0x80 ? 1 : lead < 0xc2 ? 0 : lead < 0xe0 ? 2 : lead < 0xf0 ? 3 : lead < 0xf5 ? 4 : 0;
        if (length > 0 && i + length <= bytes.size() && bytes.sliced(i, length).isValidUtf8()) {
            text += QString::fromUtf8(bytes.sliced(i, length));
            i += length;
        } else {
            text += QChar(char16_t(kKeptByte + lead));
            ++i;
        }
    }
    return text;
}

QByteArray pathBytes(QStringView path)
{
    QByteArray bytes;
    qsizetype from = 0;
    for (qsizetype i = 0; i < path.size(); ++i) {
        if (!isKeptByte(path, i))
            continue;
        bytes += path.sliced(from, i - from).toUtf8();
        bytes += char(path[i].unicode() - kKeptByte);
        from = i + 1;
    }
    return from == 0 ? path.toUtf8() : bytes + path.sliced(from).toUtf8();
}

QString shownPath(QString text)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (isKeptByte(text, i))
            text[i] = QChar::ReplacementCharacter;
    }
    return text;
}

QString currentFolder()
{
    std::unique_ptr<char, decltype(&std::free)> path(::getcwd(nullptr, 0), &std::free);
    return path ? pathText(path.get()) : QString();
}

namespace {

// Case-insensitive test of the ".ext" ending on the raw bytes: the extension is ASCII, and
// working on bytes avoids decoding the names of every file that does not match.
bool hasExtension(const char *name, std::size_t length, const QByteArray &dotExtension)
{
    const auto n = static_cast<std::size_t>(dotExtension.size());
    return length > n && qstrnicmp(name + length - n, dotExtension.constData(), n) == 0;
}

bool isRegularFile(int dirFd, const dirent *entry)
{
    if (entry->d_type == DT_REG)
        return true;
    if (entry->d_type != DT_UNKNOWN && entry->d_type != DT_LNK)
        return false;
    // Some file systems do not fill d_type, and a link counts as the file it points to.
    struct stat st {};
    return fstatat(dirFd, entry->d_name, &st, 0) == 0 && S_ISREG(st.st_mode);
}

} // namespace

QList<QByteArray> findFiles(const QString &folder, const QString &extension)
{
    QList<QByteArray> names;
    std::unique_ptr<DIR, int (*)(DIR *)> dir(opendir(pathBytes(folder).constData()), closedir);
    if (!dir)
        return names;
    const QByteArray dotExtension = '.' + extension.toLatin1();
    const int dirFd = dirfd(dir.get());
    while (const dirent *entry = readdir(dir.get())) {
        if (entry->d_name[0] == '.')
            continue; // hidden, and "." and ".."
        const std::size_t length = std::strlen(entry->d_name);
        if (hasExtension(entry->d_name, length, dotExtension) && isRegularFile(dirFd, entry))
            names.append(QByteArray(entry->d_name, static_cast<qsizetype>(length)));
    }
    return names;
}

ReadOnlyFile openForReading(const QByteArray &path)
{
    ReadOnlyFile result;
    Fd fd(::open(path.constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    struct stat st {};
    if (!fd.isOpen() || ::fstat(fd.get(), &st) != 0) {
        result.error = osError(errno);
        return result;
    }
    if (!S_ISREG(st.st_mode)) {
        result.error = S_ISDIR(st.st_mode) ? osError(EISDIR)
                                           : OsError{0, QStringLiteral("通常のファイルではありません")};
        return result;
    }
    result.handle = fd.release();
    return result;
}

FileContents readWholeFile(const QString &path, qint64 maxBytes)
{
    FileContents result;
    // Non-blocking, so that a named pipe typed in by mistake cannot hang the window.
    Fd fd(::open(pathBytes(path).constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    if (fd.get() < 0) {
        result.error = osError(errno);
        return result;
    }
    // Judged on the opened file itself, so nothing can be swapped in between the look and the
    // read. A pipe or a device may never end (/dev/zero): it is not read at all. A file over the
    // limit (a sparse one can claim a terabyte it does not hold) is refused by its size, before any
    // memory is taken for it.
    struct stat st {};
    if (::fstat(fd.get(), &st) != 0) {
        result.error = osError(errno);
        return result;
    }
    if (S_ISDIR(st.st_mode)) {
        result.error = osError(EISDIR);
        return result;
    }
    const auto refuse = [&result](FileContents::Refusal why, const char *reason) {
        result.bytes.clear();
        result.refused = why;
        result.error = OsError{0, QString::fromUtf8(reason)};
        return result;
    };
    if (!S_ISREG(st.st_mode))
        return refuse(FileContents::Refusal::NotAFile, "通常のファイルではありません");
    constexpr auto kTooLarge = "ファイルが大きすぎます";
    if (st.st_size > maxBytes)
        return refuse(FileContents::Refusal::TooLarge, kTooLarge);
    result.bytes.reserve(static_cast<qsizetype>(st.st_size));
    char buffer[65536];
    for (;;) {
        const ssize_t got = ::read(fd.get(), buffer, sizeof buffer);
        if (got == 0)
            break;
        if (got < 0) {
            if (errno == EINTR)
                continue;
            result.error = osError(errno);
            result.bytes.clear();
            break;
        }
        // A file that grows while it is read is held to the same limit.
        if (got > maxBytes - result.bytes.size())
            return refuse(FileContents::Refusal::TooLarge, kTooLarge);
        result.bytes.append(buffer, got);
    }
    return result;
}

std::optional<OsError> flushFile(qintptr handle)
{
    if (::fdatasync(int(handle)) != 0)
        return osError(errno);
    return std::nullopt;
}

namespace {

// 0 when the file at `path` holds exactly `contents` and then `zeros` zero bytes; read in pieces,
// since a record with its room can be megabytes that nothing else needs in memory.
int readsBackAs(const QByteArray &path, QByteArrayView contents, qint64 zeros)
{
    Fd fd(::open(path.constData(), O_RDONLY | O_CLOEXEC));
    if (fd.get() < 0)
        return errno;
    char buffer[65536];
    qint64 at = 0;
    const qint64 size = contents.size() + zeros;
    for (;;) {
        const ssize_t got = ::read(fd.get(), buffer, sizeof buffer);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return errno;
        if (got == 0)
            return at == size ? 0 : EIO;
        if (got > size - at)
            return EIO;
        static constexpr char kZeros[sizeof buffer] = {};
        const qint64 ofContents = std::clamp<qint64>(contents.size() - at, 0, got);
        if (std::memcmp(buffer, contents.data() + std::min<qint64>(at, contents.size()), std::size_t(ofContents)) != 0
            || std::memcmp(buffer + ofContents, kZeros, std::size_t(got - ofContents)) != 0)
            return EIO;
        at += got;
    }
}

} // namespace

std::optional<OsError> replaceFile(const QString &path, const QByteArray &contents,
                                   const std::function<bool(const QString &newFile)> &accept, qint64 roomAfter)
{
    // Through a link, the file it points at is replaced: renaming over the link itself would cut
    // it off from its target.
    const QString canonical = QFileInfo(path).canonicalFilePath();
    const QByteArray target = pathBytes(canonical.isEmpty() ? path : canonical);

    // Beside the old file, so that the rename stays on one file system and is atomic.
    QByteArray temporary = target + ".XXXXXX";
    Fd fd(::mkostemp(temporary.data(), O_CLOEXEC));
    if (fd.get() < 0)
        return osError(errno);

    const auto fail = [&temporary](int code) -> std::optional<OsError> {
        ::unlink(temporary.constData());
        return osError(code);
    };

    struct stat old {};
    if (::stat(target.constData(), &old) == 0)
        (void)::fchmod(fd.get(), old.st_mode & 07777);

    // A full disk can show up in write(), in fsync() or only in close().
    if (!writeAll(fd.get(), contents))
        return fail(errno);
    if (roomAfter > 0) {
        if (const int error = ::posix_fallocate(fd.get(), 0, off_t(contents.size() + roomAfter)))
            return fail(error);
    }
    if (::fsync(fd.get()) != 0 || !fd.close())
        return fail(errno);

    // Read back: the new file must be complete before it may take the old one's place.
    if (const int error = readsBackAs(temporary, contents, std::max<qint64>(roomAfter, 0)))
        return fail(error);
    if (accept && !accept(pathText(temporary)))
        return fail(EIO);

    if (::rename(temporary.constData(), target.constData()) != 0)
        return fail(errno);

    // Make the new name itself durable; the data already is, so a failure here loses nothing.
    const qsizetype slash = target.lastIndexOf('/');
    const QByteArray folder = slash < 0 ? QByteArray(".") : target.left(slash + 1);
    Fd dir(::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dir.get() >= 0)
        (void)::fsync(dir.get());
    return std::nullopt;
}

InstanceLock::InstanceLock(const QString &path)
{
    if (path.isEmpty()) {
        m_error = osError(ENOENT);
        return;
    }
    // O_CLOEXEC: a program started from here (the web browser) must not inherit the lock and keep
    // it after this one has ended. O_NOFOLLOW: never lock whatever a link planted there points at.
    const int fd = ::open(pathBytes(path).constData(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0) {
        m_error = osError(errno);
        return;
    }
    // The kernel drops an flock() lock when its holder ends, however it ends: a file left behind
    // by a crash is simply taken over.
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const int code = errno;
        ::close(fd);
        if (code == EWOULDBLOCK)
            m_state = InstanceLockState::HeldByAnother;
        else
            m_error = osError(code);
        return;
    }
    m_handle = fd;
    m_state = InstanceLockState::Acquired;

    // Only for a person looking into the folder: which process holds it.
    const QByteArray pid = QByteArray::number(::getpid()) + '\n';
    if (::ftruncate(fd, 0) == 0)
        (void)writeAll(fd, pid);
}

InstanceLock::~InstanceLock()
{
    // Closing releases the lock. The file stays: removing it would let a start that has just
    // opened the old file and a start that creates a new one both believe they are alone.
    if (m_handle >= 0)
        ::close(static_cast<int>(m_handle));
}

} // namespace meloport::platform
