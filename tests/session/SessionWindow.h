#pragma once

#include "app/DocumentController.h"
#include "app/PlumoAppDelegate.h"
#include "support/ServerFixture.h"

#include <QString>

class DocumentWindow;
class ViewController;

// A document window on screen (offscreen platform) whose setting points at a real server over a
// temporary root with this tree:
//   /      a/  empty/  .hidden/  x.txt  .profile
//   /a     b/  c/  y.txt
//   /a/b   z.txt
class SessionWindow
{
public:
    explicit SessionWindow(QStringList serverArgs = {});
    ~SessionWindow();

    // Starts the server, then the window on it.
    bool start();
    // The window alone, on another server (the fixture's server is not started).
    bool startOn(const QString& url, const QString& user, const QString& password, int timeout);
    ViewController& controller() const;
    DocumentWindow& window() const { return *m_window; }
    ServerFixture& server() { return m_server; }
    // The number of requests the server logged so far.
    int requestCount() const;
    // Connects and waits for the listing of the start directory.
    bool connect();
    // Waits for the window's long operation to end.
    bool waitIdle() const;
    // Verifies that the window is back as it was before an operation (fails the calling test).
    void verifyRestored() const;
    // Selects the table's rows of these names.
    void selectNames(const QStringList& names);
    // The entry names of the file table, in row order.
    QStringList tableNames() const;
    // The names of the tree view's expanded, visible rows, depth-first ("/", "a", ...).
    QStringList visibleTreeRows() const;

private:
    PlumoAppDelegate m_delegate;
    ServerFixture m_server;
    DocumentController m_framework;
    DocumentWindow* m_window = nullptr;
};
