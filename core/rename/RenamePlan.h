#pragma once

#include "core/listing/SourceListing.h"

#include <QByteArray>
#include <QChar>
#include <QList>
#include <QString>
#include <QStringList>

namespace meloport {

// One file of the folder and the name it is to get, as bytes for the file system and as text
// for the person reading a message.
struct RenamePair {
    QByteArray oldName;
    QByteArray newName;
    QString oldShown;
    QString newShown;
};

// Why a title cannot become a file name here.
enum class TitleProblem {
    Empty,      // "" + ".WAV" would be a hidden file
    LeadingDot, // so would ".title.WAV"
    Nul,        // no file name holds one
    Control,    // TAB, ESC ...: a title file in an unknown encoding brings them in
};

struct RefusedTitle {
    qsizetype position = 0;
    QString title;
    TitleProblem problem = TitleProblem::Empty;
};

// What a rename of the whole folder will do. Pair p joins listed file p with title p; names are
// bare, and every path is `folder` followed by a name. When any title is refused there are no
// pairs: nothing may be touched then.
struct RenamePlan {
    QString folder;
    QList<RenamePair> pairs;
    QStringList titles; // what the new names were made of, by position
    QList<RefusedTitle> refused;
};

// How a new name is formed besides the title and the extension.
struct NameOptions {
    // "01 Title.EXT": most players play a folder in the order of its names, not of its tracks.
    bool trackNumbers = false;
};

// Pairs the listed files with the titles by position; each new name is the title, "." and
// `extension`, after the track number when `options` ask for it. A "/" or another character that
// a disk refuses is left to the batch's check, which knows the disk.
RenamePlan planRenames(const MusicListing &listing, const QStringList &titles, const QString &extension,
                       NameOptions options = {});

// The first place where the list's order (digits compared as characters) puts a name before one
// that counts lower (Track10 before Track2): the positions of the two, or nothing when the
// numbers in the names follow the list's order. Pairing by position then pairs the wrong files.
std::optional<std::pair<qsizetype, qsizetype>> numberOrderBreak(const QStringList &listed);

} // namespace meloport
