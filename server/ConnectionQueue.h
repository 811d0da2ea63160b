#pragma once

#include <httplib.h>

#include <atomic>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

// The HTTP server's task queue: a fixed number of worker threads, each serving one connection at
// a time, and room for as many accepted connections waiting for a worker. When that room is full
// the accepting thread waits here, so further connections stay in the kernel's backlog instead
// of holding descriptors and memory in the server.
class ConnectionQueue final : public httplib::TaskQueue
{
public:
    // Once stopping is set, the accepting thread no longer waits for room.
    ConnectionQueue(std::size_t workers, std::size_t waiting, const std::atomic<bool>& stopping);
    ~ConnectionQueue() override;

    void enqueue(std::function<void()> task) override;
    // Serves what is queued, then ends the workers.
    void shutdown() override;

private:
    void work();

    std::size_t m_waiting;
    const std::atomic<bool>& m_stopping;
    std::mutex m_mutex;
    std::condition_variable m_taskReady;
    std::condition_variable m_roomReady;
    std::deque<std::function<void()>> m_tasks;
    std::vector<std::thread> m_workers;
    bool m_shutDown = false;
};
