#pragma once

// The copy from first check to last report, as one flow for the window and for the command line:
// they differ in how a message reaches the person, and in how the copy's progress is shown and
// how it is stopped.

#include "core/JobDialog.h"
#include "core/listing/SourceListing.h"

#include <QString>

namespace meloport {

// The person's side of a running copy: how far it has come, and a way to stop it.
class CopyProgress {
public:
    virtual ~CopyProgress() = default;
    // The copy of `files` files, `bytes` in all, begins.
    virtual void begin(qsizetype files, qint64 bytes) = 0;
    // Before each file, between the chunks of a long one and once at the end: how many files have
    // arrived and how many bytes of all. False stops the copy; the file under way is not published.
    virtual bool advance(qsizetype filesDone, qint64 bytesDone) = 0;
    // The copy is over, whichever way, before anything more is told.
    virtual void end() = 0;
    // advance() stopped the copy: `howFar` (282) says how many files arrived. Whoever stopped it
    // may know that already.
    virtual void stopped(const Message &howFar) = 0;
};

enum class CopyOutcome {
    Refused, // told why before anything was copied
    Done,    // every listed file arrived (203)
    Stopped, // by the progress side
    Failed,  // told which file failed, why, and how many arrived before it
};

// Whether a destination is named at all: one of blanks would name a folder of blanks wherever the
// program happens to run. Told so (206) when it is not.
bool copyDestinationGiven(const QString &destination, JobDialog &dialog);

// Copies the listed files into another folder, one copy at a time.
class CopyJob final {
public:
    // True from the start of run() to its end: the window's events run inside the copy, and a
    // command among them that would change its list or its folders must wait.
    bool isRunning() const { return m_running; }

    // Checks in this order, stopping at the first that fails: a destination given (206), files
    // listed (205), the listing still the folder field's (219), and the destination another folder
    // that takes every name (207 and why). Asks whether to copy the files whose names the
    // destination's disk refuses under their full-width look-alikes (303); いいえ copies nothing.
    // Then copies with `progress` shown, and tells 203 or the failure. What it was started with
    // holds to its end, whatever the fields say meanwhile. A call while a copy runs does nothing.
    CopyOutcome run(const MusicListing &listing, const QString &folderField, const QString &destination,
                    JobDialog &dialog, CopyProgress &progress);

private:
    bool m_running = false;
};

} // namespace meloport
