#include "core/rename/RenameMessages.h"

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
    case TitleProblem::Control:
        return Msg::TitleHasControl;
    case TitleProblem::Nul:
        break;
    }
    return Msg::TitleHasNul;
}

QString position(qsizetype index)
{
    return QString::number(index + 1);
}

// Control characters as their pictures (␀, ␉, ␛): a NUL would end the text where a message box
// shows it, and the others would not show at all.
QString withVisibleControls(QString text)
{
    for (QChar &c : text) {
        if (c < u'\x20')
            c = QChar(0x2400 + c.unicode());
        else if (c == u'\x7f')
            c = QChar(0x2421);
    }
    return text;
}

QString reason(const RenameBatch &batch, const RenameFailure &failure)
{
    const auto &pairs = batch.plan().pairs;
    switch (failure.problem) {
    case RenameProblem::BadTitle:
        return LoadMessage(problemMessage(failure.title)).text;
    case RenameProblem::Missing:
        return LoadMessage(Msg::FileMissing).text;
    case RenameProblem::Refused:
        return FormatMessage(Msg::CharactersRefused, shownCharacters(batch.refusedCharacters(failure.position))).text;
    case RenameProblem::Taken:
        if (failure.other < 0)
            return LoadMessage(Msg::NameTaken).text;
        return FormatMessage(Msg::NameKeptByOther, pairs.at(failure.other).oldShown).text;
    case RenameProblem::SameNewName: {
        // Names that differ in case alone are the same on this disk: say why they clash.
        const bool caseOnly = pairs.at(failure.other).newName != pairs.at(failure.position).newName;
        return FormatMessage(caseOnly ? Msg::SameNewNameIgnoringCase : Msg::SameNewName, position(failure.other)).text;
    }
    case RenameProblem::TooLong:
        return FormatMessage(failure.limit.unit == platform::NameLimit::Unit::Bytes ? Msg::NameTooLongBytes
                                                                                     : Msg::NameTooLongCharacters,
                             QString::number(failure.limit.max))
            .text;
    case RenameProblem::Blocked:
        return FormatMessage(Msg::BlockedByOther, position(failure.other)).text;
    case RenameProblem::NotOnDisk:
        return LoadMessage(Msg::NewNameNotOnDisk).text;
    case RenameProblem::Unproven:
        return FormatMessage(Msg::RenameUnproven, failure.error.reason).text;
    case RenameProblem::System:
        break;
    }
    return failure.error.reason;
}

} // namespace

QString renameFailureLine(const RenameBatch &batch, const RenameFailure &failure)
{
    const RenamePair &pair = batch.plan().pairs.at(failure.position);
    QString why = reason(batch, failure);
    if (!failure.strandedAs.isEmpty())
        why = FormatMessage(Msg::StrandedUnder, why, QString::fromUtf8(failure.strandedAs)).text;
    const QString newShown =
        failure.problem == RenameProblem::BadTitle ? withVisibleControls(pair.newShown) : pair.newShown;
    return FormatMessage(Msg::RenameFailureLine, pair.oldShown, newShown, why).text;
}

namespace {

QString failureLines(const RenameBatch &batch, const QList<RenameFailure> &failures)
{
    return listLines(failures, [&batch](const RenameFailure &failure) { return renameFailureLine(batch, failure); });
}

} // namespace

Message titleFileMessage(const QString &path, const TitleFile &file)
{
    switch (file.problem) {
    case TitleFile::Problem::UnknownEncoding:
        return FormatMessage(Msg::TitleFileEncoding, path);
    case TitleFile::Problem::DamagedUtf16:
        return FormatMessage(Msg::TitleFileDamagedUtf16, path);
    case TitleFile::Problem::NotAFile:
        return FormatMessage(Msg::TitleFileNotAFile, path);
    case TitleFile::Problem::TooLarge:
        return FormatMessage(Msg::TitleFileTooLarge, path, QString::number(kTitleFileMaxBytes / (1024 * 1024)));
    case TitleFile::Problem::None:
    case TitleFile::Problem::Unreadable:
        break;
    }
    return FormatMessage(Msg::TitleFileUnreadable, path, file.error.reason);
}

