#include "protocol/PlumoRequest.h"

#include "document/ConnectSettings.h"
#include "protocol/Encoder.h"
#include "util/PlumoException.h"

#include <QFile>

namespace {

// Whether a local file holds the bytes of needle, read in pieces.
bool fileHolds(const QString& path, const QByteArray& needle)
{
    if (path.isNull())
        return false;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    QByteArray window;
    while (!file.atEnd()) {
        const QByteArray piece = file.read(1 << 20);
        if (piece.isEmpty())
            break;
        // The tail of the previous piece, so that a match across two pieces is seen.
        window = window.right(needle.size() - 1) + piece;
        if (window.contains(needle))
            return true;
    }
    return false;
}

} // namespace

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
    if (!isUpload(command.commandWord)) {
        request.body = createRequestContent(settings, command);
    } else if (command.contentFile.isNull()) {
        request.body = createUploadRequestContent(settings, command);
    } else {
        const auto [prefix, suffix] = uploadEnvelope(settings, command, boundaryFor(settings, command));
        request.body = prefix;
        request.bodyFile = command.contentFile;
        request.bodySuffix = suffix;
    }
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

QPair<QByteArray, QByteArray> PlumoRequest::uploadEnvelope(const ConnectSettings& settings,
                                                           const PendingCommand& command, const QByteArray& boundary)
{
    const auto field = [&boundary](const char* name, const QString& value) -> QByteArray {
        return "--" + boundary + "\r\nContent-Disposition: form-data; name=\"" + name + "\"\r\n\r\n" + value.toUtf8()
            + "\r\n";
    };
    QByteArray prefix;
    prefix += field("user", settings.userId());
    prefix += field("password", settings.password());
    prefix += field("dir", command.currentDirectory);
    prefix += field("cmd", command.commandWord);
    prefix += "--" + boundary + "\r\nContent-Disposition: form-data; name=\"file\"; filename=\""
        + command.param0.toUtf8() + "\"\r\nContent-Type: application/octet-stream\r\n\r\n";
    return { prefix, "\r\n--" + boundary + "--\r\n" };
}

QByteArray PlumoRequest::createUploadRequestContent(const ConnectSettings& settings, const PendingCommand& command)
{
    const auto [prefix, suffix] = uploadEnvelope(settings, command, boundaryFor(settings, command));
    QByteArray body;
    body.reserve(prefix.size() + command.content.size() + suffix.size());
    body += prefix;
    body += command.content;
    body += suffix;
    return body;
}

QByteArray PlumoRequest::boundaryFor(const ConnectSettings& settings, const PendingCommand& command)
{
    const auto isHeldIn = [&](const QByteArray& boundary) {
        const QByteArray delimiter = "--" + boundary;
        return command.content.contains(delimiter) || fileHolds(command.contentFile, delimiter)
            || settings.userId().toUtf8().contains(delimiter) || settings.password().toUtf8().contains(delimiter)
            || command.currentDirectory.toUtf8().contains(delimiter) || command.param0.toUtf8().contains(delimiter);
    };
    QByteArray boundary(kBoundary);
    for (int variant = 1; isHeldIn(boundary); ++variant)
        boundary = QByteArray(kBoundary) + '-' + QByteArray::number(variant);
    return boundary;
}
