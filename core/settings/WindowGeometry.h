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
// integer with halves going to the even neighbour. 32 bits, so that a window on any monitor of
// a wide desktop comes back; nothing when the result does not fit even that.
std::optional<qint32> twipsFromText(QStringView text);

// Where a restored window's frame goes: its stored place while that still touches one of
// `screens` (in pixels); nothing when it touches none (its monitor has gone), and the window then
// keeps its design place on the primary screen rather than opening where nobody can see it.
std::optional<QPoint> keepOnScreen(const QRect &frame, const QList<QRect> &screens);

} // namespace meloport
