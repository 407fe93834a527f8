#pragma once

#include "platform/Platform.h"
#include "core/RefusedCharacters.h"
#include "core/listing/SourceListing.h"

#include <QByteArrayView>
#include <QList>

#include <functional>
#include <memory>
#include <optional>

namespace meloport {

// Why a copy stopped before the file at `position`.
enum class CopyProblem {
    // Found before anything is touched:
    SameFolder,        // the destination is the listed folder itself, by another spelling, a link or a mount
    DestinationFolder, // no file can be made in the destination folder: `error`
    SameName,          // the destination takes its name for that of an earlier file (`other`)
    Refused,           // its name holds a character that the destination's disk refuses
    // Found while copying:
    Missing,     // the file is no longer in the source folder
    Reading,     // the source could not be read: `error`
    Writing,     // the destination could not be written: `error`
    NameChanged, // the file under its name at the destination changed during the copy; it is kept
    SameFile,    // the destination file is the source file itself (a link to it)
    Shrank,      // the source became shorter while it was copied
};

struct CopyFailure {
    qsizetype position = 0;
    CopyProblem problem = CopyProblem::Writing;
    platform::OsError error;
    qsizetype other = -1;
};

// What a run did: the first `copied` files arrived, in the order of the list; then it either
// ended, was stopped by its observer, or failed at the next file. A file under way when it was
// stopped or failed left the destination as it was.
struct CopyReport {
    qsizetype copied = 0;
    bool stopped = false;
    std::optional<CopyFailure> failure;
};

// Copies the listed files, under their exact names, from the folder they were listed in into
// another folder. check() looks at both folders before anything is touched: it proves that the
// destination is another folder (by making a file there and looking for it in the source folder,
// since inode numbers cannot be trusted on every disk), finds out with the same file whether the
// destination ignores letter case, looks for the characters of the names that it refuses, and
// finds each file whose name the destination would take for an earlier one. run() then copies
// file by file, stopping at the first failure: a file that this copy has written is never replaced
// by a later one, a replaced file is on the disk before its new version takes its name, and the
// observer may stop the copy between any two chunks.
class CopyBatch final {
public:
    CopyBatch(MusicListing listing, const QString &destinationFolder);
    ~CopyBatch();
    CopyBatch(const CopyBatch &) = delete;
    CopyBatch &operator=(const CopyBatch &) = delete;

    const MusicListing &listing() const { return m_listing; }
    // The destination as it was given.
    const QString &destinationFolder() const { return m_destinationFolder; }

    // Takes its use of the destination (platform::FolderUse), which it holds until destroyed, and
    // changes nothing but a file of its own made and removed again there, and, when no other copy
    // runs into that folder, the leftovers of copies that were cut off.
    void check();
    // The failure that stops the copy before its first file, if check() found one.
    std::optional<CopyFailure> refusal() const;
    // The size of all listed files, as check() found them.
    qint64 totalBytes() const { return m_totalBytes; }
    // The name file `position` gets at the destination: its own, or its look-alike.
    const QByteArray &targetName(qsizetype position) const { return m_targets.at(position).name; }
    // The characters of file `position`'s name that the destination's disk refuses, as check()
    // found them.
    QByteArray refusedCharacters(qsizetype position) const;
    // Whether check() found a file whose name the destination refuses for its characters.
    bool offersLookAlikes() const;
    // Gives every such file the full-width look-alikes of those characters in its name at the
    // destination, and checks the names again.
    void useLookAlikes();

    // Told, before each file, between its chunks and once at the end, how many files are done and
    // how many bytes of all; false stops the copy there.
    using ProgressObserver = std::function<bool(qsizetype filesDone, qint64 bytesDone)>;
    // Copies. Does nothing when check() refused the copy.
    CopyReport run(const ProgressObserver &observer = {});

    // The hidden name that a copy's data have until complete: ".meloport-" and a number in base 36,
    // then ".tmp". Unlike the temporary names of a rename, which may hold a user's only copy of a
    // file after a crash, what bears this name is never more than a copy and may be removed.
    static QByteArray temporaryName();
    static bool isTemporaryName(QByteArrayView name);

private:
    void checkNames();
    void removeLeftovers() const;

    MusicListing m_listing;
    QString m_destinationFolder;
    std::unique_ptr<platform::FolderHandle> m_source;
    std::unique_ptr<platform::FolderHandle> m_destination;
    std::unique_ptr<platform::FolderUse> m_use; // of the destination
    bool m_checked = false;
    bool m_ignoresCase = false;
    std::optional<CopyFailure> m_refusal;
    QList<CopyFailure> m_problems; // by position, ascending
    QList<platform::CopyTarget> m_targets;
    QList<QByteArray> m_names; // by position, at the destination
    RefusedCharacters m_refusedCharacters;
    QList<qint64> m_sizes;
    qint64 m_totalBytes = 0;
};

} // namespace meloport
