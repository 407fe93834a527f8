#include "core/settings/WindowGeometry.h"

#include <algorithm>
#include <limits>

namespace meloport {

QString twipsToText(int twips)
{
    return QString::number(twips);
}

std::optional<qint16> twipsFromText(QStringView text)
{
    const auto isDigit = [](QChar c) { return c >= u'0' && c <= u'9'; };
    qsizetype i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == u'-' || text[i] == u'+'))
        negative = text[i++] == u'-';

    // Exact decimal rounding: only the first fraction digit and whether any later one is not
    // zero decide, so 1200.5 stays a true half however many zeros follow.
    constexpr qint64 kBeyondRange = 1 << 20;
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
    if (value < std::numeric_limits<qint16>::min() || value > std::numeric_limits<qint16>::max())
        return std::nullopt;
    return static_cast<qint16>(value);
}

QPoint keepOnScreen(const QRect &frame, const QList<QRect> &screens, const QRect &primary)
{
    if (std::any_of(screens.begin(), screens.end(), [&frame](const QRect &s) { return s.intersects(frame); }))
        return frame.topLeft();
    // As close to where it was as the primary screen allows; a window larger than the screen
    // keeps its top-left corner, and with it the title bar, on the screen.
    const int x = std::max(primary.left(), std::min(frame.left(), primary.right() + 1 - frame.width()));
    const int y = std::max(primary.top(), std::min(frame.top(), primary.bottom() + 1 - frame.height()));
    return {x, y};
}

} // namespace meloport
