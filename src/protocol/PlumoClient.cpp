#include "protocol/PlumoClient.h"

#include "document/ConnectSettings.h"
#include "protocol/ContentDecoder.h"
#include "protocol/ListingReceiver.h"
#include "protocol/PlumoRequest.h"
#include "protocol/ProtocolLog.h"
#include "protocol/ResultTarget.h"
#include "protocol/XmlResponseScanner.h"

#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QUrl>

#include <cmath>
#include <limits>
#include <optional>
#include <thread>

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

// One HTTP exchange and the scan of its reply, run on a thread of its own.
struct PlumoClient::Exchange
{
    PlumoRequest request;
    QByteArray* contentReceiver = nullptr;

    bool transferred = false; // the reply arrived whole (whatever its HTTP status)
    ReplyEncoding encoding = ReplyEncoding::Utf8;
    std::optional<XmlResponseScanner> scanner;
    XmlResponseScanner::Status status = XmlResponseScanner::Status::LoginFailed;

    void run();
    void receive(QNetworkAccessManager& manager);
};

void PlumoClient::Exchange::receive(QNetworkAccessManager& manager)
{
    QNetworkRequest networkRequest { QUrl(request.url) };
    for (const auto& [name, value] : request.headers)
        networkRequest.setRawHeader(name, value);
    networkRequest.setTransferTimeout(timeoutMilliseconds(request.timeout));

    QNetworkReply* reply = manager.sendCustomRequest(networkRequest, request.method, request.body);
    QByteArray body;
    std::unique_ptr<ContentDecoder> decoder;
    bool decodable = true;
    // A new response (after a redirect, say) replaces whatever body came before it.
    QObject::connect(reply, &QNetworkReply::metaDataChanged, reply, [&] {
        body.clear();
        decoder.reset();
        decodable = true;
    });
    QObject::connect(reply, &QNetworkReply::readyRead, reply, [&] {
        if (!decoder) {
            decoder = std::make_unique<ContentDecoder>(reply->rawHeader("Content-Encoding"));
            encoding = findEncodeString(reply->rawHeader("Content-Type"));
        }
        const QByteArray piece = reply->readAll();
        decodable = decodable && decoder->feed(piece, body);
    });
    QEventLoop loop;
    QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    if (!reply->isFinished())
        loop.exec();
    if (reply->bytesAvailable() > 0)
        emit reply->readyRead();
    if (!decoder)
        encoding = findEncodeString(reply->rawHeader("Content-Type"));

    // An HTTP error page is a reply like any other: its text decides. Only a failure to get a
    // whole reply (network error, time-out, untrusted certificate) fails the transfer.
    const bool answered = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).isValid();
    const bool networkOk = reply->error() == QNetworkReply::NoError
        || (answered && reply->error() >= QNetworkReply::ContentAccessDenied);
    transferred = networkOk && decodable && (!decoder || decoder->finish());
    qCDebug(lcProtocol) << "reply" << reply->error() << reply->errorString() << body.size() << "bytes";
    delete reply;

    if (!transferred)
        return;
    QStringDecoder text = decoderFor(encoding);
    scanner.emplace(text.decode(body), contentReceiver);
}

void PlumoClient::Exchange::run()
{
    QNetworkAccessManager manager;
    receive(manager);
    if (scanner)
        status = scanner->scan();
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

bool PlumoClient::stor(const QString& fileName, const QByteArray& content)
{
    if (!m_connect)
        return false;
    m_contentSender = content;
    const bool result = runCommand(QStringLiteral("STOR"), 0, fileName);
    m_contentSender.clear();
    return result;
}

bool PlumoClient::retr(const QString& fileName, QByteArray& content)
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
    const PendingCommand pending { m_command, m_param0, m_param1, m_paramCount, m_currentDirectory, m_contentSender };
    exchange.request = PlumoRequest::createRequest(m_controller->connectionSetting(), pending);
    exchange.contentReceiver = m_contentReceiver;
    if (!canStart(QUrl(exchange.request.url))) {
        qCDebug(lcProtocol) << "no connection can be made to" << exchange.request.url;
        return false;
    }
    qCDebug(lcProtocol) << "sending" << m_command << "in" << m_currentDirectory;

    // Joining the exchange thread is the hand-over: everything it wrote is visible afterwards.
    std::thread thread([&exchange] { exchange.run(); });
    thread.join();

    m_htmlEnc = exchange.encoding;
    if (!exchange.scanner) {
        m_connect = false;
        disconnectedMainThread();
        return false;
    }
    reflectResults(exchange, *exchange.scanner);
    return exchange.status == XmlResponseScanner::Status::Done;
}

void PlumoClient::reflectResults(Exchange& exchange, const XmlResponseScanner& scanner)
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
