#include "CommandLine.h"

namespace {

const QStringList kGlobalValueOptions { "-a", "--url", "--user", "--timeout" };

} // namespace

std::optional<CommandLine> CommandLine::parse(const QStringList& words, QString* error)
{
    CommandLine line;
    qsizetype i = 0;
    for (; i < words.size(); ++i) {
        const QString& word = words.at(i);
        if (!word.startsWith(u'-') || word == u"-")
            break;
        if (kGlobalValueOptions.contains(word)) {
            if (i + 1 >= words.size()) {
                *error = QStringLiteral("option %1 needs a value").arg(word);
                return std::nullopt;
            }
            const QString value = words.at(++i);
            if (word == u"-a")
                line.accountFile = value;
            else if (word == u"--url")
                line.url = value;
            else if (word == u"--user")
                line.user = value;
            else {
                bool ok = false;
                const double seconds = value.toDouble(&ok);
                if (!ok || !(seconds > 0)) {
                    *error = QStringLiteral("--timeout needs a positive number of seconds");
                    return std::nullopt;
                }
                line.timeout = seconds;
            }
        } else if (word == u"-q") {
            line.quiet = true;
        } else if (word == u"--password-stdin") {
            line.passwordFromStdin = true;
        } else if (word == u"--help" || word == u"-h") {
            line.help = true;
        } else {
            *error = QStringLiteral("unknown option %1").arg(word);
            return std::nullopt;
        }
    }
    if (i < words.size()) {
        line.command = words.at(i);
        line.arguments = words.mid(i + 1);
    }
    if (line.arguments.contains(QStringLiteral("--help")) || line.arguments.contains(QStringLiteral("-h")))
        line.help = true;
    if (!line.accountFile.isEmpty() && (!line.url.isEmpty() || !line.user.isEmpty())) {
        *error = QStringLiteral("use either -a FILE or --url and --user");
        return std::nullopt;
    }
    return line;
}

QString CommandWords::value(const QString& option) const
{
    for (const auto& [name, value] : values) {
        if (name == option)
            return value;
    }
    return {};
}

std::optional<CommandWords> CommandWords::parse(const QStringList& words, const QStringList& flagOptions,
                                                const QStringList& valueOptions, QString* error)
{
    CommandWords parsed;
    bool operandsOnly = false;
    for (qsizetype i = 0; i < words.size(); ++i) {
        const QString& word = words.at(i);
        if (operandsOnly || !word.startsWith(u'-') || word == u"-") {
            parsed.operands.append(word);
        } else if (word == u"--") {
            operandsOnly = true;
        } else if (flagOptions.contains(word)) {
            parsed.flags.append(word);
        } else if (valueOptions.contains(word)) {
            if (i + 1 >= words.size()) {
                *error = QStringLiteral("option %1 needs a value").arg(word);
                return std::nullopt;
            }
            parsed.values.append({ word, words.at(++i) });
        } else {
            *error = QStringLiteral("unknown option %1").arg(word);
            return std::nullopt;
        }
    }
    return parsed;
}
