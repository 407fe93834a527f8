#pragma once

#include "platform/Platform.h"
#include "core/rename/FileIdentity.h"
#include "core/rename/RenameBatch.h"

#include <QElapsedTimer>
#include <QFile>
#include <QList>
#include <QString>

#include <optional>

namespace meloport {

// The record of the last rename batch, kept so that it can be undone even after a crash. It is a
// small UTF-8 text file of lines, each a keyword and fields separated by single spaces. Names are
// the exact bytes of the file system; blanks, "%", control characters and, in a name that is not
// UTF-8, every byte beyond ASCII are percent-encoded:
//
//   meloport-rename-journal 2          the format and its version; 1 (without identities) is
//                                      still read, another version is not
//   folder <path>                      the folder every name below belongs to
//   aside <prefix>                     how the schedule's temporary names begin
//   pair <old> <new> <inode> <size> <mtime> <digest>
//                                      one line a file the batch moves, in schedule order of
//                                      pairs, with what identifies the file (FileIdentity; the
//                                      time in nanoseconds, "-" for each that is not needed)
//   step <pair> <from> <to> <flags>    the schedule, in order; from and to are "old" or "new" (the
//                                      pair's names) or a number (the temporary name of the prefix
//                                      and that number); flags "u": starts a unit (done or put back
//                                      as a whole), "c": starts a chain, "-": neither
//   planned                            the plan above is complete
//   done <step>                        a step took effect (appended as the batch runs)
//   undone <step>                      a step was put back
//   finished                           the batch ran to its end
//
// Everything up to "planned" is written whole and flushed before the first file is touched; the
// progress lines are appended one by one and flushed now and then at the end of a unit, and at the
// end. A line cut off by a crash is ignored, as are the zeros of the room set aside for lines that
// a crash kept from being written. The progress lines are a hint: a power cut may keep a rename
// and lose its line, or keep the line and lose the rename, so an undo finds the files by identity.
struct RenameRecord {
    QString folder;
    QList<RenamePair> pairs;
    QList<FileIdentity> identities; // by pair
    QList<RenameStep> steps; // a step's position is an index into `pairs`
    QList<std::pair<qsizetype, bool>> taken; // step, and whether it was put back, in order
    bool finished = false;

    // Where each pair's file is after the recorded steps: its name, by pair.
    QList<QByteArray> recordedNames() const;
};

struct JournalReading {
    enum class Problem { None, Unreadable, NotAJournal, OtherVersion, Damaged };

    std::optional<RenameRecord> record;
    Problem problem = Problem::None;
    platform::OsError error; // why an unreadable journal could not be read
};

JournalReading readRenameJournal(const QString &path);

// Records one batch in the journal at `path` while it runs, in place of the last record.
class RenameJournalWriter final {
public:
    explicit RenameJournalWriter(QString path);
    ~RenameJournalWriter();
    RenameJournalWriter(const RenameJournalWriter &) = delete;
    RenameJournalWriter &operator=(const RenameJournalWriter &) = delete;

    // Writes the whole plan, sets room aside for the progress, and flushes both to the disk before
    // the new record takes the last one's place. Nothing on success; on a failure (a full disk) the
    // last record stays as it was, and the batch must not run.
    std::optional<platform::OsError> begin(const RenameBatch &batch);
    // For RenameBatch::run's observers.
    void stepTaken(qsizetype step, bool undone);
    void unitEnded();
    // Says the batch ran to its end; a batch that moved no file leaves the last record in place.
    void finish();

private:
    void append(QByteArrayView line);
    void flush();
    void close();

    QString m_path;
    QFile m_file;
    // The room for the progress lines, mapped from the file: a line copied there is in the file at
    // once, and stays there whatever becomes of the program, without a system call a step.
    uchar *m_room = nullptr;
    qint64 m_roomSize = 0;
    qint64 m_planSize = 0;
    qint64 m_used = 0;
    QList<qsizetype> m_pairOfPosition; // the record's pair of each plan position
    QFile m_previous; // the record this one replaced
    qsizetype m_moved = 0;                 // steps taken less steps put back
    QElapsedTimer m_sinceFlush;
    qint64 m_lastFlushNs = 0;
};

// One rename or undo at a time across programs (the window and the command line, or two command
// lines): each takes this lock before it reads the journal or checks the folder, and holds it
// until its record is complete, so that it never acts on what another one changes meanwhile nor
// puts its record in the other's place. Waits up to 10 s for another program's rename to end.
class RenameLock final {
public:
    explicit RenameLock(QString journalPath);
    RenameLock(const RenameLock &) = delete;
    RenameLock &operator=(const RenameLock &) = delete;

    // False when another program still held it after the wait.
    bool isHeld() const { return m_lock.has_value(); }
    // Whether another program held it at first.
    bool waited() const { return m_waited; }
    const QString &journalPath() const { return m_journalPath; }

private:
    QString m_journalPath;
    std::optional<platform::InstanceLock> m_lock;
    bool m_waited = false;
};

// Runs a checked batch with its record kept in the journal at `journalPath`, whose RenameLock the
// caller holds. When the plan cannot be written first, nothing is touched and `journalError` says
// why. A batch with nothing to do leaves the last record as it was. At the end the folder is
// flushed, and then the record says the batch finished.
struct RecordedRun {
    std::optional<platform::OsError> journalError;
    QList<RenameFailure> failures;
};

RecordedRun runRecorded(RenameBatch &batch, const QString &journalPath);

} // namespace meloport
