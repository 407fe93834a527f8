#pragma once

#include "core/MessageCatalogue.h"
#include "core/copy/CopyBatch.h"

namespace meloport {

// The message of a copy that stopped on a failure (`report.failure`): message 207 with the reason
// when the destination is the source folder itself; otherwise the file, why it was not copied, and
// how many files were copied before it.
Message copyFailureMessage(const CopyBatch &batch, const CopyReport &report);

// The files whose names the destination refuses for their characters, as their full-width
// look-alikes would make them, and whether to copy them under those.
Message copyLookAlikeQuestion(const CopyBatch &batch);

} // namespace meloport
