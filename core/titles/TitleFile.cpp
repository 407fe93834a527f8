#include "core/titles/TitleFile.h"

#include <QStringDecoder>

namespace meloport {

namespace {

std::optional<QStringDecoder::Encoding> utf16ByteOrder(QByteArrayView bytes)
{
    if (bytes.startsWith("\xff\xfe"))
        return QStringDecoder::Utf16LE;
    if (bytes.startsWith("\xfe\xff"))
        return QStringDecoder::Utf16BE;
    return std::nullopt;
}

// Qt's UTF-16 decoder reports no error for an odd last byte or an unpaired surrogate, so both are
// checked here.
std::optional<QString> decodeUtf16(QByteArrayView bytes, QStringDecoder::Encoding order)
{
    if (bytes.size() % 2 != 0)
        return std::nullopt;
    QStringDecoder utf16(order, QStringDecoder::Flag::Stateless);
    QString text = utf16.decode(bytes);
    if (utf16.hasError() || !QStringView(text).isValidUtf16() || text.contains(QChar(u'\0')))
        return std::nullopt;
    return text;
}

} // namespace

std::optional<QString> decodeTitleText(QByteArrayView bytes)
{
    // Neither FF FE nor FE FF can start UTF-8 or code page 932 text, so the mark is certain.
    if (const auto order = utf16ByteOrder(bytes))
        return decodeUtf16(bytes, *order);
    if (bytes.contains('\0'))
        return std::nullopt;
    // The decoder drops a leading byte-order mark.
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString text = utf8.decode(bytes);
    if (!utf8.hasError())
        return text;
    return platform::decodeCodePage932(bytes);
}

QStringList splitTitleLines(QStringView text, LineBlanks blanks)
{
    QStringList lines;
    const auto append = [&](QStringView line) {
        lines.append((blanks == LineBlanks::Trimmed ? line.trimmed() : line).toString());
    };
    qsizetype start = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c != u'\r' && c != u'\n')
            continue;
        append(text.sliced(start, i - start));
        if (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n')
            ++i;
        start = i + 1;
    }
    if (start < text.size())
        append(text.sliced(start));
    while (!lines.isEmpty() && lines.constLast().isEmpty())
        lines.removeLast();
    return lines;
}

TitleFile readTitleFile(const QString &path)
{
    TitleFile file;
    const platform::FileContents contents = platform::readWholeFile(path, kTitleFileMaxBytes);
    if (contents.error) {
        switch (contents.refused) {
        case platform::FileContents::Refusal::NotAFile:
            file.problem = TitleFile::Problem::NotAFile;
            break;
        case platform::FileContents::Refusal::TooLarge:
            file.problem = TitleFile::Problem::TooLarge;
            break;
        case platform::FileContents::Refusal::None:
            file.problem = TitleFile::Problem::Unreadable;
            break;
        }
        file.error = *contents.error;
        return file;
    }
    const std::optional<QString> text = decodeTitleText(contents.bytes);
    if (!text) {
        file.problem = utf16ByteOrder(contents.bytes) ? TitleFile::Problem::DamagedUtf16
                                                      : TitleFile::Problem::UnknownEncoding;
        return file;
    }
    file.titles = splitTitleLines(*text);
    return file;
}

} // namespace meloport
