#pragma once

#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QStringList>
#include <QTest>

// Real files for the copy tests, and a record of a folder to compare before and after.
namespace folders {

inline void write(const QString &path, const QByteArray &data)
{
    QFile file(path);
    QVERIFY2(file.open(QIODevice::WriteOnly) && file.write(data) == data.size(), qPrintable(path));
}

inline QByteArray read(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Bytes that differ from one file to the next, so that a mixed-up copy shows.
inline QByteArray content(qint64 size, char seed)
{
    QByteArray data(size, Qt::Uninitialized);
    for (qint64 i = 0; i < size; ++i)
        data[i] = static_cast<char>(seed + i * 7 + i / 4093);
    return data;
}

// "path size checksum" for every entry under the folder, hidden ones included: a temporary
// file left behind shows here. Linked folders are not followed.
inline QStringList snapshot(const QString &folder)
{
    QStringList lines;
    QDirIterator it(folder, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QFileInfo entry = it.nextFileInfo();
        const QByteArray data = entry.isFile() ? read(entry.filePath()) : QByteArray();
        lines.append(QDir(folder).relativeFilePath(entry.filePath()) + u' ' + QString::number(data.size()) + u' '
                     + QString::fromLatin1(QCryptographicHash::hash(data, QCryptographicHash::Sha1).toHex()));
    }
    lines.sort();
    return lines;
}

} // namespace folders
