#include "cli/CommandLine.h"

#include "core/MessageCatalogue.h"
#include "core/copy/CopyJob.h"
#include "core/rename/RenameJob.h"
#include "core/rename/RenameMessages.h"
#include "core/tags/TagTitles.h"
#include "core/titles/TitleFile.h"

#include <QCommandLineParser>
#include <QCoreApplication>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <unistd.h>

namespace meloport {

namespace {

void write(FILE *stream, const QByteArray &text)
{
    std::fwrite(text.constData(), 1, static_cast<size_t>(text.size()), stream);
}

void printError(const QString &text)
{
    write(stderr, QStringLiteral("meloport: %1\n").arg(text).toUtf8());
}

// Nobody is there to answer: without --yes a question is answered いいえ, and says so. A dry run
// goes on past every question instead, noting that the real run would stop there.
class UnattendedDialog final : public JobDialog {
public:
    UnattendedDialog(bool yes, bool dryRun, Msg nothingDone = Msg::NotAskedNothingDone)
        : m_yes(yes)
        , m_dryRun(dryRun)
        , m_nothingDone(nothingDone)
    {
    }
    void tell(const Message &message) override { printError(message.text); }
    bool ask(const Message &question) override
    {
        printError(question.text);
        if (m_yes)
            return true;
        m_wouldStop = true;
        if (!m_dryRun)
            printError(LoadMessage(m_nothingDone).text);
        return m_dryRun;
    }
    bool wouldStop() const { return m_wouldStop; }

private:
    bool m_yes;
    bool m_dryRun;
    Msg m_nothingDone;
    bool m_wouldStop = false;
};

int usageError(const QString &text)
{
    printError(text);
    printError(LoadMessage(Msg::UsageSeeHelp).text);
    return kUsageError;
}

// The extension of the kind named as the kind menu names it, in any letter case.
std::optional<QString> kindExtension(const QString &name, QStringList &known)
{
    std::optional<QString> found;
    for (const QString &extension : defaultKindExtensions()) {
        if (extension.isEmpty())
            continue;
        known.append(extension.toLower());
        if (name.compare(extension, Qt::CaseInsensitive) == 0)
            found = extension;
    }
    return found;
}

// The folder's files of the kind, or nothing once told that there is no such folder: one that is
// not there would list as a folder without music, and say so misleadingly.
std::optional<MusicListing> listFolder(const QString &folder, const QString &extension)
{
    if (platform::FolderHandle(folder).openError()) {
        printError(FormatMessage(Msg::NotAFolder, folder).text);
        return std::nullopt;
    }
    return listMusicFiles(folder, extension);
}

void printPair(const RenamePair &pair)
{
    // The exact bytes, so that a script gets names it can use, UTF-8 or not.
    write(stdout, pair.oldName + '\t' + pair.newName + '\n');
}

// The listed files that have a title tag, with their titles; each file without one is named on
// standard error and left out, so that it keeps its name. False when that left out any.
bool takeTagTitles(MusicListing &listing, QStringList &titles)
{
    const QList<TagTitle> tags = readTagTitles(listing);
    MusicListing tagged{listing.folderText, listing.folder, {}};
    QStringList missing;
    for (qsizetype i = 0; i < tags.size(); ++i) {
        if (tags[i].missing != TagTitle::Missing::None) {
            missing.append(missingTitleLine(listing, tags, i));
            continue;
        }
        tagged.files.append(listing.files[i]);
        titles.append(tags[i].title);
    }
    if (!missing.isEmpty()) {
        printError(FormatMessage(Msg::TagTitlesMissingKept, QString::number(tags.size()),
                                 QString::number(missing.size()))
                       .text);
        for (const QString &line : std::as_const(missing))
            printError(line);
    }
    listing = std::move(tagged);
    return missing.isEmpty();
}

// `titlesPath` names the title file; without it the titles come from the files' tags.
int renameFolder(const QString &folder, const std::optional<QString> &titlesPath, const QString &extension,
                 bool dryRun, bool yes, const QString &journalPath, NameOptions options)
{
    UnattendedDialog dialog(yes, dryRun);
    // Another program's rename may be under way in this very folder: the folder is listed and
    // checked once it has ended. A dry run touches nothing and does not wait.
    const std::unique_ptr<RenameLock> lock = dryRun ? nullptr : lockRenames(journalPath, dialog);
    if (!dryRun && !lock)
        return kNotDone;
    std::optional<MusicListing> listing = listFolder(folder, extension);
    if (!listing)
        return kNotDone;
    QStringList titles;
    bool allTagged = true;
    if (titlesPath) {
        const TitleFile file = readTitleFile(*titlesPath);
        if (file.problem != TitleFile::Problem::None) {
            printError(titleFileMessage(*titlesPath, file).text);
            return kNotDone;
        }
        titles = file.titles;
    } else if (!listing->files.isEmpty()) {
        allTagged = takeTagTitles(*listing, titles);
        if (listing->files.isEmpty())
            return kNotDone;
    }
    std::optional<RenameBatch> batch = prepareRename(*listing, titles, extension, dialog, options);
    if (!batch)
        return kNotDone;
    if (dryRun) {
        for (const RenamePair &pair : batch->plan().pairs)
            printPair(pair);
        for (const RenameFailure &failure : batch->problems())
            printError(renameFailureLine(*batch, failure));
        return dialog.wouldStop() || !batch->problems().isEmpty() || !allTagged ? kNotDone : kAllDone;
    }
    // Pairs skipped after --yes count as not done: the report names them.
    return runRename(*batch, *lock, dialog) && allTagged ? kAllDone : kNotDone;
}

volatile std::sig_atomic_t gInterrupted = 0;

extern "C" void interruptCopy(int)
{
    gInterrupted = 1;
}

// The copy's progress as a line on a terminal; Ctrl+C stops the copy as ｷｬﾝｾﾙ does.
class TerminalProgress final : public CopyProgress {
public:
    void begin(qsizetype files, qint64 bytes) override
    {
        m_total = QString::number(files);
        m_totalBytes = std::max<qint64>(bytes, 1);
        gInterrupted = 0;
        struct sigaction stop {};
        stop.sa_handler = interruptCopy;
        sigaction(SIGINT, &stop, &m_oldInt);
        sigaction(SIGTERM, &stop, &m_oldTerm);
    }
    bool advance(qsizetype filesDone, qint64 bytesDone) override
    {
        const int percent = int(bytesDone * 100 / m_totalBytes);
        if (m_terminal && percent != m_shownPercent) {
            m_shownPercent = percent;
            const QString line =
                FormatMessage(Msg::CopyProgress, QString::number(filesDone), m_total, QString::number(percent)).text;
            write(stderr, "\r" + line.toUtf8() + "\x1b[K");
        }
        return gInterrupted == 0;
    }
    void end() override
    {
        if (m_terminal)
            write(stderr, "\n");
        sigaction(SIGINT, &m_oldInt, nullptr);
        sigaction(SIGTERM, &m_oldTerm, nullptr);
    }
    void stopped(const Message &howFar) override { printError(howFar.text); }

private:
    const bool m_terminal = ::isatty(STDERR_FILENO) == 1;
    QString m_total;
    qint64 m_totalBytes = 1;
    int m_shownPercent = -1;
    struct sigaction m_oldInt {};
    struct sigaction m_oldTerm {};
};

int copyFolder(const QString &folder, const QString &destination, const QString &extension, bool yes)
{
    UnattendedDialog dialog(yes, false, Msg::NotAskedNothingCopied);
    // Said before the folder is looked at, as the window says it before anything else.
    if (!copyDestinationGiven(destination, dialog))
        return kNotDone;
    const std::optional<MusicListing> listing = listFolder(folder, extension);
    if (!listing)
        return kNotDone;
    TerminalProgress progress;
    return CopyJob().run(*listing, listing->folderText, destination, dialog, progress) == CopyOutcome::Done
               ? kAllDone
               : kNotDone;
}

} // namespace

bool wantsCommandLine(const QStringList &arguments)
{
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString &argument = arguments[i];
        if (argument == u"--")
            return false;
        if (argument.size() > 1 && argument.startsWith(u'-'))
            return true;
    }
    return false;
}

