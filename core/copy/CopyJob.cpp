#include "core/copy/CopyJob.h"

#include "core/copy/CopyBatch.h"
#include "core/copy/CopyMessages.h"

#include <QScopeGuard>

namespace meloport {

bool copyDestinationGiven(const QString &destination, JobDialog &dialog)
{
    if (!QStringView(destination).trimmed().isEmpty())
        return true;
    dialog.tell(LoadMessage(Msg::NoCopyDestination));
    return false;
}

CopyOutcome CopyJob::run(const MusicListing &listing, const QString &folderField, const QString &destination,
                         JobDialog &dialog, CopyProgress &progress)
{
    if (m_running)
        return CopyOutcome::Refused;
    if (!copyDestinationGiven(destination, dialog))
        return CopyOutcome::Refused;
    if (listing.files.isEmpty()) {
        dialog.tell(LoadMessage(Msg::NoSources));
        return CopyOutcome::Refused;
    }
    if (!listingStillShown(listing, folderField, dialog))
        return CopyOutcome::Refused;

    m_running = true;
    const auto notRunning = qScopeGuard([this] { m_running = false; });
    CopyBatch batch(listing, destination);
    batch.check();
    if (const auto refusal = batch.refusal()) {
        dialog.tell(copyFailureMessage(batch, CopyReport{0, false, refusal}));
        return CopyOutcome::Refused;
    }
    if (batch.offersLookAlikes()) {
        if (!dialog.ask(copyLookAlikeQuestion(batch)))
            return CopyOutcome::Refused;
        batch.useLookAlikes();
    }

    progress.begin(listing.files.size(), batch.totalBytes());
    const CopyReport report = batch.run(
        [&progress](qsizetype filesDone, qint64 bytesDone) { return progress.advance(filesDone, bytesDone); });
    progress.end();
    if (report.failure) {
        dialog.tell(copyFailureMessage(batch, report));
        return CopyOutcome::Failed;
    }
    if (report.stopped) {
        progress.stopped(FormatMessage(Msg::CopyStopped, QString::number(listing.files.size()),
                                       QString::number(report.copied)));
        return CopyOutcome::Stopped;
    }
    dialog.tell(LoadMessage(Msg::Finished));
    return CopyOutcome::Done;
}

} // namespace meloport
