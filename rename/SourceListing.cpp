#include "rename/SourceListing.h"

#include "app/Collation.h"
#include "app/Common.h"
#include "platform/Platform.h"

namespace meloport {

KindExtensionTable defaultKindExtensions()
{
    return {QStringLiteral("WAV"), QStringLiteral("MP3"), QStringLiteral("WMA"), QString()};
}

QStringList listMusicFiles(const QString &folder, const QString &extension)
{
    // Collected first and sorted once: inserting one by one into a sorted list is quadratic.
    QStringList names = platform::findFiles(AddPathSeparator(folder), extension);
    sortListEntries(names);
    return names;
}

} // namespace meloport
