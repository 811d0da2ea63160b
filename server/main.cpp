// plumoxa-server: serves one directory tree to Plumoxa clients over HTTP(S).

#include "PlumoxaServer.h"
#include "ReplyEncoding.h"
#include "RequestLog.h"
#include "RootJail.h"
#include "ServerOptions.h"

#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <thread>

#include <pthread.h>
#include <unistd.h>

namespace {

constexpr int kConfigurationError = 2;
constexpr int kRuntimeError = 1;

int fail(int status, const std::string& message)
{
    std::fprintf(stderr, "plumoxa-server: %s\n", message.c_str());
    return status;
}

} // namespace

int main(int argc, char** argv)
{
    std::signal(SIGPIPE, SIG_IGN);

    std::string message;
    int exitCode = 0;
    const auto parsed = ServerOptions::parse(argc, argv, message, exitCode);
    if (!parsed) {
        std::fputs(message.c_str(), exitCode == 0 ? stdout : stderr);
        return exitCode;
    }
    const ServerOptions& options = *parsed;

    std::string error;
    const auto jail = RootJail::open(options.root, error);
    if (!jail)
        return fail(kConfigurationError, error);
    const ReplyEncoding encoding(options.charset);
    const auto startDir = RootJail::normalize(options.startDir, "/");
    const bool startIsAbsolute = options.startDir.starts_with('/');
    if (!startDir || !startIsAbsolute || !jail->openDirectory(*startDir).isValid() || !encoding.canCarry(*startDir))
        return fail(kConfigurationError, "the start directory " + options.startDir + " is not a directory in the root");

    // Stop signals are taken by this thread alone (sigwait); the server's threads inherit the mask.
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGINT);
    sigaddset(&signals, SIGTERM);
    sigaddset(&signals, SIGUSR1);
    pthread_sigmask(SIG_BLOCK, &signals, nullptr);

    RequestLog log;
    PlumoxaServer server(options, *jail, *startDir, log);
    if (!server.setUp(error))
        return fail(kConfigurationError, error);
    if (!server.bind(error))
        return fail(kRuntimeError, error);
    std::printf("%s\n", server.url().c_str());
    std::fflush(stdout);

    std::atomic<bool> served { false };
    std::atomic<bool> serveFailed { false };
    std::thread serving([&] {
        serveFailed = !server.run();
        served = true;
        // Wakes the main thread when serving ended without a stop signal.
        kill(getpid(), SIGUSR1);
    });

    int received = 0;
    sigwait(&signals, &received);
    if (received != SIGUSR1) {
        // The serving thread may not have entered its loop yet; a stop before that would be lost.
        while (!server.isRunning() && !served)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        server.stop();
    }
    serving.join();
    if (serveFailed && received == SIGUSR1)
        return fail(kRuntimeError, "serving stopped unexpectedly");
    return 0;
}
