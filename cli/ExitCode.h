#pragma once

// The exit statuses of plumoxa-cli.
enum ExitCode : int {
    kDone = 0,
    kRefused = 1, // the server refused a command, or a local file operation failed
    kUsage = 2,
    kLoginFailed = 3, // the login or the connection failed
};
