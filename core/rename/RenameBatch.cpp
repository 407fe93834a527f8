#include "core/rename/RenameBatch.h"

#include "core/Collation.h"

#include <QFile>
#include <QRandomGenerator>
#include <QSet>

#include <algorithm>
#include <optional>
#include <utility>

namespace meloport {

using platform::FolderHandle;

namespace {

// The first of the disk's limits that the name breaks.
std::optional<platform::NameLimit> brokenLimit(const QByteArray &name, const QList<platform::NameLimit> &limits)
{
    for (const platform::NameLimit &limit : limits) {
        const qsizetype length = limit.unit == platform::NameLimit::Unit::Bytes ? name.size()
                                                                                 : QString::fromUtf8(name).size();
        if (length > limit.max)
            return limit;
    }
    return std::nullopt;
}

// Whether a listing shows names as they are stored: NTFS through lowntfs-3g ignoring case lists
// every name in lower case, and then only the case-blind look shows what the folder holds.
bool showsUpperCase(const QList<QByteArray> &names)
{
    return std::any_of(names.cbegin(), names.cend(), [](const QByteArray &name) { return name != name.toLower(); });
}

bool sameIgnoringCase(const QByteArray &a, const QByteArray &b)
{
    return QString::fromUtf8(a).compare(QString::fromUtf8(b), Qt::CaseInsensitive) == 0;
}

RenameFailure failure(qsizetype position, RenameProblem problem, qsizetype other = -1)
{
    RenameFailure failure;
    failure.position = position;
    failure.problem = problem;
    failure.other = other;
    return failure;
}

RenameFailure failure(qsizetype position, RenameProblem problem, platform::OsError error)
{
    RenameFailure failure = meloport::failure(position, problem);
    failure.error = std::move(error);
    return failure;
}

} // namespace

FolderNames FolderNames::read(const QString &path, const QList<QByteArray> &listed)
{
    FolderNames folder;
    const FolderHandle handle(path);
    FolderHandle::Listing listing = handle.list();
    if (listing.error) {
        folder.m_error = std::move(listing.error);
        return folder;
    }
    folder.m_keepsInodes = handle.keepsInodes(listing);
    folder.m_inodes = std::move(listing.inodes);
    folder.m_names = std::move(listing.names);
    folder.m_present.reserve(folder.m_names.size());
    for (const QByteArray &name : std::as_const(folder.m_names))
        folder.m_present.insert(name);
    folder.m_ignoresCase = ignoresLetterCase(handle, listed, [&folder](const QByteArray &name) {
        return folder.m_present.contains(name);
    });
    folder.m_listingShowsCase = !folder.m_ignoresCase || showsUpperCase(folder.m_names);
    if (folder.m_ignoresCase) {
        folder.m_present.clear();
        folder.m_keys.reserve(folder.m_names.size());
        for (const QByteArray &name : std::as_const(folder.m_names))
            folder.m_present.insert(folder.m_keys.emplace_back(caseBlindName(name)));
    }
    folder.m_limits = handle.nameLimits();
    folder.m_path = path;
    return folder;
}

QByteArray FolderNames::refusedIn(QByteArrayView name)
{
    if (m_refusedCharacters.knows(name))
        return m_refusedCharacters.knownIn(name);
    return m_refusedCharacters.in(name, FolderHandle(m_path));
}

RenameBatch::RenameBatch(RenamePlan plan)
    : m_plan(std::move(plan))
{
}

QByteArray RenameBatch::key(const QByteArray &name) const
{
    return m_ignoresCase ? caseBlindName(name) : name;
}

void RenameBatch::check()
{
    QList<QByteArray> listed;
    listed.reserve(m_plan.pairs.size());
    for (const RenamePair &pair : m_plan.pairs)
        listed.append(pair.oldName);
    FolderNames folder = FolderNames::read(m_plan.folder, listed);
    folder.m_refusedCharacters = m_refusedCharacters; // no character is tried twice
    check(folder);
}

void RenameBatch::check(FolderNames &folder)
{
    const qsizetype n = m_plan.pairs.size();
    m_checked = true;
    m_problems.clear();
    m_steps.clear();
    m_active.assign(static_cast<std::size_t>(n), false);
    m_batchId = QByteArray::number(QRandomGenerator::global()->generate64(), 36);
    m_temporaries = 0;

    if (folder.m_error) {
        for (qsizetype p = 0; p < n; ++p)
            m_problems.append(failure(p, RenameProblem::System, *folder.m_error));
        return;
    }
    m_keepsInodes = folder.m_keepsInodes;
    m_listing.names = folder.m_names;
    m_listing.inodes = folder.m_inodes;
    m_ignoresCase = folder.m_ignoresCase;
    m_listingShowsCase = folder.m_listingShowsCase;
    buildSchedule(findProblems(folder));
    m_refusedCharacters = folder.m_refusedCharacters;
}

QByteArray RenameBatch::refusedCharacters(qsizetype position) const
{
    return m_refusedCharacters.knownIn(m_plan.pairs.at(position).newName);
}

bool RenameBatch::offersLookAlikes() const
{
    return std::any_of(m_problems.cbegin(), m_problems.cend(),
                       [](const RenameFailure &failure) { return failure.problem == RenameProblem::Refused; });
}

void RenameBatch::useLookAlikes()
{
    for (const RenameFailure &failure : std::as_const(m_problems)) {
        if (failure.problem != RenameProblem::Refused)
            continue;
        const QByteArray refused = refusedCharacters(failure.position);
        RenamePair &pair = m_plan.pairs[failure.position];
        pair.newName = withLookAlikes(pair.newName, refused);
        pair.newShown = withLookAlikes(pair.newShown, refused);
        if (failure.position < m_plan.titles.size())
            m_plan.titles[failure.position] = withLookAlikes(m_plan.titles[failure.position], refused);
    }
    check();
}

QList<qsizetype> RenameBatch::findProblems(FolderNames &folder)
{
    const NameSet &present = folder.m_present;
    const QList<platform::NameLimit> &limits = folder.m_limits;
    const qsizetype n = m_plan.pairs.size();
    const auto &pairs = m_plan.pairs;

    // The failures found, by position through `failureAt`: a batch of ten thousand pairs has few,
    // and a whole RenameFailure a pair would be a megabyte of fresh memory to fill.
    QList<RenameFailure> failures;
    std::vector<qsizetype> failureAt(static_cast<std::size_t>(n), -1);
    const auto found = [&failureAt](qsizetype p) { return failureAt[std::size_t(p)] >= 0; };
    const auto fail = [&](RenameFailure failure) -> RenameFailure & {
        failureAt[std::size_t(failure.position)] = failures.size();
        return failures.emplace_back(std::move(failure));
    };
    std::vector<bool> unchanged(static_cast<std::size_t>(n));
    // Each pair's names as this disk tells them apart, held here for the maps' views where they
    // differ from the names themselves.
    QList<QByteArray> oldKeys, newKeys;
    if (m_ignoresCase) {
        oldKeys.reserve(n);
        newKeys.reserve(n);
        for (const RenamePair &pair : pairs) {
            oldKeys.append(key(pair.oldName));
            newKeys.append(key(pair.newName));
        }
    }
    const auto oldKeyOf = [&](qsizetype p) { return QByteArrayView(m_ignoresCase ? oldKeys[p] : pairs[p].oldName); };
    const auto newKeyOf = [&](qsizetype p) { return QByteArrayView(m_ignoresCase ? newKeys[p] : pairs[p].newName); };
    QHash<QByteArrayView, qsizetype> ownerOfOld; // who moves away from a name
    QHash<QByteArrayView, qsizetype> claimed;    // who ends under a name
    ownerOfOld.reserve(n);
    claimed.reserve(n);
    // A plan that keeps the pairs of refused titles leaves their files where they are.
    for (const RefusedTitle &refused : m_plan.refused) {
        if (refused.position < n)
            fail(failure(refused.position, RenameProblem::BadTitle)).title = refused.problem;
    }
    for (qsizetype p = 0; p < n; ++p) {
        const QByteArrayView oldKey = oldKeyOf(p);
        ownerOfOld.insert(oldKey, p);
        if (found(p))
            continue;
        if (!present.contains(oldKey)) {
            fail(failure(p, RenameProblem::Missing));
        } else if (!folder.refusedIn(pairs[p].newName).isEmpty()) {
            fail(failure(p, RenameProblem::Refused));
        } else if (const auto broken = brokenLimit(pairs[p].newName, limits)) {
            fail(failure(p, RenameProblem::TooLong)).limit = *broken;
        } else if (pairs[p].oldName == pairs[p].newName) {
            unchanged[p] = true; // it has its name already, and keeps it first
            claimed.insert(oldKey, p);
        }
    }
    QList<qsizetype> next(n, -1); // the pair that must move away first
    for (qsizetype p = 0; p < n; ++p) {
        if (found(p) || unchanged[p])
            continue;
        const QByteArrayView newKey = newKeyOf(p);
        if (const auto first = claimed.constFind(newKey); first != claimed.cend()) {
            fail(failure(p, RenameProblem::SameNewName, *first));
            continue;
        }
        claimed.insert(newKey, p);
        if (!present.contains(newKey))
            continue;
        const qsizetype owner = ownerOfOld.value(newKey, -1);
        if (owner < 0)
            fail(failure(p, RenameProblem::Taken));
        else if (owner != p) // (itself: another spelling of its own name, on a disk that ignores case)
            next[p] = owner;
    }
    // A file that keeps its name keeps it taken: the pair that needed it fails, and so on back
    // along the chain.
    QList<qsizetype> previous(n, -1);
    for (qsizetype p = 0; p < n; ++p) {
        if (!found(p) && next[p] >= 0)
            previous[next[p]] = p;
    }
    for (qsizetype p = 0; p < n; ++p) {
        if (!found(p) && !unchanged[p])
            continue;
        for (qsizetype q = previous[p], keeper = p; q >= 0 && !found(q); keeper = q, q = previous[q])
            fail(failure(q, RenameProblem::Taken, keeper));
    }
    for (qsizetype p = 0; p < n; ++p) {
        if (found(p))
            m_problems.append(failures[failureAt[std::size_t(p)]]);
        else
            m_active[p] = !unchanged[p];
    }
    return next;
}

QList<FileIdentity> RenameBatch::identities(const QList<qsizetype> &positions) const
{
    QList<QByteArray> names;
    names.reserve(positions.size());
    for (const qsizetype position : positions)
        names.append(m_plan.pairs[position].oldName);
    if (!m_keepsInodes) {
        QByteArray folderPath = platform::pathBytes(m_plan.folder);
        if (!folderPath.endsWith('/'))
            folderPath += '/';
        return identifyByLookup(FolderHandle(m_plan.folder), folderPath, names);
    }
    QHash<QByteArrayView, quint64> listed;
    listed.reserve(m_listing.names.size());
    for (qsizetype i = 0; i < m_listing.names.size(); ++i)
        listed.insert(m_listing.names[i], m_listing.inodes[i]);
    QList<FileIdentity> identities(names.size());
    for (qsizetype i = 0; i < names.size(); ++i) {
        identities[i].inode = listed.value(names[i]);
    }
    return identities;
}

QByteArray RenameBatch::temporaryName()
{
    // Hidden, and unlike any name the copy cleans up after itself.
    return temporaryPrefix() + QByteArray::number(m_temporaries++);
}

void RenameBatch::buildSchedule(const QList<qsizetype> &next)
{
    const auto &pairs = m_plan.pairs;
    const qsizetype n = pairs.size();
    QList<qsizetype> previous(n, -1);
    for (qsizetype p = 0; p < n; ++p) {
        if (m_active[p] && next[p] >= 0)
            previous[next[p]] = p;
    }
    std::vector<bool> scheduled(static_cast<std::size_t>(n));
    m_steps.reserve(n);

    // Chains: the pair whose new name is free first, then the pair that needs its old name, and
    // so on. A change of case alone steps aside to a temporary name and back.
    for (qsizetype end = 0; end < n; ++end) {
        if (!m_active[end] || next[end] >= 0)
            continue;
        bool startsChain = true;
        for (qsizetype p = end; p >= 0; p = previous[p], startsChain = false) {
            const RenamePair &pair = pairs[p];
            if (p == end && sameIgnoringCase(pair.oldName, pair.newName)) {
                const QByteArray aside = temporaryName();
                m_steps.append({p, pair.oldName, aside, true, startsChain});
                m_steps.append({p, aside, pair.newName, false, false});
            } else {
                m_steps.append({p, pair.oldName, pair.newName, true, startsChain});
            }
            scheduled[p] = true;
        }
    }
    // What is left are cycles (two titles swapped, or more in a ring): one file steps aside, the
    // others follow round, and it takes its new name last. All or none of a ring is renamed.
    for (qsizetype start = 0; start < n; ++start) {
        if (!m_active[start] || scheduled[start])
            continue;
        const QByteArray aside = temporaryName();
        m_steps.append({start, pairs[start].oldName, aside, true, true});
        for (qsizetype p = previous[start]; p != start; p = previous[p]) {
            m_steps.append({p, pairs[p].oldName, pairs[p].newName, false, false});
            scheduled[p] = true;
        }
        m_steps.append({start, aside, pairs[start].newName, false, false});
        scheduled[start] = true;
    }
}

QList<RenameFailure> RenameBatch::run(const StepObserver &stepTaken, const std::function<void()> &unitEnded)
{
    if (!m_checked)
        check();
    const auto &pairs = m_plan.pairs;
    const qsizetype n = pairs.size();
    const FolderHandle folder(m_plan.folder);

    QList<QByteArray> at(n); // where each file is now
    for (qsizetype p = 0; p < n; ++p)
        at[p] = pairs[p].oldName;
    QHash<qsizetype, RenameFailure> failed;

    qsizetype blockedBy = -1;
    for (qsizetype start = 0; start < m_steps.size();) {
        qsizetype end = start + 1;
        while (end < m_steps.size() && !m_steps[end].startsUnit)
            ++end;
        if (m_steps[start].startsChain)
            blockedBy = -1;
        qsizetype failing = -1;
        if (blockedBy < 0) {
            for (qsizetype s = start; s < end; ++s) {
                const RenameStep &step = m_steps[s];
                if (auto error = folder.renameNoReplace(step.from, step.to)) {
                    failing = step.position;
                    failed.insert(failing, failure(failing, RenameProblem::System, std::move(*error)));
                    // The unit is put back, last step first. One that cannot be (the disk is
                    // gone) leaves its file where it is, and the report says where.
                    for (qsizetype u = s - 1; u >= start; --u) {
                        if (folder.renameNoReplace(m_steps[u].to, m_steps[u].from))
                            break;
                        at[m_steps[u].position] = m_steps[u].from;
                        if (stepTaken)
                            stepTaken(u, true);
                    }
                    break;
                }
                at[step.position] = step.to;
                if (stepTaken)
                    stepTaken(s, false);
            }
        }
        if (unitEnded)
            unitEnded();
        if (failing >= 0)
            blockedBy = failing;
        if (blockedBy >= 0) {
            for (qsizetype s = start; s < end; ++s) {
                if (!failed.contains(m_steps[s].position))
                    failed.insert(m_steps[s].position, failure(m_steps[s].position, RenameProblem::Blocked, blockedBy));
            }
        }
        start = end;
    }

    // A unit that could not be put back may have left a file under its new name after all.
    for (qsizetype p = 0; p < n; ++p) {
        if (at[p] == pairs[p].newName)
            failed.remove(p);
    }
    proveNewNames(folder, at, failed);

    QList<RenameFailure> failures = m_problems;
    for (qsizetype p = 0; p < n; ++p) {
        if (!m_active[p] || (at[p] == pairs[p].newName && !failed.contains(p)))
            continue;
        RenameFailure failure = failed.value(p, meloport::failure(p, RenameProblem::NotOnDisk));
        if (at[p] != pairs[p].oldName && at[p] != pairs[p].newName)
            failure.strandedAs = at[p];
        failures.append(failure);
    }
    std::sort(failures.begin(), failures.end(),
              [](const RenameFailure &a, const RenameFailure &b) { return a.position < b.position; });
    return failures;
}

void RenameBatch::proveNewNames(const FolderHandle &folder, const QList<QByteArray> &at,
                                QHash<qsizetype, RenameFailure> &failed) const
{
    const auto &pairs = m_plan.pairs;
    const FolderHandle::Listing listing = folder.list();
    // The disk's own spelling where it shows it; otherwise as the disk tells names apart.
    const bool exact = m_listingShowsCase || showsUpperCase(listing.names);
    const auto spelling = [this, exact](const QByteArray &name) { return exact ? name : key(name); };
    QList<QByteArray> spelt; // what the sets view where spelling makes new names
    spelt.reserve(exact ? 0 : listing.names.size() + at.size());
    const auto held = [&](const QByteArray &name) { return QByteArrayView(exact ? name : spelt.emplace_back(key(name))); };
    NameSet shown;
    shown.reserve(listing.names.size());
    for (const QByteArray &name : listing.names)
        shown.insert(held(name));
    NameSet occupied; // names the batch's files have now
    occupied.reserve(at.size());
    for (const QByteArray &name : at)
        occupied.insert(held(name));

    for (qsizetype p = 0; p < pairs.size(); ++p) {
        if (!m_active[p] || at[p] != pairs[p].newName || failed.contains(p))
            continue;
        const QByteArray oldName = spelling(pairs[p].oldName);
        const QByteArray newName = spelling(pairs[p].newName);
        const bool proven = !listing.error && shown.contains(newName)
                            && (occupied.contains(oldName) || !shown.contains(oldName));
        if (listing.error)
            failed.insert(p, failure(p, RenameProblem::Unproven, *listing.error));
        else if (!proven)
            failed.insert(p, failure(p, RenameProblem::NotOnDisk));
    }
}

} // namespace meloport
