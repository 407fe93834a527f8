#include "app/Common.h"

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
    // Only the ASCII space is trimmed: the field's text is otherwise taken as typed.
    qsizetype begin = 0;
    qsizetype end = folder.size();
    while (begin < end && folder.at(begin) == u' ')
        ++begin;
    while (end > begin && folder.at(end - 1) == u' ')
        --end;
    folder = folder.sliced(begin, end - begin);
    if (!folder.endsWith(separator))
        folder += separator;
    return folder;
}

QString AddPathSeparator(const QString &folder)
{
    return AddPathSeparator(folder, platform::pathSeparator());
}

} // namespace meloport
