#include "core/rename/UndoPlan.h"

#include <QFile>
#include <QHash>
#include <QSet>

#include <algorithm>

namespace meloport {

UndoPlan planUndo(const RenameRecord &record)
{
    UndoPlan undo;
    undo.plan.folder = record.folder;
    undo.interrupted = !record.finished;
    const platform::FolderHandle folder(record.folder);
    const platform::FolderHandle::Listing listing = folder.list();
    if (listing.error) {
        undo.error = listing.error;
        return undo;
    }
    QByteArray folderPath = platform::pathBytes(record.folder);
    if (!folderPath.endsWith('/'))
        folderPath += '/';
    // A disk that ignores case answers a look-up in any spelling. Where its listing shows how
    // names are stored, the spelling it shows is the file's; lowntfs-3g lists every name in lower
    // case, and there the record's spelling is the best guess.
    const QSet<QByteArray> listed(listing.names.cbegin(), listing.names.cend());
    const bool listingShowsCase = std::any_of(listing.names.cbegin(), listing.names.cend(),
                                              [](const QByteArray &name) { return name != name.toLower(); });

    QHash<QByteArray, std::optional<platform::FileStamp>> stamps;
    const auto stampOf = [&](const QByteArray &name) -> const std::optional<platform::FileStamp> & {
        auto found = stamps.find(name);
        if (found == stamps.end())
            found = stamps.insert(name, folder.lookup(name));
        return *found;
    };
    QHash<QByteArray, QByteArray> digests;
    const auto digestOf = [&](const QByteArray &name) {
        auto found = digests.find(name);
        if (found == digests.end())
            found = digests.insert(name, contentDigest(folderPath + name));
        return *found;
    };

    const QList<QByteArray> recorded = record.recordedNames();
    QList<QList<QByteArray>> candidates(record.pairs.size());
    for (qsizetype p = 0; p < record.pairs.size(); ++p)
        candidates[p] = {recorded[p], record.pairs[p].newName};
    for (auto step = record.steps.crbegin(); step != record.steps.crend(); ++step) {
        if (step->to != record.pairs[step->position].newName)
            candidates[step->position].append(step->to);
    }
    QSet<QByteArray> claimed;
    QList<QByteArray> at(record.pairs.size());
    for (qsizetype p = 0; p < record.pairs.size(); ++p) {
        const RenamePair &pair = record.pairs[p];
        const FileIdentity identity = record.identities.value(p);
        QList<QByteArray> names = candidates[p];
        names.append(pair.oldName);
        QSet<QByteArray> seen;
        names.removeIf([&seen](const QByteArray &name) {
            if (seen.contains(name))
                return true;
            seen.insert(name);
            return false;
        });
        bool exact = false;
        for (const QByteArray &name : std::as_const(names)) {
            const std::optional<platform::FileStamp> &stamp = stampOf(name);
            if (!stamp || claimed.contains(name))
                continue;
            const bool same = identity.isKnown() ? isSameFile(identity, *stamp, [&] { return digestOf(name); })
                                                 : name == recorded[p]; // an older record: trusted
            if (!same)
                continue;
            const bool shownSo = !listingShowsCase || listed.contains(name);
            if (at[p].isEmpty() || (shownSo && !exact)) {
                at[p] = name;
                exact = shownSo;
            }
            if (exact)
                break;
        }
        if (!at[p].isEmpty())
            claimed.insert(at[p]);
    }
    for (qsizetype p = 0; p < record.pairs.size(); ++p) {
        const RenamePair &pair = record.pairs[p];
        if (at[p].isEmpty()) {
            // Another file under the name where the record saw this one: changed or replaced since.
            const bool occupied = stampOf(recorded[p]).has_value() && !claimed.contains(recorded[p]);
            (occupied ? undo.changed : undo.notFound).append(pair);
        } else if (at[p] != pair.oldName) {
            undo.plan.pairs.append({at[p], pair.oldName, QString::fromUtf8(at[p]), pair.oldShown});
        }
    }
    return undo;
}

} // namespace meloport
