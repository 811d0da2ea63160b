#pragma once

#include "protocol/PlumoRequest.h"

#include <QByteArray>
#include <QUrl>

#include <functional>
#include <memory>

class QIODevice;
class QTcpSocket;

// HTTP/1.1 over one kept-alive connection (TLS with the platform's trust, the application's
// proxy), for one exchange at a time on the thread that owns it. It reads from the connection
// only as fast as the reply is consumed, so a large reply never piles up in memory; redirects are
// followed as browsers do (never from HTTPS to HTTP).
class HttpTransport
{
public:
    struct Reply
    {
        bool complete = false; // a whole response arrived (whatever its status)
        int status = 0;
        QByteArray contentType;
        QByteArray contentEncoding;
    };
    // A piece of the body as it arrives; false stops the exchange.
    using BodyReader = std::function<bool(QByteArrayView piece)>;
    // Called before the body of each response: a redirect's body is discarded.
    using ResponseStart = std::function<void(const Reply& reply)>;
    using Progress = std::function<void(qint64 done, qint64 total)>;

    HttpTransport();
    ~HttpTransport();
    Q_DISABLE_COPY_MOVE(HttpTransport)

    // Sends request (its body from request.body, or streamed through bodyDevice) and hands the
    // body of the final response to readBody. timeoutMs limits every wait for the peer.
    Reply exchange(const PlumoRequest& request, QIODevice* bodyDevice, int timeoutMs, const ResponseStart& started,
                   const BodyReader& readBody, const Progress& progress);

private:
    struct Head;

    bool connectTo(const QUrl& url, int timeoutMs);
    bool sendRequest(const QUrl& url, const QByteArray& method, const QList<PlumoRequest::Header>& headers,
                     const QByteArray& body, QIODevice* bodyDevice, int timeoutMs, const Progress& progress);
    bool readHead(Head& head, int timeoutMs, bool* nothingReceived);
    bool readBody(const Head& head, int timeoutMs, const BodyReader& readBody, const Progress& progress);
    bool readSome(QByteArray& into, qint64 maxSize, int timeoutMs);
    bool readLine(QByteArray& line, int timeoutMs);
    void drop();

    std::unique_ptr<QTcpSocket> m_socket;
    QString m_scheme;
    QString m_host;
    int m_port = 0;
};
