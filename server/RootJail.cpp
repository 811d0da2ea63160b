#include "RootJail.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <vector>

#include <fcntl.h>
#include <unistd.h>

namespace {

constexpr int kDirectoryFlags = O_PATH | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC;

std::vector<std::string_view> splitPath(std::string_view path)
{
    std::vector<std::string_view> parts;
    size_t start = 0;
    while (start <= path.size()) {
        size_t end = path.find('/', start);
        if (end == std::string_view::npos)
            end = path.size();
        if (end > start)
            parts.push_back(path.substr(start, end - start));
        start = end + 1;
    }
    return parts;
}

} // namespace

RootJail::RootJail(UniqueFd rootFd, std::string realRoot)
    : m_rootFd(std::move(rootFd))
    , m_realRoot(std::move(realRoot))
{ }

std::unique_ptr<RootJail> RootJail::open(const std::string& rootPath, std::string& error)
{
    char* real = ::realpath(rootPath.c_str(), nullptr);
    if (!real) {
        error = "cannot resolve the root " + rootPath + ": " + std::strerror(errno);
        return nullptr;
    }
    std::string realRoot(real);
    std::free(real);
    UniqueFd fd(::open(realRoot.c_str(), kDirectoryFlags));
    if (!fd.isValid()) {
        error = "the root " + rootPath + " is not a usable directory: " + std::strerror(errno);
        return nullptr;
    }
    return std::unique_ptr<RootJail>(new RootJail(std::move(fd), std::move(realRoot)));
}

std::optional<std::string> RootJail::normalize(std::string_view dir, std::string_view startDir)
{
    if (dir.find('\0') != std::string_view::npos)
        return std::nullopt;
    std::string base;
    std::string_view rest;
    if (dir == "~" || dir.starts_with("~/")) {
        base = std::string(startDir == "/" ? std::string_view() : startDir);
        rest = dir.substr(1);
    } else if (dir.starts_with('/')) {
        rest = dir;
    } else {
        return std::nullopt;
    }
    std::string result = base;
    for (const std::string_view part : splitPath(rest)) {
        if (part == ".")
            continue;
        if (part == "..")
            return std::nullopt;
        result += '/';
        result += part;
    }
    if (result.empty())
        return std::string(1, '/');
    return result;
}

bool RootJail::isPlainName(std::string_view name)
{
    return !name.empty() && name != "." && name != ".." && name.find('/') == std::string_view::npos
        && name.find('\0') == std::string_view::npos;
}

std::string RootJail::join(std::string_view dir, std::string_view name)
{
    std::string path(dir);
    if (path.empty() || path.back() != '/')
        path += '/';
    path += name;
    return path;
}

std::optional<std::string> RootJail::realRelative(const std::string& path) const
{
    const std::string full = m_realRoot == "/" ? path : m_realRoot + path;
    char* real = ::realpath(full.c_str(), nullptr);
    if (!real)
        return std::nullopt;
    const std::string resolved(real);
    std::free(real);
    if (resolved == m_realRoot)
        return std::string();
    const std::string prefix = m_realRoot == "/" ? m_realRoot : m_realRoot + '/';
    if (!resolved.starts_with(prefix))
        return std::nullopt;
    return resolved.substr(prefix.size());
}

UniqueFd RootJail::walk(std::string_view relative) const
{
    UniqueFd current(::openat(m_rootFd.get(), ".", kDirectoryFlags));
    for (const std::string_view part : splitPath(relative)) {
        if (!current.isValid())
            break;
        const std::string name(part);
        current = UniqueFd(::openat(current.get(), name.c_str(), kDirectoryFlags));
    }
    return current;
}

UniqueFd RootJail::openDirectory(const std::string& path) const
{
    const auto relative = realRelative(path);
    if (!relative)
        return UniqueFd();
    return walk(*relative);
}

std::optional<RootJail::Entry> RootJail::resolve(const std::string& path) const
{
    const auto relative = realRelative(path);
    if (!relative || relative->empty())
        return std::nullopt;
    const size_t slash = relative->rfind('/');
    const std::string parentPath = slash == std::string::npos ? std::string() : relative->substr(0, slash);
    Entry entry;
    entry.name = slash == std::string::npos ? *relative : relative->substr(slash + 1);
    entry.parent = walk(parentPath);
    if (!entry.parent.isValid())
        return std::nullopt;
    if (::fstatat(entry.parent.get(), entry.name.c_str(), &entry.status, AT_SYMLINK_NOFOLLOW) != 0
        || S_ISLNK(entry.status.st_mode))
        return std::nullopt;
    return entry;
}
