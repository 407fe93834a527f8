#include "core/about/HelpFile.h"

#include "core/Product.h"

#include <QDir>
#include <QFileInfo>

namespace meloport {

QString helpTopicAnchor(int topic)
{
    return topic == kHelpContents ? QStringLiteral("contents") : u"topic"_qs + QString::number(topic);
}

QStringList helpFileCandidates(const QString &helpFilePath, const QString &programDir)
{
    if (!helpFilePath.isEmpty() && QFileInfo(helpFilePath).fileName() != helpFilePath)
        return {helpFilePath};
    const QString name = helpFilePath.isEmpty() ? helpFileName() : helpFilePath;
    // MELOPORT_HELP_DIR_FROM_PROGRAM is the installed data folder as seen from the installed
    // program ("../share/meloport"), worked out by CMake from the install folders.
    return {QDir(programDir).filePath(name),
            QDir::cleanPath(programDir + u'/' + QStringLiteral(MELOPORT_HELP_DIR_FROM_PROGRAM) + u'/' + name)};
}

QString findHelpFile(const QStringList &candidates)
{
    for (const QString &candidate : candidates) {
        if (QFileInfo(candidate).isFile())
            return candidate;
    }
    return {};
}

} // namespace meloport
