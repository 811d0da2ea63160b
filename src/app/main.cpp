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
#include <QLibraryInfo>
#include <QLocale>
#include <QSocketNotifier>
#include <QTimer>
#include <QTranslator>

#include <csignal>

#include <sys/socket.h>
#include <unistd.h>

namespace {

int g_signalPipe[2] = { -1, -1 };

void quitOnSignal(int)
{
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = ::write(g_signalPipe[1], &byte, 1);
}

} // namespace

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
    // The file panels and standard buttons speak the same language.
    QTranslator qtTranslator;
    if (qtTranslator.load(QLocale(), QStringLiteral("qtbase"), QStringLiteral("_"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qtTranslator);

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
    // For the README: with --demo, saves a picture of the connected window and quits.
    QCommandLineOption screenshotOption(QStringLiteral("screenshot"), QString(), QStringLiteral("PNG"));
    screenshotOption.setFlags(QCommandLineOption::HiddenFromHelp);
    parser.addOption(screenshotOption);
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
        if (parser.isSet(screenshotOption)) {
            const QString picture = parser.value(screenshotOption);
            QTimer::singleShot(0, window,
                               [window, picture] { QApplication::exit(window->grab().save(picture, "PNG") ? 0 : 1); });
        }
    }
    for (const QString& path : parser.positionalArguments())
        framework.openDocument(path);
    if (framework.windows().isEmpty())
        framework.newDocument();
    // Interrupted from a terminal: quit through the event loop, so the demonstration server stops
    // and its folder goes.
    std::unique_ptr<QSocketNotifier> signalNotifier;
    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, g_signalPipe) == 0) {
        signalNotifier = std::make_unique<QSocketNotifier>(g_signalPipe[0], QSocketNotifier::Read);
        QObject::connect(signalNotifier.get(), &QSocketNotifier::activated, &app, [] { QApplication::quit(); });
        std::signal(SIGINT, quitOnSignal);
        std::signal(SIGTERM, quitOnSignal);
    }
    return QApplication::exec();
}
