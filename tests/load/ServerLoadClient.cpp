#include "ServerLoadClient.h"

#include "document/ConnectSettings.h"
#include "protocol/ContentDecoder.h"
#include "protocol/HttpTransport.h"
#include "protocol/PlumoRequest.h"
#include "protocol/XmlResponseScanner.h"

#include <memory>

namespace {

constexpr int kTimeoutMs = 60000;
constexpr int kKeptFailures = 5;

} // namespace

ServerLoadClient::ServerLoadClient(QString url, QString user, QString password, QString directory)
    : m_url(std::move(url))
    , m_user(std::move(user))
    , m_password(std::move(password))
    , m_directory(std::move(directory))
{ }

int ServerLoadClient::run(int first, int count, const std::atomic<bool>& stop)
{
    ConnectSettings settings;
    settings.setUrl(m_url);
    settings.setUserId(m_user);
    settings.setPassword(m_password);
    settings.setTimeout(kTimeoutMs / 1000.0);
    HttpTransport transport;
    const QString subdirectory = m_directory + u"/d";
    int failed = 0;
    for (int i = first; i < first + count && !stop; ++i) {
        const QByteArray content = QByteArray("file of ") + m_directory.toUtf8() + " at " + QByteArray::number(i)
            + QByteArray(200 + i % 50, 'x');
        PendingCommand command;
        switch (i % 7) {
        case 0:
            command = { QStringLiteral("MKD"), QStringLiteral("d"), {}, 1, m_directory, {}, {} };
            break;
        case 1:
            command = { QStringLiteral("STOR"), QStringLiteral("f.txt"), {}, 1, subdirectory, content, {} };
            break;
        case 2:
            command = { QStringLiteral("RETR"), QStringLiteral("f.txt"), {}, 1, subdirectory, {}, {} };
            break;
        case 3:
            command = { QStringLiteral("LIST"), {}, {}, 0, subdirectory, {}, {} };
            break;
        case 4:
            command
                = { QStringLiteral("REN"), QStringLiteral("f.txt"), QStringLiteral("g.txt"), 2, subdirectory, {}, {} };
            break;
        case 5:
            command = { QStringLiteral("RM"), QStringLiteral("g.txt"), {}, 1, subdirectory, {}, {} };
            break;
        default:
            command = { QStringLiteral("RMD"), QStringLiteral("d"), {}, 1, m_directory, {}, {} };
            break;
        }
        const PlumoRequest request = PlumoRequest::createRequest(settings, command);
        std::unique_ptr<ContentDecoder> decoder;
        QByteArray body;
        const HttpTransport::Reply reply = transport.exchange(
            request, nullptr, kTimeoutMs,
            [&](const HttpTransport::Reply& started) {
                decoder = std::make_unique<ContentDecoder>(started.contentEncoding);
            },
            [&](QByteArrayView piece) { return decoder->feed(piece, body); }, {});

        QString failure;
        if (!reply.complete || reply.status != 200 || !decoder || !decoder->finish()) {
            failure = QStringLiteral("HTTP exchange failed (status %1)").arg(reply.status);
        } else {
            QByteArray retrieved;
            XmlResponseScanner scanner(QString::fromUtf8(body), &retrieved);
            if (scanner.scan() != XmlResponseScanner::Status::Done)
                failure = QStringLiteral("command failed: ") + QString::fromUtf8(body.left(300));
            else if (i % 7 == 2
                     && retrieved
                         != QByteArray("file of ") + m_directory.toUtf8() + " at " + QByteArray::number(i - 1)
                             + QByteArray(200 + (i - 1) % 50, 'x'))
                failure = QStringLiteral("retrieved bytes differ");
            else if (i % 7 == 3
                     && (scanner.listBlocks().size() != 1 || scanner.listBlocks().first().lines.size() != 1
                         || !scanner.listBlocks().first().lines.first().endsWith(u" f.txt")))
                failure = QStringLiteral("listing differs: ") + QString::fromUtf8(body.left(300));
        }
        if (!failure.isNull()) {
            ++failed;
            if (m_failures.size() < kKeptFailures)
                m_failures.append(m_directory + u' ' + command.commandWord + u": " + failure);
        }
    }
    return failed;
}
