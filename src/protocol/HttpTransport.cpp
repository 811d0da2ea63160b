#include "protocol/HttpTransport.h"

#include "protocol/ProtocolLog.h"

#include <QIODevice>
#include <QSslSocket>

namespace {

constexpr qint64 kSocketBuffer = 256 * 1024; // what the connection may hold unread
constexpr qint64 kPiece = 64 * 1024;
constexpr qsizetype kHeadLimit = 64 * 1024;
constexpr int kMaxRedirects = 50;

int defaultPort(const QString& scheme)
{
    return scheme == u"https" ? 443 : 80;
}

bool isRedirect(int status)
{
    return status == 301 || status == 302 || status == 303 || status == 307 || status == 308;
}

} // namespace

struct HttpTransport::Head
{
    Reply reply;
    qint64 contentLength = -1;
    bool chunked = false;
    bool close = false;
    QByteArray location;
    bool noBody = false;
};

HttpTransport::HttpTransport() = default;

HttpTransport::~HttpTransport() = default;

void HttpTransport::drop()
{
    if (m_socket)
        m_socket->abort();
    m_socket.reset();
}

bool HttpTransport::connectTo(const QUrl& url, int timeoutMs)
{
    const QString scheme = url.scheme();
    const QString host = url.host();
    const int port = url.port(defaultPort(scheme));
    if (m_socket && m_socket->state() == QAbstractSocket::ConnectedState && scheme == m_scheme && host == m_host
        && port == m_port)
        return true;
    drop();
    m_scheme = scheme;
    m_host = host;
    m_port = port;
    if (scheme == u"https") {
        auto socket = std::make_unique<QSslSocket>();
        socket->setReadBufferSize(kSocketBuffer);
        socket->connectToHostEncrypted(host, quint16(port));
        if (!socket->waitForEncrypted(timeoutMs)) {
            qCDebug(lcProtocol) << "TLS connection failed:" << socket->errorString() << socket->sslHandshakeErrors();
            return false;
        }
        m_socket = std::move(socket);
    } else {
        m_socket = std::make_unique<QTcpSocket>();
        m_socket->setReadBufferSize(kSocketBuffer);
        m_socket->connectToHost(host, quint16(port));
        if (!m_socket->waitForConnected(timeoutMs)) {
            qCDebug(lcProtocol) << "connection failed:" << m_socket->errorString();
            drop();
            return false;
        }
    }
    m_socket->setSocketOption(QAbstractSocket::LowDelayOption, 1);
    return true;
}

bool HttpTransport::sendRequest(const QUrl& url, const QByteArray& method, const QList<PlumoRequest::Header>& headers,
                                const QByteArray& body, QIODevice* bodyDevice, int timeoutMs, const Progress& progress)
{
    const qint64 total = body.size() + (bodyDevice ? bodyDevice->size() - body.size() : 0);
    QByteArray target = url.path(QUrl::FullyEncoded).toLatin1();
    if (target.isEmpty())
        target = "/";
    if (url.hasQuery())
        target += '?' + url.query(QUrl::FullyEncoded).toLatin1();
    QByteArray head = method + ' ' + target + " HTTP/1.1\r\nHost: " + url.host(QUrl::FullyEncoded).toLatin1();
    if (url.port() != -1)
        head += ':' + QByteArray::number(url.port());
    head += "\r\n";
    for (const auto& [name, value] : headers)
        head += name + ": " + value + "\r\n";
    if (method != "GET")
        head += "Content-Length: " + QByteArray::number(total) + "\r\n";
    head += "Connection: keep-alive\r\n\r\n";

    const auto flush = [&](qint64 limit) {
        while (m_socket->bytesToWrite() > limit) {
            if (!m_socket->waitForBytesWritten(timeoutMs))
                return false;
        }
        return true;
    };
    m_socket->write(head);
    if (method == "GET")
        return flush(0);
    if (!bodyDevice) {
        m_socket->write(body);
    } else {
        // The device gives the whole body, envelope included, read a piece at a time.
        qint64 sent = 0;
        while (sent < total) {
            const QByteArray piece = bodyDevice->read(std::min(kPiece, total - sent));
            if (piece.isEmpty())
                return false;
            m_socket->write(piece);
            sent += piece.size();
            if (!flush(4 * kPiece))
                return false;
            if (progress)
                progress(sent - m_socket->bytesToWrite(), total);
        }
    }
    return flush(0);
}

bool HttpTransport::readSome(QByteArray& into, qint64 maxSize, int timeoutMs)
{
    if (m_socket->bytesAvailable() == 0 && !m_socket->waitForReadyRead(timeoutMs))
        return false;
    into = m_socket->read(maxSize);
    return !into.isEmpty();
}

bool HttpTransport::readLine(QByteArray& line, int timeoutMs)
{
    line.clear();
    while (!m_socket->canReadLine()) {
        if (m_socket->bytesAvailable() > kHeadLimit || !m_socket->waitForReadyRead(timeoutMs))
            return false;
    }
    line = m_socket->readLine(kHeadLimit);
    while (line.endsWith('\n') || line.endsWith('\r'))
        line.chop(1);
    return true;
}

