#pragma once

#include <QString>
#include <QStringList>

namespace meloport {

// The help topics the program opens: the contents, and the main window's topic, which F1 shows.
inline constexpr int kHelpContents = 0;
inline constexpr int kHelpMainWindow = 100;

// The anchor of a topic in the help document: "contents" for the contents, "topic<n>" for the
// others.
QString helpTopicAnchor(int topic);

// Where the help file is looked for, in this order. A path with a folder (InstalledDir was set)
// is taken as it stands. A bare file name, or no path at all, is looked for beside the program,
// then in the data folder an installation puts it in, so help works without any setting.
QStringList helpFileCandidates(const QString &helpFilePath, const QString &programDir);

// The first of `candidates` that is a file, or "" when there is none.
QString findHelpFile(const QStringList &candidates);

} // namespace meloport
