#pragma once

#include "CommandHandler.h"
#include "Credentials.h"
#include "DirectoryLister.h"
#include "ReplyEncoding.h"

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
    RequestLog& m_log;
    ReplyEncoding m_encoding;
    Credentials m_credentials;
    DirectoryLister m_lister;
    CommandHandler m_commands;
};
