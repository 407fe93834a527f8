#pragma once

#include <QString>

namespace meloport {

// The product's name: the settings application, the caption of message boxes.
inline QString productName()
{
    return QStringLiteral("Meloport");
}

// The help document's file name. It is looked for in the folder that InstalledDir names; it is
// installed into the program's data folder (share/meloport).
inline QString helpFileName()
{
    return QStringLiteral("Meloport.html");
}

} // namespace meloport
