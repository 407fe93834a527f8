#pragma once

// The few operating-system services the program needs, as free functions. One source file per
// system implements them (chosen in platform/CMakeLists.txt), so callers never need an #ifdef.

#include <QByteArray>
#include <QByteArrayView>
#include <QChar>
#include <QString>
#include <QStringList>

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

// Bare names of the ordinary files in `folder` whose name ends in "." + `extension`, ignoring
// letter case. Folders, hidden files and other special files are left out. The names come back
// unsorted. A folder that cannot be read gives no names.
QStringList findFiles(const QString &folder, const QString &extension);

// --- Renaming without replacing

// A folder held open while files inside it are renamed: its path is looked up once for a whole
// batch, and every rename of the batch happens in that same folder.
class FolderHandle final {
public:
    explicit FolderHandle(const QString &path);
    ~FolderHandle();
    FolderHandle(const FolderHandle &) = delete;
    FolderHandle &operator=(const FolderHandle &) = delete;

    // Why the folder could not be opened; every rename in it then fails for this reason.
    const std::optional<OsError> &openError() const { return m_openError; }

    // Gives the file `from` of this folder the name `to`, unless another file has that name
    // already: nothing is replaced, not even a file that appears just before the call. (Only
    // where the file system has neither an atomic no-replace rename nor hard links, as on FAT,
    // does a short gap remain between the check and the rename.) A change of letter case alone
    // works also where the file system ignores case. Nothing on success.
    std::optional<OsError> renameNoReplace(const QString &from, const QString &to) const;

private:
    qintptr m_handle = -1;
    std::optional<OsError> m_openError;
};

// --- Reading text files

// Reads the whole file into `contents`. Nothing on success.
std::optional<OsError> readWholeFile(const QString &path, QByteArray &contents);

// Decodes Windows code page 932: Shift-JIS with its NEC and IBM extensions, in which title files
// written on Japanese Windows are stored. Nothing when the bytes are not valid there.
std::optional<QString> decodeCodePage932(QByteArrayView bytes);

} // namespace meloport::platform
