#pragma once

#include "util/Prompter.h"

#include <QPointer>

class QWidget;

// The desktop's prompter: message boxes, questions and file panels shown by the GUI thread.
// Called from another thread, it hands the question to the GUI thread and waits for the answer;
// a thread that works for one window (a transfer's worker) names it, and its questions are then
// modal to that window only. Control characters in messages (names from a server) are shown
// escaped.
class WidgetPrompter final : public Prompter
{
public:
    // The window the calling thread's questions belong to (none: the active window).
    static void setThreadWindow(QWidget* window);

    void messageBox(const QString& message, const QString& title) override;
    bool askYesNo(const QString& question, const QString& title) override;
    SkipOrOverwrite askSkipOrOverwrite(const QString& path) override;
    QString chooseOpenPath(const QString& directory) override;
    QString chooseSavePath(const QString& directory, const QString& proposedName) override;
};
