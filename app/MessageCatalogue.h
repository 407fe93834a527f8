#pragma once

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
    SystemInfoUnavailable = 230,
    HelpFileMissing = 231,
    BrowserFailed = 232,
};

enum class MessageIcon { Information, Warning };

struct Message {
    QString text;
    MessageIcon icon = MessageIcon::Information;
};

// The catalogue entry of `number`. Every number the program asks for exists; asking for another
// is a programming error.
const Message &LoadMessage(Msg number);

} // namespace meloport
