#include "protocol/PlumoRequest.h"

#include "document/ConnectSettings.h"
#include "protocol/Encoder.h"
#include "util/PlumoException.h"

QList<PlumoRequest::Header> PlumoRequest::headersFor(const QString& commandWord, const QByteArray& boundary)
{
    const QByteArray contentType = isUpload(commandWord) ? QByteArray("multipart/form-data; boundary=") + boundary
                                                         : QByteArray("application/x-www-form-urlencoded");
    // Sent exactly as servers of this protocol have always seen them, odd quality values included.
    return {
        { "Accept", "text/html,application/xml;q=9.0,*/*;9=0.8" },
        { "Accept-Charset", "Shift_JIS,utf-8;q=0.8,*q=0.7" },
        { "Accept-Encoding", "gzip,deflate" },
        { "Accept-Language", "ja,en-us;q=0.7;q=0.3" },
        { "Content-Type", contentType },
        { "Referer", kReferer },
        { "User-Agent",
          "Plumoxa/0.1 (Macintosh; U; Wintel Mac OS X 10.6; ja-JP-mac; rv:1.9.2.10) Gacko/20101008 Plumoxa/0.1.0" },
    };
}

PlumoRequest PlumoRequest::createRequest(const ConnectSettings& settings, const PendingCommand& command)
{
    PlumoRequest request;
    request.method = "POST";
    request.url = settings.urlString();
    request.headers
        = headersFor(command.commandWord, isUpload(command.commandWord) ? boundaryFor(settings, command) : kBoundary);
    request.timeout = settings.timeout();
    request.body = isUpload(command.commandWord) ? createUploadRequestContent(settings, command)
                                                 : createRequestContent(settings, command);
    return request;
}

QByteArray PlumoRequest::createRequestContent(const ConnectSettings& settings, const PendingCommand& command)
{
    if (command.paramCount > 2)
        throw PlumoException(QStringLiteral("PlumoClient"), QStringLiteral("Unknown command"));
    QString body = u"user=" + Encoder::encodeHttpString(settings.userId()) + u"&password="
        + Encoder::encodeHttpString(settings.password()) + u"&dir="
        + Encoder::encodeHttpString(command.currentDirectory) + u"&cmd="
        + Encoder::encodeHttpString(command.commandWord);
    if (command.paramCount >= 1)
        body += u"&param0=" + Encoder::encodeHttpString(command.param0);
    if (command.paramCount == 2)
        body += u"&param1=" + Encoder::encodeHttpString(command.param1);
    return body.toLatin1();
}

QByteArray PlumoRequest::createUploadRequestContent(const ConnectSettings& settings, const PendingCommand& command)
{
    const QByteArray boundary = boundaryFor(settings, command);
    const auto field = [&boundary](const char* name, const QString& value) -> QByteArray {
        return "--" + boundary + "\r\nContent-Disposition: form-data; name=\"" + name + "\"\r\n\r\n" + value.toUtf8()
            + "\r\n";
    };
    QByteArray body;
    body.reserve(command.content.size() + 512);
    body += field("user", settings.userId());
    body += field("password", settings.password());
    body += field("dir", command.currentDirectory);
    body += field("cmd", command.commandWord);
    body += "--" + boundary + "\r\nContent-Disposition: form-data; name=\"file\"; filename=\"" + command.param0.toUtf8()
        + "\"\r\nContent-Type: application/octet-stream\r\n\r\n";
    body += command.content;
    body += "\r\n--" + boundary + "--\r\n";
    return body;
}

QByteArray PlumoRequest::boundaryFor(const ConnectSettings& settings, const PendingCommand& command)
{
    const auto isHeldIn = [&](const QByteArray& boundary) {
        const QByteArray delimiter = "--" + boundary;
        return command.content.contains(delimiter) || settings.userId().toUtf8().contains(delimiter)
            || settings.password().toUtf8().contains(delimiter) || command.currentDirectory.toUtf8().contains(delimiter)
            || command.param0.toUtf8().contains(delimiter);
    };
    QByteArray boundary(kBoundary);
    for (int variant = 1; isHeldIn(boundary); ++variant)
        boundary = QByteArray(kBoundary) + '-' + QByteArray::number(variant);
    return boundary;
}
