#pragma once

#include "platform/Platform.h"

#include <QByteArrayView>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <optional>

namespace meloport {

// The titles of a title file, one per line in track order, or why there are none.
struct TitleFile {
    enum class Problem { None, Unreadable, UnknownEncoding, NotAFile, TooLarge, DamagedUtf16 };

    QStringList titles;
    Problem problem = Problem::None;
    platform::OsError error; // why the file could not be read
};

// No album has a title list this long; a larger file is something else, and is not read.
inline constexpr qint64 kTitleFileMaxBytes = 16 * 1024 * 1024;

// The text of a title file: UTF-16 when it starts with a byte-order mark of either order (what
// Notepad saves as "Unicode"); UTF-8, with or without a byte-order mark, when the bytes are valid
// UTF-8; otherwise code page 932, as Japanese Windows writes it. Nothing when they are none of
// these, or hold a NUL, which no text file does (UTF-16 without a byte-order mark, say).
std::optional<QString> decodeTitleText(QByteArrayView bytes);

// Whether the blanks around each line are part of its title.
enum class LineBlanks { Kept, Trimmed };

// One title per line. A carriage return, a carriage return and line feed, or a lone line feed
// ends a line and is not part of it; empty lines between titles are empty titles, but empty lines
// after the last title add none (they would only make the lists' counts differ, unseen).
QStringList splitTitleLines(QStringView text, LineBlanks blanks = LineBlanks::Kept);

// Only a regular file of at most kTitleFileMaxBytes is read.
TitleFile readTitleFile(const QString &path);

} // namespace meloport
