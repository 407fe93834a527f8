#pragma once

#include "core/JobDialog.h"
#include "support/MessageFamily.h"

#include <QQueue>
#include <QStringList>

// Stands in for the person in a core job: records each message and question by its catalogue
// number ("203", "? 220"), and answers questions from a queue (none left: いいえ).
class ScriptedDialog final : public meloport::JobDialog {
public:
    QStringList said;
    QStringList texts;
    QQueue<bool> answers;

    void tell(const meloport::Message &message) override
    {
        texts.append(message.text);
        said.append(QString::number(messageNumber(message.text)));
    }
    bool ask(const meloport::Message &question) override
    {
        texts.append(question.text);
        said.append(QStringLiteral("? ") + QString::number(messageNumber(question.text)));
        return !answers.isEmpty() && answers.dequeue();
    }
};
