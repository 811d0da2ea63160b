#include "support/CannedResponder.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <openssl/err.h>
#include <openssl/ssl.h>

#include <arpa/inet.h>
#include <csignal>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

const QByteArray CannedResponder::kHang = QByteArrayLiteral("\x01hang");
const QByteArray CannedResponder::kClose = QByteArrayLiteral("\x01close");

namespace {

// A TLS context with a self-signed certificate made for this run: no client trusts it.
std::shared_ptr<void> makeTlsContext()
{
    QTemporaryDir dir;
    QProcess openssl;
    openssl.setStandardOutputFile(QProcess::nullDevice());
    openssl.setStandardErrorFile(QProcess::nullDevice());
    openssl.start(QStringLiteral("openssl"),
                  { "req", "-x509", "-newkey", "rsa:2048", "-nodes", "-days", "1", "-subj", "/CN=127.0.0.1", "-keyout",
                    dir.filePath("key.pem"), "-out", dir.filePath("cert.pem") });
    if (!openssl.waitForFinished(60000) || openssl.exitStatus() != QProcess::NormalExit || openssl.exitCode() != 0)
        return {};
    SSL_CTX* context = SSL_CTX_new(TLS_server_method());
    if (!context)
        return {};
    std::shared_ptr<void> owned(context, [](void* c) { SSL_CTX_free(static_cast<SSL_CTX*>(c)); });
    if (SSL_CTX_use_certificate_file(context, QFile::encodeName(dir.filePath("cert.pem")).constData(), SSL_FILETYPE_PEM)
            != 1
        || SSL_CTX_use_PrivateKey_file(context, QFile::encodeName(dir.filePath("key.pem")).constData(),
                                       SSL_FILETYPE_PEM)
            != 1)
        return {};
    return owned;
}

// How many bytes of its body buffer holds, or -1 while the request's head is incomplete.
qint64 bodyReceived(const QByteArray& buffer)
{
    const qsizetype end = buffer.indexOf("\r\n\r\n");
    return end < 0 ? -1 : buffer.size() - (end + 4);
}

// True when buffer holds a whole request: headers and as many body bytes as Content-Length says.
bool isComplete(const QByteArray& buffer)
{
    const qsizetype end = buffer.indexOf("\r\n\r\n");
    if (end < 0)
        return false;
    qsizetype length = 0;
    for (const QByteArray& line : buffer.left(end).split('\n')) {
        if (line.toLower().startsWith("content-length:"))
            length = line.mid(15).trimmed().toLongLong();
    }
    return buffer.size() >= end + 4 + length;
}

} // namespace

// One accepted connection, plain or TLS.
class CannedResponder::Connection
{
public:
    Connection(int socket, void* tlsContext)
        : m_socket(socket)
    {
        if (!tlsContext)
            return;
        m_ssl = SSL_new(static_cast<SSL_CTX*>(tlsContext));
        SSL_set_fd(m_ssl, socket);
        m_ready = SSL_accept(m_ssl) == 1;
        ERR_clear_error();
    }
    ~Connection()
    {
        if (m_ssl)
            SSL_free(m_ssl);
    }
    Q_DISABLE_COPY_MOVE(Connection)

    bool isReady() const { return m_ready; }
    int socket() const { return m_socket; }

    qsizetype read(char* buffer, qsizetype size)
    {
        return m_ssl ? SSL_read(m_ssl, buffer, int(size)) : ::read(m_socket, buffer, size_t(size));
    }
    // False once the peer has gone.
    bool write(QByteArrayView bytes)
    {
        qsizetype done = 0;
        while (done < bytes.size()) {
            const qsizetype n = m_ssl ? SSL_write(m_ssl, bytes.data() + done, int(bytes.size() - done))
                                      : ::write(m_socket, bytes.data() + done, size_t(bytes.size() - done));
            if (n <= 0)
                return false;
            done += n;
        }
        return true;
    }

private:
    int m_socket;
    SSL* m_ssl = nullptr;
    bool m_ready = true;
};

