// Whole HTTP requests to the server, form and multipart bodies alike, read by the server's own
// HTTP library and handlers over a temporary root that is set up afresh for every input. The
// requests are read from memory, and what the server answers is dropped.

#include "FuzzCheck.h"

#include "PlumoxaServer.h"
#include "RequestLog.h"
#include "RootJail.h"
#include "ServerOptions.h"

#include <httplib.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>

#include <sys/stat.h>
#include <unistd.h>

namespace {

// A connection whose peer sends the input and then closes.
class MemoryStream final : public httplib::Stream
{
public:
    MemoryStream(const std::uint8_t* data, size_t size)
        : m_data(data)
        , m_size(size)
    { }
    bool is_readable() const override { return m_at < m_size; }
    bool is_writable() const override { return true; }
    ssize_t read(char* ptr, size_t size) override
    {
        const size_t length = std::min(size, m_size - m_at);
        std::memcpy(ptr, m_data + m_at, length);
        m_at += length;
        return ssize_t(length);
    }
    ssize_t write(const char*, size_t size) override { return ssize_t(size); }
    void get_remote_ip_and_port(std::string& ip, int& port) const override
    {
        ip = "127.0.0.1";
        port = 40000;
    }
    void get_local_ip_and_port(std::string& ip, int& port) const override
    {
        ip = "127.0.0.1";
        port = 8080;
    }
    socket_t socket() const override { return INVALID_SOCKET; }
    bool atEnd() const { return m_at >= m_size; }

private:
    const std::uint8_t* m_data;
    size_t m_size;
    size_t m_at = 0;
};

// The library's request processing, reached without a socket.
class MemoryServer final : public httplib::Server
{
public:
    bool serve(MemoryStream& stream)
    {
        bool closed = false;
        return process_request(stream, false, closed, nullptr);
    }
};

struct Fixture
{
    std::filesystem::path root;
    std::unique_ptr<RootJail> jail;
    RequestLog log;
    std::unique_ptr<PlumoxaServer> server;
    MemoryServer http;
};

Fixture* g_fixture = nullptr;

// Entries made unreadable by CHMOD must still go.
void removeContents(const std::filesystem::path& directory)
{
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(directory, error)) {
        if (entry.is_directory(error) && !entry.is_symlink(error)) {
            ::chmod(entry.path().c_str(), 0700);
            removeContents(entry.path());
        }
        std::filesystem::remove(entry.path(), error);
    }
}

void resetRoot(const std::filesystem::path& root)
{
    ::chmod(root.c_str(), 0700);
    removeContents(root);
    std::filesystem::create_directory(root / "dir");
    std::ofstream(root / "a.txt") << "hello\n";
    std::ofstream(root / "dir" / "b.bin") << std::string(300, 'b');
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    char pattern[] = "/tmp/plumoxa-fuzz-server-XXXXXX";
    FUZZ_CHECK(::mkdtemp(pattern));
    g_fixture = new Fixture;
    g_fixture->root = pattern;
    std::string error;
    g_fixture->jail = RootJail::open(pattern, error);
    FUZZ_CHECK(g_fixture->jail);
    ServerOptions options;
    options.root = pattern;
    options.user = "u";
    options.password = "p";
    options.maxFormBytes = 4096;
    g_fixture->server = std::make_unique<PlumoxaServer>(options, *g_fixture->jail, "/", g_fixture->log);
    g_fixture->server->route(g_fixture->http);
    std::atexit([] {
        std::error_code error;
        removeContents(g_fixture->root);
        std::filesystem::remove(g_fixture->root, error);
    });
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size)
{
    resetRoot(g_fixture->root);
    MemoryStream stream(data, size);
    // A kept-alive connection may carry several requests.
    for (int request = 0; request < 4 && !stream.atEnd(); ++request) {
        if (!g_fixture->http.serve(stream))
            break;
    }
    return 0;
}
