#include "core/JobDialog.h"

namespace meloport {

bool listingStillShown(const MusicListing &listing, const QString &folderField, JobDialog &dialog)
{
    if (folderField == listing.folderText)
        return true;
    dialog.tell(FormatMessage(Msg::ListingStale, listing.folderText));
    return false;
}

} // namespace meloport
