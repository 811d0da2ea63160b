#pragma once

#include "util/Prompter.h"

// The desktop's prompter: message boxes, questions and file panels shown by the GUI thread.
// Called from another thread, it hands the question to the GUI thread and waits for the answer.
class WidgetPrompter final : public Prompter
{
public:
    void messageBox(const QString& message, const QString& title) override;
    bool askYesNo(const QString& question, const QString& title) override;
    SkipOrOverwrite askSkipOrOverwrite(const QString& path) override;
    QString chooseOpenPath(const QString& directory) override;
    QString chooseSavePath(const QString& directory, const QString& proposedName) override;
};
