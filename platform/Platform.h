#pragma once

// The few operating-system services the program needs, as free functions. One source file per
// system implements them (chosen in platform/CMakeLists.txt), so callers never need an #ifdef.

#include <QChar>
#include <QString>
#include <QStringList>

#include <functional>
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

// --- Copying files

// How much of a long file is copied before the copy's `betweenChunks` is called.
inline constexpr qint64 kCopyChunkBytes = 4 * 1024 * 1024;

// Copies the file `source` to the path `destination`, replacing a file of that name. The data
// go into a temporary file beside the destination, renamed over it only once complete: on any
// failure (a full disk, no permission, the source missing or cut short) the old destination stays
// as it was and no temporary file is left. Copying a file onto itself, by whatever path or
// link, fails and leaves it alone. `betweenChunks` runs between chunks of a long file, so that
// a window can paint while it is copied.
std::optional<OsError> copyFile(const QString &source, const QString &destination,
                                const std::function<void()> &betweenChunks = {});

} // namespace meloport::platform
