#include "core/settings/WindowGeometry.h"

#include "core/Common.h"
#include "core/Twips.h"

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

std::optional<WindowPlace> restoredWindowPlace(const SettingsStore &store, int dpiX, int dpiY,
                                               const QSize &designSize, int minimumHeight,
                                               const QList<QRect> &screens)
{
    if (store.value(Setting::LastVersion) != GetVersionString())
        return std::nullopt;
    // All four are converted before any is used; one that does not fit keeps the design geometry
    // for this start, and the next save writes the real values again.
    const auto x = twipsFromText(store.value(Setting::X));
    const auto y = twipsFromText(store.value(Setting::Y));
    const auto width = twipsFromText(store.value(Setting::Width));
    const auto height = twipsFromText(store.value(Setting::Height));
    if (!x || !y || !width || !height)
        return std::nullopt;

    WindowPlace place;
    const QSize size(twipsToPixels(*width, dpiX), twipsToPixels(*height, dpiY));
    if (size.width() > 0 && size.height() > minimumHeight)
        place.size = size;
    const QRect frame(QPoint(twipsToPixels(*x, dpiX), twipsToPixels(*y, dpiY)), place.size.value_or(designSize));
    place.topLeft = keepOnScreen(frame, screens);
    return place;
}

std::optional<platform::OsError> saveWindowPlace(const SettingsStore &store, const QRect &frame, int dpiX, int dpiY,
                                                 bool minimized)
{
    if (minimized)
        return std::nullopt;
    return store.save({
        {Setting::LastVersion, GetVersionString()},
        {Setting::X, twipsToText(pixelsToTwips(frame.x(), dpiX))},
        {Setting::Y, twipsToText(pixelsToTwips(frame.y(), dpiY))},
        {Setting::Width, twipsToText(pixelsToTwips(frame.width(), dpiX))},
        {Setting::Height, twipsToText(pixelsToTwips(frame.height(), dpiY))},
    });
}

} // namespace meloport
