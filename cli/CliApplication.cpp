#include "CliApplication.h"

#include "ExitCode.h"
#include "RemoteCommands.h"
#include "TerminalPrompter.h"

#include "document/DocumentFile.h"
#include "util/MyUtil.h"

#include <QFile>
#include <QMap>
#include <QTextStream>

#include <cstdio>

namespace {

struct CommandSpec
{
    QStringList flags;
    QStringList values;
    const char* usage;
};

const QMap<QString, CommandSpec>& commands()
{
    static const QMap<QString, CommandSpec> table {
        { "ls", { { "-a", "-l", "--tsv" }, {}, "ls [-a] [-l | --tsv] [REMOTE_DIR]" } },
        { "get",
          { { "-r", "--overwrite", "--skip-existing" },
            {},
            "get [-r] [--overwrite | --skip-existing] REMOTE_PATH [LOCAL_PATH]" } },
        { "put",
          { { "-r", "--overwrite", "--skip-existing" },
            {},
            "put [-r] [--overwrite | --skip-existing] LOCAL_PATH... [REMOTE_DIR]" } },
        { "mkdir", { {}, {}, "mkdir REMOTE_PATH" } },
        { "rm", { {}, {}, "rm REMOTE_PATH..." } },
        { "rmdir", { {}, {}, "rmdir REMOTE_PATH" } },
        { "chmod", { {}, {}, "chmod MODE REMOTE_PATH" } },
        { "mv", { {}, {}, "mv REMOTE_PATH NEW_NAME" } },
        { "account",
          { {},
            { "--url", "--user", "--description", "--timeout" },
            "account create FILE --url URL --user NAME [--description TEXT] [--timeout SECONDS]\n"
            "       plumoxa-cli account show FILE" } },
    };
    return table;
}

void printOut(const QString& text)
{
    std::fputs(text.toUtf8().constData(), stdout);
    std::fflush(stdout);
}

int usageError(const QString& text)
{
    TerminalPrompter::printError(text);
    std::fprintf(stderr, "Try 'plumoxa-cli --help'.\n");
    return kUsage;
}

} // namespace

QString CliApplication::usage()
{
    QString text = QStringLiteral(
        "Usage: plumoxa-cli [-a FILE | --url URL --user NAME] [--timeout SECONDS] [-q] COMMAND [ARGS]\n"
        "\n"
        "Works with a remote file store through its server-side script.\n"
        "  -a FILE            use the account document FILE (its saved password)\n"
        "  --url URL --user NAME\n"
        "                     the script's address and the user; the password comes from\n"
        "                     PLUMOXA_PASSWORD, standard input (--password-stdin) or a prompt\n"
        "  --timeout SECONDS  the time-out of each request\n"
        "  -q                 no progress lines\n"
        "\nCommands:\n");
    for (const CommandSpec& spec : commands())
        text += u"  "
            + QString::fromUtf8(spec.usage).replace(QStringLiteral("       plumoxa-cli "), QStringLiteral("  "))
            + u'\n';
    text += QStringLiteral(
        "\nExit status: 0 done, 1 refused or a local failure, 2 usage, 3 login or connection failed.\n");
    return text;
}

QString CliApplication::commandUsage(const QString& command)
{
    const auto found = commands().constFind(command);
    return found == commands().cend() ? usage()
                                      : u"Usage: plumoxa-cli [ACCOUNT] " + QString::fromUtf8(found->usage) + u'\n';
}

std::optional<QString> CliApplication::password(const CommandLine& line)
{
    if (line.passwordFromStdin) {
        QTextStream in(stdin);
        return in.readLine();
    }
    const QByteArray fromEnvironment = qgetenv("PLUMOXA_PASSWORD");
    if (!fromEnvironment.isNull())
        return QString::fromLocal8Bit(fromEnvironment);
    const QString typed = TerminalPrompter::readHidden(QStringLiteral("Password: "));
    if (typed.isNull())
        return std::nullopt;
    return typed;
}

