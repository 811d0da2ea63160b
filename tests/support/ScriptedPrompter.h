#pragma once

#include "util/Prompter.h"

#include <QMutex>
#include <QQueue>
#include <QStringList>

#include <functional>

// A Prompter for tests: records every message and question, answers questions from a script
// (No when the script is empty). Installed for the lifetime of the object.
class ScriptedPrompter final : public Prompter
{
public:
    ScriptedPrompter();
    ~ScriptedPrompter() override;

    void messageBox(const QString& message, const QString& title) override;
    bool askYesNo(const QString& question, const QString& title) override;
    SkipOrOverwrite askSkipOrOverwrite(const QString& path) override;
    QString chooseOpenPath(const QString& directory) override;
    QString chooseSavePath(const QString& directory, const QString& proposedName) override;

    // Called with the path at each conflict question, on the asking thread, before it is answered.
    void onConflict(std::function<void(const QString&)> hook);
    void answerYesNo(bool yes);
    void answerSkipOrOverwrite(bool skip, bool applyToAll = false);
    // A null path answers as a cancelled panel.
    void answerPath(const QString& path);
    // "open:DIR", "save:DIR|NAME" and "conflict:PATH" for each panel and question, in order.
    QStringList panels() const;
    QStringList messages() const;
    QStringList questions() const;
    void clear();

private:
    mutable QMutex m_mutex;
    QStringList m_messages;
    QStringList m_questions;
    QQueue<bool> m_yesNoAnswers;
    QQueue<SkipOrOverwrite> m_conflictAnswers;
    QQueue<QString> m_paths;
    QStringList m_panels;
    std::function<void(const QString&)> m_conflictHook;
    std::unique_ptr<Prompter> m_previous;
};
