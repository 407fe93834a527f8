#include "core/rename/RenameJournal.h"

#include "core/MessageCatalogue.h"

#include <QDir>
#include <QFileInfo>
#include <QStringDecoder>
#include <QThread>

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <limits>

namespace meloport {

namespace {

constexpr QByteArrayView kMagic = "meloport-rename-journal";
constexpr QByteArrayView kVersion = "2";
constexpr QByteArrayView kVersionWithoutIdentities = "1";
// A flush is a commit of the disk's own journal, dearer than many renames: the progress is flushed
// at the end of a unit once the time since the last flush is this many times what that flush
// took, so that flushing costs a twentieth of the run at most. A slow disk, or a batch whose
// units are slow, is flushed after nearly every unit.
constexpr qint64 kFlushShare = 20;
// How long a rename or an undo waits for another program's to end: 10 s.
constexpr int kLockTries = 200;
constexpr unsigned long kLockPollMs = 50;

// UTF-8 stays readable as it is; only what would break a line or a field, or is not UTF-8,
// becomes %XX (as QByteArray::toPercentEncoding writes it, which is far slower over a plan).
void appendEncoded(QByteArray &text, QByteArrayView name)
{
    const bool utf8 = name.isValidUtf8();
    qsizetype plainFrom = 0; // bytes that stay as they are go in whole runs
    for (qsizetype i = 0; i < name.size(); ++i) {
        const auto byte = uchar(name[i]);
        if ((byte > 0x20 && byte < 0x7f && byte != '%') || (byte >= 0x80 && utf8))
            continue;
        static constexpr char hex[] = "0123456789ABCDEF";
        const char escape[3] = {'%', hex[byte >> 4], hex[byte & 15]};
        text.append(name.sliced(plainFrom, i - plainFrom)).append(escape, 3);
        plainFrom = i + 1;
    }
    text.append(name.sliced(plainFrom));
}

// The plan of a large batch is tens of thousands of fields: each is appended in place, with no
// string of its own.
void appendNumber(QByteArray &text, qint64 value)
{
    char digits[24];
    const auto end = std::to_chars(std::begin(digits), std::end(digits), value).ptr;
    text.append(digits, end - digits);
}

// A step's name as the journal writes it: "old", "new", or the number of a temporary name.
void appendStepName(QByteArray &text, const QByteArray &name, const RenamePair &pair, qsizetype asideSize)
{
    if (name == pair.oldName)
        text.append("old");
    else if (name == pair.newName)
        text.append("new");
    else
        text.append(QByteArrayView(name).sliced(asideSize));
}

// "<inode> <size> <mtime> <digest>", "-" for each that is not needed.
void appendIdentity(QByteArray &text, const FileIdentity &identity)
{
    const auto field = [&text](bool needed, qint64 value) {
        if (needed)
            appendNumber(text, value);
        else
            text.append('-');
        text.append(' ');
    };
    field(identity.inode != 0, qint64(identity.inode));
    field(identity.size >= 0, identity.size);
    field(identity.size >= 0, identity.modifiedNs);
    text.append(identity.digest.isEmpty() ? QByteArray("-") : identity.digest.toHex());
}

std::optional<FileIdentity> parsedIdentity(const QList<QByteArray> &fields)
{
    FileIdentity identity;
    bool inodeOk = fields[0] == "-", sizeOk = fields[1] == "-", timeOk = fields[2] == "-";
    if (!inodeOk)
        identity.inode = fields[0].toULongLong(&inodeOk);
    if (!sizeOk)
        identity.size = fields[1].toLongLong(&sizeOk);
    if (!timeOk)
        identity.modifiedNs = fields[2].toLongLong(&timeOk);
    if (fields[3] != "-")
        identity.digest = QByteArray::fromHex(fields[3]);
    if (!inodeOk || !sizeOk || !timeOk || (fields[3] != "-" && identity.digest.isEmpty()) || !identity.isKnown())
        return std::nullopt;
    return identity;
}

} // namespace

QList<QByteArray> RenameRecord::recordedNames() const
{
    QList<QByteArray> at;
    at.reserve(pairs.size());
    for (const RenamePair &pair : pairs)
        at.append(pair.oldName);
    for (const auto &[index, undone] : taken) {
        const RenameStep &step = steps[index];
        at[step.position] = undone ? step.from : step.to;
    }
    return at;
}

JournalReading readRenameJournal(const QString &path)
{
    JournalReading reading;
    const platform::FileContents contents = platform::readWholeFile(path);
    if (contents.error) {
        reading.problem = JournalReading::Problem::Unreadable;
        reading.error = *contents.error;
        return reading;
    }
    QList<QByteArray> lines = contents.bytes.split('\n');
    lines.removeLast(); // after the last line end: empty, or a line cut off by a crash

    RenameRecord record;
    QByteArray aside;
    bool planned = false;
    bool identified = true;
    const auto number = [](const QByteArray &field, qsizetype limit) {
        bool ok = false;
        const qsizetype value = field.toLongLong(&ok);
        return ok && value >= 0 && value < limit ? value : -1;
    };
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QList<QByteArray> f = lines[i].split(' ');
        const QByteArray &keyword = f[0];
        if (i == 0) {
            if (f.size() != 2 || f[0] != kMagic)
                reading.problem = JournalReading::Problem::NotAJournal;
            else if (f[1] != kVersion && f[1] != kVersionWithoutIdentities)
                reading.problem = JournalReading::Problem::OtherVersion;
            identified = f.size() == 2 && f[1] == kVersion;
        } else if (!planned && keyword == "folder" && f.size() == 2 && record.folder.isEmpty()) {
            record.folder = platform::pathText(QByteArray::fromPercentEncoding(f[1]));
        } else if (!planned && keyword == "aside" && f.size() == 2 && aside.isEmpty()) {
            aside = QByteArray::fromPercentEncoding(f[1]);
        } else if (!planned && keyword == "pair" && f.size() == (identified ? 7 : 3) && !aside.isEmpty()
                   && record.steps.isEmpty()) {
            RenamePair pair{QByteArray::fromPercentEncoding(f[1]), QByteArray::fromPercentEncoding(f[2]), {}, {}};
            pair.oldShown = QString::fromUtf8(pair.oldName);
            pair.newShown = QString::fromUtf8(pair.newName);
            record.pairs.append(pair);
            const std::optional<FileIdentity> identity = identified ? parsedIdentity(f.mid(3)) : FileIdentity();
            if (!identity)
                reading.problem = JournalReading::Problem::Damaged;
            record.identities.append(identity.value_or(FileIdentity()));
        } else if (!planned && keyword == "step" && f.size() == 5 && number(f[1], record.pairs.size()) >= 0) {
            const qsizetype pair = number(f[1], record.pairs.size());
            const auto name = [&](const QByteArray &field) {
                if (field == "old" || field == "new")
                    return field == "old" ? record.pairs[pair].oldName : record.pairs[pair].newName;
                return number(field, std::numeric_limits<qsizetype>::max()) >= 0 ? aside + field : QByteArray();
            };
            record.steps.append({pair, name(f[2]), name(f[3]), f[4].contains('u'), f[4].contains('c')});
            if (record.steps.constLast().from.isEmpty() || record.steps.constLast().to.isEmpty())
                reading.problem = JournalReading::Problem::Damaged;
        } else if (!planned && keyword == "planned" && f.size() == 1 && !record.folder.isEmpty()) {
            planned = true;
        } else if (planned && !record.finished && (keyword == "done" || keyword == "undone") && f.size() == 2
                   && number(f[1], record.steps.size()) >= 0) {
            record.taken.append({number(f[1], record.steps.size()), keyword == "undone"});
        } else if (planned && !record.finished && keyword == "finished" && f.size() == 1) {
            record.finished = true;
        } else {
            reading.problem = JournalReading::Problem::Damaged;
        }
        if (reading.problem != JournalReading::Problem::None)
            return reading;
    }
    if (!planned) {
        reading.problem = lines.isEmpty() ? JournalReading::Problem::NotAJournal : JournalReading::Problem::Damaged;
        return reading;
    }
    reading.record = std::move(record);
    return reading;
}

