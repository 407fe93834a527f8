#pragma once

#include "platform/Platform.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

namespace meloport {

// The characters a folder's disk refuses in file names, learnt by looking. Disks made for Windows
// (FAT, exFAT, NTFS) refuse \ : * ? " < > | however Linux mounts them, and their type cannot tell
// them apart from a Linux disk (through FUSE every one of them is "fuseblk"); so a file named with
// the character is made there and removed again, once for each character whatever the number of
// names. "/" separates folders and is refused everywhere without looking.
class RefusedCharacters final {
public:
    // The characters of `name` that no file name in `folder` may hold, each once, in the order of
    // their first appearance. A disk that cannot be asked (read-only, full) is taken to accept
    // them: the rename or copy then reports its own failure.
    QByteArray in(QByteArrayView name, const platform::FolderHandle &folder);
    // Those of `name` that were found refused so far, without looking again.
    QByteArray knownIn(QByteArrayView name) const;

private:
    QByteArray m_refused = "/";
    QByteArray m_accepted;
};

// `name` with each of the characters `refused` that has a full-width look-alike replaced by it
// (? → ？, : → ：, / → ／ ...); every disk stores those, and they read the same. Only the nine
// above are replaced. Bytes other than those are kept as they are, UTF-8 or not.
QByteArray withLookAlikes(const QByteArray &name, QByteArrayView refused);
QString withLookAlikes(const QString &name, QByteArrayView refused);

// "? :" for a message.
QString shownCharacters(QByteArrayView characters);

} // namespace meloport
