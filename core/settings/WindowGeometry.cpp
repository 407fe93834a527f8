#include "core/settings/WindowGeometry.h"

#include <algorithm>
#include <limits>

namespace meloport {

QString twipsToText(int twips)
{
    return QString::number(twips);
}

std::optional<qint32> twipsFromText(QStringView text)
{
    const auto isDigit = [](QChar c) { return c >= u'0' && c <= u'9'; };
    qsizetype i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == u'-' || text[i] == u'+'))
        negative = text[i++] == u'-';

    // Exact decimal rounding: only the first fraction digit and whether any later one is not
    // zero decide, so 1200.5 stays a true half however many zeros follow.
    constexpr qint64 kBeyondRange = qint64(1) << 40;
    qint64 whole = 0;
    for (; i < text.size() && isDigit(text[i]); ++i)
        whole = std::min(whole * 10 + text[i].digitValue(), kBeyondRange);
    int firstFraction = 0;
    bool laterFraction = false;
    if (i < text.size() && text[i] == u'.') {
        if (++i < text.size() && isDigit(text[i]))
            firstFraction = text[i++].digitValue();
        for (; i < text.size() && isDigit(text[i]); ++i)
            laterFraction = laterFraction || text[i] != u'0';
    }
    if (firstFraction > 5 || (firstFraction == 5 && (laterFraction || whole % 2 != 0)))
        ++whole;

    const qint64 value = negative ? -whole : whole;
    if (value < std::numeric_limits<qint32>::min() || value > std::numeric_limits<qint32>::max())
        return std::nullopt;
    return static_cast<qint32>(value);
}

std::optional<QPoint> keepOnScreen(const QRect &frame, const QList<QRect> &screens)
{
    const auto touches = [&frame](const QRect &screen) { return screen.intersects(frame); };
    if (std::any_of(screens.begin(), screens.end(), touches))
        return frame.topLeft();
    return std::nullopt;
}

} // namespace meloport
