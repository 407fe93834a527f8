#include "rename/RenameJournal.h"

#include <QDir>
#include <QFileInfo>

namespace meloport {

namespace {

constexpr QByteArrayView kMagic = "meloport-rename-journal";
constexpr QByteArrayView kVersion = "1";

QByteArray encoded(const QByteArray &name)
{
    // Blanks, "%" and every byte beyond ASCII become %XX; nothing else needs it.
    return name.toPercentEncoding("!\"#$&'()*+,-./:;<=>?@[\\]^_`{|}~");
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
    bool planned = false;
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
            else if (f[1] != kVersion)
                reading.problem = JournalReading::Problem::OtherVersion;
        } else if (!planned && keyword == "folder" && f.size() == 2 && record.folder.isEmpty()) {
            record.folder = QFile::decodeName(QByteArray::fromPercentEncoding(f[1]));
        } else if (!planned && keyword == "pair" && f.size() == 3 && record.steps.isEmpty()) {
            RenamePair pair{QByteArray::fromPercentEncoding(f[1]), QByteArray::fromPercentEncoding(f[2]), {}, {}};
            pair.oldShown = QString::fromUtf8(pair.oldName);
            pair.newShown = QString::fromUtf8(pair.newName);
            record.pairs.append(pair);
        } else if (!planned && keyword == "step" && f.size() == 5 && number(f[1], record.pairs.size()) >= 0) {
            record.steps.append({number(f[1], record.pairs.size()), QByteArray::fromPercentEncoding(f[2]),
                                 QByteArray::fromPercentEncoding(f[3]), f[4].contains('u'), f[4].contains('c')});
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
    m_pairOfPosition = QList<qsizetype>(pairs.size(), -1);
    QByteArray text = kMagic + ' ' + kVersion + "\nfolder " + encoded(QFile::encodeName(batch.plan().folder)) + '\n';
    qsizetype recorded = 0;
    for (const RenameStep &step : batch.schedule()) {
        if (m_pairOfPosition[step.position] >= 0)
            continue;
        m_pairOfPosition[step.position] = recorded++;
        const RenamePair &pair = pairs[step.position];
        text += "pair " + encoded(pair.oldName) + ' ' + encoded(pair.newName) + '\n';
    }
    for (const RenameStep &step : batch.schedule()) {
        const QByteArray flags = step.startsChain ? "uc" : step.startsUnit ? "u" : "-";
        text += "step " + QByteArray::number(m_pairOfPosition[step.position]) + ' ' + encoded(step.from) + ' '
                + encoded(step.to) + ' ' + flags + '\n';
    }
    text += "planned\n";

    QDir().mkpath(QFileInfo(m_path).absolutePath());
    if (auto error = platform::replaceFile(m_path, text))
        return error;
    // Each progress line is one write of its own: a crash keeps every line written before it.
    m_file.setFileName(m_path);
    if (!m_file.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered))
        return platform::OsError{EIO, m_file.errorString()};
    return std::nullopt;
}

void RenameJournalWriter::append(const QByteArray &line)
{
    // A line that cannot be written costs no file: undo then finds the file by looking.
    if (m_file.isOpen())
        m_file.write(line);
}

void RenameJournalWriter::stepTaken(qsizetype step, bool undone)
{
    append((undone ? "undone " : "done ") + QByteArray::number(step) + '\n');
}

void RenameJournalWriter::finish()
{
    append("finished\n");
    m_file.close();
}

RecordedRun runRecorded(RenameBatch &batch, const QString &journalPath)
{
    if (batch.schedule().isEmpty())
        return {std::nullopt, batch.run()};
    RenameJournalWriter journal(journalPath);
    if (auto error = journal.begin(batch))
        return {std::move(error), {}};
    RecordedRun done{std::nullopt, batch.run([&journal](qsizetype step, bool undone) { journal.stepTaken(step, undone); })};
    journal.finish();
    return done;
}

} // namespace meloport
