#pragma once

// The rename and its undo from first check to last report, as one flow for the window and for
// the command line: they differ only in how a message reaches the person and how a question is
// answered.

#include "core/JobDialog.h"
#include "core/rename/RenameBatch.h"
#include "core/rename/RenameJournal.h"

#include <QDateTime>
#include <QString>
#include <QStringList>

#include <memory>
#include <optional>

namespace meloport {

// Takes the lock of renames and undos (RenameLock) before anything is read or checked, waiting for
// another program's rename to end: says so when it had to wait (320), and why nothing will be done
// when it gave up. Nothing then.
std::unique_ptr<RenameLock> lockRenames(const QString &journalPath, JobDialog &dialog);

// Checks a rename of the listed files to `titles`, in this order, stopping at the first that
// fails: files listed (205), titles given (204), as many of each (202), every title a possible
// file name (210); asks whether to use full-width look-alikes of characters the disk refuses
// (300), which the batch's plan then holds, titles too; then checks that some pair is possible
// at all (216); then asks whether to go on when the names' numbers count in another order than
// the list (221) and when some pairs would fail (220). The checked batch, or nothing once the
// person has been told why or has said いいえ.
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

// 元に戻す as a command that is offered while a record of the last rename exists (written by this
// run, an earlier one or the command line), except the very record last found unusable.
class UndoCommand final {
public:
    explicit UndoCommand(QString journalPath);
    bool available() const;
    UndoOutcome run(JobDialog &dialog);

private:
    QString m_journalPath;
    // When the record found unusable was written: a new record is offered again.
    QDateTime m_unusableWritten;
};

} // namespace meloport
