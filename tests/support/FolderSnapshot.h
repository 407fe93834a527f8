#pragma once

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QMap>

// Every file of a folder by its exact name, with its size and checksum: two snapshots compare
// equal only when no file was renamed, replaced or changed.
inline QMap<QString, QString> folderSnapshot(const QString &folder)
{
    QMap<QString, QString> files;
    const QDir dir(folder);
    for (const QString &name : dir.entryList(QDir::Files | QDir::Hidden | QDir::System)) {
        QFile file(dir.filePath(name));
        if (!file.open(QIODevice::ReadOnly))
            continue;
        const QByteArray content = file.readAll();
        files.insert(name, QString::number(content.size()) + u' '
                               + QString::fromLatin1(QCryptographicHash::hash(content, QCryptographicHash::Sha256).toHex()));
    }
    return files;
}
