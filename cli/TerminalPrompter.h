#pragma once

#include "util/Prompter.h"

#include <QString>

// Messages on standard error, one line each; questions on the terminal when there is one.
class TerminalPrompter final : public Prompter
{
public:
    void messageBox(const QString& message, const QString& title) override;
    bool askYesNo(const QString& question, const QString& title) override;
    SkipOrOverwrite askSkipOrOverwrite(const QString& path) override;
    // The command line names its files itself: no panels.
    QString chooseOpenPath(const QString& directory) override;
    QString chooseSavePath(const QString& directory, const QString& proposedName) override;

    static bool isInteractive();
    // A line typed on the terminal, without echo; null when there is no terminal.
    static QString readHidden(const QString& prompt);
    static void printError(const QString& text);

private:
    static QString askLine(const QString& prompt);
};
