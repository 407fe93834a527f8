#pragma once

#include <QChar>
#include <QList>
#include <QString>
#include <QStringList>

namespace meloport {

// One file of the folder and the name it is to get.
struct RenamePair {
    QString oldName;
    QString newName;
};

// Why a title cannot become a file name here.
enum class TitleProblem {
    Empty,      // "" + ".WAV" would be a hidden file
    LeadingDot, // so would ".title.WAV"
    Separator,  // it would move the file into another folder
    Nul,        // no file name holds one
};

struct RefusedTitle {
    qsizetype position = 0;
    QString title;
    TitleProblem problem = TitleProblem::Empty;
};

// What a rename of the whole folder will do. Pair p joins source p with title p; names are bare,
// and every path is `folder` followed by a name. When any title is refused there are no pairs:
// nothing may be touched then.
struct RenamePlan {
    QString folder;
    QList<RenamePair> pairs;
    QList<RefusedTitle> refused;
};

// Pairs the sources with the titles by position; each new name is the title, "." and
// `extension`. The folder text goes through AddPathSeparator with `separator`.
RenamePlan planRenames(const QString &folderText, const QStringList &sources, const QStringList &titles,
                       const QString &extension, QChar separator);

} // namespace meloport
