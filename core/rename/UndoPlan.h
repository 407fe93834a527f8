#pragma once

#include "core/rename/RenameJournal.h"
#include "core/rename/RenamePlan.h"

#include <optional>

namespace meloport {

// What an undo of the recorded batch will do: a plan that gives every file found back its old
// name, and the files that are no longer where the record says, which are left alone.
struct UndoPlan {
    RenamePlan plan;             // the file's name now -> its old name
    QList<RenamePair> notFound;  // old and new name of each file that is not there
    bool interrupted = false;    // the batch did not run to its end
    std::optional<platform::OsError> error; // the folder could not be read: nothing to do
};

// Looks in the record's folder for each file of the batch: under the name the record says it
// has, or, after a crash, under the name of the one step that may have taken effect unrecorded.
UndoPlan planUndo(const RenameRecord &record);

} // namespace meloport
