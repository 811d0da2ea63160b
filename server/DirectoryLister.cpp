#include "DirectoryLister.h"

#include "ReplyEncoding.h"
#include "RequestLog.h"
#include "RootJail.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <map>

#include <dirent.h>
#include <fcntl.h>
#include <grp.h>
#include <pwd.h>
#include <unistd.h>

namespace {

constexpr std::array<const char*, 12> kMonths
    = { "Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec" };
// Half of the mean Gregorian year, the span a long listing shows times of day for.
constexpr std::time_t kSixMonths = 31556952 / 2;

struct Row
{
    std::string name;
    struct stat status;
    char type = '-';
};

char typeCharacter(mode_t mode)
{
    if (S_ISDIR(mode))
        return 'd';
    if (S_ISLNK(mode))
        return 'l';
    if (S_ISFIFO(mode))
        return 'p';
    if (S_ISSOCK(mode))
        return 's';
    if (S_ISCHR(mode))
        return 'c';
    if (S_ISBLK(mode))
        return 'b';
    return '-';
}

std::string permissions(mode_t mode)
{
    std::string text(9, '-');
    static constexpr std::array<mode_t, 9> bits
        = { S_IRUSR, S_IWUSR, S_IXUSR, S_IRGRP, S_IWGRP, S_IXGRP, S_IROTH, S_IWOTH, S_IXOTH };
    static constexpr char letters[] = "rwxrwxrwx";
    for (size_t i = 0; i < bits.size(); ++i) {
        if (mode & bits[i])
            text[i] = letters[i];
    }
    return text;
}

std::string readLink(int dirFd, const std::string& name)
{
    std::string target(256, '\0');
    for (;;) {
        const ssize_t length = ::readlinkat(dirFd, name.c_str(), target.data(), target.size());
        if (length < 0)
            return std::string();
        if (static_cast<size_t>(length) < target.size()) {
            target.resize(length);
            return target;
        }
        target.resize(target.size() * 2);
    }
}

// Owner and group names of one listing, looked up once per id. An id without a name, or with a
// name that would not stay one word in the line, is shown as its number.
class NameCache
{
public:
    explicit NameCache(const ReplyEncoding& encoding)
        : m_encoding(encoding)
    { }

    std::string owner(uid_t uid)
    {
        return lookup(m_owners, uid, [](unsigned id, std::string& name) {
            std::array<char, 4096> buffer;
            passwd entry;
            passwd* found = nullptr;
            if (getpwuid_r(id, &entry, buffer.data(), buffer.size(), &found) == 0 && found)
                name = found->pw_name;
        });
    }
    std::string group(gid_t gid)
    {
        return lookup(m_groups, gid, [](unsigned id, std::string& name) {
            std::array<char, 4096> buffer;
            struct group entry;
            struct group* found = nullptr;
            if (getgrgid_r(id, &entry, buffer.data(), buffer.size(), &found) == 0 && found)
                name = found->gr_name;
        });
    }

private:
    template<typename Lookup> std::string lookup(std::map<unsigned, std::string>& cache, unsigned id, Lookup find)
    {
        const auto cached = cache.find(id);
        if (cached != cache.end())
            return cached->second;
        std::string name;
        find(id, name);
        const bool usable
            = !name.empty() && name.find_first_of(" \t") == std::string::npos && m_encoding.canCarry(name);
        if (!usable)
            name = std::to_string(id);
        cache.emplace(id, name);
        return name;
    }

    const ReplyEncoding& m_encoding;
    std::map<unsigned, std::string> m_owners;
    std::map<unsigned, std::string> m_groups;
};

std::string padLeft(const std::string& text, size_t width)
{
    return text.size() >= width ? text : std::string(width - text.size(), ' ') + text;
}

std::string padRight(const std::string& text, size_t width)
{
    return text.size() >= width ? text : text + std::string(width - text.size(), ' ');
}

} // namespace

DirectoryLister::DirectoryLister(const RootJail& jail, const ReplyEncoding& encoding, RequestLog& log)
    : m_jail(jail)
    , m_encoding(encoding)
    , m_log(log)
{ }

std::string DirectoryLister::formatDate(std::time_t modified, std::time_t now)
{
    std::tm parts {};
    localtime_r(&modified, &parts);
    const bool recent = modified > now - kSixMonths && modified <= now;
    char text[32];
    if (recent)
        std::snprintf(text, sizeof text, "%s %2d %02d:%02d", kMonths[parts.tm_mon], parts.tm_mday, parts.tm_hour,
                      parts.tm_min);
    else
        std::snprintf(text, sizeof text, "%s %2d %5d", kMonths[parts.tm_mon], parts.tm_mday, parts.tm_year + 1900);
    return text;
}

std::optional<std::vector<std::string>> DirectoryLister::list(const std::string& path) const
{
    const UniqueFd base = m_jail.openDirectory(path);
    if (!base.isValid())
        return std::nullopt;
    const int readable = ::openat(base.get(), ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (readable < 0)
        return std::nullopt;
    DIR* directory = ::fdopendir(readable);
    if (!directory) {
        ::close(readable);
        return std::nullopt;
    }
    const int dirFd = ::dirfd(directory);

    std::vector<Row> rows;
    while (const dirent* item = ::readdir(directory)) {
        Row row;
        row.name = item->d_name;
        if (row.name == "." || row.name == "..")
            continue;
        if (::fstatat(dirFd, row.name.c_str(), &row.status, AT_SYMLINK_NOFOLLOW) != 0)
            continue;
        row.type = typeCharacter(row.status.st_mode);
        if (row.type == 'l') {
            const auto target = m_jail.resolve(RootJail::join(path, row.name));
            if (target && S_ISDIR(target->status.st_mode))
                row.type = 'D';
            row.name += " -> " + readLink(dirFd, row.name);
        }
        if (!m_encoding.canCarry(row.name)) {
            m_log.note("left out of the listing of " + path + ", a name the reply cannot carry:", row.name);
            continue;
        }
        rows.push_back(std::move(row));
    }
    ::closedir(directory);
    std::sort(rows.begin(), rows.end(), [](const Row& a, const Row& b) { return a.name < b.name; });

    NameCache names(m_encoding);
    struct Columns
    {
        std::string links, owner, group, size;
    };
    std::vector<Columns> columns;
    columns.reserve(rows.size());
    size_t linksWidth = 0, ownerWidth = 0, groupWidth = 0, sizeWidth = 0;
    for (const Row& row : rows) {
        Columns c { std::to_string(row.status.st_nlink), names.owner(row.status.st_uid), names.group(row.status.st_gid),
                    std::to_string(static_cast<std::uint64_t>(row.status.st_size)) };
        linksWidth = std::max(linksWidth, c.links.size());
        ownerWidth = std::max(ownerWidth, c.owner.size());
        groupWidth = std::max(groupWidth, c.group.size());
        sizeWidth = std::max(sizeWidth, c.size.size());
        columns.push_back(std::move(c));
    }

    const std::time_t now = std::time(nullptr);
    std::vector<std::string> lines;
    lines.reserve(rows.size());
    for (size_t i = 0; i < rows.size(); ++i) {
        const Row& row = rows[i];
        const Columns& c = columns[i];
        lines.push_back(row.type + permissions(row.status.st_mode) + ' ' + padLeft(c.links, linksWidth) + ' '
                        + padRight(c.owner, ownerWidth) + ' ' + padRight(c.group, groupWidth) + ' '
                        + padLeft(c.size, sizeWidth) + ' ' + formatDate(row.status.st_mtime, now) + ' ' + row.name);
    }
    return lines;
}
