#include "protocol/ExchangeThread.h"

#include "protocol/HttpTransport.h"

#include <future>

ExchangeThread::ExchangeThread()
{
    m_thread.setObjectName(QStringLiteral("plumoxa exchange"));
    m_context = new QObject;
    m_context->moveToThread(&m_thread);
    m_thread.start();
    run([](HttpTransport&) {});
}

ExchangeThread::~ExchangeThread()
{
    std::promise<void> done;
    QMetaObject::invokeMethod(
        m_context,
        [this, &done] {
            delete m_transport;
            delete m_context;
            done.set_value();
        },
        Qt::QueuedConnection);
    done.get_future().wait();
    m_thread.quit();
    m_thread.wait();
}

void ExchangeThread::run(const std::function<void(HttpTransport&)>& job)
{
    // A promise rather than a blocking queued call, so that thread checkers see the hand-over.
    std::promise<void> done;
    QMetaObject::invokeMethod(
        m_context,
        [this, &job, &done] {
            if (!m_transport)
                m_transport = new HttpTransport;
            job(*m_transport);
            done.set_value();
        },
        Qt::QueuedConnection);
    done.get_future().wait();
}
