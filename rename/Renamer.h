#pragma once

#include "platform/Platform.h"
#include "rename/RenamePlan.h"

#include <QList>

namespace meloport {

// A pair whose file kept its old name, and why.
struct RenameFailure {
    qsizetype position = 0;
    platform::OsError error;
};

// Renames every pair of the plan in position order, never replacing a file, and goes on after a
// failure. Without temporary names: two files whose titles swap their names both stay as they
// were. Returns the pairs that failed; none when every file got its new name.
QList<RenameFailure> RenameAll(const RenamePlan &plan);

} // namespace meloport
