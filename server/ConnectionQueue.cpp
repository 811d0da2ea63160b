#include "ConnectionQueue.h"

#include <chrono>

namespace {

// How often a waiting accept looks whether the server is stopping.
constexpr std::chrono::milliseconds kStopCheck(100);

} // namespace

ConnectionQueue::ConnectionQueue(std::size_t workers, std::size_t waiting, const std::atomic<bool>& stopping)
    : m_waiting(waiting)
    , m_stopping(stopping)
{
    for (std::size_t i = 0; i < workers; ++i)
        m_workers.emplace_back([this] { work(); });
}

ConnectionQueue::~ConnectionQueue()
{
    shutdown();
}

void ConnectionQueue::enqueue(std::function<void()> task)
{
    std::unique_lock lock(m_mutex);
    // When stopping, the task is still taken: it closes the connection it was given.
    while (!m_roomReady.wait_for(lock, kStopCheck, [this] { return m_tasks.size() < m_waiting || m_stopping; })) { }
    m_tasks.push_back(std::move(task));
    m_taskReady.notify_one();
}

void ConnectionQueue::shutdown()
{
    {
        const std::lock_guard lock(m_mutex);
        if (m_shutDown)
            return;
        m_shutDown = true;
    }
    m_taskReady.notify_all();
    m_roomReady.notify_all();
    for (std::thread& worker : m_workers)
        worker.join();
    m_workers.clear();
}

void ConnectionQueue::work()
{
    for (;;) {
        std::function<void()> task;
        {
            std::unique_lock lock(m_mutex);
            m_taskReady.wait(lock, [this] { return !m_tasks.empty() || m_shutDown; });
            if (m_tasks.empty())
                return;
            task = std::move(m_tasks.front());
            m_tasks.pop_front();
            m_roomReady.notify_one();
        }
        task();
    }
}
