#pragma once

#include <ctime>
#include <optional>
#include <string>
#include <vector>

#include <sys/stat.h>

class ReplyEncoding;
class RequestLog;
class RootJail;

// Writes the listing lines of one directory in the layout of a long Unix listing:
//   drwxr-xr-x  2 web   staff     4096 Jan 15 12:34 docs
// type ("d", "-", "l", "D" for a link that leads to a directory inside the root, and "p", "s",
// "c", "b" for the special kinds), nine permission characters, link count, owner, group, size,
// date and name, links followed by " -> " and their target. Columns are padded to a common width.
// The permission characters are only r, w, x and -: the protocol carries three octal digits, and
// a set-id or sticky letter in an execute place would read as a missing execute bit.
class DirectoryLister
{
public:
    DirectoryLister(const RootJail& jail, const ReplyEncoding& encoding, RequestLog& log);

    // The lines of the directory at a normalised server path, sorted by name, without "." and "..".
    // Entries whose name or link target the reply cannot carry are left out and logged. Nothing
    // when the directory cannot be opened.
    std::optional<std::vector<std::string>> list(const std::string& path) const;

    // The date column: "Mmm dd HH:MM" within the last six months, else "Mmm dd  YYYY".
    static std::string formatDate(std::time_t modified, std::time_t now);

private:
    const RootJail& m_jail;
    const ReplyEncoding& m_encoding;
    RequestLog& m_log;
};
