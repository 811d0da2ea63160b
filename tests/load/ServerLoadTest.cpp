#include "ProcessFigures.h"
#include "ServerLoadClient.h"
#include "support/ServerFixture.h"
#include "support/TestRegistry.h"

#include <QDir>
#include <QElapsedTimer>
#include <QTest>
#include <QThread>

#include <atomic>
#include <memory>
#include <vector>

namespace {

constexpr int kClients = 32;
constexpr int kCommands = 1000;
constexpr int kWarmUpCommands = 70;
// Resident memory may grow by this much from one run of the whole load to the next.
constexpr qint64 kMemoryGrowthKiB = 4 * 1024;

} // namespace

// The server under load: many clients at once, each on its own kept-alive connection, sending
// mixed commands. No request may fail, and the server must end the run with the descriptors and
// threads it had before, and without its memory growing with the number of requests (a second run
// of the whole load leaves it where the first did).
class ServerLoadTest : public QObject
{
    Q_OBJECT

private:
    int m_commandsSent = 0; // by each client so far

    // Runs every client at once for the given number of commands; returns the failures.
    QStringList runClients(const ServerFixture& server, int commands)
    {
        const int first = m_commandsSent;
        m_commandsSent += commands;
        std::atomic<bool> stop { false };
        std::vector<std::unique_ptr<ServerLoadClient>> clients;
        std::vector<std::unique_ptr<QThread>> threads;
        std::atomic<int> failed { 0 };
        for (int n = 0; n < kClients; ++n) {
            clients.push_back(std::make_unique<ServerLoadClient>(server.url(), server.user(), server.password(),
                                                                 QStringLiteral("/c%1").arg(n)));
            ServerLoadClient* client = clients.back().get();
            threads.emplace_back(QThread::create(
                [client, first, commands, &stop, &failed] { failed += client->run(first, commands, stop); }));
            threads.back()->start();
        }
        for (const auto& thread : threads)
            thread->wait();
        QStringList failures;
        for (const auto& client : clients)
            failures += client->failures();
        if (failed > 0)
            failures.prepend(QStringLiteral("%1 failed requests").arg(failed.load()));
        return failures;
    }

private slots:
    void thirtyTwoClientsWithoutFailureOrLeak()
    {
        ServerFixture server;
        for (int n = 0; n < kClients; ++n)
            QVERIFY(QDir(server.rootPath()).mkpath(QStringLiteral("c%1").arg(n)));
        QVERIFY(server.start());
        const qint64 pid = ProcessFigures::findProcess(server.rootPath());
        QVERIFY(pid > 0);
        const ProcessFigures idle = ProcessFigures::of(pid);

        // A first round brings the server to its working size (thread stacks, allocator arenas).
        QStringList failures = runClients(server, kWarmUpCommands);
        QVERIFY2(failures.isEmpty(), qPrintable(failures.join(u'\n')));
        QTRY_COMPARE_WITH_TIMEOUT(ProcessFigures::of(pid).descriptors, idle.descriptors, 15000);
        const ProcessFigures warm = ProcessFigures::of(pid);

        QElapsedTimer timer;
        timer.start();
        failures = runClients(server, kCommands);
        const qint64 elapsedMs = timer.elapsed();
        QVERIFY2(failures.isEmpty(), qPrintable(failures.join(u'\n')));
        const ProcessFigures loaded = ProcessFigures::of(pid);
        // Closed connections leave the server as the clients go.
        QTRY_COMPARE_WITH_TIMEOUT(ProcessFigures::of(pid).descriptors, idle.descriptors, 15000);
        const ProcessFigures after = ProcessFigures::of(pid);

        // The same load once more: memory that grows with the number of requests shows here.
        failures = runClients(server, kCommands);
        QVERIFY2(failures.isEmpty(), qPrintable(failures.join(u'\n')));
        QTRY_COMPARE_WITH_TIMEOUT(ProcessFigures::of(pid).descriptors, idle.descriptors, 15000);
        const ProcessFigures again = ProcessFigures::of(pid);

        qInfo("%d clients x %d commands in %lld ms: %.0f commands/s", kClients, kCommands, elapsedMs,
              kClients * kCommands * 1000.0 / double(std::max<qint64>(elapsedMs, 1)));
        qInfo("server idle:        %s", qPrintable(idle.toString()));
        qInfo("after warm-up:      %s", qPrintable(warm.toString()));
        qInfo("end of the load:    %s", qPrintable(loaded.toString()));
        qInfo("clients gone:       %s", qPrintable(after.toString()));
        qInfo("after a second run: %s", qPrintable(again.toString()));
        // The thread pool starts with the serving loop, which may be after the first figures.
        QCOMPARE(after.threads, warm.threads);
        QCOMPARE(again.threads, warm.threads);
        QVERIFY2(again.residentKiB - after.residentKiB < kMemoryGrowthKiB, qPrintable(again.toString()));
        QVERIFY(server.stop());
    }
};

PLUMOXA_TEST(ServerLoadTest);
#include "ServerLoadTest.moc"
