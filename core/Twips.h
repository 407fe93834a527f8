#pragma once

#include <QRect>
#include <QtMath>

namespace meloport {

// Sizes and places are designed in twips (1/1440 inch): 15 twips to a pixel at 96 dots per inch.
inline constexpr qreal kTwipsPerInch = 1440.0;

inline int twipsToPixels(int twips, qreal dotsPerInch)
{
    return qRound(twips * dotsPerInch / kTwipsPerInch);
}

// A place designed in twips, in pixels: its left, top, width and height each rounded on its own.
inline QRect twipsToPixels(const QRect &twips, qreal dotsPerInch)
{
    return {twipsToPixels(twips.left(), dotsPerInch), twipsToPixels(twips.top(), dotsPerInch),
            twipsToPixels(twips.width(), dotsPerInch), twipsToPixels(twips.height(), dotsPerInch)};
}

inline int pixelsToTwips(int pixels, qreal dotsPerInch)
{
    return qRound(pixels * kTwipsPerInch / dotsPerInch);
}

} // namespace meloport
