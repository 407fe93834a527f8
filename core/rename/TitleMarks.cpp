#include "core/rename/TitleMarks.h"

#include "core/MessageCatalogue.h"
#include "core/rename/RenameMessages.h"

namespace meloport {

FolderNames readListedFolder(const MusicListing &listing)
{
    QList<QByteArray> listed;
    listed.reserve(listing.files.size());
    for (const ListedFile &file : listing.files)
        listed.append(file.name);
    return FolderNames::read(listing.folder, listed);
}

QStringList titleMarks(FolderNames &folder, const MusicListing &listing, const QStringList &titles,
                       const QString &extension, NameOptions options)
{
    QStringList marks(titles.size());
    RenameBatch batch(planEveryPair(listing, titles, extension, options));
    batch.check(folder);
    for (const RenameFailure &failure : batch.problems())
        marks[failure.position] = renameFailureLine(batch, failure);
    const qsizetype files = listing.files.size();
    if (titles.size() > files) {
        const QString unpaired = FormatMessage(Msg::TitleWithoutFile, QString::number(files)).text;
        for (qsizetype p = files; p < titles.size(); ++p)
            marks[p] = unpaired;
    }
    return marks;
}

} // namespace meloport