std::optional<ConnectSettings> CliApplication::account(const CommandLine& line, int* exitCode)
{
    ConnectSettings settings;
    if (!line.accountFile.isEmpty()) {
        QString error;
        if (!DocumentFile::read(line.accountFile, settings, &error)) {
            TerminalPrompter::printError(line.accountFile + u": " + error);
            *exitCode = kRefused;
            return std::nullopt;
        }
    } else if (!line.url.isEmpty() && !line.user.isEmpty()) {
        const auto secret = password(line);
        if (!secret) {
            *exitCode = usageError(QStringLiteral("no password: set PLUMOXA_PASSWORD or use --password-stdin"));
            return std::nullopt;
        }
        settings.setUrl(line.url);
        settings.setUserId(line.user);
        settings.setPassword(*secret);
    } else {
        *exitCode = usageError(QStringLiteral("an account is needed: -a FILE, or --url URL and --user NAME"));
        return std::nullopt;
    }
    if (settings.urlString().isEmpty()) {
        TerminalPrompter::printError(MyUtil::localized("No connect settings"));
        *exitCode = kUsage;
        return std::nullopt;
    }
    if (line.timeout)
        settings.setTimeout(*line.timeout);
    return settings;
}

int CliApplication::runAccount(const CommandLine& line)
{
    QString error;
    const auto words = CommandWords::parse(line.arguments, {}, commands().value("account").values, &error);
    if (!words)
        return usageError(error);
    const QString action = words->operands.value(0);
    const QString file = words->operands.value(1);
    if (words->operands.size() != 2 || (action != u"create" && action != u"show"))
        return usageError(commandUsage(QStringLiteral("account")));
    if (action == u"show") {
        ConnectSettings settings;
        if (!DocumentFile::read(file, settings, &error)) {
            TerminalPrompter::printError(file + u": " + error);
            return kRefused;
        }
        printOut(QStringLiteral("description: %1\nurl: %2\nuser: %3\ntimeout: %4\n")
                     .arg(settings.description(), settings.urlString(), settings.userId())
                     .arg(settings.timeout()));
        return kDone;
    }
    ConnectSettings settings;
    settings.setUrl(words->value(QStringLiteral("--url")));
    settings.setUserId(words->value(QStringLiteral("--user")));
    settings.setDescription(words->value(QStringLiteral("--description")));
    if (settings.urlString().isEmpty() || settings.userId().isEmpty())
        return usageError(commandUsage(QStringLiteral("account")));
    if (!MyUtil::isValidHttpProtocol(settings.urlString()))
        return usageError(MyUtil::localized("Invalid URL"));
    if (const QString timeout = words->value(QStringLiteral("--timeout")); !timeout.isEmpty()) {
        bool ok = false;
        const double seconds = timeout.toDouble(&ok);
        if (!ok || !(seconds > 0))
            return usageError(QStringLiteral("--timeout needs a positive number of seconds"));
        settings.setTimeout(seconds);
    }
    const auto secret = password(line);
    if (!secret)
        return usageError(QStringLiteral("no password: set PLUMOXA_PASSWORD or use --password-stdin"));
    settings.setPassword(*secret);
    if (!DocumentFile::write(file, settings, &error)) {
        TerminalPrompter::printError(file + u": " + error);
        return kRefused;
    }
    return kDone;
}

int CliApplication::run(const QStringList& arguments)
{
    QString error;
    const auto line = CommandLine::parse(arguments, &error);
    if (!line)
        return usageError(error);
    if (line->command.isEmpty()) {
        if (line->help) {
            printOut(usage());
            return kDone;
        }
        return usageError(QStringLiteral("no command given"));
    }
    if (!commands().contains(line->command))
        return usageError(QStringLiteral("unknown command %1").arg(line->command));
    if (line->help) {
        printOut(commandUsage(line->command));
        return kDone;
    }
    if (line->command == u"account")
        return runAccount(*line);

    const CommandSpec& spec = commands().value(line->command);
    const auto words = CommandWords::parse(line->arguments, spec.flags, spec.values, &error);
    if (!words)
        return usageError(error);
    if (words->has(QStringLiteral("--overwrite")) && words->has(QStringLiteral("--skip-existing")))
        return usageError(QStringLiteral("--overwrite and --skip-existing exclude each other"));
    if (words->has(QStringLiteral("-l")) && words->has(QStringLiteral("--tsv")))
        return usageError(QStringLiteral("-l and --tsv exclude each other"));
    int status = kDone;
    const auto settings = account(*line, &status);
    if (!settings)
        return status;
    RemoteCommands remote(*settings, line->quiet);
    status = remote.connect();
    return status == kDone ? remote.run(line->command, *words) : status;
}
