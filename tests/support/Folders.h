#pragma once

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QTest>

// Real files for the tests, and a record of a folder to compare before and after.
namespace folders {

inline void write(const QString &path, const QByteArray &data)
{
    QFile file(path);
    QVERIFY2(file.open(QIODevice::WriteOnly) && file.write(data) == data.size(), qPrintable(path));
}

// "name size checksum" for every entry of the folder, hidden ones included: a temporary file
// left behind shows here.
inline QStringList snapshot(const QString &folder)
{
    QStringList lines;
    for (const QFileInfo &entry : QDir(folder).entryInfoList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot,
                                                             QDir::Name)) {
        QFile file(entry.filePath());
        const QByteArray data = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
        lines.append(entry.fileName() + u' ' + QString::number(data.size()) + u' '
                     + QString::fromLatin1(QCryptographicHash::hash(data, QCryptographicHash::Sha1).toHex()));
    }
    return lines;
}

} // namespace folders
