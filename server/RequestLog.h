#pragma once

#include <cstdint>
#include <mutex>
#include <string_view>

// Writes the server's log to standard error, one whole line at a time even when requests are
// served concurrently. Values from requests are quoted with control characters and quotes
// escaped, so a crafted name cannot forge a line.
class RequestLog
{
public:
    // One line per request: time, user, command, directory, result, bytes.
    void request(std::string_view user, std::string_view command, std::string_view dir, std::string_view result,
                 std::uint64_t bytes);
    // Any other event worth a line (a name left out of a listing, a failed upload), with the time.
    void note(std::string_view text, std::string_view subject);

private:
    void writeLine(std::string_view line);

    std::mutex m_mutex;
};
