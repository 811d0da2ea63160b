#pragma once

#include <QThread>

#include <functional>

class QNetworkAccessManager;

// The thread a client's HTTP exchanges run on, with the one network access manager they share,
// so that connections to the server are kept open between commands.
class ExchangeThread
{
public:
    ExchangeThread();
    ~ExchangeThread();
    Q_DISABLE_COPY_MOVE(ExchangeThread)

    // Runs job on the exchange thread and returns when it has finished.
    void run(const std::function<void(QNetworkAccessManager&)>& job);

private:
    QThread m_thread;
    QObject* m_context = nullptr; // lives on m_thread
    QNetworkAccessManager* m_manager = nullptr; // made and destroyed on m_thread
};
