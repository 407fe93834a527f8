#pragma once

// The program's jobs without a window, for scripts and for machines without a display: the same
// listing, title file, checks, rename engine, journal and copy as the window's, with the
// catalogue's messages on standard error.
//
//   meloport --rename FOLDER --titles FILE [--kind KIND] [--number] [--dry-run] [--yes]
//   meloport --rename FOLDER --titles-from-tags [--kind KIND] [--number] [--dry-run] [--yes]
//   meloport --copy FOLDER --to DEST [--kind KIND]
//   meloport --undo [--yes]

#include <QStringList>

#include <optional>

namespace meloport {

// The exit statuses.
enum CommandLineStatus : int {
    kAllDone = 0,     // everything asked for was done
    kNotDone = 1,     // something failed or was refused
    kUsageError = 2,  // the arguments do not make a job
};

// True when the arguments (the program's own name first) hold an option before any "--". Without
// one they are the window's: at most a folder to list.
bool wantsCommandLine(const QStringList &arguments);

// The folder the window is to list: the first argument, after a "--" that lets it begin with "-".
std::optional<QString> windowFolder(const QStringList &arguments);

// Runs the job the arguments ask for, keeping the record of a rename in the journal at
// `journalPath`, and returns the exit status. A QCoreApplication must exist: its name and version
// are those of --help and --version.
int runCommandLine(const QStringList &arguments, const QString &journalPath);

} // namespace meloport
