#pragma once

#include "core/MessageCatalogue.h"
#include "core/listing/SourceListing.h"
#include "platform/Platform.h"

#include <QByteArrayView>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

namespace meloport {

// The title tag of one file, or why it has none.
struct TagTitle {
    enum class Missing {
        None,       // `title` holds the tag's title
        NoTitle,    // the file has no title tag, or an empty one
        Damaged,    // the file is not one of the kind its name says, or is damaged
        CannotOpen, // the file could not be opened: `error`
    };
    QString title;
    Missing missing = Missing::None;
    platform::OsError error;
};

// The title tags of the listed files, one result per file in the listing's order. A file is read
// as the kind its extension names: ID3v2, then ID3v1 (MP3); ID3v2, then RIFF INFO (WAV); Vorbis
// comments (FLAC, OGG, OPUS); MP4 atoms (M4A); ASF (WMA). Files are opened for reading only and
// never written. Blanks around a title are taken off.
QList<TagTitle> readTagTitles(const MusicListing &listing);

// A title stored as Latin-1, as old ID3 tags store it: read as code page 932 when the bytes are
// valid there and hold a two-byte character (a Japanese ripper's Shift-JIS), otherwise as Latin-1.
QString decodeLatin1Title(QByteArrayView bytes);

// What the title list gets: each file's title, or its name without the extension when it has none.
QStringList titlesOrNames(const MusicListing &listing, const QList<TagTitle> &tags);

// The files without a title, how many and which (up to 20), and what they keep; nothing when every
// file has one.
std::optional<Message> missingTitlesMessage(const MusicListing &listing, const QList<TagTitle> &tags);

// One file without a title, for a list: "n 番目の「name」: why".
QString missingTitleLine(const MusicListing &listing, const QList<TagTitle> &tags, qsizetype position);

} // namespace meloport
