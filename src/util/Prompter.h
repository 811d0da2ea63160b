#pragma once

#include <QString>

#include <memory>

// Every message and question to the user goes through the installed Prompter: the desktop
// application installs one that shows windows on the GUI thread, the command-line client one for
// the terminal, tests one that records what was asked. Implementations may be called from any
// thread and block the caller until the user has answered.
class Prompter
{
public:
    virtual ~Prompter() = default;

    // A message with a single "OK" button; the title is the main text, the message below it.
    virtual void messageBox(const QString& message, const QString& title) = 0;
    // A question with the buttons "Yes" (the default) and "No"; true for Yes.
    virtual bool askYesNo(const QString& question, const QString& title) = 0;

    struct SkipOrOverwrite
    {
        bool skip = true;
        bool applyToAll = false; // the same answer for the rest of the operation
    };
    // A name conflict: the item at path (remote name or local path) exists already.
    virtual SkipOrOverwrite askSkipOrOverwrite(const QString& path) = 0;
    // A local file or folder to open, starting in directory; null when the user cancels.
    virtual QString chooseOpenPath(const QString& directory) = 0;
    // A local place to save to, starting in directory with a proposed name; null when cancelled.
    virtual QString chooseSavePath(const QString& directory, const QString& proposedName) = 0;

    // The prompter in use; until one is installed, messages go to the log and questions are
    // answered No.
    static Prompter& instance();
    // Installs a prompter for the rest of the process (or until the next install); returns the
    // previous one.
    static std::unique_ptr<Prompter> install(std::unique_ptr<Prompter> prompter);
};
