#include "core/listing/SourceListing.h"

#include "core/Collation.h"
#include "core/Common.h"
#include "platform/Platform.h"

#include <QHash>

#include <algorithm>
#include <memory>
#include <cstring>
#include <vector>

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
        names.append(file.shown());
    return names;
}

namespace {

// Where a name sits while the listing is sorted: a few bytes to move instead of a whole entry.
// An ASCII name also has its letters folded, so that two such names compare as plain bytes.
struct SortKey {
    const char *bytes;
    const char *folded; // null for a name that is not ASCII
    quint32 size;
    quint32 index;
};

bool isAscii(const QByteArray &name)
{
    return std::all_of(name.cbegin(), name.cend(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

char foldedAscii(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c + ('a' - 'A')) : c;
}

// listOrderCompare for two ASCII names: their folded bytes, then their own bytes. The library's
// memcmp compares many bytes a step, which matters over the start that names in one folder share.
bool asciiNameLess(const SortKey &a, const SortKey &b)
{
    const std::size_t n = std::min(a.size, b.size);
    if (const int order = std::memcmp(a.folded, b.folded, n))
        return order < 0;
    if (a.size != b.size)
        return a.size < b.size;
    return std::memcmp(a.bytes, b.bytes, n) < 0;
}

} // namespace

MusicListing listMusicFiles(const QString &folderText, const QString &extension)
{
    MusicListing listing{folderText, AddPathSeparator(folderText), {}};
    QList<QByteArray> names = platform::findFiles(listing.folder, extension);
    std::vector<SortKey> keys;
    keys.reserve(static_cast<std::size_t>(names.size()));
    qsizetype total = 0;
    for (const QByteArray &name : names)
        total += name.size();
    const auto folded = std::make_unique_for_overwrite<char[]>(static_cast<std::size_t>(total));
    char *next = folded.get();
    // Only a name that is not ASCII needs its text to be placed: the rest compare as bytes.
    QHash<quint32, QString> texts;
    for (qsizetype i = 0; i < names.size(); ++i) {
        const QByteArray &name = names[i];
        const auto index = static_cast<quint32>(i);
        if (isAscii(name)) {
            keys.push_back({name.constData(), next, static_cast<quint32>(name.size()), index});
            next = std::transform(name.cbegin(), name.cend(), next, foldedAscii);
        } else {
            keys.push_back({name.constData(), nullptr, static_cast<quint32>(name.size()), index});
            texts.insert(index, QString::fromUtf8(name));
        }
    }
    // Sorted once: inserting one by one into a sorted list is quadratic. Two names shown alike
    // (a Latin-1 name beside its look-alike) keep one fixed order by their bytes.
    if (texts.isEmpty()) {
        std::sort(keys.begin(), keys.end(), asciiNameLess);
    } else {
        const auto text = [&](const SortKey &key) {
            return key.folded ? QString::fromLatin1(key.bytes, qsizetype(key.size)) : texts.value(key.index);
        };
        std::sort(keys.begin(), keys.end(), [&](const SortKey &a, const SortKey &b) {
            if (a.folded && b.folded)
                return asciiNameLess(a, b);
            const int order = listOrderCompare(text(a), text(b));
            return order != 0 ? order < 0 : names[a.index] < names[b.index];
        });
    }
    listing.files.resize(names.size());
    ListedFile *out = listing.files.data();
    for (const SortKey &key : keys)
        (out++)->name = std::move(names[key.index]);
    return listing;
}

} // namespace meloport
