#include "app/DemoServer.h"
#include "app/DocumentController.h"
#include "app/DocumentWindow.h"
#include "app/MyDocument.h"
#include "app/PlumoAppDelegate.h"
#include "session/ViewController.h"
#include "ui/WidgetPrompter.h"
#include "util/MyUtil.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QLocale>
#include <QTranslator>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Plumoxa"));
    QApplication::setOrganizationName(QStringLiteral("Plumoxa"));
    QApplication::setApplicationVersion(QStringLiteral(PLUMOXA_VERSION));

    // The desktop's language; English shows the keys themselves.
    QTranslator translator;
    if (translator.load(QLocale(), QStringLiteral("plumoxa"), QStringLiteral("_"), QStringLiteral(":/i18n")))
        QApplication::installTranslator(&translator);

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("A client for remote file stores reached over HTTP(S) through a server-side script."));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addPositionalArgument(QStringLiteral("FILE"), QStringLiteral("Account documents (.plumoxa) to open."),
                                 QStringLiteral("[FILE...]"));
    const QCommandLineOption demoOption(
        QStringLiteral("demo"), QStringLiteral("Start a local demonstration server and connect a new window to it."));
    parser.addOption(demoOption);
    parser.process(app);

    // Declared before the framework: the server stops after the last window has gone.
    std::unique_ptr<DemoServer> demo;
    Prompter::install(std::make_unique<WidgetPrompter>());
    PlumoAppDelegate delegate;
    DocumentController framework(delegate.menuEnabler());
    if (parser.isSet(demoOption)) {
        demo = std::make_unique<DemoServer>();
        if (!demo->start(DemoServer::defaultServerPath())) {
            MyUtil::messageBox(QStringLiteral("The demonstration server did not start."));
            return 1;
        }
        DocumentWindow* window = framework.newDocument();
        window->document().applyConnectionSetting(demo->setting());
        window->controller().connectButton();
    }
    for (const QString& path : parser.positionalArguments())
        framework.openDocument(path);
    if (framework.windows().isEmpty())
        framework.newDocument();
    return QApplication::exec();
}
