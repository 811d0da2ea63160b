#pragma once

#include "CommandHandler.h"
#include "Credentials.h"
#include "DirectoryLister.h"
#include "ReplyEncoding.h"

#include <atomic>
#include <memory>
#include <string>

namespace httplib {
class ContentReader;
class Server;
struct Request;
struct Response;
} // namespace httplib

class RequestLog;
class RootJail;
struct ProtocolRequest;
struct ServerOptions;

// The HTTP(S) side: answers the protocol's POST on any path (form or multipart body), a GET with a
// line naming the program, and serves requests concurrently from a thread pool.
//
// What one client can hold is bounded: --max-connections connections are served at once and as
// many more wait accepted (the rest wait in the kernel's backlog); a connection serves at most
// 100 requests and is closed after --idle-timeout without one; a request's line and headers must
// arrive within --request-timeout and 64 KiB (each header line within 8 KiB), and no read or
// write may stall longer than --request-timeout. Over HTTPS the library's own reading applies
// the per-line and stall bounds, not the head's deadline and budget.
//
// What a request gets:
// - HTTP 400 with a plain-text reason: a POST that is neither a form nor multipart/form-data, a
//   form body over the size limit, a missing user, password, dir or cmd field, a multipart body
//   that is malformed or incomplete (no closing boundary), or a file part that is not the one
//   file of a STOR after its fields.
// - A reply with login_result FALSE: a wrong user name or password; the command is not run.
// - A reply with command_result FALSE: everything the command itself refuses (unknown word,
//   missing or invalid parameter, a path outside the root, an operation the file system refuses).
class PlumoxaServer
{
public:
    PlumoxaServer(const ServerOptions& options, const RootJail& jail, std::string startDir, RequestLog& log);
    ~PlumoxaServer();

    // Makes the HTTP or HTTPS server; false with a reason in error when the TLS certificate or key
    // cannot be used.
    bool setUp(std::string& error);
    // Installs the protocol's handlers on an HTTP server (setUp does so on its own).
    void route(httplib::Server& http);
    // Binds the listening socket; false with a reason in error.
    bool bind(std::string& error);
    // The script's URL, valid after bind(): http(s)://HOST:PORT/plumoxa.
    std::string url() const;
    // Serves until stop(); false if serving could not start.
    bool run();
    bool isRunning() const;
    void stop();

private:
    void handlePost(const httplib::Request& request, httplib::Response& response, const httplib::ContentReader& reader);
    void handleForm(const httplib::Request& request, httplib::Response& response, const httplib::ContentReader& reader);
    void handleMultipart(httplib::Response& response, const httplib::ContentReader& reader);
    // Checks the login and runs the command of a complete request.
    void answer(const ProtocolRequest& request, httplib::Response& response);
    void sendReply(httplib::Response& response, const std::string& text);
    void sendRetr(const ProtocolRequest& request, CommandHandler::Outcome& outcome, httplib::Response& response);
    void badRequest(httplib::Response& response, const std::string& reason, const ProtocolRequest* request);
    void logRequest(const ProtocolRequest& request, const std::string& result, std::uint64_t bytes);

    std::unique_ptr<httplib::Server> m_http;
    std::string m_host;
    int m_port;
    bool m_tls;
    std::string m_tlsCert;
    std::string m_tlsKey;
    std::size_t m_maxFormBytes;
    int m_maxConnections;
    int m_idleTimeoutSeconds;
    int m_requestTimeoutSeconds;
    std::atomic<bool> m_stopping { false };
    RequestLog& m_log;
    ReplyEncoding m_encoding;
    Credentials m_credentials;
    DirectoryLister m_lister;
    CommandHandler m_commands;
};
