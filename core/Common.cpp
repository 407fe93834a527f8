#include "core/Common.h"

#include "platform/Platform.h"
#include "version.h"

namespace meloport {

AppVersion buildVersion()
{
    return {build::kVersionMajor, build::kVersionMinor, build::kVersionRevision};
}

QString GetVersionString(const AppVersion &version)
{
    return QString::number(version.major) + u'.' + QString::number(version.minor)
        + QString::number(version.revision);
}

QString AddPathSeparator(QString folder, QChar separator)
{
    // Nothing is trimmed: blanks belong to names here, and "Album " is another folder than "Album".
    if (!folder.endsWith(separator))
        folder += separator;
    return folder;
}

QString AddPathSeparator(const QString &folder)
{
    return AddPathSeparator(folder, platform::pathSeparator());
}

} // namespace meloport
