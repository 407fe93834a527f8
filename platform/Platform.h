#pragma once

// The few operating-system services the program needs, as free functions. The *_posix.cpp files
// implement them; a port to another system would add its own set in platform/CMakeLists.txt, so
// callers never need an #ifdef.

#include <QByteArray>
#include <QByteArrayView>
#include <QChar>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>
#include <limits>
#include <optional>

namespace meloport::platform {

// An operating-system failure: the system's own code, kept so callers can tell cases apart,
// and what it means in words a user understands.
struct OsError {
    int code = 0;
    QString reason;
};

// Describes a system error code (errno here) in Japanese, as the window shows it.
QString describeError(int code);

// The folder separator of this system's paths: "/" here, "\" on Windows.
QChar pathSeparator();

// --- Paths as text
//
// A path is bytes, which need not be UTF-8 (a folder named on an old Latin-1 system). As text it
// is UTF-8 decoded, with each byte outside valid UTF-8 kept as a lone surrogate (U+DC80 plus the
// byte), so that the text gives back the very bytes. Qt's own decoding puts a replacement mark
// there instead, and the path then names another folder, or none.

// The path `bytes` as text.
QString pathText(QByteArrayView bytes);
// The bytes of a path given as text, as pathText made it or as typed.
QByteArray pathBytes(QStringView path);
// A text that may hold such a path, for a person to read: each kept byte a replacement mark.
QString shownPath(QString text);
// The working folder, as text.
QString currentFolder();

// Names of the ordinary files in `folder` whose name ends in "." + `extension`, ignoring letter
// case, exactly as the file system holds them: bytes, which need not be valid UTF-8 (an old
// archive's Latin-1 names). Folders, hidden files and other special files are left out. The names
// come back unsorted. A folder that cannot be read gives no names.
QList<QByteArray> findFiles(const QString &folder, const QString &extension);

// --- Folders: renaming without replacing, copying

// What a look-up found under a name: enough to know the same file again under another name, where
// inode numbers cannot tell (FUSE numbers each spelling of a name on its own).
struct FileStamp {
    bool regular = false;
    qint64 size = 0;
    qint64 modifiedNs = 0;
    // As the look-up gives it; whether it outlives a remount is the disk's affair (see
    // FolderHandle::keepsInodes), so two stamps compare without it.
    quint64 inode = 0;
    friend bool operator==(const FileStamp &a, const FileStamp &b)
    {
        return a.regular == b.regular && a.size == b.size && a.modifiedNs == b.modifiedNs;
    }
};

// How long a single name may be in a folder.
struct NameLimit {
    enum class Unit { Bytes, Utf16 };
    Unit unit = Unit::Bytes;
    qsizetype max = 255;
};

// How much of a long file is copied between two calls of a copy's observer: small enough that a
// cancel or a repaint waits a fraction of a second on a slow USB stick.
inline constexpr qint64 kCopyChunkBytes = 1024 * 1024;

// Where a copied file goes: its name in the destination folder, and what answered to that name
// when the copy was planned. Nothing there means a new name, which the copy never takes from a
// file that appears under it meanwhile; a file there is replaced only if it is still that file.
struct CopyTarget {
    QByteArray name;
    std::optional<FileStamp> replacing;
};

// Why one file was not copied. The destination then holds what it held before.
struct CopyFileError {
    enum class Kind {
        Stopped,     // the observer asked to stop
        Reading,     // the source could not be opened or read: `error`
        Writing,     // the destination could not be written: `error`
        NameChanged, // the target name no longer answered as planned, so nothing was replaced
        SameFile,    // the target is the source file itself (a link, the same file by another path)
        Shrank,      // the source became shorter while it was copied
    };
    Kind kind = Kind::Writing;
    OsError error;
};

// Told the bytes of the file copied so far, between its chunks; false stops the copy.
using ChunkObserver = std::function<bool(qint64 copied)>;

// A folder held open while files inside it are looked up, renamed or copied: its path is resolved
// once for a whole batch, and every step of the batch happens in that same folder. Names are
// bytes, exactly as listed.
class FolderHandle final {
public:
    explicit FolderHandle(const QString &path);
    ~FolderHandle();
    FolderHandle(const FolderHandle &) = delete;
    FolderHandle &operator=(const FolderHandle &) = delete;

    // Why the folder could not be opened; every operation in it then fails for this reason.
    const std::optional<OsError> &openError() const { return m_openError; }

    // Gives the file `from` the name `to`, unless some entry already answers to `to`: nothing is
    // replaced, not even a file that appears just before the call. (Only where the file system
    // has neither an atomic no-replace rename nor hard links, as on FAT, does a short gap remain
    // between the check and the rename.) Two spellings of one name on a file system that ignores
    // case count as a taken name here: such a rename may answer success and change nothing.
    std::optional<OsError> renameNoReplace(const QByteArray &from, const QByteArray &to) const;

    // What answers to `name` in this folder (a link itself, unless `followLink`, not what it
    // points at); nothing when no entry does, or it cannot be looked up.
    std::optional<FileStamp> lookup(const QByteArray &name, bool followLink = false) const;

    // Every entry of the folder as it lists them, in one pass. A file system that ignores case
    // may list names in another case than it stores them (NTFS through lowntfs-3g: all lower).
    // With each name the inode number the listing gives, which on a disk that keepsInodes() is the
    // file's own.
    struct Listing {
        QList<QByteArray> names;
        QList<quint64> inodes;
        std::optional<OsError> error;
    };
    Listing list() const;

