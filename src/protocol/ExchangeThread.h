#pragma once

#include <QtGlobal>

#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

class HttpTransport;

// The thread a client's HTTP exchanges run on, with the one transport they share, so that the
// connection to the server is kept open between commands. The transport blocks on its socket,
// so the thread needs no event loop; jobs are handed over with a mutex and a condition.
class ExchangeThread
{
public:
    ExchangeThread();
    ~ExchangeThread();
    Q_DISABLE_COPY_MOVE(ExchangeThread)

    // Runs job on the exchange thread and returns when it has finished.
    void run(const std::function<void(HttpTransport&)>& job);

private:
    void loop();

    std::mutex m_mutex;
    std::condition_variable m_changed;
    const std::function<void(HttpTransport&)>* m_job = nullptr;
    bool m_done = false;
    bool m_quit = false;
    std::thread m_thread;
};
