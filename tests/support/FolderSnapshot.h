#pragma once

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QMap>
#include <QTemporaryDir>
#include <QTest>

inline void writeFile(const QString &path, const QByteArray &data)
{
    QFile file(path);
    QVERIFY2(file.open(QIODevice::WriteOnly) && file.write(data) == data.size(), qPrintable(path));
}

// Every file of a folder, hidden ones included, by its exact name and with its content (a long one
// by its checksum): two snapshots compare equal only when no file was renamed, replaced, changed
// or left behind.
inline QMap<QString, QString> folderSnapshot(const QString &folder)
{
    QMap<QString, QString> files;
    const QDir dir(folder);
    for (const QString &name : dir.entryList(QDir::Files | QDir::Hidden | QDir::System)) {
        QFile file(dir.filePath(name));
        const QByteArray data = file.open(QIODevice::ReadOnly) ? file.readAll() : "(unreadable)";
        const QByteArray shown = data.size() <= 64 ? data : QCryptographicHash::hash(data, QCryptographicHash::Sha1).toHex();
        files.insert(name, QString::fromLatin1(shown));
    }
    return files;
}