    // Whether the disk keeps the inode number of a file as a lasting mark of it: looked up, not
    // assumed by the kind of disk, by comparing a look-up's number with the one `listing` (of this
    // folder) gives for its first few entries. A disk that keeps them gives the same number both
    // ways; exFAT through FUSE lists none (all ones) and numbers a look-up by the moment. False for
    // an empty folder.
    bool keepsInodes(const Listing &listing) const;

    // Makes the renames done in the folder so far durable, as fsync() does for a file.
    std::optional<OsError> flush() const;

    // How long a name this folder's file system takes: bytes on Linux's own file systems, UTF-16
    // units on those made for Windows (FAT, exFAT, NTFS), however they are mounted, and bytes as
    // well where their driver counts those too (lowntfs-3g), as a look-up finds out.
    QList<NameLimit> nameLimits() const;

    // Makes an empty file under a name that must be free, readable by its owner only.
    std::optional<OsError> createFile(const QByteArray &name) const;
    // Removes `name` if it is a regular file; anything else (a folder, a link) is left alone.
    std::optional<OsError> removeFile(const QByteArray &name) const;

    // Whether this folder's disk takes `name` as a file name, learnt by making an empty file of that
    // name and removing it again: false when it refuses the name itself, nothing when it cannot
    // tell (a read-only or full disk). The name must be free.
    std::optional<bool> takesName(const QByteArray &name) const;

    // Copies the file `name` of `source` into this folder as `target`. The data go into a file
    // called `temporaryName` here, which takes the target's name only once complete; on any
    // failure, or when `betweenChunks` stops it, that file is removed again and the target is left
    // as it was. A file that replaces another is flushed to the disk before the rename, so that a
    // power cut just after it cannot leave an empty file where a good one stood.
    std::optional<CopyFileError> copyFileFrom(const FolderHandle &source, const QByteArray &name,
                                              const QByteArray &temporaryName, const CopyTarget &target,
                                              const ChunkObserver &betweenChunks = {}) const;

private:
    friend class FolderUse;

    qintptr m_handle = -1;
    std::optional<OsError> m_openError;
};

// What every copy into a folder holds while it runs, so that each can tell whether it is alone
// there: only a copy alone in a folder may take the temporary files it finds there for leftovers
// of copies that were cut off, and not another one's work. It is held alone from the start where
// no other copy holds it, until share() lets others begin beside it; otherwise shared, after
// waiting for a copy that holds it alone (a moment). Released when destroyed, or when the process
// ends in any way.
class FolderUse final {
public:
    explicit FolderUse(const FolderHandle &folder);
    ~FolderUse();
    FolderUse(const FolderUse &) = delete;
    FolderUse &operator=(const FolderUse &) = delete;

    bool alone() const { return m_alone; }
    void share();

private:
    qintptr m_handle = -1;
    bool m_alone = false;
};

// --- Reading text files

// Decodes Windows code page 932: Shift-JIS with its NEC and IBM extensions, in which title files
// written on Japanese Windows are stored. Nothing when the bytes are not valid there.
std::optional<QString> decodeCodePage932(QByteArrayView bytes);

// --- Whole files

// A file's bytes, or why they could not be read (ENOENT when there is no such file, EISDIR for
// a folder). A pipe or a device, and a file longer than the reader's limit, are refused before a
// byte is read: `refused` tells which, and `error` says it in words.
struct FileContents {
    enum class Refusal { None, NotAFile, TooLarge };
    QByteArray bytes;
    std::optional<OsError> error;
    Refusal refused = Refusal::None;
};

// The whole of a regular file of at most `maxBytes` bytes. Never waits on a pipe or a device:
// either is refused, as a longer file is.
FileContents readWholeFile(const QString &path, qint64 maxBytes = std::numeric_limits<qint64>::max());

// A regular file opened for reading only, or why not: a pipe or a device is refused without
// waiting on it, as by readWholeFile. `path` is bytes, as a listed name is. The handle is the
// caller's to close (QFile::open with AutoCloseHandle takes it over).
struct ReadOnlyFile {
    qintptr handle = -1;
    std::optional<OsError> error;
};
ReadOnlyFile openForReading(const QByteArray &path);

// Puts `contents` in the place of the file at `path` in one step. A complete new file is written
// beside it, with `roomAfter` zero bytes after the contents set aside on the disk (so that writing
// there later cannot fail for want of space), flushed to the disk and read back; only when all of
// that worked and `accept` (if given) agrees with the new file does it take the old one's name. On
// any failure the old file is left exactly as it was and the new one is removed. A link keeps
// pointing at the replaced file.
std::optional<OsError> replaceFile(const QString &path, const QByteArray &contents,
                                   const std::function<bool(const QString &newFile)> &accept = {},
                                   qint64 roomAfter = 0);

// Puts the data of the open file `handle` on the disk (fdatasync).
std::optional<OsError> flushFile(qintptr handle);

// --- Single instance

enum class InstanceLockState {
    Acquired,      // this is the only running program of this user
    HeldByAnother, // another running program of this user holds the lock
    Unavailable,   // the lock could not be tried; nothing is known about other programs
};

// One running program per user: the first program to take the lock file holds it until the lock
// is destroyed or the process ends in any way, so a crash leaves nothing that blocks a later
// start.
class InstanceLock final {
public:
    explicit InstanceLock(const QString &path);
    ~InstanceLock();
    InstanceLock(const InstanceLock &) = delete;
    InstanceLock &operator=(const InstanceLock &) = delete;

    InstanceLockState state() const { return m_state; }
    // Why the lock is unavailable.
    const std::optional<OsError> &error() const { return m_error; }

private:
    qintptr m_handle = -1;
    InstanceLockState m_state = InstanceLockState::Unavailable;
    std::optional<OsError> m_error;
};

} // namespace meloport::platform
