#pragma once

// What every job of the program has in common, whichever front end drives it: how it reaches the
// person, and the check that the listed files are still those of the folder the person named.

#include "core/MessageCatalogue.h"
#include "core/listing/SourceListing.h"

namespace meloport {

// The person's side of a job.
class JobDialog {
public:
    virtual ~JobDialog() = default;
    virtual void tell(const Message &message) = 0;
    // A question whose いいえ leaves every file as it is. True for はい.
    virtual bool ask(const Message &question) = 0;
};

// Whether the listing is still that of the folder field: a field edited or emptied since names
// another folder, whose files the person has not seen. Told so (219) when it is not.
bool listingStillShown(const MusicListing &listing, const QString &folderField, JobDialog &dialog);

} // namespace meloport
