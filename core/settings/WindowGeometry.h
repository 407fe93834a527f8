#pragma once

#include <QList>
#include <QRect>
#include <QString>
#include <QStringView>

#include <optional>

namespace meloport {

// How a window edge or size in twips is stored: plain decimal, a minus sign when negative.
QString twipsToText(int twips);

// Reads a stored edge or size back: the leading number of the text ("12abc" gives 12, a text
// that does not begin with one gives 0; "." is the only decimal mark), rounded to the nearest
// integer with halves going to the even neighbour. Nothing when the result does not fit a
// signed 16-bit integer, as a window on a wide desktop can save.
std::optional<qint16> twipsFromText(QStringView text);

// Where a restored window goes: `frame` as it was stored when it still touches one of `screens`,
// otherwise (its monitor has gone) moved onto `primary`. All rectangles in pixels.
QPoint keepOnScreen(const QRect &frame, const QList<QRect> &screens, const QRect &primary);

} // namespace meloport
