#include "core/copy/CopyMessages.h"

namespace meloport {

namespace {

QString reason(const CopyBatch &batch, const CopyFailure &failure)
{
    const auto &files = batch.listing().files;
    switch (failure.problem) {
    case CopyProblem::SameFolder:
        break;
    case CopyProblem::DestinationFolder:
        return FormatMessage(Msg::CopyDestinationUnusable, batch.destinationFolder(), failure.error.reason).text;
    case CopyProblem::Refused:
        return FormatMessage(Msg::CopyCharactersRefused, shownCharacters(batch.refusedCharacters(failure.position)))
            .text;
    case CopyProblem::SameName:
        return FormatMessage(Msg::CopySameName, QString::number(failure.other + 1), files.at(failure.other).shown())
            .text;
    case CopyProblem::Missing:
        return LoadMessage(Msg::FileMissing).text;
    case CopyProblem::Reading:
        return FormatMessage(Msg::CopyCannotRead, failure.error.reason).text;
    case CopyProblem::Writing:
        return FormatMessage(Msg::CopyCannotWrite, failure.error.reason).text;
    case CopyProblem::NameChanged:
        return LoadMessage(Msg::CopyNameChanged).text;
    case CopyProblem::SameFile:
        return LoadMessage(Msg::CopyOntoItself).text;
    case CopyProblem::Shrank:
        return LoadMessage(Msg::CopySourceShrank).text;
    }
    return {};
}

} // namespace

Message copyFailureMessage(const CopyBatch &batch, const CopyReport &report)
{
    Q_ASSERT(report.failure);
    const CopyFailure &failure = *report.failure;
    if (failure.problem == CopyProblem::SameFolder) {
        Message message = LoadMessage(Msg::CopyFailed);
        message.text += u'\n'
                        + FormatMessage(Msg::CopyIntoSourceFolder, batch.destinationFolder(),
                                        batch.listing().folderText)
                              .text;
        return message;
    }
    return FormatMessage(Msg::CopyFileFailed, batch.listing().files.at(failure.position).shown(),
                         reason(batch, failure), QString::number(batch.listing().files.size()),
                         QString::number(report.copied));
}

Message copyLookAlikeQuestion(const CopyBatch &batch)
{
    QStringList lines;
    QByteArray characters;
    qsizetype count = 0;
    const auto &files = batch.listing().files;
    for (qsizetype p = 0; p < files.size(); ++p) {
        const QByteArray refused = batch.refusedCharacters(p);
        if (refused.isEmpty())
            continue;
        for (const char c : refused) {
            if (!characters.contains(c))
                characters.append(c);
        }
        if (++count <= kListedInMessage)
            lines.append(
                FormatMessage(Msg::LookAlikeNameLine, files[p].shown(), withLookAlikes(files[p].shown(), refused)).text);
    }
    if (count > kListedInMessage)
        lines.append(FormatMessage(Msg::MoreNotShown, QString::number(count - kListedInMessage)).text);
    return FormatMessage(Msg::CopyLookAlikeQuestion, QString::number(count), shownCharacters(characters),
                         lines.join(u'\n'));
}

} // namespace meloport
