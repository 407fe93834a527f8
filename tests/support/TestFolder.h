#pragma once

#include <QFile>
#include <QTemporaryDir>

#include <ftw.h>
#include <cstdio>

// Removes what a folder holds by the bytes of each name (Qt cannot name one that is not UTF-8), on
// the folder's own disk only: a disk image mounted inside keeps its files.
inline void removeContents(const QString &folder)
{
    const auto remove = [](const char *path, const struct stat *, int, FTW *at) {
        if (at->level > 0)
            (void)std::remove(path);
        return 0;
    };
    ::nftw(QFile::encodeName(folder).constData(), remove, 16, FTW_DEPTH | FTW_PHYS | FTW_MOUNT);
}

// A temporary folder that leaves nothing behind, whatever names were made in it.
class TestFolder final : public QTemporaryDir {
public:
    using QTemporaryDir::QTemporaryDir;
    ~TestFolder() { removeContents(path()); }
};
