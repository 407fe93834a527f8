#include "core/listing/OpenedPath.h"

#include "platform/Platform.h"

#include <QDir>
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
    // By its bytes, as the command line gives them: the folder's name need not be UTF-8.
    if (platform::FolderHandle(path).openError())
        return std::nullopt;
    return QDir::cleanPath(QDir::isAbsolutePath(path) ? path : platform::currentFolder() + u'/' + path);
}

} // namespace meloport
