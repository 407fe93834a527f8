#include "core/rename/FileIdentity.h"

#include <QCryptographicHash>
#include <QFile>
#include <QHash>

namespace meloport {

QList<FileIdentity> identifyByLookup(const platform::FolderHandle &folder, const QByteArray &folderPath,
                                     const QList<QByteArray> &names)
{
    QList<FileIdentity> identities;
    identities.reserve(names.size());
    QHash<std::pair<qint64, qint64>, qsizetype> firstOfStamp;
    QList<bool> shared;
    for (const QByteArray &name : names) {
        FileIdentity &identity = identities.emplace_back();
        const std::optional<platform::FileStamp> stamp = folder.lookup(name);
        if (!stamp)
            continue;
        identity.size = stamp->size;
        identity.modifiedNs = stamp->modifiedNs;
        // Two files copied at one moment may share size and time (exFAT keeps times to 10 ms).
        const std::pair<qint64, qint64> key(stamp->size, stamp->modifiedNs);
        const auto first = firstOfStamp.constFind(key);
        if (first == firstOfStamp.cend()) {
            firstOfStamp.insert(key, identities.size() - 1);
        } else {
            shared.resize(identities.size());
            shared[*first] = shared.back() = true;
        }
    }
    for (qsizetype i = 0; i < shared.size(); ++i) {
        if (shared[i])
            identities[i].digest = contentDigest(folderPath + names[i]);
    }
    return identities;
}

QByteArray contentDigest(const QByteArray &path)
{
    const platform::ReadOnlyFile opened = platform::openForReading(path);
    if (opened.error)
        return {};
    QFile file;
    if (!file.open(static_cast<int>(opened.handle), QIODevice::ReadOnly, QFileDevice::AutoCloseHandle))
        return {};
    QCryptographicHash hash(QCryptographicHash::Sha256);
    if (!hash.addData(&file))
        return {};
    return hash.result();
}

bool isSameFile(const FileIdentity &identity, const platform::FileStamp &found,
                const std::function<QByteArray()> &digestOf)
{
    if (identity.inode != 0)
        return found.inode == identity.inode;
    if (!identity.isKnown() || found.size != identity.size || found.modifiedNs != identity.modifiedNs)
        return false;
    return identity.digest.isEmpty() || digestOf() == identity.digest;
}

} // namespace meloport
