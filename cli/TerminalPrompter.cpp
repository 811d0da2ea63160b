#include "TerminalPrompter.h"

#include "util/MyUtil.h"

#include <cstdio>
#include <termios.h>
#include <unistd.h>

namespace {

// The controlling terminal, for questions even while standard input is redirected.
class Terminal
{
public:
    Terminal()
        : m_file(std::fopen("/dev/tty", "r+"))
    { }
    ~Terminal()
    {
        if (m_file)
            std::fclose(m_file);
    }
    Terminal(const Terminal&) = delete;
    Terminal& operator=(const Terminal&) = delete;

    bool isOpen() const { return m_file != nullptr; }
    void write(const QString& text)
    {
        std::fputs(text.toLocal8Bit().constData(), m_file);
        std::fflush(m_file);
    }
    QString readLine()
    {
        char buffer[4096];
        if (!std::fgets(buffer, sizeof buffer, m_file))
            return {};
        QString line = QString::fromLocal8Bit(buffer);
        while (line.endsWith(u'\n') || line.endsWith(u'\r'))
            line.chop(1);
        return line;
    }
    int descriptor() const { return fileno(m_file); }

private:
    std::FILE* m_file;
};

} // namespace

bool TerminalPrompter::isInteractive()
{
    return ::isatty(STDERR_FILENO) && Terminal().isOpen();
}

void TerminalPrompter::printError(const QString& text)
{
    std::fprintf(stderr, "plumoxa-cli: %s\n", MyUtil::printable(text).toLocal8Bit().constData());
    std::fflush(stderr);
}

void TerminalPrompter::messageBox(const QString& message, const QString& title)
{
    Q_UNUSED(title);
    printError(message);
}

QString TerminalPrompter::askLine(const QString& prompt)
{
    Terminal terminal;
    if (!terminal.isOpen())
        return {};
    terminal.write(prompt);
    return terminal.readLine().trimmed();
}

bool TerminalPrompter::askYesNo(const QString& question, const QString& title)
{
    Q_UNUSED(title);
    const QString answer = askLine(question + QStringLiteral(" [y/N] ")).toLower();
    return answer == u"y" || answer == u"yes";
}

Prompter::SkipOrOverwrite TerminalPrompter::askSkipOrOverwrite(const QString& path)
{
    for (;;) {
        const QString answer
            = askLine(QStringLiteral("%1 exists. [s]kip, [o]verwrite, [S]kip all, [O]verwrite all? ").arg(path));
        if (answer.isNull())
            return { true, true };
        if (answer == u"s")
            return { true, false };
        if (answer == u"o")
            return { false, false };
        if (answer == u"S")
            return { true, true };
        if (answer == u"O")
            return { false, true };
    }
}

QString TerminalPrompter::chooseOpenPath(const QString&)
{
    return {};
}

QString TerminalPrompter::chooseSavePath(const QString&, const QString&)
{
    return {};
}

QString TerminalPrompter::readHidden(const QString& prompt)
{
    Terminal terminal;
    if (!terminal.isOpen())
        return {};
    termios saved {};
    const bool canHide = ::tcgetattr(terminal.descriptor(), &saved) == 0;
    if (canHide) {
        termios hidden = saved;
        hidden.c_lflag &= ~tcflag_t(ECHO);
        ::tcsetattr(terminal.descriptor(), TCSAFLUSH, &hidden);
    }
    terminal.write(prompt);
    const QString line = terminal.readLine();
    if (canHide)
        ::tcsetattr(terminal.descriptor(), TCSAFLUSH, &saved);
    terminal.write(QStringLiteral("\n"));
    return line.isNull() ? QString() : line;
}
