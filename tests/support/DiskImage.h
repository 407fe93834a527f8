#pragma once

#include "support/FolderSnapshot.h"

#include <QDir>
#include <QProcess>
#include <QStringList>

// A small disk of the kind music is kept on, in an image file on a loop device, mounted as a USB
// stick or a Windows disk is mounted here:
//   exFAT (exfat-fuse): ignores case, no RENAME_NOREPLACE, no hard links, an inode number for
//     each spelling of a name;
//   NTFS (ntfs-3g): case counts, no RENAME_NOREPLACE;
//   NTFS ignoring case (lowntfs-3g -o ignore_case,windows_names): a rename between two spellings
//     answers success and changes nothing, names are listed in lower case, Windows' refused names refused;
//   ext4: takes every character but "/"; Folder: a folder on this machine's own disk.
// Mounting needs root; where it fails, isMounted() is false and whyNot() says why.
class DiskImage final {
public:
    enum class Kind { Exfat, Ntfs, NtfsIgnoringCase, Ext4, Folder };

    explicit DiskImage(Kind kind)
        : m_kind(kind)
    {
        const QString ntfs = u"mkntfs -F -Q -q img 2>/dev/null"_qs; // by Kind:
        const QString make = QStringList{u"mkfs.exfat img"_qs, ntfs, ntfs, u"mkfs.ext4 -q img"_qs}.value(int(kind));
        m_mount = QStringList{u"mount.exfat-fuse"_qs, u"ntfs-3g"_qs, u"lowntfs-3g -o ignore_case,windows_names"_qs,
                              u"mount"_qs}.value(int(kind));
        m_mounted = kind == Kind::Folder ? QDir(m_dir.path()).mkdir(u"mnt"_qs)
                                         : shell(u"truncate -s 16M img && "_qs + make
                                                 + u" && losetup --find --show img >loop && mkdir mnt && "_qs
                                                 + m_mount + u" \"$(cat loop)\" mnt"_qs);
    }
    // A test row's disk by name; "ext4" is a folder on this machine's own disk.
    explicit DiskImage(const QString &disk)
        : DiskImage(disk == u"exFAT"                ? Kind::Exfat
                    : disk == u"NTFS"               ? Kind::Ntfs
                    : disk == u"NTFS ignoring case" ? Kind::NtfsIgnoringCase
                                                    : Kind::Folder)
    {
        m_whyNot = u"no "_qs + disk + u" here: "_qs + m_whyNot;
    }
    ~DiskImage()
    {
        if (m_kind != Kind::Folder)
            shell(u"umount mnt; losetup --detach \"$(cat loop)\""_qs);
    }

    bool isMounted() const { return m_mounted; }
    // A FUSE disk as the programs using it see a stick pulled out: its driver gone, every call
    // there failing. plugIn() mounts it again, with what the driver had written.
    bool pull() { return shell(u"pkill -KILL -f \"fuse $(cat loop) \""_qs); }
    bool plugIn() { return shell(u"umount -l mnt; "_qs + m_mount + u" \"$(cat loop)\" mnt"_qs); }
    QString whyNot() const { return m_whyNot; }
    QString path() const { return m_dir.filePath(u"mnt"_qs); }

    // folderSnapshot() by the names the disk stores: NTFS ignoring case lists them in lower case,
    // so they are read from the unmounted image.
    QMap<QString, QString> storedSnapshot()
    {
        const QMap<QString, QString> listed = folderSnapshot(path());
        if (m_kind != Kind::NtfsIgnoringCase)
            return listed;
        m_mounted = false;
        QFile names(m_dir.filePath(u"names"_qs));
        if (!shell(u"umount mnt && ntfsls -p / \"$(cat loop)\" >names"_qs) || !names.open(QIODevice::ReadOnly))
            return {{u"(cannot read the image)"_qs, m_whyNot}};
        QMap<QString, QString> stored;
        for (const QString &name : QString::fromUtf8(names.readAll()).split(u'\n', Qt::SkipEmptyParts))
            stored.insert(name, listed.value(name.toLower(), u"(not listed)"_qs));
        return stored;
    }

private:
    bool shell(const QString &script)
    {
        QProcess process;
        process.setWorkingDirectory(m_dir.path());
        process.setProcessChannelMode(QProcess::MergedChannels);
        process.start(u"sh"_qs, {u"-c"_qs, u"PATH=$PATH:/usr/sbin:/sbin; "_qs + script});
        const bool done = process.waitForFinished(30000) && process.exitStatus() == QProcess::NormalExit
                          && process.exitCode() == 0;
        m_whyNot = QString::fromLocal8Bit(process.readAll()).trimmed().section(u'\n', -1);
        return done;
    }

    Kind m_kind;
    QString m_mount;
    TestFolder m_dir;
    QString m_whyNot;
    bool m_mounted = false;
};
