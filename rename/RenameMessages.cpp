#include "rename/RenameMessages.h"

#include <algorithm>

namespace meloport {

namespace {

Message withText(Msg number, QString text)
{
    Message message = LoadMessage(number);
    message.text = std::move(text);
    return message;
}

// The lines of a list, cut off after the first few with a count of the rest.
template <typename Entry, typename Describe>
QString listLines(const QList<Entry> &entries, Describe describe)
{
    QStringList lines;
    const qsizetype shown = std::min(entries.size(), kListedInMessage);
    for (qsizetype i = 0; i < shown; ++i)
        lines.append(describe(entries[i]));
    if (entries.size() > shown)
        lines.append(LoadMessage(Msg::MoreNotShown).text.arg(entries.size() - shown));
    return lines.join(u'\n');
}

Msg problemText(TitleProblem problem)
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
        return withText(Msg::TitleFileEncoding, LoadMessage(Msg::TitleFileEncoding).text.arg(path));
    return withText(Msg::TitleFileUnreadable, LoadMessage(Msg::TitleFileUnreadable).text.arg(path, file.error.reason));
}

Message refusedTitlesMessage(const QList<RefusedTitle> &refused)
{
    const QString &line = LoadMessage(Msg::RefusedTitleLine).text;
    const QString lines = listLines(refused, [&line](const RefusedTitle &title) {
        // A NUL would end the text where the message box shows it.
        QString shown = title.title;
        shown.replace(QChar(u'\0'), QChar(u'\u2400'));
        return line.arg(QString::number(title.position + 1), shown, LoadMessage(problemText(title.problem)).text);
    });
    return withText(Msg::TitlesRefused, LoadMessage(Msg::TitlesRefused).text.arg(lines));
}

Message renameFailuresMessage(const RenamePlan &plan, const QList<RenameFailure> &failures)
{
    const QString &line = LoadMessage(Msg::RenameFailureLine).text;
    const QString lines = listLines(failures, [&](const RenameFailure &failure) {
        const RenamePair &pair = plan.pairs.at(failure.position);
        return line.arg(pair.oldName, pair.newName, failure.error.reason);
    });
    return withText(Msg::RenameFailures, LoadMessage(Msg::RenameFailures)
                                             .text.arg(QString::number(plan.pairs.size()),
                                                       QString::number(failures.size()), lines));
}

} // namespace meloport
