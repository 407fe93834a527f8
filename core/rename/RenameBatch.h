#pragma once

#include "platform/Platform.h"
#include "core/rename/FileIdentity.h"
#include "core/RefusedCharacters.h"
#include "core/rename/RenamePlan.h"

#include <QHash>
#include <QList>
#include <QSet>

#include <functional>
#include <optional>
#include <vector>

namespace meloport {

// Why a pair kept its old name (or did not reach its new one).
enum class RenameProblem {
    // Found before anything is touched:
    Missing,     // the file is no longer in the folder
    Refused,     // the new name holds a character that the disk refuses (as "/" everywhere)
    Taken,       // a file that keeps its name has the new name (`other`, if it is one of the batch)
    SameNewName, // an earlier pair (`other`) gets the same name, or one the disk cannot tell apart
    TooLong,     // longer than the disk takes (`limit`)
    BadTitle,    // no file may be named so (`title`); only a plan that keeps such pairs has it
    // Found while renaming:
    System,    // the file system refused a step: `error`
    Blocked,   // it needed the name of a file that failed to move away (`other`)
    NotOnDisk, // a step answered success, but the folder does not show the new name
    Unproven,  // a step answered success, but the folder could not be read back: `error` (the disk went away)
};

struct RenameFailure {
    qsizetype position = 0;
    RenameProblem problem = RenameProblem::System;
    platform::OsError error;
    qsizetype other = -1;
    platform::NameLimit limit;
    TitleProblem title = TitleProblem::Empty;
    // A temporary name the file was left under when it could not be put back (the disk was
    // pulled out halfway); empty when it is under its old name.
    QByteArray strandedAs;
};

// One rename of the batch's schedule: the file of pair `position` goes from one name to another
// in the folder. A run of steps that starts a unit either completes or is put back as a whole;
// a unit that starts a chain needs no name that an earlier unit frees.
struct RenameStep {
    qsizetype position = 0;
    QByteArray from;
    QByteArray to;
    bool startsUnit = false;
    bool startsChain = false;
};

// The folder as a rename's check sees it, read in one pass: every name it holds, as its disk tells
// names apart, and its disk's rules for names. Once read, it checks any number of plans for the
// same folder without asking the disk again, as the window does while titles are being changed.
class FolderNames final {
public:
    // `listed`: names that are in the folder, which show whether its disk ignores letter case.
    static FolderNames read(const QString &folder, const QList<QByteArray> &listed);

    // The characters of `name` that the folder's disk refuses. Each is tried on the disk the
    // first time a name holds it (a hidden file made and removed), and known from then on.
    QByteArray refusedIn(QByteArrayView name);

    // Names as views of bytes held in `m_names` and `m_keys`: a batch of ten thousand files looks
    // names up ten times each, and a view is hashed without touching a QByteArray's counts. Qt's
    // hash keeps its entries in blocks, not one allocation a name as the standard one does. The
    // bytes are shared, never changed, so a copy's views stay good.
    using NameSet = QSet<QByteArrayView>;

private:
    friend class RenameBatch;
    QString m_path;
    std::optional<platform::OsError> m_error;
    QList<QByteArray> m_names;
    QList<quint64> m_inodes; // of each name, as the listing gives them
    bool m_keepsInodes = false;
    QList<QByteArray> m_keys; // the names as this disk tells them apart, where that differs
    NameSet m_present;
    bool m_ignoresCase = false;
    bool m_listingShowsCase = true;
    QList<platform::NameLimit> m_limits;
    RefusedCharacters m_refusedCharacters;
};

// Renames the pairs of one plan, all in the plan's folder, never replacing a file:
// check() looks at the folder and finds every pair that cannot be renamed, before anything is
// touched; run() renames the others in an order that never needs a name before it is free (two
// titles swapped, or a chain of them, go through a temporary name), then reads the folder to
// prove each new name. A change of letter case alone also goes through a temporary name: a file
// system that ignores case may answer a rename between two spellings with success and do nothing.
//
// An interruption at any point leaves each file under its old name, its new name, or a temporary
// name of the schedule.
class RenameBatch final {
public:
    explicit RenameBatch(RenamePlan plan);

    const RenamePlan &plan() const { return m_plan; }

    // One pass over the folder and a few look-ups; changes nothing. Afterwards problems() holds
    // the pairs that would fail, and schedule() the steps that run() will take.
    void check();
    // The same rules against the folder as read before: only a character no name held before is
    // tried on the disk.
    void check(FolderNames &folder);
    const QList<RenameFailure> &problems() const { return m_problems; }
    const QList<RenameStep> &schedule() const { return m_steps; }
    // What identifies the file of each pair at `positions` on its disk, for the record of the
    // batch: the inode number check() listed, where the disk keeps them (no system call a file),
    // or else a look-up each.
    QList<FileIdentity> identities(const QList<qsizetype> &positions) const;
    // The characters of pair `position`'s new name that the disk refuses, as check() found them.
    QByteArray refusedCharacters(qsizetype position) const;
    // Whether check() found a pair refused for its characters only, which their full-width
    // look-alikes would cure.
    bool offersLookAlikes() const;
    // Gives every such pair the look-alikes in its title and new name, and checks again; no
    // character is looked for on the disk twice.
    void useLookAlikes();
    // How every temporary name of the schedule begins; a number follows.
    QByteArray temporaryPrefix() const { return ".meloport-renaming-" + m_batchId + '-'; }

    // Takes the scheduled steps; `stepTaken` hears of each that took effect (undone: one that was
    // put back), and `unitEnded` of the end of each unit, done or put back. Returns every pair
    // that does not end under its new name: the problems found by check() first, then those found
    // while renaming, in the order of positions.
    using StepObserver = std::function<void(qsizetype step, bool undone)>;
    QList<RenameFailure> run(const StepObserver &stepTaken = {}, const std::function<void()> &unitEnded = {});

private:
    // A name as this folder tells names apart: its bytes, or folded where case is ignored.
    QByteArray key(const QByteArray &name) const;
    using NameSet = FolderNames::NameSet;
    // Fills the problems and marks the active pairs, knowing the keys of every name the folder
    // holds; returns, by position, the pair whose old name each one needs (-1: none).
    QList<qsizetype> findProblems(FolderNames &folder);
    void buildSchedule(const QList<qsizetype> &next);
    QByteArray temporaryName();
    // Reads the folder once: a pair counts as renamed only where it shows the new name, and the
    // old one no more.
    void proveNewNames(const platform::FolderHandle &folder, const QList<QByteArray> &at,
                       QHash<qsizetype, RenameFailure> &failed) const;

    RenamePlan m_plan;
    platform::FolderHandle::Listing m_listing; // as check() found the folder
    bool m_keepsInodes = false;
    bool m_checked = false;
    bool m_ignoresCase = false;
    bool m_listingShowsCase = true;
    // What the disk was found to refuse, kept from one check to the next.
    RefusedCharacters m_refusedCharacters;
    QList<RenameFailure> m_problems;
    std::vector<bool> m_active; // by position: renamed by the schedule
    QList<RenameStep> m_steps;
    QByteArray m_batchId;
    int m_temporaries = 0;
};

} // namespace meloport