RenameJournalWriter::RenameJournalWriter(QString path)
    : m_path(std::move(path))
{
}

std::optional<platform::OsError> RenameJournalWriter::begin(const RenameBatch &batch)
{
    const auto &pairs = batch.plan().pairs;
    const auto &schedule = batch.schedule();
    m_pairOfPosition = QList<qsizetype>(pairs.size(), -1);
    const QByteArray aside = batch.temporaryPrefix();
    // An undo may run from another working folder than the rename's.
    QString folder = batch.plan().folder;
    if (QDir::isRelativePath(folder))
        folder = platform::currentFolder() + u'/' + folder;
    QList<qsizetype> positions;
    for (const RenameStep &step : schedule) {
        if (m_pairOfPosition[step.position] >= 0)
            continue;
        m_pairOfPosition[step.position] = positions.size();
        positions.append(step.position);
    }
    const QList<FileIdentity> identities = batch.identities(positions);

    QByteArray text;
    text.reserve(128 + positions.size() * 96 + schedule.size() * 24);
    text.append(kMagic).append(' ').append(kVersion).append("\nfolder ");
    appendEncoded(text, platform::pathBytes(folder));
    text.append("\naside ");
    appendEncoded(text, aside);
    text.append('\n');
    for (qsizetype i = 0; i < positions.size(); ++i) {
        const RenamePair &pair = pairs[positions[i]];
        text.append("pair ");
        appendEncoded(text, pair.oldName);
        text.append(' ');
        appendEncoded(text, pair.newName);
        text.append(' ');
        appendIdentity(text, identities[i]);
        text.append('\n');
    }
    for (const RenameStep &step : schedule) {
        const RenamePair &pair = pairs[step.position];
        text.append("step ");
        appendNumber(text, m_pairOfPosition[step.position]);
        text.append(' ');
        appendStepName(text, step.from, pair, aside.size());
        text.append(' ');
        appendStepName(text, step.to, pair, aside.size());
        text.append(step.startsChain ? " uc\n" : step.startsUnit ? " u\n" : " -\n");
    }
    text.append("planned\n");

    QDir().mkpath(QFileInfo(m_path).absolutePath());
    // The record this one replaces, to be put back should the batch rename nothing: held open, it
    // outlives its name, and is read only then.
    const platform::ReadOnlyFile previous = platform::openForReading(platform::pathBytes(m_path));
    if (!previous.error)
        m_previous.open(int(previous.handle), QIODevice::ReadOnly, QFileDevice::AutoCloseHandle);
    // Each step is done, and may be put back, once; the longest line is "undone <number>". The
    // room is set aside before the new record takes the old one's place, so that a full disk
    // stops the batch while the last record still stands.
    const qint64 roomSize = (2 * schedule.size() + 1) * qint64(sizeof "undone 18446744073709551615");
    std::optional<platform::OsError> notOpened;
    const auto keepOpen = [&](const QString &newFile) {
        m_file.setFileName(newFile);
        if (m_file.open(QIODevice::ReadWrite | QIODevice::Unbuffered))
            return true;
        notOpened = platform::OsError{EIO, m_file.errorString()};
        return false;
    };
    QElapsedTimer took;
    took.start();
    if (auto error = platform::replaceFile(m_path, text, keepOpen, roomSize)) {
        m_file.close();
        return notOpened ? notOpened : error;
    }
    m_lastFlushNs = took.nsecsElapsed(); // a first measure of what flushing costs here
    m_sinceFlush.start();
    m_planSize = text.size();
    m_room = m_file.map(m_planSize, roomSize);
    m_roomSize = m_room ? roomSize : 0;
    if (!m_room) // each line one write of its own instead, into the room set aside
        m_file.seek(m_planSize);
    return std::nullopt;
}