Message refusedTitlesMessage(const QList<RefusedTitle> &refused)
{
    const QString lines = listLines(refused, [](const RefusedTitle &title) {
        return FormatMessage(Msg::RefusedTitleLine, QString::number(title.position + 1), withVisibleControls(title.title),
                      LoadMessage(problemMessage(title.problem)).text)
            .text;
    });
    Message message = FormatMessage(Msg::TitlesRefused, lines);
    // ESC $ and ESC ( switch character sets in JIS, which no other text file holds.
    const bool jis = std::any_of(refused.cbegin(), refused.cend(), [](const RefusedTitle &title) {
        return title.title.contains(u"\x1b$") || title.title.contains(u"\x1b(");
    });
    if (jis)
        message.text += u'\n' + LoadMessage(Msg::TitleFileInJis).text;
    return message;
}

Message numberOrderQuestion(const QStringList &listed, std::pair<qsizetype, qsizetype> pair)
{
    return FormatMessage(Msg::NumberOrderQuestion, listed.at(pair.first), listed.at(pair.second));
}

Message renameQuestion(const RenameBatch &batch)
{
    const qsizetype others = batch.plan().pairs.size() - batch.problems().size();
    return FormatMessage(Msg::RenameQuestion, QString::number(batch.problems().size()),
                         failureLines(batch, batch.problems()), QString::number(others));
}

Message lookAlikeQuestion(const RenameBatch &batch)
{
    QStringList lines;
    QByteArray characters;
    const RenamePlan &plan = batch.plan();
    for (const RenameFailure &failure : batch.problems()) {
        if (failure.problem != RenameProblem::Refused)
            continue;
        const QByteArray refused = batch.refusedCharacters(failure.position);
        for (const char c : refused) {
            if (!characters.contains(c))
                characters.append(c);
        }
        const QString title = plan.titles.value(failure.position);
        lines.append(FormatMessage(Msg::LookAlikeTitleLine, position(failure.position), title,
                                   withLookAlikes(title, refused))
                         .text);
    }
    return FormatMessage(Msg::LookAlikeQuestion, QString::number(lines.size()), shownCharacters(characters),
                         listLines(lines, [](const QString &line) { return line; }));
}

Message renameFailuresMessage(const RenameBatch &batch, const QList<RenameFailure> &failures)
{
    // Cut off from the folder, the program cannot tell what the disk kept: the record can.
    const bool unknown = std::any_of(failures.cbegin(), failures.cend(), [](const RenameFailure &failure) {
        return failure.problem == RenameProblem::Unproven;
    });
    return FormatMessage(unknown ? Msg::RenameOutcomeUnknown : Msg::RenameFailures,
                         QString::number(batch.plan().pairs.size()), QString::number(failures.size()),
                         failureLines(batch, failures));
}

Message journalUnusableMessage(const QString &path, const JournalReading &reading)
{
    QString why;
    switch (reading.problem) {
    case JournalReading::Problem::Unreadable:
        why = reading.error.reason;
        break;
    case JournalReading::Problem::OtherVersion:
        why = LoadMessage(Msg::JournalOtherVersion).text;
        break;
    case JournalReading::Problem::Damaged:
        why = LoadMessage(Msg::JournalDamaged).text;
        break;
    case JournalReading::Problem::NotAJournal:
    case JournalReading::Problem::None:
        why = LoadMessage(Msg::JournalNotAJournal).text;
        break;
    }
    return FormatMessage(Msg::JournalUnusable, path, why);
}

Message journalNotWrittenMessage(const QString &path, const platform::OsError &error)
{
    return FormatMessage(Msg::JournalNotWritten, path, error.reason);
}

Message undoQuestion(const UndoPlan &undo)
{
    return FormatMessage(undo.interrupted ? Msg::UndoInterruptedQuestion : Msg::UndoQuestion, undo.plan.folder,
                         QString::number(undo.plan.pairs.size()));
}

Message undoFailuresMessage(const UndoPlan &undo, const RenameBatch &batch, const QList<RenameFailure> &failures)
{
    QStringList lines;
    for (const auto &[pairs, why] : {std::pair(&undo.notFound, Msg::NotWhereRecorded),
                                     std::pair(&undo.changed, Msg::NotTheRenamedFile)}) {
        for (const RenamePair &pair : *pairs)
            lines.append(FormatMessage(Msg::RenameFailureLine, pair.newShown, pair.oldShown, LoadMessage(why).text).text);
    }
    for (const RenameFailure &failure : failures)
        lines.append(renameFailureLine(batch, failure));
    const qsizetype unfound = undo.notFound.size() + undo.changed.size();
    return FormatMessage(Msg::UndoFailures, QString::number(undo.plan.pairs.size() + unfound),
                         QString::number(unfound + failures.size()),
                         listLines(lines, [](const QString &line) { return line; }));
}

} // namespace meloport
