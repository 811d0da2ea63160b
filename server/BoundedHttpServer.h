#pragma once

#include <httplib.h>

#include <cstddef>

// The plain-HTTP server with bounds on what one client can hold: each connection serves at most
// a number of requests, is closed when idle for the idle time-out, and reads every request
// through a LimitedSocketStream (head within a deadline and a byte budget, no stalled read or
// write beyond the request time-out).
class BoundedHttpServer final : public httplib::Server
{
public:
    struct Limits
    {
        std::size_t requestsPerConnection = 100;
        int idleTimeoutMs = 5000;
        int requestTimeoutMs = 20000;
        std::size_t maxHeadBytes = 64 * 1024;
    };

    explicit BoundedHttpServer(const Limits& limits);

private:
    bool process_and_close_socket(socket_t sock) override;

    Limits m_limits;
};
