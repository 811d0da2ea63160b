#pragma once

#include <QString>

class ConnectSettings;
class ListingReceiver;

// What a client delivers the results of a reply to: the session window controller, the
// command-line client or a test. The client calls it on the thread that made the client (which
// waits for that thread when another one issued the command): connectionSetting before each
// command, setCurrentDirectory and the listing receiver after the reply was scanned; disconnected
// is queued to that thread and never waited for.
class ResultTarget
{
public:
    virtual ~ResultTarget() = default;

    // The account the client logs in with, read at every command.
    virtual ConnectSettings connectionSetting() const = 0;

    // The server's current directory after a command; null when the reply named none.
    virtual void setCurrentDirectory(const QString& directory) = 0;
    virtual ListingReceiver* fileDisplayController() = 0;
    // The reply showed that the login no longer holds.
    virtual void disconnected() = 0;
};
