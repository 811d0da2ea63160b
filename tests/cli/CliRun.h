#pragma once

#include <QByteArray>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

#include <functional>

class ServerFixture;

// One run of plumoxa-cli, with no terminal: its exit code and what it printed.
struct CliRun
{
    int exitCode = -1;
    QByteArray out;
    QByteArray err;

    // Runs plumoxa-cli with arguments in workingDirectory; PLUMOXA_PASSWORD is set when given.
    // childSetup runs in the child before the program starts (limits, signals).
    static CliRun run(const QStringList& arguments, const QString& workingDirectory = QString(),
                      const QString& password = QString(), const QByteArray& input = QByteArray(),
                      const std::function<void()>& childSetup = {});
    // The account options of a fixture server: --url URL --user NAME (the password goes by environment).
    static QStringList account(const ServerFixture& server);
    static CliRun on(const ServerFixture& server, const QStringList& arguments,
                     const QString& workingDirectory = QString());
};
