#pragma once

#include <QIcon>

namespace meloport {

// The program's icon in the two sizes a title bar and a taskbar ask for; the main window and the
// help window both show it.
QIcon applicationIcon();

} // namespace meloport
