#pragma once

#include "app/MessageCatalogue.h"
#include "rename/RenamePlan.h"
#include "rename/Renamer.h"
#include "rename/TitleFile.h"

namespace meloport {

// The catalogue messages that report a title file that did not load, titles that cannot be file
// names, and pairs that were not renamed, with their details filled in. Long lists show their
// first entries and how many more there are.

Message titleFileMessage(const QString &path, const TitleFile &file);
Message refusedTitlesMessage(const QList<RefusedTitle> &refused);
Message renameFailuresMessage(const RenamePlan &plan, const QList<RenameFailure> &failures);

// How many entries a list in a message shows.
inline constexpr qsizetype kListedInMessage = 20;

} // namespace meloport
