#include "protocol/PlumoClient.h"

#include "document/ConnectSettings.h"
#include "protocol/ContentDecoder.h"
#include "protocol/ContentSink.h"
#include "protocol/ExchangeThread.h"
#include "protocol/HttpTransport.h"
#include "protocol/ListingReceiver.h"
#include "protocol/PlumoRequest.h"
#include "protocol/ProtocolLog.h"
#include "protocol/ResultTarget.h"
#include "protocol/RetrReplyReader.h"
#include "protocol/UploadBodyDevice.h"
#include "protocol/XmlResponseScanner.h"

#include <QThread>
#include <QUrl>

#include <cmath>
#include <limits>
#include <optional>

namespace {

// A time-out that is not a positive number of seconds would switch the limit off; use the default.
int timeoutMilliseconds(double seconds)
{
    if (!(seconds > 0))
        seconds = ConnectSettings::kDefaultTimeout;
    const double ms = std::ceil(seconds * 1000);
    return ms >= double(std::numeric_limits<int>::max()) ? std::numeric_limits<int>::max() : int(ms);
}

bool canStart(const QUrl& url)
{
    return url.isValid() && (url.scheme() == u"http" || url.scheme() == u"https") && !url.host().isEmpty();
}

} // namespace

// One HTTP exchange and the scan of its reply, run on the exchange thread.
struct PlumoClient::Exchange
{
    PlumoRequest request;
    ContentSink* contentReceiver = nullptr;
    const Progress* progress = nullptr;
    qint64 replyLimit = kDefaultReplyLimit;

    bool transferred = false; // the reply arrived whole (whatever its HTTP status)
    bool sinkFailed = false; // the local receiver of a file refused its bytes (a full disk)
    ReplyEncoding encoding = ReplyEncoding::Utf8;
    std::optional<XmlResponseScanner> scanner;
    XmlResponseScanner::Status status = XmlResponseScanner::Status::LoginFailed;

    void run(HttpTransport& transport);
};

void PlumoClient::Exchange::run(HttpTransport& transport)
{
    std::unique_ptr<UploadBodyDevice> upload;
    if (!request.bodyFile.isNull()) {
        upload = std::make_unique<UploadBodyDevice>(request.body, request.bodyFile, request.bodySuffix);
        upload->open(QIODevice::ReadOnly);
    }
    const qint64 receivedBefore = contentReceiver ? contentReceiver->size() : 0;
    QByteArray body;
    std::unique_ptr<ContentDecoder> decoder;
    std::unique_ptr<RetrReplyReader> retr;
    QByteArray piece;
    const auto started = [&](const HttpTransport::Reply& reply) {
        decoder = std::make_unique<ContentDecoder>(reply.contentEncoding);
        encoding = findEncodeString(reply.contentType);
        if (contentReceiver) {
            retr = std::make_unique<RetrReplyReader>(*contentReceiver);
            retr->setEncoding(encoding);
        }
    };
    const auto readBody = [&](QByteArrayView received) {
        if (!retr)
            return decoder->feed(received, body) && body.size() <= replyLimit;
        piece.clear();
        return decoder->feed(received, piece) && retr->feed(piece);
    };
    const HttpTransport::Reply reply = transport.exchange(request, upload.get(), timeoutMilliseconds(request.timeout),
                                                          started, readBody, progress ? *progress : Progress());
    // An HTTP error page is a reply like any other: its text decides. Only a failure to get a
    // whole reply (network error, time-out, untrusted certificate) fails the transfer.
    transferred = reply.complete && decoder && decoder->finish();
    sinkFailed = retr && retr->sinkFailed();
    qCDebug(lcProtocol) << "reply" << reply.status << (transferred ? "complete" : "failed");

    if (transferred && retr) {
        status = retr->finish();
        transferred = !retr->sinkFailed();
        if (const XmlResponseScanner* header = retr->scanner())
            scanner.emplace(*header);
    } else if (transferred) {
        QStringDecoder text = decoderFor(encoding);
        scanner.emplace(text.decode(body), nullptr);
        status = scanner->scan();
    }
    // Nothing of a failed command stays in the receiver.
    if (contentReceiver && (!transferred || status != XmlResponseScanner::Status::Done))
        contentReceiver->truncate(receivedBefore);
}

PlumoClient::PlumoClient(ResultTarget* controller)
    : m_controller(controller)
    , m_notifier(std::make_unique<QObject>())
{ }

PlumoClient::~PlumoClient() = default;

bool PlumoClient::connect(bool doConnect)
{
    m_command = QStringLiteral("CONN");
    m_paramCount = 0;
    if (!doConnect) {
        m_connect = false;
        m_currentDirectory = QStringLiteral("~");
        m_commandResult = true;
        return true;
    }
    m_connect = true;
    const bool result = send();
    if (!result)
        m_connect = false;
    return result;
}

bool PlumoClient::list(const QString& directory)
{
    if (!m_connect)
        return false;
    m_currentDirectory = directory;
    return runCommand(QStringLiteral("LIST"), 0);
}

