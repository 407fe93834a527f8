#include "ui/BrowseFolder.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>

namespace meloport {

QString BrowseForFolder(QWidget *owner, const QString &startFolder, const QString &title)
{
    QFileDialog dialog(owner, title);
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly);
    // Preselected like a folder in a tree: highlighted among its neighbours, so that Enter
    // takes it and a sibling is one click away. A folder that is not there (a blank text
    // included) leaves the picker where it opens by itself.
    if (!startFolder.isEmpty() && QFileInfo(startFolder).isDir()) {
        const QFileInfo start(QDir::cleanPath(QFileInfo(startFolder).absoluteFilePath()));
        if (start.isRoot()) {
            dialog.setDirectory(start.filePath());
        } else {
            dialog.setDirectory(start.absolutePath());
            dialog.selectFile(start.fileName());
        }
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().constFirst();
}

} // namespace meloport
