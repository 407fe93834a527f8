#pragma once

#include "platform/Platform.h"

#include <QString>

namespace meloport {

// The numbers of the program's messages; the texts live in resources/messages.txt.
enum class Msg : quint16 {
    AlreadyRunning = 201,
    ListsDiffer = 202,
    Finished = 203,
    NoTitles = 204,
    NoSources = 205,
    NoCopyDestination = 206,
    CopyFailed = 207,
    TitleFileUnreadable = 208,
    TitleFileEncoding = 209,
    TitlesRefused = 210,
    RefusedTitleLine = 211,
    TitleEmpty = 212,
    TitleHasNul = 214,
    TitleLeadingDot = 215,
    RenameFailures = 216,
    RenameFailureLine = 217,
    MoreNotShown = 218,
    ListingStale = 219,
    RenameQuestion = 220,
    NumberOrderQuestion = 221,
    TitleHasControl = 222,
    FileMissing = 223,
    NameTaken = 224,
    NameKeptByOther = 225,
    SameNewName = 226,
    SameNewNameIgnoringCase = 227,
    NameTooLongBytes = 228,
    NameTooLongCharacters = 229,
    SystemInfoUnavailable = 230,
    HelpFileMissing = 231,
    BrowserFailed = 232,
    BlockedByOther = 233,
    NewNameNotOnDisk = 234,
    StrandedUnder = 235,
    CopyFileFailed = 236,
    CopyIntoSourceFolder = 237,
    CopyCannotRead = 238,
    CopyCannotWrite = 239,
    CopyDestinationUnusable = 240,
    CopySameName = 241,
    CopyNameChanged = 242,
    CopyOntoItself = 243,
    CopySourceShrank = 244,
    UndoQuestion = 250,
    UndoInterruptedQuestion = 251,
    UndoFailures = 252,
    NotWhereRecorded = 253,
    JournalUnusable = 254,
    JournalNotAJournal = 255,
    JournalOtherVersion = 256,
    JournalDamaged = 257,
    JournalNotWritten = 258,
    NothingToUndo = 259,
    TitleFileNotAFile = 260,
    TitleFileTooLarge = 261,
    TitleFileDamagedUtf16 = 262,
    NotAFolder = 263,
    TitleFileInJis = 264,
    PasteCleanupQuestion = 270,
    PasteTrackNumbers = 271,
    PastePlayingTimes = 272,
    PasteEmptyLines = 273,
    PasteCleanupExample = 274,
    NothingToPaste = 275,
    JournalBusy = 280,
    NotAskedNothingDone = 281,
    CopyStopped = 282,
    CopyProgress = 283,
    UsageNoJob = 284,
    UsageMissing = 285,
    UsageOnlyWith = 286,
    UsageUnknownKind = 287,
    UsageExtraArguments = 288,
    UsageSeeHelp = 289,
    UsageEmptyValue = 290,
    LookAlikeQuestion = 300,
    LookAlikeTitleLine = 301,
    CharactersRefused = 302,
    CopyLookAlikeQuestion = 303,
    LookAlikeNameLine = 304,
    NotAskedNothingCopied = 305,
    CopyCharactersRefused = 306,
    WaitedForOtherRename = 320,
    NotTheRenamedFile = 322,
    UndoFolderGone = 323,
    RenameOutcomeUnknown = 324,
    RenameUnproven = 325,
    TitleWithoutFile = 340,
    TrackNumbersNotSaved = 360,
    TagTitlesMissing = 380,
    TagTitleMissingLine = 381,
    TagTitleNone = 382,
    TagTitleDamaged = 383,
    TagTitleCannotOpen = 384,
    TagTitlesMissingKept = 385,
    UsageTogether = 386,
};

// How many entries a list in a message shows; a count of the rest follows (218).
inline constexpr qsizetype kListedInMessage = 20;

enum class MessageIcon { Information, Warning, Question };

struct Message {
    QString text;
    MessageIcon icon = MessageIcon::Information;
};

// The catalogue entry of `number`. Every number the program asks for exists; asking for another
// is a programming error.
const Message &LoadMessage(Msg number);

// The entry with its markers %1, %2 ... filled in, all in one pass, so that a value holding "%1"
// stays as it is.
template <typename... Texts>
Message FormatMessage(Msg number, const Texts &...texts)
{
    Message message = LoadMessage(number);
    message.text = platform::shownPath(message.text.arg(texts...));
    return message;
}

} // namespace meloport
