#pragma once

#include "CommandLine.h"

#include "document/ConnectSettings.h"
#include "engine/RemoteSession.h"

// The commands that work on the server: each logs in first, then lists what it needs through the
// session's directory tree, as the window does.
class RemoteCommands
{
public:
    RemoteCommands(const ConnectSettings& settings, bool quiet);

    // Logs in; kLoginFailed (after a message) when that fails.
    int connect();
    int run(const QString& command, const CommandWords& words);

    // An absolute, normalised remote path: "/" joins, "." and ".." resolved, relative paths taken
    // from the starting directory.
    static QString absolutePath(const QString& start, const QString& path);
    static QPair<QString, QString> splitPath(const QString& absolute);

private:
    int ls(const CommandWords& words);
    int get(const CommandWords& words);
    int put(const CommandWords& words);
    int simple(const QString& command, const CommandWords& words);

    // The entry at an absolute path (the root for "/"), listing directories on the way.
    FileDisplay* entryAt(const QString& absolute);
    // The message for a key and a name on standard error; kRefused.
    static int failed(const char* key, const QString& name);
    static int usageError(const QString& text);

    ConnectSettings m_settings;
    bool m_quiet;
    RemoteSession m_session;
    QString m_start; // the starting directory the server named
};
