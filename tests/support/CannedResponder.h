#pragma once

#include <QByteArray>
#include <QList>
#include <QMutex>
#include <QPair>
#include <QQueue>
#include <QString>
#include <QThread>

class CannedResponderWorker;

// A small HTTP(S) server on 127.0.0.1 for what a good server never sends: it answers each
// request with the next scripted raw response. It runs on a thread of its own, since the client
// under test blocks the test's thread while it waits.
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
    friend class CannedResponderWorker;
    QByteArray nextAnswer(const QByteArray& request);

    Transport m_transport;
    QThread m_thread;
    CannedResponderWorker* m_worker = nullptr; // lives on m_thread
    quint16 m_port = 0;
    mutable QMutex m_mutex;
    QQueue<QByteArray> m_answers;
    QList<QByteArray> m_requests;
};
