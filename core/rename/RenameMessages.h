#pragma once

#include "core/MessageCatalogue.h"
#include "core/rename/RenamePlan.h"
#include "core/rename/RenameBatch.h"
#include "core/titles/TitleFile.h"
#include "core/rename/UndoPlan.h"

namespace meloport {

// The catalogue messages that report a title file that did not load, titles that cannot be file
// names, and pairs that were not renamed, and the
// questions asked before a rename, with their details filled in. Long lists show their first
// entries and how many more there are.

Message titleFileMessage(const QString &path, const TitleFile &file);
Message refusedTitlesMessage(const QList<RefusedTitle> &refused);
// Two listed names whose numbers count the other way round.
Message numberOrderQuestion(const QStringList &listed, std::pair<qsizetype, qsizetype> pair);
// The titles holding characters that the disk refuses, as their full-width look-alikes would make
// them, and whether to rename with those.
Message lookAlikeQuestion(const RenameBatch &batch);
// The pairs that cannot be renamed, and whether to rename the others.
Message renameQuestion(const RenameBatch &batch);
Message renameFailuresMessage(const RenameBatch &batch, const QList<RenameFailure> &failures);
// One pair that was not renamed, and why: "old → new: reason".
QString renameFailureLine(const RenameBatch &batch, const RenameFailure &failure);

// Undo: a journal that cannot be used, a journal that cannot be written before a rename, the
// question before an undo, and the files that did not get their old names back.
Message journalUnusableMessage(const QString &path, const JournalReading &reading);
Message journalNotWrittenMessage(const QString &path, const platform::OsError &error);
Message undoQuestion(const UndoPlan &undo);
Message undoFailuresMessage(const UndoPlan &undo, const RenameBatch &batch, const QList<RenameFailure> &failures);

} // namespace meloport
