#include "rename/TitleFile.h"

#include <QStringDecoder>

namespace meloport {

std::optional<QString> decodeTitleText(QByteArrayView bytes)
{
    if (bytes.contains('\0'))
        return std::nullopt;
    // The decoder drops a leading byte-order mark.
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString text = utf8.decode(bytes);
    if (!utf8.hasError())
        return text;
    return platform::decodeCodePage932(bytes);
}

QStringList splitTitleLines(QStringView text)
{
    QStringList lines;
    qsizetype start = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c != u'\r' && c != u'\n')
            continue;
        lines.append(text.sliced(start, i - start).toString());
        if (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n')
            ++i;
        start = i + 1;
    }
    if (start < text.size())
        lines.append(text.sliced(start).toString());
    return lines;
}

TitleFile readTitleFile(const QString &path)
{
    TitleFile file;
    const platform::FileContents contents = platform::readWholeFile(path);
    if (contents.error) {
        file.problem = TitleFile::Problem::Unreadable;
        file.error = *contents.error;
        return file;
    }
    const std::optional<QString> text = decodeTitleText(contents.bytes);
    if (!text) {
        file.problem = TitleFile::Problem::UnknownEncoding;
        return file;
    }
    file.titles = splitTitleLines(*text);
    return file;
}

} // namespace meloport
