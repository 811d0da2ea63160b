#pragma once

#include "UniqueFd.h"

#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include <sys/stat.h>

// Keeps every file operation inside the served root. Server paths ("/" is the root, "/a/b" below it)
// are first normalised by text alone, refusing "..", then resolved against the disk: symbolic links
// are followed only while they stay inside the root, and the result is opened component by
// component without following links, so an entry swapped for a link in the meantime makes the
// operation fail instead of leading outside.
class RootJail
{
public:
    // An existing entry reached through resolve(): its real parent directory and its real name,
    // which was not a symbolic link when it was looked up.
    struct Entry
    {
        UniqueFd parent;
        std::string name;
        struct stat status;
    };

    // Opens the root; on failure returns null and says why in error.
    static std::unique_ptr<RootJail> open(const std::string& rootPath, std::string& error);

    const std::string& realRoot() const { return m_realRoot; }

    // Turns a request's directory into a server path: absolute paths start at the root, "~" and
    // "~/..." at startDir. Empty and "." components are dropped; "..", NUL bytes and relative
    // paths are refused.
    static std::optional<std::string> normalize(std::string_view dir, std::string_view startDir);
    // A single entry name: not empty, not "." or "..", no "/" and no NUL byte.
    static bool isPlainName(std::string_view name);
    static std::string join(std::string_view dir, std::string_view name);

    // The directory at a server path (links inside the root followed), opened with O_PATH for use
    // as the base of *at() calls; invalid when it is missing, not a directory or leads outside.
    UniqueFd openDirectory(const std::string& path) const;
    // The entry at a server path with links inside the root followed; the root itself, a missing
    // entry and anything that leads outside give nothing.
    std::optional<Entry> resolve(const std::string& path) const;

private:
    RootJail(UniqueFd rootFd, std::string realRoot);

    // The path's real location relative to the root ("" for the root itself), or nothing when it
    // does not exist or lies outside.
    std::optional<std::string> realRelative(const std::string& path) const;
    // Opens a real relative directory path one component at a time, never following a link.
    UniqueFd walk(std::string_view relative) const;

    UniqueFd m_rootFd;
    std::string m_realRoot;
};
