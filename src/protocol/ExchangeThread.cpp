#include "protocol/ExchangeThread.h"

#include "protocol/HttpTransport.h"

ExchangeThread::ExchangeThread()
    : m_thread([this] { loop(); })
{ }

ExchangeThread::~ExchangeThread()
{
    {
        std::lock_guard lock(m_mutex);
        m_quit = true;
    }
    m_changed.notify_all();
    m_thread.join();
}

void ExchangeThread::run(const std::function<void(HttpTransport&)>& job)
{
    std::unique_lock lock(m_mutex);
    m_job = &job;
    m_done = false;
    m_changed.notify_all();
    m_changed.wait(lock, [this] { return m_done; });
    m_job = nullptr;
}

void ExchangeThread::loop()
{
    // Made and destroyed on this thread, which its sockets belong to.
    HttpTransport transport;
    std::unique_lock lock(m_mutex);
    for (;;) {
        m_changed.wait(lock, [this] { return m_quit || (m_job && !m_done); });
        if (m_quit)
            return;
        const auto& job = *m_job;
        lock.unlock();
        job(transport);
        lock.lock();
        m_done = true;
        m_changed.notify_all();
    }
}
