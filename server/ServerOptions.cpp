#include "ServerOptions.h"

#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <map>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr int kUsageError = 2;

std::optional<ServerOptions> failure(const std::string& reason, std::string& message, int& exitCode)
{
    message = "plumoxa-server: " + reason + "\n" + ServerOptions::usage();
    exitCode = kUsageError;
    return std::nullopt;
}

template<typename Number> bool parseNumber(const std::string& text, Number& value)
{
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value);
    return error == std::errc() && stop == end && !text.empty();
}

// HOST:PORT, with an IPv6 host in brackets.
bool parseListen(const std::string& text, std::string& host, int& port)
{
    const size_t colon = text.rfind(':');
    if (colon == std::string::npos || colon == 0)
        return false;
    host = text.substr(0, colon);
    if (host.front() == '[') {
        if (host.size() < 3 || host.back() != ']')
            return false;
        host = host.substr(1, host.size() - 2);
    }
    return parseNumber(text.substr(colon + 1), port) && port >= 0 && port <= 65535;
}

// The first line of the password file. A file that its group or others may use is refused: the
// password would be theirs too.
bool readPasswordFile(const std::string& path, std::string& password, std::string& message)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    struct stat status
    {
    };
    if (fd < 0 || ::fstat(fd, &status) != 0) {
        if (fd >= 0)
            ::close(fd);
        message = "plumoxa-server: cannot read the password file " + path + "\n";
        return false;
    }
    if (status.st_mode & 077) {
        ::close(fd);
        char mode[8];
        std::snprintf(mode, sizeof mode, "%04o", unsigned(status.st_mode & 07777));
        message = "plumoxa-server: the password file " + path + " can be read by others (mode " + mode
            + "); make it readable by its owner only: chmod 600 " + path + "\n";
        return false;
    }
    std::string text;
    char buffer[4096];
    ssize_t received = 0;
    while (text.find('\n') == std::string::npos && (received = ::read(fd, buffer, sizeof buffer)) > 0)
        text.append(buffer, size_t(received));
    ::close(fd);
    password = text.substr(0, text.find('\n'));
    if (!password.empty() && password.back() == '\r')
        password.pop_back();
    return true;
}

} // namespace

std::string ServerOptions::usage()
{
    return "usage: plumoxa-server --root DIR --user NAME [--password-file FILE] [--listen HOST:PORT]\n"
           "                      [--start-dir PATH] [--charset utf-8|shift_jis|euc-jp]\n"
           "                      [--tls-cert FILE --tls-key FILE] [--max-form-bytes N]\n"
           "                      [--max-connections N] [--idle-timeout SECONDS] [--request-timeout SECONDS]\n"
           "The password is the first line of --password-file (readable by its owner only),\n"
           "else $PLUMOXA_PASSWORD.\n";
}

std::optional<ServerOptions> ServerOptions::parse(int argc, char** argv, std::string& message, int& exitCode)
{
    exitCode = 0;
    static const char* const known[]
        = { "--root",     "--user",    "--password-file",  "--listen",          "--start-dir",    "--charset",
            "--tls-cert", "--tls-key", "--max-form-bytes", "--max-connections", "--idle-timeout", "--request-timeout" };
    std::map<std::string, std::string> values;
    for (int i = 1; i < argc; ++i) {
        std::string argument = argv[i];
        if (argument == "--help" || argument == "-h") {
            message = usage();
            return std::nullopt;
        }
        std::string value;
        bool hasValue = false;
        const size_t equals = argument.find('=');
        if (argument.starts_with("--") && equals != std::string::npos) {
            value = argument.substr(equals + 1);
            argument.resize(equals);
            hasValue = true;
        }
        bool isKnown = false;
        for (const char* name : known)
            isKnown = isKnown || argument == name;
        if (!isKnown)
            return failure("unknown argument " + argument, message, exitCode);
        if (!hasValue) {
            if (i + 1 >= argc)
                return failure(argument + " needs a value", message, exitCode);
            value = argv[++i];
        }
        if (values.count(argument))
            return failure(argument + " given twice", message, exitCode);
        values[argument] = value;
    }

    ServerOptions options;
    if (!values.count("--root") || values["--root"].empty())
        return failure("--root is required", message, exitCode);
    if (!values.count("--user") || values["--user"].empty())
        return failure("--user is required", message, exitCode);
    options.root = values["--root"];
    options.user = values["--user"];
    if (values.count("--listen") && !parseListen(values["--listen"], options.listenHost, options.listenPort))
        return failure("--listen wants HOST:PORT, not " + values["--listen"], message, exitCode);
    if (values.count("--start-dir"))
        options.startDir = values["--start-dir"];
    if (values.count("--charset")) {
        const auto charset = ReplyEncoding::charsetFromName(values["--charset"]);
        if (!charset)
            return failure("--charset must be utf-8, shift_jis or euc-jp", message, exitCode);
        options.charset = *charset;
    }
    options.tlsCert = values.count("--tls-cert") ? values["--tls-cert"] : std::string();
    options.tlsKey = values.count("--tls-key") ? values["--tls-key"] : std::string();
    if (options.tlsCert.empty() != options.tlsKey.empty())
        return failure("--tls-cert and --tls-key go together", message, exitCode);
    if (values.count("--max-form-bytes")
        && (!parseNumber(values["--max-form-bytes"], options.maxFormBytes) || options.maxFormBytes == 0))
        return failure("--max-form-bytes wants a positive number of bytes", message, exitCode);

    for (const auto& [name, field] : { std::pair("--max-connections", &options.maxConnections),
                                       std::pair("--idle-timeout", &options.idleTimeoutSeconds),
                                       std::pair("--request-timeout", &options.requestTimeoutSeconds) }) {
        if (values.count(name) && (!parseNumber(values[name], *field) || *field <= 0))
            return failure(std::string(name) + " wants a positive whole number", message, exitCode);
    }

    if (values.count("--password-file")) {
        const std::string& path = values["--password-file"];
        if (!readPasswordFile(path, options.password, message)) {
            exitCode = kUsageError;
            return std::nullopt;
        }
    } else if (const char* fromEnvironment = std::getenv("PLUMOXA_PASSWORD")) {
        options.password = fromEnvironment;
    }
    if (options.password.empty())
        return failure("no password: give --password-file or set PLUMOXA_PASSWORD (an empty password is refused)",
                       message, exitCode);
    return options;
}
