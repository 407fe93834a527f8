#include "rename/RenameMessages.h"

#include <algorithm>

namespace meloport {

namespace {

// The lines of a list, cut off after the first few with a count of the rest.
template <typename Entry, typename Describe>
QString listLines(const QList<Entry> &entries, Describe describe)
{
    QStringList lines;
    const qsizetype shown = std::min(entries.size(), kListedInMessage);
    for (qsizetype i = 0; i < shown; ++i)
        lines.append(describe(entries[i]));
    if (entries.size() > shown)
        lines.append(FormatMessage(Msg::MoreNotShown, QString::number(entries.size() - shown)).text);
    return lines.join(u'\n');
}

Msg problemMessage(TitleProblem problem)
{
    switch (problem) {
    case TitleProblem::Empty:
        return Msg::TitleEmpty;
    case TitleProblem::LeadingDot:
        return Msg::TitleLeadingDot;
    case TitleProblem::Separator:
        return Msg::TitleHasSeparator;
    case TitleProblem::Nul:
        break;
    }
    return Msg::TitleHasNul;
}

} // namespace

Message titleFileMessage(const QString &path, const TitleFile &file)
{
    if (file.problem == TitleFile::Problem::UnknownEncoding)
        return FormatMessage(Msg::TitleFileEncoding, path);
    return FormatMessage(Msg::TitleFileUnreadable, path, file.error.reason);
}

Message refusedTitlesMessage(const QList<RefusedTitle> &refused)
{
    const QString lines = listLines(refused, [](const RefusedTitle &title) {
        // A NUL would end the text where the message box shows it.
        QString shown = title.title;
        shown.replace(QChar(u'\0'), QChar(u'\u2400'));
        return FormatMessage(Msg::RefusedTitleLine, QString::number(title.position + 1), shown,
                      LoadMessage(problemMessage(title.problem)).text)
            .text;
    });
    return FormatMessage(Msg::TitlesRefused, lines);
}

Message renameFailuresMessage(const RenamePlan &plan, const QList<RenameFailure> &failures)
{
    const QString lines = listLines(failures, [&plan](const RenameFailure &failure) {
        const RenamePair &pair = plan.pairs.at(failure.position);
        return FormatMessage(Msg::RenameFailureLine, pair.oldName, pair.newName, failure.error.reason).text;
    });
    return FormatMessage(Msg::RenameFailures, QString::number(plan.pairs.size()), QString::number(failures.size()), lines);
}

} // namespace meloport