std::optional<QString> windowFolder(const QStringList &arguments)
{
    const qsizetype at = arguments.value(1) == u"--" ? 2 : 1;
    if (at < arguments.size())
        return arguments.at(at);
    return std::nullopt;
}

int runCommandLine(const QStringList &arguments, const QString &journalPath)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "ﾌｫﾙﾀﾞの曲のﾌｧｲﾙに曲名ﾌｧｲﾙの曲名を付けます。ｳｨﾝﾄﾞｳなしで、ｽｸﾘﾌﾟﾄから使えます。\n"
        "終了ｺｰﾄﾞ: 0 すべて済んだ、1 失敗または中止した、2 引数の誤り。"));
    // Qt's own help and version options would describe themselves in English.
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")}, QStringLiteral("この使い方を表示します。"));
    const QCommandLineOption version({QStringLiteral("v"), QStringLiteral("version")},
                                     QStringLiteral("ﾊﾞｰｼﾞｮﾝを表示します。"));
    const QCommandLineOption rename(QStringLiteral("rename"), QStringLiteral("FOLDER のﾌｧｲﾙの名前を変更します。"),
                                    QStringLiteral("FOLDER"));
    const QCommandLineOption titles(QStringLiteral("titles"), QStringLiteral("曲名ﾌｧｲﾙ (1 行に 1 曲)。"),
                                    QStringLiteral("FILE"));
    const QCommandLineOption titlesFromTags(
        QStringLiteral("titles-from-tags"),
        QStringLiteral("曲名をﾌｧｲﾙの曲名ﾀｸﾞから読みます。曲名ﾀｸﾞのないﾌｧｲﾙは名前を変更しません。"));
    const QCommandLineOption kind(QStringLiteral("kind"),
                                  QStringLiteral("ﾌｧｲﾙの種類: wav (既定)、mp3、wma など。"), QStringLiteral("KIND"),
                                  QStringLiteral("wav"));
    const QCommandLineOption dryRun(QStringLiteral("dry-run"),
                                    QStringLiteral("変更する名前と問題を表示するだけで、何も変更しません。"));
    const QCommandLineOption yes(QStringLiteral("yes"),
                                 QStringLiteral("問いに「はい」と答えます (一部だけ変更できるときも変更し、ﾃﾞｨｽｸが"
                                                    "ﾌｧｲﾙ名に使えない文字は全角の似た文字にします)。"));
    const QCommandLineOption number(QStringLiteral("number"),
                                    QStringLiteral("新しい名前の前にﾄﾗｯｸ番号を付けます (01 曲名.WAV)。"));
    const QCommandLineOption copy(QStringLiteral("copy"), QStringLiteral("FOLDER のﾌｧｲﾙをｺﾋﾟｰします。"),
                                  QStringLiteral("FOLDER"));
    const QCommandLineOption to(QStringLiteral("to"), QStringLiteral("ｺﾋﾟｰ先ﾌｫﾙﾀﾞ。"), QStringLiteral("DEST"));
    const QCommandLineOption undo(QStringLiteral("undo"), QStringLiteral("前回の名前の変更を元に戻します。"));
    parser.addOptions({help, version, rename, titles, titlesFromTags, kind, dryRun, yes, number, copy, to, undo});

    // process() would exit with 1 on a usage error, which a script could not tell from a refusal.
    if (!parser.parse(arguments))
        return usageError(parser.errorText());
    if (parser.isSet(help)) {
        write(stdout, parser.helpText().toUtf8());
        return kAllDone;
    }
    if (parser.isSet(version)) {
        write(stdout, (QCoreApplication::applicationName() + u' ' + QCoreApplication::applicationVersion() + u'\n')
                          .toUtf8());
        return kAllDone;
    }

    const int jobs = int(parser.isSet(rename)) + int(parser.isSet(copy)) + int(parser.isSet(undo));
    if (jobs != 1)
        return usageError(LoadMessage(Msg::UsageNoJob).text);
    if (!parser.positionalArguments().isEmpty())
        return usageError(FormatMessage(Msg::UsageExtraArguments, parser.positionalArguments().join(u' ')).text);
    const auto name = [](const QCommandLineOption &option) -> QString {
        return QStringLiteral("--") + option.names().first();
    };
    const auto onlyWith = [&](const QCommandLineOption &option, const QCommandLineOption &job) -> std::optional<int> {
        if (parser.isSet(option) && !parser.isSet(job))
            return usageError(FormatMessage(Msg::UsageOnlyWith, name(option), name(job)).text);
        return std::nullopt;
    };
    for (const auto &[option, job] : {std::pair(&titles, &rename), std::pair(&titlesFromTags, &rename),
                                      std::pair(&dryRun, &rename), std::pair(&number, &rename),
                                      std::pair(&to, &copy)})
        if (const auto status = onlyWith(*option, *job))
            return *status;
    if (parser.isSet(kind) && parser.isSet(undo))
        return usageError(FormatMessage(Msg::UsageOnlyWith, name(kind), QString(name(rename) + u'/' + name(copy))).text);
    if (parser.isSet(titles) && parser.isSet(titlesFromTags))
        return usageError(FormatMessage(Msg::UsageTogether, name(titles), name(titlesFromTags)).text);
    if (parser.isSet(rename) && !parser.isSet(titles) && !parser.isSet(titlesFromTags))
        return usageError(
            FormatMessage(Msg::UsageMissing, name(rename), QString(name(titles) + u" または " + name(titlesFromTags)))
                .text);
    if (parser.isSet(copy) && !parser.isSet(to))
        return usageError(FormatMessage(Msg::UsageMissing, name(copy), name(to)).text);

    // An empty folder would be taken as the root folder: "/" followed by the names.
    for (const QCommandLineOption *option : {&rename, &copy, &titles, &to})
        if (parser.isSet(*option) && parser.value(*option).isEmpty())
            return usageError(FormatMessage(Msg::UsageEmptyValue, name(*option)).text);

    QStringList knownKinds;
    const std::optional<QString> extension = kindExtension(parser.value(kind), knownKinds);
    if (!extension)
        return usageError(FormatMessage(Msg::UsageUnknownKind, parser.value(kind), knownKinds.join(u", ")).text);

    if (parser.isSet(rename))
        return renameFolder(parser.value(rename),
                            parser.isSet(titles) ? std::optional(parser.value(titles)) : std::nullopt, *extension,
                            parser.isSet(dryRun), parser.isSet(yes), journalPath, NameOptions{parser.isSet(number)});
    if (parser.isSet(copy))
        return copyFolder(parser.value(copy), parser.value(to), *extension, parser.isSet(yes));
    UnattendedDialog dialog(parser.isSet(yes), false);
    return undoLastRename(journalPath, dialog) == UndoOutcome::Done ? kAllDone : kNotDone;
}

} // namespace meloport
