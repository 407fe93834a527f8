#pragma once

#include "support/FolderSnapshot.h"

#include <QDir>
#include <QProcess>
#include <QStringList>

// A small disk of the kind music is kept on, made in an image file and mounted through FUSE on a
// loop device, as a USB stick or a Windows disk is mounted here:
//   exFAT (exfat-fuse): ignores case, no RENAME_NOREPLACE, no hard links, its own inode number
//     for each spelling of a name;
//   NTFS (ntfs-3g): case counts, no RENAME_NOREPLACE, hard links;
//   NTFS ignoring case (lowntfs-3g -o ignore_case,windows_names): a rename between two spellings
//     of one name answers success and changes nothing, and every name is listed in lower case;
//     names Windows refuses (\ : * ? " < > |, CON) are refused;
//   ext4, mounted by the kernel: a Linux disk that takes every character but "/".
// A folder on this machine's own disk stands beside them, unmounted. Mounting needs root and the
// packages exfatprogs, exfat-fuse and ntfs-3g; where that fails, isMounted() is false and
// whyNot() says why.
class DiskImage final {
public:
    enum class Kind { Exfat, Ntfs, NtfsIgnoringCase, Ext4, Folder };

    explicit DiskImage(Kind kind)
        : m_kind(kind)
    {
        const QString make = kind == Kind::Exfat  ? u"mkfs.exfat img"_qs
                             : kind == Kind::Ext4 ? u"mkfs.ext4 -q img"_qs
                                                  : u"mkntfs -F -Q -q img 2>/dev/null"_qs;
        m_mount = kind == Kind::Exfat  ? u"mount.exfat-fuse"_qs
                  : kind == Kind::Ntfs ? u"ntfs-3g"_qs
                  : kind == Kind::Ext4 ? u"mount"_qs
                                       : u"lowntfs-3g -o ignore_case,windows_names"_qs;
        m_mounted = kind == Kind::Folder ? QDir(m_dir.path()).mkdir(u"mnt"_qs)
                                         : shell(u"truncate -s 16M img && "_qs + make
                                                 + u" && losetup --find --show img >loop && mkdir mnt && "_qs
                                                 + m_mount + u" \"$(cat loop)\" mnt"_qs);
    }
    // A test row's disk: "exFAT", "NTFS", "NTFS ignoring case", or "ext4" for a folder on this
    // machine's own disk.
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

    // The top folder's files as folderSnapshot() gives them, but by the names the disk stores: for
    // NTFS read from the image itself, since a mount that ignores case lists every name in lower
    // case. Unmounts an NTFS disk.
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
