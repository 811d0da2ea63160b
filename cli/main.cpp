#include "CliApplication.h"
#include "CliTransferHost.h"
#include "TerminalPrompter.h"

#include <QCoreApplication>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("plumoxa-cli"));
    Prompter::install(std::make_unique<TerminalPrompter>());
    CliTransferHost::catchInterrupt();
    return CliApplication::run(QCoreApplication::arguments().mid(1));
}
