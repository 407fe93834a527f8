#pragma once

// The rename and its undo from first check to last report, as one flow for the window and for
// the command line: they differ only in how a message reaches the person and how a question is
// answered.

#include "core/MessageCatalogue.h"
#include "core/rename/RenameBatch.h"
#include "core/rename/RenameJournal.h"
#include "core/listing/SourceListing.h"

#include <QString>
#include <QStringList>

#include <memory>
#include <optional>

namespace meloport {

// The person's side of a job.
class JobDialog {
public:
    virtual ~JobDialog() = default;
    virtual void tell(const Message &message) = 0;
    // A question whose いいえ leaves every file as it is. True for はい.
    virtual bool ask(const Message &question) = 0;
};

// Takes the lock of renames and undos (RenameLock) before anything is read or checked, waiting for
// another program's rename to end: says so when it had to wait (320), and why nothing will be done
// when it gave up. Nothing then.
std::unique_ptr<RenameLock> lockRenames(const QString &journalPath, JobDialog &dialog);

// Checks a rename of the listed files to `titles`, in this order, stopping at the first that
// fails: files listed (205), titles given (204), as many of each (202), every title a possible
// file name (210), some pair possible at all (216); then asks whether to go on when the names'
// numbers count in another order than the list (221) and when some pairs would fail (220). The
// checked batch, or nothing once the person has been told why or has said いいえ.
std::optional<RenameBatch> prepareRename(const MusicListing &listing, const QStringList &titles,
                                         const QString &extension, JobDialog &dialog, NameOptions options = {});

// Runs a batch prepared under `lock` with its record kept in the lock's journal, then reports: 203
// when every pair was renamed, otherwise the pairs that were not. True for 203.
bool runRename(RenameBatch &batch, const RenameLock &lock, JobDialog &dialog);

enum class UndoOutcome {
    Done,             // every file of the record has its old name again (or had it already)
    NotDone,          // いいえ, or some files did not get their old names back
    JournalUnusable,  // the record cannot be read or is damaged: nothing can be undone from it
};

// Gives the files of the recorded batch their old names back, asking first (250, or 251 for a
// batch cut off in its middle), having taken the lock of renames before it reads the record. The
// undo is itself recorded, so that it can be undone.
UndoOutcome undoLastRename(const QString &journalPath, JobDialog &dialog);

} // namespace meloport
