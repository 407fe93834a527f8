#pragma once

#include "homeurl.h"

#include <QStringView>

namespace meloport {

// The maker's web addresses. Both are set when the program is built (MELOPORT_HOME_URL and
// MELOPORT_DOWNLOAD_URL), so a fork can point them at its own site.

// The home page: the about box's link.
inline const QStringView kHomeUrl = build::kHomeUrl;
// The page that offers the latest version: the update command opens it.
inline const QStringView kDownloadUrl = build::kDownloadUrl;

} // namespace meloport
