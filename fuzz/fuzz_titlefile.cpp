// Feeds arbitrary bytes to the title-file decoder and line splitter, and checks what every title
// list must satisfy: no title holds a line break, and the titles with their line ends put back
// give the decoded text again. The decoded text itself holds no NUL and no half of a surrogate
// pair, whichever way it was decoded (the corpus starts UTF-16 files of both byte orders).

#include "core/titles/TitleFile.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const auto text = meloport::decodeTitleText(
        QByteArrayView(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size)));
    if (!text)
        return 0;
    if (text->contains(QChar(u'\0')) || !QStringView(*text).isValidUtf16())
        std::abort();
    const QStringList titles = meloport::splitTitleLines(*text);
    qsizetype length = 0;
    for (const QString &title : titles) {
        if (title.contains(u'\r') || title.contains(u'\n'))
            std::abort();
        length += title.size();
    }
    // Each title is followed by one or two line-end characters, but the last one may have none.
    const qsizetype breaks = text->count(u'\r') + text->count(u'\n');
    if (length + breaks != text->size())
        std::abort();
    return 0;
}
