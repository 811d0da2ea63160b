#pragma once

#include "ReplyEncoding.h"

#include <cstddef>
#include <optional>
#include <string>

// The command line of plumoxa-server:
//   plumoxa-server --root DIR --user NAME [--password-file FILE] [--listen HOST:PORT]
//                  [--start-dir PATH] [--charset utf-8|shift_jis|euc-jp]
//                  [--tls-cert FILE --tls-key FILE] [--max-form-bytes N]
//                  [--max-connections N] [--idle-timeout SECONDS] [--request-timeout SECONDS]
// Each option also takes the form --name=value. The password is the first line of the password
// file, which only its owner may read or write, else the environment variable PLUMOXA_PASSWORD.
struct ServerOptions
{
    std::string root;
    std::string user;
    std::string password;
    std::string listenHost = "127.0.0.1";
    int listenPort = 8080;
    std::string startDir = "/";
    ReplyEncoding::Charset charset = ReplyEncoding::Charset::Utf8;
    std::string tlsCert;
    std::string tlsKey;
    std::size_t maxFormBytes = 1024 * 1024;
    // Connections served at once; as many more wait, accepted, and the rest wait to be accepted.
    int maxConnections = 32;
    // A kept-alive connection that sends no next request for this long is closed.
    int idleTimeoutSeconds = 5;
    // The request line and headers must arrive within this time, and no later read or write of
    // a request may stall for longer.
    int requestTimeoutSeconds = 20;

    // The options, or nothing with a message to print and the exit status to end with (0 after
    // --help, 2 for a bad command line, a missing password or a password file others can read).
    static std::optional<ServerOptions> parse(int argc, char** argv, std::string& message, int& exitCode);
    static std::string usage();
};
