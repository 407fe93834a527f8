#pragma once

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

// A small exFAT file system, mounted through FUSE on a loop device: a case-insensitive file
// system that refuses RENAME_NOREPLACE and hard links, like a USB stick. Mounting needs root,
// exfatprogs and exfat-fuse; where that fails, isMounted() is false and whyNot() says why.
class ExfatMount final {
public:
    ExfatMount()
    {
        const QString image = m_dir.filePath(QStringLiteral("exfat.img"));
        QFile file(image);
        if (!file.open(QIODevice::WriteOnly) || !file.resize(16 * 1024 * 1024)) {
            m_whyNot = QStringLiteral("cannot create the image");
            return;
        }
        file.close();
        if (!run(QStringLiteral("mkfs.exfat"), {image}))
            return;
        QString loop;
        if (!run(QStringLiteral("losetup"), {QStringLiteral("--find"), QStringLiteral("--show"), image}, &loop))
            return;
        m_loop = loop.trimmed();
        QDir(m_dir.path()).mkdir(QStringLiteral("mnt"));
        m_mounted = run(QStringLiteral("mount.exfat-fuse"), {m_loop, path()});
    }
    ~ExfatMount()
    {
        if (m_mounted)
            run(QStringLiteral("umount"), {path()});
        if (!m_loop.isEmpty())
            run(QStringLiteral("losetup"), {QStringLiteral("--detach"), m_loop});
    }
    ExfatMount(const ExfatMount &) = delete;
    ExfatMount &operator=(const ExfatMount &) = delete;

    bool isMounted() const { return m_mounted; }
    QString whyNot() const { return m_whyNot; }
    QString path() const { return m_dir.filePath(QStringLiteral("mnt")); }

private:
    bool run(const QString &program, const QStringList &arguments, QString *output = nullptr)
    {
        QString found = QStandardPaths::findExecutable(program);
        if (found.isEmpty())
            found = QStandardPaths::findExecutable(program, {QStringLiteral("/usr/sbin"), QStringLiteral("/sbin")});
        if (found.isEmpty()) {
            m_whyNot = program + QStringLiteral(" is not installed");
            return false;
        }
        QProcess process;
        process.start(found, arguments);
        if (!process.waitForFinished(30000) || process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0) {
            m_whyNot = program + QStringLiteral(": ") + QString::fromLocal8Bit(process.readAllStandardError()).trimmed();
            return false;
        }
        if (output)
            *output = QString::fromLocal8Bit(process.readAllStandardOutput());
        return true;
    }

    QTemporaryDir m_dir;
    QString m_loop;
    QString m_whyNot;
    bool m_mounted = false;
};