namespace {

// The multipart body names the file inside a quoted header value: a double quote or a line break
// there would make the server store it under another name.
bool canCarryFileName(const QString& fileName)
{
    return !fileName.contains(u'"') && !fileName.contains(u'\r') && !fileName.contains(u'\n');
}

} // namespace

bool PlumoClient::stor(const QString& fileName, const QByteArray& content)
{
    if (!m_connect || !canCarryFileName(fileName))
        return false;
    m_contentSender = content;
    const bool result = runCommand(QStringLiteral("STOR"), 0, fileName);
    m_contentSender.clear();
    return result;
}

bool PlumoClient::storFile(const QString& fileName, const QString& localPath)
{
    if (!m_connect || !canCarryFileName(fileName))
        return false;
    m_contentFile = localPath.isNull() ? QStringLiteral("") : localPath;
    const bool result = runCommand(QStringLiteral("STOR"), 0, fileName);
    m_contentFile.clear();
    return result;
}

bool PlumoClient::retr(const QString& fileName, QByteArray& content)
{
    ByteArraySink sink(content);
    return retr(fileName, sink);
}

bool PlumoClient::retr(const QString& fileName, ContentSink& content)
{
    if (!m_connect)
        return false;
    m_contentReceiver = &content;
    const bool result = runCommand(QStringLiteral("RETR"), 1, fileName);
    m_contentReceiver = nullptr;
    return result;
}

bool PlumoClient::mkd(const QString& directoryName)
{
    return m_connect && runCommand(QStringLiteral("MKD"), 1, directoryName);
}

bool PlumoClient::rm(const QString& fileName)
{
    return m_connect && runCommand(QStringLiteral("RM"), 1, fileName);
}

bool PlumoClient::rmd(const QString& directoryName)
{
    return m_connect && runCommand(QStringLiteral("RMD"), 1, directoryName);
}

bool PlumoClient::chmod(const QString& fileName, const QString& mode)
{
    return m_connect && runCommand(QStringLiteral("CHMOD"), 2, fileName, mode);
}

bool PlumoClient::renameFileFrom(const QString& oldName, const QString& newName)
{
    return m_connect && runCommand(QStringLiteral("REN"), 2, oldName, newName);
}

bool PlumoClient::runCommand(const QString& word, unsigned paramCount, const QString& p0, const QString& p1)
{
    m_command = word;
    m_paramCount = paramCount;
    m_param0 = p0;
    m_param1 = p1;
    return send();
}

bool PlumoClient::send()
{
    m_commandResult = false;
    if (!m_controller)
        return false;

    Exchange exchange;
    const PendingCommand pending { m_command,          m_param0,        m_param1,     m_paramCount,
                                   m_currentDirectory, m_contentSender, m_contentFile };
    ConnectSettings settings;
    onOwnerThread([&] { settings = m_controller->connectionSetting(); });
    exchange.request = PlumoRequest::createRequest(settings, pending);
    exchange.contentReceiver = m_contentReceiver;
    exchange.progress = &m_progress;
    exchange.replyLimit = m_replyLimit;
    if (!canStart(QUrl(exchange.request.url))) {
        qCDebug(lcProtocol) << "no connection can be made to" << exchange.request.url;
        return false;
    }
    qCDebug(lcProtocol) << "sending" << m_command << "in" << m_currentDirectory;

    if (!m_exchangeThread)
        m_exchangeThread = std::make_unique<ExchangeThread>();
    m_exchangeThread->run([&exchange](HttpTransport& transport) { exchange.run(transport); });

    m_htmlEnc = exchange.encoding;
    // The server was fine and the login holds: only this command failed, on the local side.
    if (exchange.sinkFailed)
        return false;
    if (!exchange.scanner) {
        m_connect = false;
        disconnectedMainThread();
        return false;
    }
    onOwnerThread([&] { reflectResults(exchange, *exchange.scanner); });
    return exchange.status == XmlResponseScanner::Status::Done;
}

void PlumoClient::reflectResults(const Exchange& exchange, const XmlResponseScanner& scanner)
{
    switch (exchange.status) {
    case XmlResponseScanner::Status::LoginFailed:
        m_connect = false;
        disconnectedMainThread();
        return;
    case XmlResponseScanner::Status::CommandFailed:
        return;
    case XmlResponseScanner::Status::Done:
        break;
    }
    m_commandResult = true;
    m_controller->setCurrentDirectory(scanner.currentDirectory());
    ListingReceiver* tree = m_controller->fileDisplayController();
    if (!tree)
        return;
    for (const XmlResponseScanner::ListBlock& block : scanner.listBlocks()) {
        tree->setProcessPath(block.path);
        for (const QString& line : block.lines)
            tree->addFileDisplay(line);
        if (block.complete)
            tree->addFileDisplayEnd();
    }
}

void PlumoClient::onOwnerThread(const std::function<void()>& step)
{
    if (QThread::currentThread() == m_notifier->thread())
        step();
    else
        QMetaObject::invokeMethod(m_notifier.get(), step, Qt::BlockingQueuedConnection);
}

void PlumoClient::disconnectedMainThread()
{
    QMetaObject::invokeMethod(
        m_notifier.get(),
        [this] {
            if (m_controller)
                m_controller->disconnected();
        },
        Qt::QueuedConnection);
}
