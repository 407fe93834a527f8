#pragma once

#include <QString>

namespace meloport {

// Where the program keeps what outlives one run. Tests point both at temporary places.
struct StatePaths {
    QString settingsFile; // the settings store's INI file
    QString instanceLock; // the lock that allows one running program per user

    // The current user's places: the configuration folder and the runtime folder.
    static StatePaths forCurrentUser();
};

} // namespace meloport
