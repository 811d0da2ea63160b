#include "RequestLog.h"

#include <cstdio>
#include <ctime>
#include <string>

namespace {

std::string timestamp()
{
    const std::time_t now = std::time(nullptr);
    std::tm parts {};
    gmtime_r(&now, &parts);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", &parts);
    return text;
}

std::string quoted(std::string_view value)
{
    std::string result = "\"";
    for (const char c : value) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            result += '\\';
            result += c;
        } else if (byte < 0x20 || byte == 0x7F) {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\x%02X", byte);
            result += escape;
        } else {
            result += c;
        }
    }
    result += '"';
    return result;
}

} // namespace

void RequestLog::request(std::string_view user, std::string_view command, std::string_view dir, std::string_view result,
                         std::uint64_t bytes)
{
    writeLine(timestamp() + " user=" + quoted(user) + " cmd=" + quoted(command) + " dir=" + quoted(dir)
              + " result=" + std::string(result) + " bytes=" + std::to_string(bytes));
}

void RequestLog::note(std::string_view text, std::string_view subject)
{
    writeLine(timestamp() + ' ' + std::string(text) + ' ' + quoted(subject));
}

void RequestLog::writeLine(std::string_view line)
{
    const std::lock_guard lock(m_mutex);
    std::fwrite(line.data(), 1, line.size(), stderr);
    std::fputc('\n', stderr);
    std::fflush(stderr);
}
