#include "core/rename/RenameJob.h"

#include "core/Collation.h"
#include "platform/Platform.h"
#include "core/rename/RenameJournal.h"
#include "core/rename/RenameMessages.h"
#include "core/rename/RenamePlan.h"
#include "core/rename/UndoPlan.h"

#include <QFileInfo>

#include <cerrno>

namespace meloport {

std::unique_ptr<RenameLock> lockRenames(const QString &journalPath, JobDialog &dialog)
{
    auto lock = std::make_unique<RenameLock>(journalPath);
    if (!lock->isHeld()) {
        dialog.tell(journalNotWrittenMessage(journalPath, {EWOULDBLOCK, LoadMessage(Msg::JournalBusy).text}));
        return nullptr;
    }
    if (lock->waited())
        dialog.tell(LoadMessage(Msg::WaitedForOtherRename));
    return lock;
}

std::optional<RenameBatch> prepareRename(const MusicListing &listing, const QStringList &titles,
                                         const QString &extension, JobDialog &dialog, NameOptions options)
{
    if (listing.files.isEmpty()) {
        dialog.tell(LoadMessage(Msg::NoSources));
        return std::nullopt;
    }
    if (titles.isEmpty()) {
        dialog.tell(LoadMessage(Msg::NoTitles));
        return std::nullopt;
    }
    if (listing.files.size() != titles.size()) {
        dialog.tell(LoadMessage(Msg::ListsDiffer));
        return std::nullopt;
    }
    const RenamePlan plan = planRenames(listing, titles, extension, options);
    if (!plan.refused.isEmpty()) {
        dialog.tell(refusedTitlesMessage(plan.refused));
        return std::nullopt;
    }
    RenameBatch batch(plan);
    batch.check();
    if (batch.offersLookAlikes()) {
        if (!dialog.ask(lookAlikeQuestion(batch)))
            return std::nullopt;
        batch.useLookAlikes();
    }
    const QList<RenameFailure> &problems = batch.problems();
    if (problems.size() == plan.pairs.size()) {
        dialog.tell(renameFailuresMessage(batch, problems)); // nothing could be renamed: no question
        return std::nullopt;
    }
    const QStringList listed = listing.shownNames();
    if (const auto order = numberOrderBreak(listed); order && !dialog.ask(numberOrderQuestion(listed, *order)))
        return std::nullopt;
    if (!problems.isEmpty() && !dialog.ask(renameQuestion(batch)))
        return std::nullopt;
    return batch;
}

namespace {

// Runs the batch with its record kept. Nothing, having said why, when the record cannot be written.
std::optional<QList<RenameFailure>> runRecordedTelling(RenameBatch &batch, const QString &journalPath,
                                                       JobDialog &dialog)
{
    RecordedRun run = runRecorded(batch, journalPath);
    if (run.journalError) {
        dialog.tell(journalNotWrittenMessage(journalPath, *run.journalError));
        return std::nullopt;
    }
    return std::move(run.failures);
}

} // namespace

bool runRename(RenameBatch &batch, const RenameLock &lock, JobDialog &dialog)
{
    const auto failures = runRecordedTelling(batch, lock.journalPath(), dialog);
    if (!failures)
        return false;
    if (!failures->isEmpty()) {
        dialog.tell(renameFailuresMessage(batch, *failures));
        return false;
    }
    dialog.tell(LoadMessage(Msg::Finished));
    return true;
}

UndoOutcome undoLastRename(const QString &journalPath, JobDialog &dialog)
{
    const std::unique_ptr<RenameLock> lock = lockRenames(journalPath, dialog);
    if (!lock)
        return UndoOutcome::NotDone;
    const JournalReading reading = readRenameJournal(journalPath);
    if (!reading.record) {
        dialog.tell(journalUnusableMessage(journalPath, reading));
        return UndoOutcome::JournalUnusable;
    }
    const UndoPlan undo = planUndo(*reading.record);
    if (undo.error) { // the folder is gone (a stick pulled out): the record waits for it
        dialog.tell(FormatMessage(Msg::UndoFolderGone, undo.plan.folder, undo.error->reason));
        return UndoOutcome::NotDone;
    }
    if (undo.plan.pairs.isEmpty() && undo.notFound.isEmpty() && undo.changed.isEmpty()) {
        dialog.tell(LoadMessage(Msg::NothingToUndo));
        return UndoOutcome::Done;
    }
    if (!undo.plan.pairs.isEmpty() && !dialog.ask(undoQuestion(undo)))
        return UndoOutcome::NotDone;
    // Files that cannot get their names back are left alone and reported with the others.
    RenameBatch batch(undo.plan);
    batch.check();
    const auto failures =
        undo.plan.pairs.isEmpty() ? QList<RenameFailure>() : runRecordedTelling(batch, journalPath, dialog);
    if (!failures)
        return UndoOutcome::NotDone;
    if (failures->isEmpty() && undo.notFound.isEmpty() && undo.changed.isEmpty()) {
        dialog.tell(LoadMessage(Msg::Finished));
        return UndoOutcome::Done;
    }
    dialog.tell(undoFailuresMessage(undo, batch, *failures));
    return UndoOutcome::NotDone;
}

UndoCommand::UndoCommand(QString journalPath)
    : m_journalPath(std::move(journalPath))
{
}

bool UndoCommand::available() const
{
    // A record damaged since it was written is offered too: choosing it then says what is wrong.
    const QFileInfo journal(m_journalPath);
    return journal.exists() && journal.lastModified() != m_unusableWritten;
}

UndoOutcome UndoCommand::run(JobDialog &dialog)
{
    const UndoOutcome outcome = undoLastRename(m_journalPath, dialog);
    if (outcome == UndoOutcome::JournalUnusable)
        m_unusableWritten = QFileInfo(m_journalPath).lastModified();
    return outcome;
}

} // namespace meloport
