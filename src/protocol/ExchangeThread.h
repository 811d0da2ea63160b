#pragma once

#include <QThread>

#include <functional>

class HttpTransport;

// The thread a client's HTTP exchanges run on, with the one transport they share, so that the
// connection to the server is kept open between commands.
class ExchangeThread
{
public:
    ExchangeThread();
    ~ExchangeThread();
    Q_DISABLE_COPY_MOVE(ExchangeThread)

    // Runs job on the exchange thread and returns when it has finished.
    void run(const std::function<void(HttpTransport&)>& job);

private:
    QThread m_thread;
    QObject* m_context = nullptr; // lives on m_thread
    HttpTransport* m_transport = nullptr; // made and destroyed on m_thread
};
