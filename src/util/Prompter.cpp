#include "util/Prompter.h"

#include <QLoggingCategory>

Q_LOGGING_CATEGORY(lcPrompter, "plumoxa.util", QtInfoMsg)

namespace {

// Used before an application has installed its own: nobody can answer, so nothing is agreed to.
class LogPrompter final : public Prompter
{
public:
    void messageBox(const QString& message, const QString& title) override
    {
        qCWarning(lcPrompter).noquote() << (title.isNull() ? QStringLiteral("Plumoxa") : title) << message;
    }
    bool askYesNo(const QString& question, const QString& title) override
    {
        messageBox(question, title);
        return false;
    }
    SkipOrOverwrite askSkipOrOverwrite(const QString& path) override
    {
        qCWarning(lcPrompter).noquote() << "exists already, skipped:" << path;
        return {};
    }
    QString chooseOpenPath(const QString&) override { return {}; }
    QString chooseSavePath(const QString&, const QString&) override { return {}; }
};

std::unique_ptr<Prompter>& installed()
{
    static std::unique_ptr<Prompter> prompter = std::make_unique<LogPrompter>();
    return prompter;
}

} // namespace

Prompter& Prompter::instance()
{
    return *installed();
}

std::unique_ptr<Prompter> Prompter::install(std::unique_ptr<Prompter> prompter)
{
    std::swap(installed(), prompter);
    return prompter;
}