RenameJournalWriter::~RenameJournalWriter()
{
    close();
}

void RenameJournalWriter::append(QByteArrayView line)
{
    // A line that cannot be written costs no file: undo then finds the file by looking.
    if (m_room && m_used + line.size() <= m_roomSize) {
        std::memcpy(m_room + m_used, line.data(), std::size_t(line.size()));
        m_used += line.size();
    } else if (!m_room && m_file.isOpen()) {
        m_file.write(line.data(), line.size());
    }
}

void RenameJournalWriter::stepTaken(qsizetype step, bool undone)
{
    m_moved += undone ? -1 : 1;
    char line[32];
    const int size = std::snprintf(line, sizeof line, "%s %lld\n", undone ? "undone" : "done", static_cast<long long>(step));
    append(QByteArrayView(line, size));
}

void RenameJournalWriter::unitEnded()
{
    if (m_sinceFlush.isValid() && m_sinceFlush.nsecsElapsed() >= kFlushShare * m_lastFlushNs)
        flush();
}

void RenameJournalWriter::flush()
{
    // The mapped room is part of the file's page cache: one flush of the file writes it too.
    QElapsedTimer took;
    took.start();
    if (m_file.isOpen())
        (void)platform::flushFile(m_file.handle());
    m_lastFlushNs = took.nsecsElapsed();
    m_sinceFlush.start();
}

void RenameJournalWriter::finish()
{
    if (m_moved > 0) {
        append("finished\n");
        flush();
        close();
        return;
    }
    // Every step failed or was put back: the folder is as the last record left it, and that
    // record, with its undo, is the one to keep.
    close();
    if (m_previous.isOpen())
        (void)platform::replaceFile(m_path, m_previous.readAll());
    else
        QFile::remove(m_path);
}

void RenameJournalWriter::close()
{
    if (m_room) {
        m_file.unmap(m_room);
        m_room = nullptr;
        m_file.resize(m_planSize + m_used); // the room left over
    }
    m_file.close();
}

RenameLock::RenameLock(QString journalPath)
    : m_journalPath(std::move(journalPath))
{
    // A rename takes a few seconds at most, so the second one waits for it.
    QDir().mkpath(QFileInfo(m_journalPath).absolutePath());
    for (int tries = 0;; ++tries) {
        m_lock.emplace(m_journalPath + QStringLiteral(".lock"));
        // Unavailable (no state folder can be made): the record cannot be written either, and says so.
        if (m_lock->state() != platform::InstanceLockState::HeldByAnother)
            return;
        m_waited = true;
        if (tries == kLockTries) {
            m_lock.reset();
            return;
        }
        QThread::msleep(kLockPollMs);
    }
}

RecordedRun runRecorded(RenameBatch &batch, const QString &journalPath)
{
    if (batch.schedule().isEmpty())
        return {std::nullopt, batch.run()};
    RenameJournalWriter journal(journalPath);
    if (auto error = journal.begin(batch))
        return {std::move(error), {}};
    RecordedRun done{std::nullopt, batch.run([&journal](qsizetype step, bool undone) { journal.stepTaken(step, undone); },
                                             [&journal] { journal.unitEnded(); })};
    // The renames reach the disk before the line that says so.
    (void)platform::FolderHandle(batch.plan().folder).flush();
    journal.finish();
    return done;
}

} // namespace meloport
