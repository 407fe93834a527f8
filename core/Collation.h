#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <functional>

namespace meloport {

namespace platform {
class FolderHandle;
}

// The order of the source list, as a three-way comparison (0 for equal texts only): ascending,
// ignoring letter case, digits compared as characters (Track10 before Track2). Names that differ
// only in case, possible here, are put in one fixed order so that positions never depend on the
// order the folder was read in.
int listOrderCompare(const QString &a, const QString &b);

// A file name as a disk that ignores letter case tells names apart (FAT, exFAT, NTFS): folded.
// A name that is not UTF-8 cannot be on such a disk; it stands for itself alone.
QByteArray caseBlindName(const QByteArray &name);

// Whether the disk of `folder` ignores letter case, found by asking for `names`, which are in the
// folder, in other letters: the same file answering means it does. `listed` tells whether the
// folder's listing spells a name so. Two spellings listed side by side prove the opposite; a name
// found that the listing spells otherwise proves it (lowntfs-3g lists every name in lower case).
// A folder's type says nothing here: FUSE mounts of every kind look alike.
bool ignoresLetterCase(const platform::FolderHandle &folder, const QList<QByteArray> &names,
                       const std::function<bool(const QByteArray &name)> &listed);

// The order a person counts in: runs of digits compared as numbers (Track2 before Track10),
// the rest as in the list's order.
bool numberOrderLess(QStringView a, QStringView b);

} // namespace meloport
