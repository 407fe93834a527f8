#include "core/listing/OpenedPath.h"

#include <QFileInfo>
#include <QMimeDatabase>

namespace meloport {

OpenedPath droppedPath(const QList<QUrl> &urls)
{
    if (urls.size() != 1 || !urls.first().isLocalFile())
        return {};
    const QFileInfo info(urls.first().toLocalFile());
    if (info.isDir())
        return {OpenedPath::Kind::Folder, info.absoluteFilePath()};
    if (info.isFile() && QMimeDatabase().mimeTypeForFile(info).name() == u"text/plain")
        return {OpenedPath::Kind::TitleFile, info.absoluteFilePath()};
    return {};
}

std::optional<QString> folderToOpen(const QString &path)
{
    const QFileInfo info(path);
    if (!info.isDir())
        return std::nullopt;
    return info.absoluteFilePath();
}

} // namespace meloport
