// HTTP responses for the client's own HTTP/1.1 transport: a server thread on 127.0.0.1 answers
// every connection with the input and closes it. Whatever arrives (broken status lines, lengths,
// chunks, redirects, early ends), the exchange ends, within its time-out, without a crash, and
// hands on no more body than the server sent.

#include "FuzzCheck.h"

#include "protocol/HttpTransport.h"
#include "protocol/PlumoRequest.h"

#include <QCoreApplication>

#include <atomic>
#include <cstdint>
#include <cstring>
#include <mutex>
#include <string>
#include <thread>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

constexpr int kTimeoutMs = 1000;

class Responder
{
public:
    Responder()
    {
        m_listener = ::socket(AF_INET, SOCK_STREAM, 0);
        FUZZ_CHECK(m_listener >= 0);
        sockaddr_in address {};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        FUZZ_CHECK(::bind(m_listener, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0);
        socklen_t length = sizeof address;
        FUZZ_CHECK(::getsockname(m_listener, reinterpret_cast<sockaddr*>(&address), &length) == 0);
        m_port = ntohs(address.sin_port);
        FUZZ_CHECK(::listen(m_listener, 16) == 0);
        std::thread([this] { serve(); }).detach();
    }

    int port() const { return m_port; }
    void setReply(std::string reply)
    {
        const std::lock_guard lock(m_mutex);
        m_reply = std::move(reply);
    }

private:
    void serve()
    {
        for (;;) {
            const int connection = ::accept(m_listener, nullptr, nullptr);
            if (connection < 0)
                continue;
            std::string reply;
            {
                const std::lock_guard lock(m_mutex);
                reply = m_reply;
            }
            readRequest(connection);
            size_t sent = 0;
            while (sent < reply.size()) {
                const ssize_t written = ::send(connection, reply.data() + sent, reply.size() - sent, MSG_NOSIGNAL);
                if (written <= 0)
                    break;
                sent += size_t(written);
            }
            ::close(connection);
        }
    }

    // The request head and its announced body, so that closing does not reset the connection
    // before the client read the answer.
    static void readRequest(int connection)
    {
        std::string request;
        char buffer[4096];
        size_t headEnd = std::string::npos;
        size_t wanted = 0;
        for (;;) {
            if (headEnd != std::string::npos && request.size() >= headEnd + 4 + wanted)
                return;
            const ssize_t received = ::recv(connection, buffer, sizeof buffer, 0);
            if (received <= 0)
                return;
            request.append(buffer, size_t(received));
            if (headEnd == std::string::npos && (headEnd = request.find("\r\n\r\n")) != std::string::npos) {
                const size_t field = request.find("Content-Length: ");
                if (field != std::string::npos && field < headEnd)
                    wanted = std::strtoul(request.c_str() + field + 16, nullptr, 10);
            }
        }
    }

    int m_listener = -1;
    int m_port = 0;
    std::mutex m_mutex;
    std::string m_reply;
};

Responder* g_responder = nullptr;

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    new QCoreApplication(*argc, *argv);
    g_responder = new Responder;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size)
{
    g_responder->setReply(std::string(reinterpret_cast<const char*>(data), size));
    PlumoRequest request;
    request.method = "POST";
    request.url = QStringLiteral("http://127.0.0.1:%1/plumoxa").arg(g_responder->port());
    request.headers = PlumoRequest::headersFor(QStringLiteral("LIST"));
    request.body = "user=u&password=p&dir=%2F&cmd=LIST";

    qint64 received = 0;
    int responses = 0;
    HttpTransport transport;
    const HttpTransport::Reply reply = transport.exchange(
        request, nullptr, kTimeoutMs, [&](const HttpTransport::Reply&) { ++responses; },
        [&](QByteArrayView piece) {
            received += piece.size();
            return true;
        },
        {});
    FUZZ_CHECK(responses <= 1);
    FUZZ_CHECK(received <= qint64(size));
    FUZZ_CHECK(!reply.complete || responses == 1);
    return 0;
}
