#pragma once

#include "core/rename/RenameJournal.h"
#include "core/rename/RenamePlan.h"

#include <optional>

namespace meloport {

// What an undo of the recorded batch will do: a plan that gives every file found back its old
// name, and the files that cannot be found, which are left alone.
struct UndoPlan {
    RenamePlan plan;             // the file's name now -> its old name
    QList<RenamePair> notFound;  // old and new name of each file under none of its batch's names
    QList<RenamePair> changed;   // ... of each whose name holds another file, or the file changed
    bool interrupted = false;    // the batch did not run to its end
    std::optional<platform::OsError> error; // the folder could not be read: nothing to do
};

// Looks in the record's folder for each file of the batch by its identity, under the names its
// schedule may have left it: where the record says first, then its new name, its temporary names
// and its old name. A file is taken only where it is proven to be the one renamed; a record of an
// older version, without identities, is trusted where the file is present.
UndoPlan planUndo(const RenameRecord &record);

} // namespace meloport
