#pragma once

#include "CommandLine.h"

#include "document/ConnectSettings.h"

#include <optional>

// plumoxa-cli: parses the command line, finds the account and runs one command.
class CliApplication
{
public:
    static int run(const QStringList& arguments);

    static QString usage();
    static QString commandUsage(const QString& command);

private:
    static int runAccount(const CommandLine& line);
    // The account of -a FILE or of --url/--user with a password from the environment, standard
    // input or the terminal; an error message and exit code otherwise.
    static std::optional<ConnectSettings> account(const CommandLine& line, int* exitCode);
    static std::optional<QString> password(const CommandLine& line);
};
