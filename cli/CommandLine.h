#pragma once

#include <QString>
#include <QStringList>

#include <optional>

// What the command line asks for: the account, the global options, the command and its words.
struct CommandLine
{
    QString accountFile; // -a FILE
    QString url; // --url
    QString user; // --user
    std::optional<double> timeout; // --timeout
    bool passwordFromStdin = false; // --password-stdin
    bool quiet = false; // -q
    bool help = false; // --help (for the program, or for the command when one is given)

    QString command; // "ls", "get", ..., "account"
    QStringList arguments; // the command's own words and options, in order

    // Parses argv (without the program name); an error text on a usage mistake.
    static std::optional<CommandLine> parse(const QStringList& words, QString* error);
};

// The options and operands of one command, parsed against the options it accepts.
struct CommandWords
{
    QStringList flags; // options without a value that were given, e.g. "-r", "--overwrite"
    QList<QPair<QString, QString>> values; // options with a value, e.g. {"--url", "http://..."}
    QStringList operands;

    QString value(const QString& option) const;
    bool has(const QString& flag) const { return flags.contains(flag); }

    static std::optional<CommandWords> parse(const QStringList& words, const QStringList& flagOptions,
                                             const QStringList& valueOptions, QString* error);
};
