#include "core/rename/UndoPlan.h"

#include <QSet>

namespace meloport {

UndoPlan planUndo(const RenameRecord &record)
{
    UndoPlan undo;
    undo.plan.folder = record.folder;
    undo.interrupted = !record.finished;
    const platform::FolderHandle folder(record.folder);
    if (folder.openError()) {
        undo.error = folder.openError();
        return undo;
    }
    QList<QByteArray> at = record.recordedNames();
    const QSet<QByteArray> claimed(at.cbegin(), at.cend());
    // Looked up, not listed: a disk that ignores case finds a name in any spelling.
    const auto present = [&folder](const QByteArray &name) { return folder.lookup(name).has_value(); };

    for (qsizetype p = 0; p < record.pairs.size(); ++p) {
        const RenamePair &pair = record.pairs[p];
        if (!present(at[p])) {
            // A crash between a step and its line leaves the file under a name of its own
            // schedule that no other file of the batch is recorded under.
            QList<QByteArray> candidates{pair.newName};
            for (const RenameStep &step : record.steps) {
                if (step.position == p)
                    candidates.append(step.to);
            }
            candidates.append(pair.oldName);
            at[p].clear();
            if (undo.interrupted) {
                for (const QByteArray &name : candidates) {
                    if (!claimed.contains(name) && present(name)) {
                        at[p] = name;
                        break;
                    }
                }
            }
        }
        if (at[p].isEmpty())
            undo.notFound.append(pair);
        else if (at[p] != pair.oldName)
            undo.plan.pairs.append({at[p], pair.oldName, QString::fromUtf8(at[p]), pair.oldShown});
    }
    return undo;
}

} // namespace meloport