CannedResponder::CannedResponder(Transport transport)
    : m_transport(transport)
{
    if (transport == Transport::Https && !(m_tls = makeTlsContext()))
        return;
    int wake[2];
    m_listener = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (m_listener < 0 || ::pipe2(wake, O_CLOEXEC) != 0)
        return;
    m_wakeRead = wake[0];
    m_wakeWrite = wake[1];
    sockaddr_in address {};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (::bind(m_listener, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 || ::listen(m_listener, 16) != 0
        || ::getsockname(m_listener, reinterpret_cast<sockaddr*>(&address), &length) != 0)
        return;
    m_port = ntohs(address.sin_port);
    m_thread = std::thread([this] { serve(); });
}

CannedResponder::~CannedResponder()
{
    m_stopping = true;
    if (m_wakeWrite >= 0 && ::write(m_wakeWrite, "x", 1) < 0)
        qWarning("could not wake the responder");
    if (m_thread.joinable())
        m_thread.join();
    for (int socket : m_held)
        ::close(socket);
    for (int fd : { m_listener, m_wakeRead, m_wakeWrite }) {
        if (fd >= 0)
            ::close(fd);
    }
}

void CannedResponder::serve()
{
    // A client that gave up makes a write fail here instead of ending the test process.
    sigset_t pipe;
    sigemptyset(&pipe);
    sigaddset(&pipe, SIGPIPE);
    pthread_sigmask(SIG_BLOCK, &pipe, nullptr);
    while (!m_stopping) {
        pollfd fds[2] = { { m_listener, POLLIN, 0 }, { m_wakeRead, POLLIN, 0 } };
        if (::poll(fds, 2, -1) < 0 || (fds[1].revents & POLLIN))
            return;
        const int socket = ::accept4(m_listener, nullptr, nullptr, SOCK_CLOEXEC);
        if (socket < 0)
            continue;
        Connection connection(socket, m_tls.get());
        if (connection.isReady())
            answer(connection);
        else
            ::close(socket);
    }
}

void CannedResponder::answer(Connection& connection)
{
    QByteArray buffer;
    char chunk[16 * 1024];
    // An answer that closes while the body comes in acts before the request is whole.
    qint64 closeAfter = -1;
    while (!isComplete(buffer)) {
        if (closeAfter < 0 && bodyReceived(buffer) >= 0)
            closeAfter = nextCloseAfterBody();
        if (closeAfter >= 0 && bodyReceived(buffer) >= closeAfter)
            break;
        pollfd fds[2] = { { connection.socket(), POLLIN, 0 }, { m_wakeRead, POLLIN, 0 } };
        if (::poll(fds, 2, -1) < 0 || (fds[1].revents & POLLIN))
            break;
        const qsizetype n = connection.read(chunk, sizeof chunk);
        if (n <= 0)
            break;
        buffer.append(chunk, n);
    }
    const bool closing = closeAfter >= 0 && bodyReceived(buffer) >= closeAfter;
    if (!isComplete(buffer) && !closing) {
        ::close(connection.socket());
        return;
    }
    const Answer answer = nextAnswer(buffer);
    if (answer.bytes == kHang && !closing) {
        m_held.push_back(connection.socket());
        return;
    }
    if (answer.bytes != kClose && !closing) {
        const QByteArrayView bytes(answer.bytes);
        const qsizetype piece = answer.pieceSize > 0 ? answer.pieceSize : bytes.size();
        for (qsizetype at = 0; at < bytes.size(); at += piece) {
            if ((at > 0 && !pause(connection.socket(), answer.pieceDelayMs))
                || !connection.write(bytes.sliced(at, std::min(piece, bytes.size() - at))))
                break;
        }
    }
    ::shutdown(connection.socket(), SHUT_RDWR);
    ::close(connection.socket());
}

bool CannedResponder::pause(int socket, int ms) const
{
    // The peer sends nothing more after its request: the socket turns readable when it has gone.
    pollfd fds[2] = { { socket, POLLIN, 0 }, { m_wakeRead, POLLIN, 0 } };
    return ::poll(fds, 2, ms) == 0;
}

QString CannedResponder::url(const QString& path) const
{
    return QStringLiteral("%1://127.0.0.1:%2%3")
        .arg(m_transport == Transport::Https ? QStringLiteral("https") : QStringLiteral("http"))
        .arg(m_port)
        .arg(path);
}

void CannedResponder::script(const QList<Answer>& answers)
{
    std::lock_guard lock(m_mutex);
    m_answers.assign(answers.cbegin(), answers.cend());
}

QList<QByteArray> CannedResponder::requests() const
{
    std::lock_guard lock(m_mutex);
    return m_requests;
}

qint64 CannedResponder::nextCloseAfterBody() const
{
    std::lock_guard lock(m_mutex);
    return m_answers.empty() ? -1 : m_answers.front().closeAfterBody;
}

CannedResponder::Answer CannedResponder::nextAnswer(const QByteArray& request)
{
    std::lock_guard lock(m_mutex);
    m_requests.append(request);
    if (m_answers.empty())
        return Answer(kHang);
    Answer answer = m_answers.front();
    m_answers.pop_front();
    return answer;
}

CannedResponder::Answer CannedResponder::closeAfterBody(qint64 bodyBytes)
{
    Answer answer(kClose);
    answer.closeAfterBody = bodyBytes;
    return answer;
}

CannedResponder::Answer CannedResponder::trickled(const QByteArray& bytes, qsizetype pieceSize, int pieceDelayMs)
{
    Answer answer(bytes);
    answer.pieceSize = pieceSize;
    answer.pieceDelayMs = pieceDelayMs;
    return answer;
}

QByteArray CannedResponder::response(const QByteArray& body, const QList<QPair<QByteArray, QByteArray>>& headers,
                                     int status)
{
    QByteArray text = "HTTP/1.1 " + QByteArray::number(status) + " Canned\r\n";
    bool typed = false;
    for (const auto& [name, value] : headers) {
        text += name + ": " + value + "\r\n";
        typed = typed || name.toLower() == "content-type";
    }
    if (!typed)
        text += "Content-Type: text/html; charset=utf-8\r\n";
    text += "Content-Length: " + QByteArray::number(body.size()) + "\r\nConnection: close\r\n\r\n" + body;
    return text;
}

QByteArray CannedResponder::unframedResponse(const QByteArray& body)
{
    return "HTTP/1.1 200 Canned\r\nContent-Type: text/html; charset=utf-8\r\nConnection: close\r\n\r\n" + body;
}
