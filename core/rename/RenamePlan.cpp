#include "core/rename/RenamePlan.h"

#include "core/Collation.h"

#include <algorithm>
#include <optional>

namespace meloport {

namespace {

std::optional<TitleProblem> titleProblem(const QString &title)
{
    if (title.isEmpty())
        return TitleProblem::Empty;
    if (title.contains(QChar(u'\0')))
        return TitleProblem::Nul;
    // Before the leading dot: a file in JIS (ISO-2022-JP) read as UTF-8 holds escapes between
    // letters such as ".", and the escapes are what tells the user why.
    if (std::any_of(title.cbegin(), title.cend(), [](QChar c) { return c < u'\x20' || c == u'\x7f'; }))
        return TitleProblem::Control;
    if (title.startsWith(u'.'))
        return TitleProblem::LeadingDot;
    return std::nullopt;
}

// "01 " for the first of up to 99 files, "001 " for the first of 100 to 999: every number of the
// album has as many digits, so that the names sort as the tracks play.
QString trackNumberPrefix(qsizetype position, qsizetype count)
{
    const int width = std::max<int>(2, int(QString::number(count).size()));
    return QStringLiteral("%1 ").arg(position + 1, width, 10, QChar(u'0'));
}

} // namespace

RenamePlan planRenames(const MusicListing &listing, const QStringList &titles, const QString &extension,
                       NameOptions options)
{
    RenamePlan plan;
    plan.folder = listing.folder;
    const qsizetype count = std::min(listing.files.size(), titles.size());
    for (qsizetype p = 0; p < count; ++p) {
        if (const auto problem = titleProblem(titles[p]))
            plan.refused.append({p, titles[p], *problem});
    }
    if (!plan.refused.isEmpty())
        return plan;

    const QString dotExtension = u'.' + extension;
    plan.pairs.reserve(count);
    plan.titles = titles.mid(0, count);
    for (qsizetype p = 0; p < count; ++p) {
        const QString number = options.trackNumbers ? trackNumberPrefix(p, count) : QString();
        const QString newName = number + titles[p] + dotExtension;
        plan.pairs.append({listing.files[p].name, newName.toUtf8(), listing.files[p].shown(), newName});
    }
    return plan;
}

std::optional<std::pair<qsizetype, qsizetype>> numberOrderBreak(const QStringList &listed)
{
    for (qsizetype i = 0; i + 1 < listed.size(); ++i) {
        if (numberOrderLess(listed[i + 1], listed[i]))
            return std::pair(i, i + 1);
    }
    return std::nullopt;
}

} // namespace meloport
