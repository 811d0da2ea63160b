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
// request with the next scripted raw response. It runs on a plain thread with blocking sockets
// (the client under test blocks the test's thread while it waits), so thread checkers see every
// hand-over.
class CannedResponder final
{
public:
    enum class Transport { Http, Https };
    // A scripted answer is either raw response bytes or one of these.
    static const QByteArray kHang; // keep the connection open, never answer
    static const QByteArray kClose; // close the connection without answering

    explicit CannedResponder(Transport transport = Transport::Http);
    ~CannedResponder();
    Q_DISABLE_COPY_MOVE(CannedResponder)

    bool isListening() const { return m_port != 0; }
    QString url(const QString& path = QStringLiteral("/plumoxa")) const;

    // Answers are used in order; once the script is empty every request hangs.
    void script(const QList<QByteArray>& answers);
    // The raw requests received so far (request line, headers, body).
    QList<QByteArray> requests() const;

    static QByteArray response(const QByteArray& body, const QList<QPair<QByteArray, QByteArray>>& headers = {},
                               int status = 200);

private:
    class Connection;

    void serve();
    void answer(Connection& connection);
    QByteArray nextAnswer(const QByteArray& request);

    Transport m_transport;
    int m_listener = -1;
    int m_wakeRead = -1;
    int m_wakeWrite = -1;
    quint16 m_port = 0;
    std::shared_ptr<void> m_tls; // SSL_CTX of the HTTPS transport
    std::atomic<bool> m_stopping = false;
    std::vector<int> m_held; // connections kept open without an answer
    mutable std::mutex m_mutex;
    std::deque<QByteArray> m_answers;
    QList<QByteArray> m_requests;
    std::thread m_thread;
};
