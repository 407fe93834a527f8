#include "rename/RenamePlan.h"

#include "app/Common.h"

#include <algorithm>
#include <optional>

namespace meloport {

namespace {

std::optional<TitleProblem> titleProblem(const QString &title, QChar separator)
{
    if (title.isEmpty())
        return TitleProblem::Empty;
    if (title.contains(QChar(u'\0')))
        return TitleProblem::Nul;
    // "/" separates folders everywhere; the system's own separator as well.
    if (title.contains(u'/') || title.contains(separator))
        return TitleProblem::Separator;
    if (title.startsWith(u'.'))
        return TitleProblem::LeadingDot;
    return std::nullopt;
}

} // namespace

RenamePlan planRenames(const QString &folderText, const QStringList &sources, const QStringList &titles,
                       const QString &extension, QChar separator)
{
    RenamePlan plan;
    plan.folder = AddPathSeparator(folderText, separator);
    const qsizetype count = std::min(sources.size(), titles.size());
    for (qsizetype p = 0; p < count; ++p) {
        if (const auto problem = titleProblem(titles[p], separator))
            plan.refused.append({p, titles[p], *problem});
    }
    if (!plan.refused.isEmpty())
        return plan;

    const QString dotExtension = u'.' + extension;
    plan.pairs.reserve(count);
    for (qsizetype p = 0; p < count; ++p)
        plan.pairs.append({sources[p], titles[p] + dotExtension});
    return plan;
}

} // namespace meloport