bool HttpTransport::readHead(Head& head, int timeoutMs, bool* nothingReceived)
{
    QByteArray line;
    *nothingReceived = true;
    do {
        if (!readLine(line, timeoutMs))
            return false;
        *nothingReceived = false;
        // "HTTP/1.1 200 OK"; an interim 1xx response is skipped with its headers.
        const QList<QByteArray> parts = line.split(' ');
        if (parts.size() < 2 || !parts.first().startsWith("HTTP/"))
            return false;
        head.reply.status = parts.at(1).toInt();
        head.close = parts.first() == "HTTP/1.0";
        qsizetype headerBytes = 0;
        for (;;) {
            if (!readLine(line, timeoutMs))
                return false;
            if (line.isEmpty())
                break;
            headerBytes += line.size();
            if (headerBytes > kHeadLimit)
                return false;
            const qsizetype colon = line.indexOf(':');
            if (colon <= 0)
                continue;
            const QByteArray name = line.left(colon).trimmed().toLower();
            const QByteArray value = line.mid(colon + 1).trimmed();
            if (name == "content-length")
                head.contentLength = value.toLongLong();
            else if (name == "transfer-encoding")
                head.chunked = value.toLower().contains("chunked");
            else if (name == "connection")
                head.close = value.toLower().contains("close");
            else if (name == "content-type")
                head.reply.contentType = value;
            else if (name == "content-encoding")
                head.reply.contentEncoding = value;
            else if (name == "location")
                head.location = value;
        }
    } while (head.reply.status >= 100 && head.reply.status < 200);
    head.noBody = head.reply.status == 204 || head.reply.status == 304;
    return true;
}

bool HttpTransport::readBody(const Head& head, int timeoutMs, const BodyReader& readBody, const Progress& progress)
{
    if (head.noBody)
        return true;
    QByteArray piece;
    qint64 received = 0;
    const auto deliver = [&](const QByteArray& bytes) {
        received += bytes.size();
        if (progress)
            progress(received, head.contentLength);
        return readBody(bytes);
    };
    if (head.chunked) {
        QByteArray line;
        for (;;) {
            if (!readLine(line, timeoutMs))
                return false;
            bool ok = false;
            qint64 size = line.split(';').first().trimmed().toLongLong(&ok, 16);
            if (!ok || size < 0)
                return false;
            if (size == 0) {
                // Trailers end with an empty line.
                do {
                    if (!readLine(line, timeoutMs))
                        return false;
                } while (!line.isEmpty());
                return true;
            }
            while (size > 0) {
                if (!readSome(piece, std::min(size, kPiece), timeoutMs) || !deliver(piece))
                    return false;
                size -= piece.size();
            }
            if (!readLine(line, timeoutMs) || !line.isEmpty())
                return false;
        }
    }
    if (head.contentLength >= 0) {
        for (qint64 left = head.contentLength; left > 0; left -= piece.size()) {
            if (!readSome(piece, std::min(left, kPiece), timeoutMs) || !deliver(piece))
                return false;
        }
        return true;
    }
    // Neither length nor chunks: the body ends with the connection.
    for (;;) {
        if (m_socket->bytesAvailable() == 0 && !m_socket->waitForReadyRead(timeoutMs))
            return m_socket->state() != QAbstractSocket::ConnectedState;
        piece = m_socket->read(kPiece);
        if (!deliver(piece))
            return false;
    }
}

HttpTransport::Reply HttpTransport::exchange(const PlumoRequest& request, QIODevice* bodyDevice, int timeoutMs,
                                             const ResponseStart& started, const BodyReader& readBody,
                                             const Progress& progress)
{
    QUrl url(request.url);
    QByteArray method = request.method;
    QByteArray body = request.body;
    QList<PlumoRequest::Header> headers = request.headers;
    for (int redirects = 0; redirects <= kMaxRedirects; ++redirects) {
        Head head;
        bool sent = false;
        // A kept connection the server has closed meanwhile fails before any answer: try once
        // more on a new one.
        for (int attempt = 0; attempt < 2 && !sent; ++attempt) {
            const bool reused = m_socket && m_socket->state() == QAbstractSocket::ConnectedState;
            if (!connectTo(url, timeoutMs))
                return {};
            if (bodyDevice && !bodyDevice->seek(0))
                return {};
            bool nothing = false;
            sent = sendRequest(url, method, headers, body, bodyDevice, timeoutMs, progress)
                && readHead(head, timeoutMs, &nothing);
            if (!sent) {
                drop();
                if (!reused || !nothing)
                    return {};
            }
        }
        if (isRedirect(head.reply.status) && !head.location.isEmpty()) {
            const QUrl next = url.resolved(QUrl::fromEncoded(head.location));
            if (!(url.scheme() == u"https" && next.scheme() == u"http") && next.isValid()) {
                // Drain the redirect's own body so the connection can be used again.
                if (!this->readBody(head, timeoutMs, [](QByteArrayView) { return true; }, {}) || head.close)
                    drop();
                if (head.reply.status <= 303) {
                    // As browsers do: the form is not posted again after these.
                    method = "GET";
                    body.clear();
                    bodyDevice = nullptr;
                    headers.removeIf([](const PlumoRequest::Header& h) { return h.first == "Content-Type"; });
                }
                url = next;
                continue;
            }
        }
        if (started)
            started(head.reply);
        head.reply.complete = this->readBody(head, timeoutMs, readBody, progress);
        if (!head.reply.complete || head.close || (head.contentLength < 0 && !head.chunked && !head.noBody))
            drop();
        return head.reply;
    }
    qCDebug(lcProtocol) << "too many redirects";
    drop();
    return {};
}
