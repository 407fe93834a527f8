#pragma once

#include <QString>

class QWidget;

namespace meloport {

// Lets the user pick a folder in a modal folder picker over `owner`, titled `title`. A
// `startFolder` other than "" is preselected when it exists. Returns the chosen folder's path
// as the picker gives it, or "" on cancel.
QString BrowseForFolder(QWidget *owner, const QString &startFolder, const QString &title);

} // namespace meloport
