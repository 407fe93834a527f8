#pragma once

#include "core/listing/SourceListing.h"
#include "core/rename/RenameBatch.h"
#include "core/rename/RenamePlan.h"

#include <QStringList>

namespace meloport {

// The listed folder as the marks check it: read once for each listing.
FolderNames readListedFolder(const MusicListing &listing);

// Why each title would be refused or left out if the rename ran now, in the words of the question
// asked before a rename ("old → new: reason"); empty for a title whose file would get its new
// name. `folder` is the listed folder as read once, so that the marks can follow every change of
// the lists without reading it again (only a character no title held before is tried on its
// disk, once); they look ahead and promise nothing, since the rename reads the folder again.
// Whatever the check finds shows here, and a title beyond the last listed file has no file to
// pair with.
QStringList titleMarks(FolderNames &folder, const MusicListing &listing, const QStringList &titles,
                       const QString &extension, NameOptions options = {});

} // namespace meloport
