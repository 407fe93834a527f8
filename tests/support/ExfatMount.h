#pragma once

#include <QProcess>
#include <QTemporaryDir>

// A small exFAT file system, mounted through FUSE on a loop device: a case-insensitive file
// system that refuses RENAME_NOREPLACE and hard links, like a USB stick. Mounting needs root,
// exfatprogs and exfat-fuse; where that fails, isMounted() is false and whyNot() says why.
class ExfatMount final {
public:
    ExfatMount()
    {
        m_mounted = shell(u"truncate -s 16M img && mkfs.exfat img && losetup --find --show img >loop && mkdir mnt"
                          " && mount.exfat-fuse \"$(cat loop)\" mnt"_qs);
    }
    ~ExfatMount() { shell(u"umount mnt; losetup --detach \"$(cat loop)\""_qs); }

    bool isMounted() const { return m_mounted; }
    QString whyNot() const { return m_whyNot; }
    QString path() const { return m_dir.filePath(u"mnt"_qs); }

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

    QTemporaryDir m_dir;
    QString m_whyNot;
    bool m_mounted = false;
};
