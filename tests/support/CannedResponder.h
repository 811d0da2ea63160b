#pragma once

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>

#include <atomic>
#include <deque>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

// A small HTTP(S) server on 127.0.0.1 for what a good server never sends: it answers each
// request with the next scripted raw response, or misbehaves as that answer says (a server that
// dies while the request comes in, one that trickles its reply). It runs on a plain thread with
// blocking sockets (the client under test blocks the test's thread while it waits), so thread
// checkers see every hand-over.
//
//   responder.script({ CannedResponder::response(reply),                  // a whole response
//                      CannedResponder::response(reply).left(100),        // cut: closed after 100 bytes
//                      CannedResponder::closeAfterBody(64 * 1024),        // dies while a body comes in
//                      CannedResponder::trickled(CannedResponder::response(reply), 16, 1500) });
class CannedResponder final
{
public:
    enum class Transport { Http, Https };
    // Raw bytes for an answer that is either written whole or one of these.
    static const QByteArray kHang; // keep the connection open, never answer
    static const QByteArray kClose; // close the connection without answering

    // One scripted answer: raw bytes (or kHang, kClose), and how the exchange misbehaves.
    struct Answer
    {
        Answer(const QByteArray& raw = kHang)
            : bytes(raw)
        { }
        QByteArray bytes;
        // At least 0: the connection is closed, without an answer, as soon as this many bytes of
        // the request's body have arrived.
        qint64 closeAfterBody = -1;
        // Above 0: the bytes are written this many at a time, with a pause of pieceDelayMs before
        // each piece but the first (the connection closes after the last piece, or once the peer
        // has gone).
        qsizetype pieceSize = 0;
        int pieceDelayMs = 0;
    };
    static Answer closeAfterBody(qint64 bodyBytes);
    static Answer trickled(const QByteArray& bytes, qsizetype pieceSize, int pieceDelayMs);

    explicit CannedResponder(Transport transport = Transport::Http);
    ~CannedResponder();
    Q_DISABLE_COPY_MOVE(CannedResponder)

    bool isListening() const { return m_port != 0; }
    QString url(const QString& path = QStringLiteral("/plumoxa")) const;

    // Answers are used in order; once the script is empty every request hangs.
    void script(const QList<Answer>& answers);
    // The raw requests received so far (request line, headers, body).
    QList<QByteArray> requests() const;

    static QByteArray response(const QByteArray& body, const QList<QPair<QByteArray, QByteArray>>& headers = {},
                               int status = 200);
    // A response that announces no length: its body ends where the connection closes.
    static QByteArray unframedResponse(const QByteArray& body);

private:
    class Connection;

    void serve();
    void answer(Connection& connection);
    Answer nextAnswer(const QByteArray& request);
    // The next answer's closeAfterBody (-1 when there is none).
    qint64 nextCloseAfterBody() const;
    // Waits up to ms milliseconds; false when the peer on socket has gone or the responder stops.
    bool pause(int socket, int ms) const;

    Transport m_transport;
    int m_listener = -1;
    int m_wakeRead = -1;
    int m_wakeWrite = -1;
    quint16 m_port = 0;
    std::shared_ptr<void> m_tls; // SSL_CTX of the HTTPS transport
    std::atomic<bool> m_stopping = false;
    std::vector<int> m_held; // connections kept open without an answer
    mutable std::mutex m_mutex;
    std::deque<Answer> m_answers;
    QList<QByteArray> m_requests;
    std::thread m_thread;
};
