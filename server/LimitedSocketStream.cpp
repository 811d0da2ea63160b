#include "LimitedSocketStream.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>

#include <netdb.h>
#include <poll.h>
#include <sys/socket.h>

namespace {

constexpr char kHeadEnd[] = "\r\n\r\n";

void numericAddress(const sockaddr_storage& address, socklen_t length, std::string& ip, int& port)
{
    char host[NI_MAXHOST];
    char service[NI_MAXSERV];
    if (getnameinfo(reinterpret_cast<const sockaddr*>(&address), length, host, sizeof host, service, sizeof service,
                    NI_NUMERICHOST | NI_NUMERICSERV)
        == 0) {
        ip = host;
        port = std::atoi(service);
    }
}

} // namespace

LimitedSocketStream::LimitedSocketStream(socket_t fd, int requestTimeoutMs, std::size_t maxHeadBytes)
    : m_fd(fd)
    , m_requestTimeoutMs(requestTimeoutMs)
    , m_maxHeadBytes(maxHeadBytes)
{ }

bool LimitedSocketStream::waitFor(short events, int timeoutMs) const
{
    pollfd entry { m_fd, events, 0 };
    int ready = 0;
    do {
        ready = ::poll(&entry, 1, timeoutMs);
    } while (ready < 0 && errno == EINTR);
    return ready > 0;
}

bool LimitedSocketStream::waitForRequest(int timeoutMs)
{
    return m_bufferBegin < m_bufferEnd || waitFor(POLLIN, timeoutMs);
}

void LimitedSocketStream::beginRequest()
{
    m_inHead = true;
    m_headBytes = 0;
    m_headEndMatched = 0;
    m_headDeadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(m_requestTimeoutMs);
}

int LimitedSocketStream::readTimeoutMs() const
{
    if (!m_inHead)
        return m_requestTimeoutMs;
    const auto left
        = std::chrono::duration_cast<std::chrono::milliseconds>(m_headDeadline - std::chrono::steady_clock::now());
    return int(std::clamp<std::chrono::milliseconds::rep>(left.count(), 0, m_requestTimeoutMs));
}

bool LimitedSocketStream::is_readable() const
{
    return m_bufferBegin < m_bufferEnd || waitFor(POLLIN, readTimeoutMs());
}

bool LimitedSocketStream::is_writable() const
{
    return waitFor(POLLOUT, m_requestTimeoutMs);
}

bool LimitedSocketStream::countHead(const char* data, size_t length)
{
    for (size_t i = 0; i < length && m_inHead; ++i) {
        if (++m_headBytes > m_maxHeadBytes)
            return false;
        if (data[i] == kHeadEnd[m_headEndMatched])
            ++m_headEndMatched;
        else
            m_headEndMatched = data[i] == kHeadEnd[0] ? 1 : 0;
        if (m_headEndMatched == 4)
            m_inHead = false;
    }
    return true;
}

ssize_t LimitedSocketStream::read(char* ptr, size_t size)
{
    if (m_bufferBegin == m_bufferEnd) {
        const int timeout = readTimeoutMs();
        if (timeout <= 0 || !waitFor(POLLIN, timeout))
            return -1;
        ssize_t received = 0;
        do {
            received = ::recv(m_fd, m_buffer.data(), m_buffer.size(), 0);
        } while (received < 0 && errno == EINTR);
        if (received <= 0)
            return received;
        m_bufferBegin = 0;
        m_bufferEnd = size_t(received);
    }
    const size_t length = std::min(size, m_bufferEnd - m_bufferBegin);
    const char* data = m_buffer.data() + m_bufferBegin;
    if (!countHead(data, length))
        return -1;
    std::memcpy(ptr, data, length);
    m_bufferBegin += length;
    return ssize_t(length);
}

ssize_t LimitedSocketStream::write(const char* ptr, size_t size)
{
    if (!waitFor(POLLOUT, m_requestTimeoutMs))
        return -1;
    ssize_t sent = 0;
    do {
        sent = ::send(m_fd, ptr, size, MSG_NOSIGNAL);
    } while (sent < 0 && errno == EINTR);
    return sent;
}

void LimitedSocketStream::get_remote_ip_and_port(std::string& ip, int& port) const
{
    sockaddr_storage address {};
    socklen_t length = sizeof address;
    if (::getpeername(m_fd, reinterpret_cast<sockaddr*>(&address), &length) == 0)
        numericAddress(address, length, ip, port);
}

void LimitedSocketStream::get_local_ip_and_port(std::string& ip, int& port) const
{
    sockaddr_storage address {};
    socklen_t length = sizeof address;
    if (::getsockname(m_fd, reinterpret_cast<sockaddr*>(&address), &length) == 0)
        numericAddress(address, length, ip, port);
}
