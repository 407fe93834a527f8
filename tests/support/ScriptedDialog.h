#pragma once

#include "core/JobDialog.h"
#include "core/copy/CopyJob.h"
#include "support/MessageFamily.h"

#include <QQueue>
#include <QStringList>

#include <functional>

// Stands in for the person in a core job: records each message and question by its catalogue number
// ("203", "? 220") and their texts, and answers questions from a queue (none left: `otherwise`).
class ScriptedDialog final : public meloport::JobDialog {
public:
    QStringList said;
    QStringList texts;
    QQueue<bool> answers;
    bool otherwise = false;

    void tell(const meloport::Message &message) override
    {
        texts.append(message.text);
        said.append(QString::number(messageNumber(message.text)));
    }
    bool ask(const meloport::Message &question) override
    {
        texts.append(question.text);
        said.append(QStringLiteral("? ") + QString::number(messageNumber(question.text)));
        return answers.isEmpty() ? otherwise : answers.dequeue();
    }
};

// The copy's progress side: what it was told, a twist once the copy is under way, and a stop.
class ScriptedProgress final : public meloport::CopyProgress {
public:
    std::function<void()> twist;
    bool stop = false;
    QStringList seen;
    std::pair<qsizetype, qint64> last;

    void begin(qsizetype files, qint64) override { seen.append(QStringLiteral("begin %1").arg(files)); }
    bool advance(qsizetype files, qint64 bytes) override
    {
        last = {files, bytes};
        if (bytes > 0 && twist)
            std::exchange(twist, nullptr)();
        return !(stop && bytes > 0);
    }
    void end() override { seen.append(QStringLiteral("end")); }
    void stopped(const meloport::Message &howFar) override
    {
        seen.append(QString::number(messageNumber(howFar.text)));
    }
};
