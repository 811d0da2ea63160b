#include "RawExchange.h"

#include "support/ServerFixture.h"

#include <QEventLoop>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>

namespace {

constexpr int kDeadlineMs = 60000;

HttpReply waitFor(QNetworkReply* reply)
{
    QObject::connect(reply, &QNetworkReply::sslErrors, reply, [reply] { reply->ignoreSslErrors(); });
    QEventLoop loop;
    QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    QTimer::singleShot(kDeadlineMs, &loop, &QEventLoop::quit);
    if (!reply->isFinished())
        loop.exec();
    HttpReply result;
    result.transferred = reply->isFinished() && reply->error() == QNetworkReply::NoError;
    result.status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    result.contentType = reply->rawHeader("Content-Type");
    result.body = reply->readAll();
    reply->abort();
    reply->deleteLater();
    return result;
}

} // namespace

RawExchange::RawExchange(const QString& url)
    : m_url(url)
{ }

QByteArray RawExchange::boundary()
{
    return QByteArrayLiteral("0xKhTmLbOuNdArY");
}

RawExchange::Fields RawExchange::credentials(const ServerFixture& server)
{
    return { { "user", server.user().toUtf8() }, { "password", server.password().toUtf8() } };
}

RawExchange::Fields RawExchange::request(const ServerFixture& server, const QByteArray& dir, const QByteArray& cmd)
{
    Fields fields = credentials(server);
    fields.append(qMakePair(QByteArrayLiteral("dir"), dir));
    fields.append(qMakePair(QByteArrayLiteral("cmd"), cmd));
    return fields;
}

QByteArray RawExchange::formBody(const Fields& fields)
{
    QByteArray body;
    for (const auto& [name, value] : fields) {
        if (!body.isEmpty())
            body += '&';
        body += name + '=' + value.toPercentEncoding();
    }
    return body;
}

QByteArray RawExchange::multipartBody(const Fields& fields, const QByteArray& fileName, const QByteArray& content)
{
    QByteArray body = "--" + boundary() + "\r\n";
    for (const auto& [name, value] : fields) {
        body += "Content-Disposition: form-data; name=\"" + name + "\"\r\n\r\n" + value;
        body += "\r\n--" + boundary() + "\r\n";
    }
    body += "Content-Disposition: form-data; name=\"file\"; filename=\"" + fileName + "\"\r\n";
    body += "Content-Type: application/octet-stream\r\n\r\n";
    body += content;
    body += "\r\n--" + boundary() + "--\r\n";
    return body;
}

HttpReply RawExchange::post(const QByteArray& body, const QByteArray& contentType)
{
    QNetworkRequest request(m_url);
    request.setHeader(QNetworkRequest::ContentTypeHeader, contentType);
    return waitFor(m_manager.post(request, body));
}

HttpReply RawExchange::postForm(const Fields& fields)
{
    return post(formBody(fields), "application/x-www-form-urlencoded");
}

HttpReply RawExchange::get()
{
    return waitFor(m_manager.get(QNetworkRequest(m_url)));
}

HttpReply RawExchange::command(const ServerFixture& server, const QByteArray& dir, const QByteArray& cmd,
                               const QList<QByteArray>& params)
{
    Fields fields = request(server, dir, cmd);
    for (int i = 0; i < params.size(); ++i)
        fields.append(qMakePair("param" + QByteArray::number(i), params[i]));
    return postForm(fields);
}

HttpReply RawExchange::store(const ServerFixture& server, const QByteArray& dir, const QByteArray& fileName,
                             const QByteArray& content)
{
    const Fields fields = request(server, dir, "STOR");
    return post(multipartBody(fields, fileName, content), "multipart/form-data; boundary=" + boundary());
}
