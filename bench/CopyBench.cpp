// A copy between two servers through the desktop windows: one plumoxa-server on 127.0.0.1 holds a
// large file, a second one receives it; the file is copied in the first window and pasted in the
// second. Prints the time, the process's peak memory before and after, and what the paste added;
// the last line, "copy <seconds> <peak KiB> <added KiB>", is read by scripts/bench.
//
//   QT_QPA_PLATFORM=offscreen plumoxa-copy-bench [--mib 256]
#include "app/DocumentController.h"
#include "app/DocumentWindow.h"
#include "app/MyDocument.h"
#include "app/PlumoAppDelegate.h"
#include "document/ConnectSettings.h"
#include "session/ViewController.h"
#include "support/ScriptedPrompter.h"
#include "support/ServerFixture.h"
#include "ui/FileDropTableView.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QTest>

#include <sys/resource.h>

#include <cstdio>

namespace {

long peakKiB()
{
    rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

// Written a block at a time, so making the file adds nothing to the figures.
bool writeRandomFile(const QString& path, qint64 mib)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    QByteArray block(1 << 20, Qt::Uninitialized);
    for (qint64 i = 0; i < mib; ++i) {
        QRandomGenerator::global()->fillRange(reinterpret_cast<quint32*>(block.data()),
                                              block.size() / qsizetype(sizeof(quint32)));
        if (file.write(block) != block.size())
            return false;
    }
    return true;
}

DocumentWindow* openWindow(DocumentController& framework, const ServerFixture& server)
{
    DocumentWindow* window = framework.newDocument();
    ConnectSettings setting;
    setting.setUrl(server.url());
    setting.setUserId(server.user());
    setting.setPassword(server.password());
    setting.setTimeout(120);
    window->document().applyConnectionSetting(setting);
    if (!QTest::qWaitForWindowExposed(window))
        return nullptr;
    window->controller().connectButton();
    return window->controller().isConnected() ? window : nullptr;
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QCommandLineParser parser;
    const QCommandLineOption mibOption(QStringLiteral("mib"), QStringLiteral("File size in MiB."), QStringLiteral("n"),
                                       QStringLiteral("256"));
    parser.addOption(mibOption);
    parser.process(app);
    const qint64 mib = parser.value(mibOption).toLongLong();

    ScriptedPrompter prompter;
    PlumoAppDelegate delegate;
    ServerFixture source;
    ServerFixture target;
    if (!writeRandomFile(QDir(source.rootPath()).filePath(QStringLiteral("big.bin")), mib) || !source.start()
        || !target.start()) {
        std::fprintf(stderr, "copy-bench: the servers did not start\n");
        return 1;
    }
    DocumentController framework(delegate.menuEnabler());
    DocumentWindow* from = openWindow(framework, source);
    DocumentWindow* into = openWindow(framework, target);
    if (!from || !into) {
        std::fprintf(stderr, "copy-bench: a window did not connect\n");
        return 1;
    }
    ViewController& sourceController = from->controller();
    const QStringList names = [&] {
        QStringList shown;
        for (int row = 0; row < sourceController.tableModel().rowCount(); ++row)
            shown.append(sourceController.tableModel().index(row, 1).data().toString());
        return shown;
    }();
    sourceController.fileView()->selectRows({ int(names.indexOf(QStringLiteral("big.bin"))) });
    sourceController.copy();

    const long before = peakKiB();
    QElapsedTimer clock;
    clock.start();
    into->controller().paste();
    if (!QTest::qWaitFor([&] { return into->controller().canClose(); }, 600000)) {
        std::fprintf(stderr, "copy-bench: the paste did not end\n");
        return 1;
    }
    const double seconds = double(clock.nsecsElapsed()) / 1e9;
    const long after = peakKiB();
    const bool whole = QFileInfo(QDir(target.rootPath()).filePath(QStringLiteral("big.bin"))).size() == mib << 20;
    if (!whole || !prompter.messages().isEmpty()) {
        std::fprintf(stderr, "copy-bench: the copy failed: %s\n", qPrintable(prompter.messages().join(u"; ")));
        return 1;
    }
    std::printf("copied %lld MiB between two servers in %.2f s; peak memory %.1f MiB before the paste, "
                "%.1f MiB after (%.1f MiB added)\n",
                static_cast<long long>(mib), seconds, before / 1024.0, after / 1024.0, (after - before) / 1024.0);
    std::printf("copy %.3f %ld %ld\n", seconds, after, after - before);
    delete into;
    delete from;
    return 0;
}
