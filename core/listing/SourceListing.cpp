#include "core/listing/SourceListing.h"

#include "core/Collation.h"
#include "core/Common.h"
#include "platform/Platform.h"

#include <algorithm>

namespace meloport {

KindExtensionTable defaultKindExtensions()
{
    return {QStringLiteral("WAV"),  QStringLiteral("MP3"), QStringLiteral("WMA"), QStringLiteral("FLAC"),
            QStringLiteral("M4A"), QStringLiteral("OGG"), QStringLiteral("OPUS")};
}

QStringList MusicListing::shownNames() const
{
    QStringList names;
    names.reserve(files.size());
    for (const ListedFile &file : files)
        names.append(file.shown);
    return names;
}

MusicListing listMusicFiles(const QString &folderText, const QString &extension)
{
    MusicListing listing{folderText, AddPathSeparator(folderText), {}};
    const QList<QByteArray> names = platform::findFiles(listing.folder, extension);
    listing.files.reserve(names.size());
    for (const QByteArray &name : names)
        listing.files.append({name, QString::fromUtf8(name)}); // bytes that are not UTF-8 show as U+FFFD
    // Sorted once: inserting one by one into a sorted list is quadratic. Two names shown alike
    // (a Latin-1 name beside its look-alike) keep one fixed order by their bytes.
    std::sort(listing.files.begin(), listing.files.end(), [](const ListedFile &a, const ListedFile &b) {
        const int order = listOrderCompare(a.shown, b.shown);
        return order != 0 ? order < 0 : a.name < b.name;
    });
    return listing;
}

} // namespace meloport
