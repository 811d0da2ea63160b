#include "BoundedHttpServer.h"

#include "LimitedSocketStream.h"

#include <sys/socket.h>
#include <unistd.h>

BoundedHttpServer::BoundedHttpServer(const Limits& limits)
    : m_limits(limits)
{ }

bool BoundedHttpServer::process_and_close_socket(socket_t sock)
{
    LimitedSocketStream stream(sock, m_limits.requestTimeoutMs, m_limits.maxHeadBytes);
    bool served = true;
    for (std::size_t count = 0; count < m_limits.requestsPerConnection && is_running(); ++count) {
        if (!stream.waitForRequest(m_limits.idleTimeoutMs))
            break;
        stream.beginRequest();
        bool closed = false;
        const bool last = count + 1 == m_limits.requestsPerConnection;
        served = process_request(stream, last, closed, nullptr);
        if (!served || closed)
            break;
    }
    ::shutdown(sock, SHUT_RDWR);
    ::close(sock);
    return served;
}
