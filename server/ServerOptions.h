#pragma once

#include "ReplyEncoding.h"

#include <cstddef>
#include <optional>
#include <string>

// The command line of plumoxa-server:
//   plumoxa-server --root DIR --user NAME [--password-file FILE] [--listen HOST:PORT]
//                  [--start-dir PATH] [--charset utf-8|shift_jis|euc-jp]
//                  [--tls-cert FILE --tls-key FILE] [--max-form-bytes N]
// Each option also takes the form --name=value. The password is the first line of the password
// file, else the environment variable PLUMOXA_PASSWORD.
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

    // The options, or nothing with a message to print and the exit status to end with (0 after
    // --help, 2 for a bad command line or a missing password).
    static std::optional<ServerOptions> parse(int argc, char** argv, std::string& message, int& exitCode);
    static std::string usage();
};
