#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <array>

namespace meloport {

// The music kinds, in the order the kind menu offers them; a kind indexes the extension table.
enum MusicKind : qint16 {
    KindWav = 0,
    KindMp3 = 1,
    KindWma = 2,
    KindFlac = 3,
    KindM4a = 4,
    KindOgg = 5,
    KindOpus = 6,
};
inline constexpr std::size_t kKindCount = 7;

// Each kind's extension, upper case and without the dot.
using KindExtensionTable = std::array<QString, kKindCount>;

KindExtensionTable defaultKindExtensions();

// One listed file: its name exactly as the folder holds it. A name that is not valid UTF-8 is
// shown with a replacement mark but is still renamed and copied as itself.
struct ListedFile {
    QByteArray name;

    QString shown() const { return QString::fromUtf8(name); }
};

// What the source list shows, and where it came from. Rename and copy act on this folder and
// these names, never on a folder field edited since or on names rebuilt from the shown text.
struct MusicListing {
    QString folderText; // the folder as the field held it when it was listed
    QString folder;     // that text with a separator at its end, ready for a name
    QList<ListedFile> files;

    QStringList shownNames() const;
};

// The folder's files of one kind, in the order of the sorted source list.
MusicListing listMusicFiles(const QString &folderText, const QString &extension);

} // namespace meloport
