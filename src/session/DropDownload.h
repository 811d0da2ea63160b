#pragma once

#include <QPointer>
#include <QString>

#include <chrono>

class ViewController;

// The download behind a drag out of a window's file table: the window's selection goes into a
// local folder as the drop download, and the caller (the drop target's request for the data)
// waits, serving events, until it ends or the deadline passes.
class DropDownload final
{
public:
    static constexpr std::chrono::milliseconds kDeadline = std::chrono::minutes(5);

    explicit DropDownload(ViewController& controller, std::chrono::milliseconds deadline = kDeadline);

    // Whether the download ran to its end within the deadline. Its failures are reported to the
    // user by the download itself; past the deadline it goes on, but nothing is waited for.
    bool retrieveInto(const QString& folder) const;

private:
    QPointer<ViewController> m_controller;
    std::chrono::milliseconds m_deadline;
};
