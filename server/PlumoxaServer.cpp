#include "PlumoxaServer.h"

#include "BoundedHttpServer.h"
#include "ConnectionQueue.h"
#include "FormDecoder.h"
#include "MultipartUpload.h"
#include "ReplyWriter.h"
#include "RequestLog.h"
#include "RetrStream.h"
#include "RootJail.h"
#include "ServerOptions.h"

#include <httplib.h>

#include <algorithm>
#include <cctype>
#include <charconv>

namespace {

constexpr std::size_t kRequestsPerConnection = 100;
constexpr std::size_t kMaxHeadBytes = 64 * 1024;

std::string lowerCase(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

// The library answers "br" in Accept-Encoding with brotli at its top quality, which compresses at
// well under a megabyte a second and would throttle every download; gzip keeps pace. The request
// object is the library's own mutable one, handed to handlers as const.
void offerGzipOnly(const httplib::Request& request)
{
    auto& headers = const_cast<httplib::Headers&>(request.headers);
    bool acceptsGzip = false;
    const auto [first, last] = headers.equal_range("Accept-Encoding");
    for (auto it = first; it != last; ++it)
        acceptsGzip = acceptsGzip || it->second.find("gzip") != std::string::npos;
    headers.erase("Accept-Encoding");
    if (acceptsGzip)
        headers.emplace("Accept-Encoding", "gzip");
}

// gzip saves about a quarter of a file's Base64 but would hold every download to the speed of one
// core compressing it: downloads go uncompressed.
void sendUncompressed(const httplib::Request& request)
{
    const_cast<httplib::Headers&>(request.headers).erase("Accept-Encoding");
}

} // namespace

PlumoxaServer::PlumoxaServer(const ServerOptions& options, const RootJail& jail, std::string startDir, RequestLog& log)
    : m_host(options.listenHost)
    , m_port(options.listenPort)
    , m_tls(!options.tlsCert.empty())
    , m_tlsCert(options.tlsCert)
    , m_tlsKey(options.tlsKey)
    , m_maxFormBytes(options.maxFormBytes)
    , m_maxConnections(options.maxConnections)
    , m_idleTimeoutSeconds(options.idleTimeoutSeconds)
    , m_requestTimeoutSeconds(options.requestTimeoutSeconds)
    , m_log(log)
    , m_encoding(options.charset)
    , m_credentials(options.user, options.password)
    , m_lister(jail, m_encoding, log)
    , m_commands(jail, std::move(startDir), m_encoding, m_lister)
{ }

PlumoxaServer::~PlumoxaServer() = default;

bool PlumoxaServer::setUp(std::string& error)
{
    if (m_tls) {
        auto server = std::make_unique<httplib::SSLServer>(m_tlsCert.c_str(), m_tlsKey.c_str());
        if (!server->is_valid()) {
            error = "cannot use the TLS certificate " + m_tlsCert + " with the key " + m_tlsKey;
            return false;
        }
        m_http = std::move(server);
    } else {
        BoundedHttpServer::Limits limits;
        limits.requestsPerConnection = kRequestsPerConnection;
        limits.idleTimeoutMs = m_idleTimeoutSeconds * 1000;
        limits.requestTimeoutMs = m_requestTimeoutSeconds * 1000;
        limits.maxHeadBytes = kMaxHeadBytes;
        m_http = std::make_unique<BoundedHttpServer>(limits);
    }
    const auto connections = std::size_t(m_maxConnections);
    m_http->new_task_queue = [this, connections] { return new ConnectionQueue(connections, connections, m_stopping); };
    // The HTTPS server reads with the library's own loop; these apply there (and are the same
    // bounds the plain server applies itself).
    m_http->set_keep_alive_max_count(kRequestsPerConnection);
    m_http->set_keep_alive_timeout(m_idleTimeoutSeconds);
    m_http->set_read_timeout(m_requestTimeoutSeconds);
    m_http->set_write_timeout(m_requestTimeoutSeconds);
    // Replies go out in several writes; without this each exchange waits out a delayed ACK.
    m_http->set_tcp_nodelay(true);
    route(*m_http);
    return true;
}

void PlumoxaServer::route(httplib::Server& http)
{
    http.set_pre_routing_handler([](const httplib::Request& request, httplib::Response&) {
        offerGzipOnly(request);
        return httplib::Server::HandlerResponse::Unhandled;
    });
    http.Get(".*", [](const httplib::Request&, httplib::Response& response) {
        response.set_content("plumoxa-server: a Plumoxa file store; its protocol is spoken by POST.\n", "text/plain");
    });
    http.Post(".*",
              [this](const httplib::Request& request, httplib::Response& response,
                     const httplib::ContentReader& reader) { handlePost(request, response, reader); });
}

bool PlumoxaServer::bind(std::string& error)
{
    if (m_port == 0) {
        m_port = m_http->bind_to_any_port(m_host);
        if (m_port < 0) {
            error = "cannot listen on " + m_host + " (any port)";
            return false;
        }
    } else if (!m_http->bind_to_port(m_host, m_port)) {
        error = "cannot listen on " + m_host + ":" + std::to_string(m_port);
        return false;
    }
    return true;
}

std::string PlumoxaServer::url() const
{
    const std::string host = m_host.find(':') != std::string::npos ? "[" + m_host + "]" : m_host;
    return std::string(m_tls ? "https" : "http") + "://" + host + ":" + std::to_string(m_port) + "/plumoxa";
}

bool PlumoxaServer::run()
{
    return m_http->listen_after_bind();
}

bool PlumoxaServer::isRunning() const
{
    return m_http->is_running();
}

void PlumoxaServer::stop()
{
    m_stopping = true;
    m_http->stop();
}

void PlumoxaServer::handlePost(const httplib::Request& request, httplib::Response& response,
                               const httplib::ContentReader& reader)
{
    const std::string contentType = lowerCase(request.get_header_value("Content-Type"));
    if (contentType.starts_with("application/x-www-form-urlencoded"))
        handleForm(request, response, reader);
    else if (request.is_multipart_form_data())
        handleMultipart(response, reader);
    else
        badRequest(response, "the body must be a form or multipart/form-data", nullptr);
}

void PlumoxaServer::handleForm(const httplib::Request& request, httplib::Response& response,
                               const httplib::ContentReader& reader)
{
    // Refuse an announced oversize body before reading it; a chunked one is cut off at the limit.
    if (request.get_header_value_count("Content-Length") > 0) {
        const std::string length = request.get_header_value("Content-Length");
        std::size_t announced = 0;
        const auto [end, error] = std::from_chars(length.data(), length.data() + length.size(), announced);
        if (error != std::errc() || announced > m_maxFormBytes) {
            badRequest(response, "the form body is over the size limit", nullptr);
            return;
        }
    }
    std::string body;
    bool tooLarge = false;
    const bool complete = reader([&](const char* data, std::size_t length) {
        if (body.size() + length > m_maxFormBytes) {
            tooLarge = true;
            return false;
        }
        body.append(data, length);
        return true;
    });
    if (tooLarge) {
        badRequest(response, "the form body is over the size limit", nullptr);
        return;
    }
    if (!complete) {
        badRequest(response, "the form body did not arrive whole", nullptr);
        return;
    }
    const ProtocolRequest decoded = FormDecoder::decode(body);
    if (decoded.cmd == "RETR")
        sendUncompressed(request);
    answer(decoded, response);
}

void PlumoxaServer::handleMultipart(httplib::Response& response, const httplib::ContentReader& reader)
{
    MultipartUpload upload(m_credentials, m_commands, m_maxFormBytes);
    const bool complete
        = reader([&](const httplib::MultipartFormData& part) { return upload.beginPart(part.name, part.filename); },
                 [&](const char* data, std::size_t length) { return upload.receive(data, length); });
    if (!complete) {
        // The temporary file of an upload cut off goes with the MultipartUpload.
        badRequest(response, "the multipart body is malformed or incomplete", &upload.request());
        return;
    }
    const MultipartUpload::Result result = upload.finish();
    const ProtocolRequest& request = upload.request();
    ReplyWriter reply(request.cmd.value_or(std::string()));
    switch (result) {
    case MultipartUpload::Result::NoFile:
        answer(request, response);
        return;
    case MultipartUpload::Result::LoginFailed:
        reply.loginFailed();
        logRequest(request, "LOGIN_FAILED", 0);
        break;
    case MultipartUpload::Result::CommandFailed:
        reply.commandFailed();
        logRequest(request, "FALSE", 0);
        break;
    case MultipartUpload::Result::Stored:
        reply.commandSucceeded(upload.currentDir(), 0);
        logRequest(request, "TRUE", upload.fileBytes());
        break;
    }
    sendReply(response, reply.text());
}

void PlumoxaServer::answer(const ProtocolRequest& request, httplib::Response& response)
{
    if (!request.hasRequiredFields()) {
        badRequest(response, "user, password, dir and cmd are required", &request);
        return;
    }
    ReplyWriter reply(*request.cmd);
    if (!m_credentials.matches(*request.user, *request.password)) {
        reply.loginFailed();
        logRequest(request, "LOGIN_FAILED", 0);
        sendReply(response, reply.text());
        return;
    }
    CommandHandler::Outcome outcome = m_commands.run(request);
    if (!outcome.succeeded) {
        reply.commandFailed();
        logRequest(request, "FALSE", 0);
        sendReply(response, reply.text());
        return;
    }
    if (outcome.retrFile.isValid()) {
        sendRetr(request, outcome, response);
        return;
    }
    reply.commandSucceeded(outcome.currentDir, static_cast<int>(outcome.lists.size()));
    for (const CommandHandler::ListBlock& block : outcome.lists)
        reply.addListBlock(block.path, block.lines);
    // Commands without a file log the size of their reply.
    logRequest(request, "TRUE", reply.text().size());
    sendReply(response, reply.text());
}

void PlumoxaServer::sendReply(httplib::Response& response, const std::string& text)
{
    // Every value in the text passed canCarry(), so the conversion succeeds.
    const auto encoded = m_encoding.encode(text);
    response.set_content(encoded.value_or(std::string()), m_encoding.contentType());
}

void PlumoxaServer::sendRetr(const ProtocolRequest& request, CommandHandler::Outcome& outcome,
                             httplib::Response& response)
{
    ReplyWriter reply(*request.cmd);
    reply.commandSucceeded(outcome.currentDir, 1);
    reply.openRetrBlock();
    auto stream = std::make_shared<RetrStream>(std::move(outcome.retrFile),
                                               m_encoding.encode(reply.text()).value_or(std::string()),
                                               std::string(ReplyWriter::retrClosing()));
    response.set_chunked_content_provider(
        m_encoding.contentType(),
        [stream](std::size_t, httplib::DataSink& sink) {
            std::string piece;
            if (!stream->next(piece))
                return false;
            if (!piece.empty() && !sink.write(piece.data(), piece.size()))
                return false;
            if (stream->atEnd())
                sink.done();
            return true;
        },
        [this, stream, request](bool success) {
            logRequest(request, success && stream->atEnd() ? "TRUE" : "ABORTED", stream->bytesRead());
        });
}

void PlumoxaServer::badRequest(httplib::Response& response, const std::string& reason, const ProtocolRequest* request)
{
    logRequest(request ? *request : ProtocolRequest(), "BAD_REQUEST", 0);
    response.status = 400;
    response.set_header("Connection", "close");
    response.set_content("Bad request: " + reason + "\n", "text/plain");
}

void PlumoxaServer::logRequest(const ProtocolRequest& request, const std::string& result, std::uint64_t bytes)
{
    m_log.request(request.user.value_or(std::string()), request.cmd.value_or(std::string()),
                  request.dir.value_or(std::string()), result, bytes);
}
