#pragma once

#include <QString>

namespace meloport {

// Where the program keeps what outlives one run. Tests point them at temporary places.
struct StatePaths {
    QString settingsFile;  // the settings store's INI file
    QString instanceLock;  // the lock that allows one running program per user
    QString renameJournal; // the record of the last rename, for undo

    // The current user's places: the configuration, runtime and state folders.
    static StatePaths forCurrentUser();
    // The journal alone: the command line needs no settings and takes no lock of the window.
    static QString renameJournalForCurrentUser();
};

} // namespace meloport
