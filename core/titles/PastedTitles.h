#pragma once

#include "core/MessageCatalogue.h"

#include <QStringList>
#include <QStringView>

namespace meloport {

// A track list pasted as text, as the title list would take it, and the same list with what a
// shop's or a wiki's table adds around each title taken off.
struct PastedTitles {
    // One a line by the title file's rules, blanks around each taken off. Empty when the text
    // holds nothing but blanks.
    QStringList titles;
    // `titles` with the track numbers and times found below, and without empty lines.
    QStringList cleaned;
    // Every non-empty line starts with a track number ("1.", "01", "1 -", "1)", "１．").
    bool numbers = false;
    // Every non-empty line ends with a playing time ("3:45", "(4:02)", "[1:02:03]").
    bool times = false;
    bool emptyLines = false;

    bool offersCleanup() const { return numbers || times || emptyLines; }
};

PastedTitles readPastedTitles(QStringView text);

// Asks whether to take off what `pasted` found, with the first title it changes as example.
Message cleanupQuestion(const PastedTitles &pasted);

} // namespace meloport
