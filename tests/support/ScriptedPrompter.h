#pragma once

#include "util/Prompter.h"

#include <QMutex>
#include <QQueue>
#include <QStringList>

// A Prompter for tests: records every message and question, answers questions from a script
// (No when the script is empty). Installed for the lifetime of the object.
class ScriptedPrompter final : public Prompter
{
public:
    ScriptedPrompter();
    ~ScriptedPrompter() override;

    void messageBox(const QString& message, const QString& title) override;
    bool askYesNo(const QString& question, const QString& title) override;

    void answerYesNo(bool yes);
    QStringList messages() const;
    QStringList questions() const;
    void clear();

private:
    mutable QMutex m_mutex;
    QStringList m_messages;
    QStringList m_questions;
    QQueue<bool> m_yesNoAnswers;
    std::unique_ptr<Prompter> m_previous;
};
