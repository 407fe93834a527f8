#include "ui/ApplicationIcon.h"

namespace meloport {

QIcon applicationIcon()
{
    QIcon icon;
    icon.addFile(QStringLiteral(":/meloport/meloport-16.png"), QSize(16, 16));
    icon.addFile(QStringLiteral(":/meloport/meloport-32.png"), QSize(32, 32));
    return icon;
}

} // namespace meloport
