#pragma once

#include <httplib.h>

#include <array>
#include <chrono>
#include <cstddef>

// One client connection as the HTTP library reads and writes it, with the server's limits: the
// request line and headers of each request must arrive within the request time-out and stay
// within a byte budget, and no read or write may stall for longer than the request time-out.
// (The library bounds single header lines; this bounds the whole head, so a client cannot hold
// a worker with a slow trickle of bytes or fill memory with endless header lines.)
class LimitedSocketStream final : public httplib::Stream
{
public:
    LimitedSocketStream(socket_t fd, int requestTimeoutMs, std::size_t maxHeadBytes);

    // Waits up to timeoutMs for the next request's first byte (or the peer's close).
    bool waitForRequest(int timeoutMs);
    // The head of a new request starts: its budget and deadline begin.
    void beginRequest();

    bool is_readable() const override;
    bool is_writable() const override;
    ssize_t read(char* ptr, size_t size) override;
    ssize_t write(const char* ptr, size_t size) override;
    void get_remote_ip_and_port(std::string& ip, int& port) const override;
    void get_local_ip_and_port(std::string& ip, int& port) const override;
    socket_t socket() const override { return m_fd; }

private:
    bool waitFor(short events, int timeoutMs) const;
    // The time a read may wait now: the request time-out, within the head's deadline.
    int readTimeoutMs() const;
    // Counts bytes handed out while the head is read; false when they go over the budget.
    bool countHead(const char* data, size_t length);

    socket_t m_fd;
    int m_requestTimeoutMs;
    std::size_t m_maxHeadBytes;
    std::array<char, 4096> m_buffer {};
    size_t m_bufferBegin = 0;
    size_t m_bufferEnd = 0;
    bool m_inHead = false;
    std::size_t m_headBytes = 0;
    int m_headEndMatched = 0; // characters of "\r\n\r\n" seen last
    std::chrono::steady_clock::time_point m_headDeadline;
};
