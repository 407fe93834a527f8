#include "rename/Renamer.h"

namespace meloport {

QList<RenameFailure> RenameAll(const RenamePlan &plan)
{
    QList<RenameFailure> failures;
    if (plan.pairs.isEmpty())
        return failures;
    const platform::FolderHandle folder(plan.folder);
    for (qsizetype p = 0; p < plan.pairs.size(); ++p) {
        const RenamePair &pair = plan.pairs[p];
        if (auto error = folder.renameNoReplace(pair.oldName, pair.newName))
            failures.append({p, std::move(*error)});
    }
    return failures;
}

} // namespace meloport
