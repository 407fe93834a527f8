#pragma once

#include "core/settings/SettingsStore.h"

#include <QList>
#include <QRect>
#include <QSize>
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

// Where the window opens, in pixels: its frame's top-left corner (none: its design place on the
// primary screen, its monitor having gone) and its frame's size (none: the design size, since the
// stored one leaves no room inside).
struct WindowPlace {
    std::optional<QPoint> topLeft;
    std::optional<QSize> size;
};

// The place saved by this very version, read at `dpiX` x `dpiY`: a size no higher than
// `minimumHeight` (a garbled value reads as 0) is not used, and the place is kept while the frame,
// of its stored size or else of `designSize`, touches one of `screens`. Nothing when another
// version saved it or a value does not fit: the window keeps its design geometry.
std::optional<WindowPlace> restoredWindowPlace(const SettingsStore &store, int dpiX, int dpiY,
                                               const QSize &designSize, int minimumHeight,
                                               const QList<QRect> &screens);

// Saves the window's frame (pixels at `dpiX` x `dpiY`) in twips, with this version. A minimized
// window's place says nothing of where the person wants it: the last save stands.
std::optional<platform::OsError> saveWindowPlace(const SettingsStore &store, const QRect &frame, int dpiX, int dpiY,
                                                 bool minimized);

} // namespace meloport
