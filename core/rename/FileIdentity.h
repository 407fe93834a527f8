#pragma once

#include "platform/Platform.h"

#include <QByteArray>
#include <QList>

#include <functional>

namespace meloport {

// What tells one file of a rename from the others on its disk, whatever name it has by then, so
// that an undo finds each file by what it is rather than by where the record last saw it (a power
// cut may keep a rename and lose its line, or the other way round). Where the disk keeps lasting
// inode numbers, the inode number is the file, whatever becomes of its content; elsewhere its
// size and time of last change, and, where these would not tell two files of the batch apart, a
// digest of its content.
struct FileIdentity {
    quint64 inode = 0; // 0: the disk keeps no lasting inode numbers
    qint64 size = -1;  // -1: not needed, or not known
    qint64 modifiedNs = 0;
    QByteArray digest; // empty: not needed

    // False for a file that was not found, and in a record from before files were identified.
    bool isKnown() const { return inode != 0 || size >= 0; }
    friend bool operator==(const FileIdentity &, const FileIdentity &) = default;
};

// The identities of the files `names` of `folder` (whose path, as bytes, is `folderPath`) on a
// disk without lasting inode numbers, in their order: one look-up each, and a digest only for
// files that share size and time.
QList<FileIdentity> identifyByLookup(const platform::FolderHandle &folder, const QByteArray &folderPath,
                                     const QList<QByteArray> &names);

// A digest of the content of the file at `path`; empty when it cannot be read.
QByteArray contentDigest(const QByteArray &path);

// Whether `found` is the file identified; `digestOf` reads the found file's content only when the
// identity holds a digest.
bool isSameFile(const FileIdentity &identity, const platform::FileStamp &found,
                const std::function<QByteArray()> &digestOf);

} // namespace meloport
