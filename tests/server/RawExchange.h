#pragma once

#include <QByteArray>
#include <QList>
#include <QNetworkAccessManager>
#include <QPair>
#include <QString>
#include <QUrl>

class ServerFixture;

// One HTTP exchange with the server as a test sees it: status, Content-Type and body bytes.
struct HttpReply
{
    int status = 0;
    QByteArray contentType;
    QByteArray body;
    bool transferred = false; // false on a network error or time-out
};

// Speaks raw HTTP to a plumoxa-server, without any client class of ours: form and multipart
// bodies are built here, and every call waits for its reply (with a deadline).
class RawExchange
{
public:
    using Fields = QList<QPair<QByteArray, QByteArray>>;

    explicit RawExchange(const QString& url);

    // POST of a form body with the fields in order, each value fully percent-encoded.
    HttpReply postForm(const Fields& fields);
    HttpReply post(const QByteArray& body, const QByteArray& contentType);
    HttpReply get();

    // The fixture's user and password, then dir, cmd and param0, param1... as given.
    HttpReply command(const ServerFixture& server, const QByteArray& dir, const QByteArray& cmd,
                      const QList<QByteArray>& params = {});
    // A STOR in the client's multipart layout.
    HttpReply store(const ServerFixture& server, const QByteArray& dir, const QByteArray& fileName,
                    const QByteArray& content);

    static QByteArray boundary();
    static QByteArray formBody(const Fields& fields);
    static QByteArray multipartBody(const Fields& fields, const QByteArray& fileName, const QByteArray& content);
    static Fields credentials(const ServerFixture& server);
    // The credentials followed by dir and cmd.
    static Fields request(const ServerFixture& server, const QByteArray& dir, const QByteArray& cmd);

private:
    QNetworkAccessManager m_manager;
    QUrl m_url;
};
