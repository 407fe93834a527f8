#include "core/copy/CopyBatch.h"

#include "core/Collation.h"

#include <QHash>
#include <QRandomGenerator>
#include <QScopeGuard>

#include <algorithm>
#include <cerrno>
#include <utility>

namespace meloport {

using platform::CopyFileError;
using platform::FolderHandle;

namespace {

constexpr QByteArrayView kTemporaryPrefix = ".meloport-";
constexpr QByteArrayView kTemporarySuffix = ".tmp";

CopyFailure failure(qsizetype position, CopyProblem problem, platform::OsError error = {}, qsizetype other = -1)
{
    return {position, problem, std::move(error), other};
}

CopyProblem problemOf(const CopyFileError &error)
{
    switch (error.kind) {
    case CopyFileError::Kind::Reading:
        return error.error.code == ENOENT ? CopyProblem::Missing : CopyProblem::Reading;
    case CopyFileError::Kind::NameChanged:
        return CopyProblem::NameChanged;
    case CopyFileError::Kind::SameFile:
        return CopyProblem::SameFile;
    case CopyFileError::Kind::Shrank:
        return CopyProblem::Shrank;
    case CopyFileError::Kind::Stopped:
    case CopyFileError::Kind::Writing:
        break;
    }
    return CopyProblem::Writing;
}

} // namespace

CopyBatch::CopyBatch(MusicListing listing, const QString &destinationFolder)
    : m_listing(std::move(listing))
    , m_destinationFolder(destinationFolder)
{
}

CopyBatch::~CopyBatch() = default;

QByteArray CopyBatch::temporaryName()
{
    return kTemporaryPrefix.toByteArray() + QByteArray::number(QRandomGenerator::global()->generate64(), 36)
           + kTemporarySuffix.toByteArray();
}

bool CopyBatch::isTemporaryName(QByteArrayView name)
{
    if (!name.startsWith(kTemporaryPrefix) || !name.endsWith(kTemporarySuffix))
        return false;
    const QByteArrayView number = name.sliced(kTemporaryPrefix.size(),
                                              name.size() - kTemporaryPrefix.size() - kTemporarySuffix.size());
    // A 64-bit number takes 13 digits in base 36 at most.
    if (number.isEmpty() || number.size() > 13)
        return false;
    for (const char c : number) {
        if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'z')))
            return false;
    }
    return true;
}

void CopyBatch::check()
{
    const auto &files = m_listing.files;
    const qsizetype n = files.size();
    m_checked = true;
    m_ignoresCase = false;
    m_refusal.reset();
    m_problems.clear();
    m_targets.clear();
    m_sizes.clear();
    m_names.clear();
    m_totalBytes = 0;
    m_source = std::make_unique<FolderHandle>(m_listing.folder);
    m_destination = std::make_unique<FolderHandle>(m_destinationFolder);
    // Taken before a file is made there: another copy into the folder then never takes this
    // one's files for leftovers, nor this one another's.
    m_use.reset();
    m_use = std::make_unique<platform::FolderUse>(*m_destination);
    const auto shareTheFolder = qScopeGuard([this] { m_use->share(); });

    // The proof that the folders differ: a file made in the destination must not show up in the
    // source folder. Inode numbers would not do: FUSE gives each spelling of a name its own.
    // The same file tells whether the destination ignores case.
    const QByteArray probe = temporaryName();
    if (auto error = m_destination->createFile(probe)) {
        m_refusal = failure(0, CopyProblem::DestinationFolder, std::move(*error));
        return;
    }
    const bool sameFolder = m_source->lookup(probe).has_value();
    m_ignoresCase = !sameFolder && ignoresLetterCase(*m_destination, {probe}, [&probe](const QByteArray &name) {
                        return name == probe;
                    });
    (void)m_destination->removeFile(probe); // if it stays, the next copy here alone removes it
    if (sameFolder) {
        m_refusal = failure(0, CopyProblem::SameFolder);
        return;
    }
    if (m_use->alone())
        removeLeftovers();

    m_sizes.reserve(n);
    m_names.reserve(n);
    for (const ListedFile &file : files) {
        // A link is copied as its file.
        const std::optional<platform::FileStamp> source = m_source->lookup(file.name, true);
        m_sizes.append(source ? source->size : 0);
        m_totalBytes += m_sizes.constLast();
        m_names.append(file.name);
    }
    checkNames();
}

void CopyBatch::checkNames()
{
    const qsizetype n = m_names.size();
    m_problems.clear();
    m_targets.clear();
    m_targets.reserve(n);
    QHash<QByteArray, qsizetype> firstWithKey;
    firstWithKey.reserve(n);
    for (qsizetype p = 0; p < n; ++p) {
        const QByteArray &name = m_names[p];
        const QByteArray key = m_ignoresCase ? caseBlindName(name) : name;
        if (!m_refusedCharacters.in(name, *m_destination).isEmpty())
            m_problems.append(failure(p, CopyProblem::Refused));
        else if (const auto first = firstWithKey.constFind(key); first != firstWithKey.cend())
            m_problems.append(failure(p, CopyProblem::SameName, {}, *first));
        else
            firstWithKey.insert(key, p);
        // What the name answers to now, to be replaced only if it is still that file.
        m_targets.append({name, m_destination->lookup(name)});
    }
}

QByteArray CopyBatch::refusedCharacters(qsizetype position) const
{
    return m_refusedCharacters.knownIn(m_names.at(position));
}

bool CopyBatch::offersLookAlikes() const
{
    return std::any_of(m_problems.cbegin(), m_problems.cend(),
                       [](const CopyFailure &failure) { return failure.problem == CopyProblem::Refused; });
}

void CopyBatch::useLookAlikes()
{
    for (const CopyFailure &failure : std::as_const(m_problems)) {
        if (failure.problem == CopyProblem::Refused)
            m_names[failure.position] = withLookAlikes(m_names[failure.position], refusedCharacters(failure.position));
    }
    checkNames();
}

std::optional<CopyFailure> CopyBatch::refusal() const
{
    return m_refusal;
}

void CopyBatch::removeLeftovers() const
{
    // No other copy runs into this folder, so every such file here is a leftover of one that was
    // cut off. Folders and links of that name are not the copy's and stay.
    const FolderHandle::Listing listing = m_destination->list();
    for (const QByteArray &name : listing.names) {
        if (isTemporaryName(name))
            (void)m_destination->removeFile(name);
    }
}

CopyReport CopyBatch::run(const ProgressObserver &observer)
{
    if (!m_checked)
        check();
    if (m_refusal)
        return {0, false, m_refusal};

    const qsizetype n = m_listing.files.size();
    qint64 done = 0;
    for (qsizetype p = 0; p < n; ++p) {
        if (observer && !observer(p, done))
            return {p, true, std::nullopt};
        if (!m_problems.isEmpty() && m_problems.constFirst().position == p)
            return {p, false, m_problems.constFirst()}; // the copy stops at its first failure

        const qint64 size = m_sizes[p];
        const auto betweenChunks = [&](qint64 copied) {
            return !observer || observer(p, done + std::min(copied, size));
        };
        const auto error = m_destination->copyFileFrom(*m_source, m_listing.files[p].name, temporaryName(),
                                                       m_targets[p], betweenChunks);
        if (error && error->kind == CopyFileError::Kind::Stopped)
            return {p, true, std::nullopt};
        if (error)
            return {p, false, failure(p, problemOf(*error), error->error)};
        done += size;
    }
    if (observer)
        observer(n, done);
    return {n, false, std::nullopt};
}

} // namespace meloport
