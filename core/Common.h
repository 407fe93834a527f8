#pragma once

#include <QChar>
#include <QString>

namespace meloport {

// The numbers of one build of the program.
struct AppVersion {
    short major = 0;
    short minor = 0;
    short revision = 0;
};

// This build's numbers, from the CMake project version.
AppVersion buildVersion();

// "major.minorrevision": 0.2.0 gives "0.20". Shown in the about box and stored as LastVersion,
// so both must be built here alike.
QString GetVersionString(const AppVersion &version = buildVersion());

// Makes sure a folder text ends with `separator`, so that a file name can be appended. The text is
// otherwise kept as it is, blanks included; an empty text gives the separator alone.
QString AddPathSeparator(QString folder, QChar separator);

// The same with this system's separator.
QString AddPathSeparator(const QString &folder);

} // namespace meloport
