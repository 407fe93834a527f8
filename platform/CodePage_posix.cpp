#include "platform/Platform.h"

#include <QSysInfo>

#include <cerrno>
#include <iconv.h>

namespace meloport::platform {

std::optional<QString> decodeCodePage932(QByteArrayView bytes)
{
    if (bytes.isEmpty())
        return QString();
    // "CP932", not "SHIFT_JIS": glibc's SHIFT_JIS turns 0x5C into the yen sign and lacks the
    // NEC and IBM characters (①, Ⅰ, ...) that Windows writes.
    const char *utf16 = QSysInfo::ByteOrder == QSysInfo::LittleEndian ? "UTF-16LE" : "UTF-16BE";
    const iconv_t converter = iconv_open(utf16, "CP932");
    if (converter == reinterpret_cast<iconv_t>(-1))
        return std::nullopt;
    // Every character of the code page, one byte or two, is one UTF-16 unit.
    QString text(bytes.size(), Qt::Uninitialized);
    char *in = const_cast<char *>(bytes.data());
    std::size_t inLeft = static_cast<std::size_t>(bytes.size());
    char *out = reinterpret_cast<char *>(text.data());
    std::size_t outLeft = static_cast<std::size_t>(text.size()) * sizeof(char16_t);
    const std::size_t result = iconv(converter, &in, &inLeft, &out, &outLeft);
    iconv_close(converter);
    // EILSEQ for an invalid sequence, EINVAL for a character cut off at the end.
    if (result == static_cast<std::size_t>(-1))
        return std::nullopt;
    text.truncate(static_cast<qsizetype>((out - reinterpret_cast<char *>(text.data())) / sizeof(char16_t)));
    return text;
}

} // namespace meloport::platform
