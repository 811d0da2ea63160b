#include "support/CannedResponder.h"

#include <QFile>
#include <QProcess>
#include <QSslCertificate>
#include <QSslKey>
#include <QSslSocket>
#include <QTcpServer>
#include <QTemporaryDir>

const QByteArray CannedResponder::kHang = QByteArrayLiteral("\x01hang");
const QByteArray CannedResponder::kClose = QByteArrayLiteral("\x01close");

namespace {

// A self-signed certificate made for this run: no client trusts it.
bool makeCertificate(QSslCertificate& certificate, QSslKey& key)
{
    QTemporaryDir dir;
    QProcess openssl;
    openssl.setStandardOutputFile(QProcess::nullDevice());
    openssl.setStandardErrorFile(QProcess::nullDevice());
    openssl.start(QStringLiteral("openssl"),
                  { "req", "-x509", "-newkey", "rsa:2048", "-nodes", "-days", "1", "-subj", "/CN=127.0.0.1", "-keyout",
                    dir.filePath("key.pem"), "-out", dir.filePath("cert.pem") });
    const bool made
        = openssl.waitForFinished(60000) && openssl.exitStatus() == QProcess::NormalExit && openssl.exitCode() == 0;
    QFile certFile(dir.filePath("cert.pem"));
    QFile keyFile(dir.filePath("key.pem"));
    if (!made || !certFile.open(QIODevice::ReadOnly) || !keyFile.open(QIODevice::ReadOnly))
        return false;
    certificate = QSslCertificate(&certFile, QSsl::Pem);
    key = QSslKey(&keyFile, QSsl::Rsa, QSsl::Pem);
    return !certificate.isNull() && !key.isNull();
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

class TlsServer final : public QTcpServer
{
public:
    QSslCertificate certificate;
    QSslKey key;

protected:
    void incomingConnection(qintptr descriptor) override
    {
        auto* socket = new QSslSocket(this);
        if (!socket->setSocketDescriptor(descriptor)) {
            delete socket;
            return;
        }
        socket->setLocalCertificate(certificate);
        socket->setPrivateKey(key);
        socket->startServerEncryption();
        addPendingConnection(socket);
    }
};

} // namespace

class CannedResponderWorker final : public QObject
{
public:
    explicit CannedResponderWorker(CannedResponder& responder)
        : m_responder(responder)
    { }

    quint16 listen(CannedResponder::Transport transport)
    {
        if (transport == CannedResponder::Transport::Https) {
            auto tls = std::make_unique<TlsServer>();
            if (!makeCertificate(tls->certificate, tls->key))
                return 0;
            m_server = std::move(tls);
        } else {
            m_server = std::make_unique<QTcpServer>();
        }
        QObject::connect(m_server.get(), &QTcpServer::pendingConnectionAvailable, this, [this] { accept(); });
        return m_server->listen(QHostAddress::LocalHost, 0) ? m_server->serverPort() : 0;
    }

    void shutdown() { m_server.reset(); }

private:
    void accept()
    {
        while (QTcpSocket* socket = m_server->nextPendingConnection()) {
            auto buffer = std::make_shared<QByteArray>();
            QObject::connect(socket, &QTcpSocket::readyRead, socket, [this, socket, buffer] {
                buffer->append(socket->readAll());
                if (!isComplete(*buffer))
                    return;
                const QByteArray answer = m_responder.nextAnswer(*buffer);
                buffer->clear();
                if (answer == CannedResponder::kHang)
                    return;
                if (answer != CannedResponder::kClose)
                    socket->write(answer);
                socket->disconnectFromHost();
            });
            QObject::connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        }
    }

    CannedResponder& m_responder;
    std::unique_ptr<QTcpServer> m_server;
};

CannedResponder::CannedResponder(Transport transport)
    : m_transport(transport)
{
    auto* worker = new CannedResponderWorker(*this);
    worker->moveToThread(&m_thread);
    QObject::connect(&m_thread, &QThread::finished, worker, &QObject::deleteLater);
    m_thread.start();
    QMetaObject::invokeMethod(
        worker, [this, worker] { m_port = worker->listen(m_transport); }, Qt::BlockingQueuedConnection);
    m_worker = worker;
}

CannedResponder::~CannedResponder()
{
    QMetaObject::invokeMethod(
        m_worker, [this] { m_worker->shutdown(); }, Qt::BlockingQueuedConnection);
    m_thread.quit();
    m_thread.wait();
}

QString CannedResponder::url(const QString& path) const
{
    return QStringLiteral("%1://127.0.0.1:%2%3")
        .arg(m_transport == Transport::Https ? QStringLiteral("https") : QStringLiteral("http"))
        .arg(m_port)
        .arg(path);
}

void CannedResponder::script(const QList<QByteArray>& answers)
{
    QMutexLocker lock(&m_mutex);
    m_answers.clear();
    for (const QByteArray& answer : answers)
        m_answers.enqueue(answer);
}

QList<QByteArray> CannedResponder::requests() const
{
    QMutexLocker lock(&m_mutex);
    return m_requests;
}

QByteArray CannedResponder::nextAnswer(const QByteArray& request)
{
    QMutexLocker lock(&m_mutex);
    m_requests.append(request);
    return m_answers.isEmpty() ? kHang : m_answers.dequeue();
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
