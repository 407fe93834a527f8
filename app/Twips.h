#pragma once

#include <QtMath>

namespace meloport {

// Sizes and places are designed in twips (1/1440 inch): 15 twips to a pixel at 96 dots per inch.
inline constexpr qreal kTwipsPerInch = 1440.0;

inline int twipsToPixels(int twips, qreal dotsPerInch)
{
    return qRound(twips * dotsPerInch / kTwipsPerInch);
}

inline int pixelsToTwips(int pixels, qreal dotsPerInch)
{
    return qRound(pixels * kTwipsPerInch / dotsPerInch);
}

} // namespace meloport
