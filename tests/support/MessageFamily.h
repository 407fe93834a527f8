#pragma once

#include <QFile>
#include <QList>
#include <QRegularExpression>

// The catalogue number of a message, so that a test checks which message was shown without
// spelling its sentence out; 0 for none. Of the entries matching the whole message or its first
// lines (%N matching anything), prefer own first words (274 wraps 270), a whole match, most own text.
inline int messageNumber(const QString &message)
{
    struct Entry {
        int number;
        QString pattern;
        bool ownStart;
        qsizetype ownText;
    };
    static const QList<Entry> entries = [] {
        QList<Entry> read;
        QFile file(QStringLiteral(":/meloport/messages.txt"));
        (void)file.open(QIODevice::ReadOnly);
        for (const QString &line : QString::fromUtf8(file.readAll()).split(u'\n', Qt::SkipEmptyParts)) {
            const QStringList fields = line.split(u'\t');
            QStringList parts = fields.value(2).replace(QStringLiteral("\\n"), QStringLiteral("\n"))
                                    .split(QRegularExpression(QStringLiteral("%[1-9]")));
            qsizetype ownText = 0;
            for (QString &part : parts)
                ownText += std::exchange(part, QRegularExpression::escape(part)).size();
            if (fields.size() == 3 && !line.startsWith(u'#'))
                read.append({fields[0].toInt(), u"\\A"_qs + parts.join(u"[\\s\\S]*"_qs), !parts[0].isEmpty(), ownText});
        }
        return read;
    }();
    std::tuple<bool, bool, qsizetype, int> best{};
    for (const Entry &entry : entries) {
        const bool whole = QRegularExpression(entry.pattern + u"\\z"_qs).match(message).hasMatch();
        if (whole || QRegularExpression(entry.pattern + u'\n').match(message).hasMatch())
            best = std::max(best, std::tuple(entry.ownStart, whole, entry.ownText, entry.number));
    }
    return std::get<3>(best);
}
