#include "CommandHandler.h"

#include "DirectoryLister.h"
#include "ReplyEncoding.h"
#include "RootJail.h"
#include "UploadFile.h"

#include <cerrno>
#include <cstdio>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::optional<mode_t> parseMode(const std::string& text)
{
    if (text.size() != 3)
        return std::nullopt;
    mode_t mode = 0;
    for (const char digit : text) {
        if (digit < '0' || digit > '7')
            return std::nullopt;
        mode = mode * 8 + static_cast<mode_t>(digit - '0');
    }
    return mode;
}

} // namespace

CommandHandler::CommandHandler(const RootJail& jail, std::string startDir, const ReplyEncoding& encoding,
                               const DirectoryLister& lister)
    : m_jail(jail)
    , m_startDir(std::move(startDir))
    , m_encoding(encoding)
    , m_lister(lister)
{ }

std::optional<std::string> CommandHandler::directory(const ProtocolRequest& request) const
{
    if (!request.dir)
        return std::nullopt;
    auto dir = RootJail::normalize(*request.dir, m_startDir);
    if (!dir || !m_encoding.canCarry(*dir))
        return std::nullopt;
    return dir;
}

bool CommandHandler::isCreatableName(const std::string& name) const
{
    return RootJail::isPlainName(name) && m_encoding.canCarry(name);
}

CommandHandler::Outcome CommandHandler::run(const ProtocolRequest& request) const
{
    const std::string command = request.cmd.value_or(std::string());
    if (command == "CONN")
        return connect();

    Outcome outcome;
    const auto dir = directory(request);
    if (!dir)
        return outcome;
    const std::string param0 = request.param0.value_or(std::string());
    const std::string param1 = request.param1.value_or(std::string());
    bool done = false;
    if (command == "LIST")
        done = list(*dir, outcome);
    else if (command == "RETR")
        done = retrieve(*dir, param0, outcome);
    else if (command == "MKD")
        done = makeDirectory(*dir, param0);
    else if (command == "RM")
        done = remove(*dir, param0, false);
    else if (command == "RMD")
        done = remove(*dir, param0, true);
    else if (command == "CHMOD")
        done = changeMode(*dir, param0, param1);
    else if (command == "REN")
        done = rename(*dir, param0, param1);
    if (done) {
        outcome.succeeded = true;
        outcome.currentDir = *dir;
    }
    return outcome;
}

CommandHandler::Outcome CommandHandler::connect() const
{
    // The client's tree accepts lines only for directories it already knows, so the listings go
    // from the root down to the starting directory.
    Outcome outcome;
    std::string path = "/";
    if (!list(path, outcome))
        return outcome;
    size_t start = 1;
    while (start < m_startDir.size()) {
        size_t end = m_startDir.find('/', start);
        if (end == std::string::npos)
            end = m_startDir.size();
        path = m_startDir.substr(0, end);
        if (!list(path, outcome))
            return outcome;
        start = end + 1;
    }
    outcome.succeeded = true;
    outcome.currentDir = m_startDir;
    return outcome;
}

bool CommandHandler::list(const std::string& dir, Outcome& outcome) const
{
    auto lines = m_lister.list(dir);
    if (!lines)
        return false;
    outcome.lists.push_back({ dir, std::move(*lines) });
    return true;
}

bool CommandHandler::retrieve(const std::string& dir, const std::string& name, Outcome& outcome) const
{
    if (!RootJail::isPlainName(name))
        return false;
    const auto entry = m_jail.resolve(RootJail::join(dir, name));
    if (!entry || !S_ISREG(entry->status.st_mode))
        return false;
    // O_NONBLOCK keeps a FIFO swapped in since the check from stalling the open.
    UniqueFd file(::openat(entry->parent.get(), entry->name.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
    struct stat status;
    if (!file.isValid() || ::fstat(file.get(), &status) != 0 || !S_ISREG(status.st_mode))
        return false;
    ::fcntl(file.get(), F_SETFL, 0);
    outcome.retrFile = std::move(file);
    return true;
}

bool CommandHandler::makeDirectory(const std::string& dir, const std::string& name) const
{
    if (!isCreatableName(name))
        return false;
    const UniqueFd dirFd = m_jail.openDirectory(dir);
    return dirFd.isValid() && ::mkdirat(dirFd.get(), name.c_str(), 0777) == 0;
}

bool CommandHandler::remove(const std::string& dir, const std::string& name, bool directory) const
{
    if (!RootJail::isPlainName(name))
        return false;
    const UniqueFd dirFd = m_jail.openDirectory(dir);
    struct stat status;
    if (!dirFd.isValid() || ::fstatat(dirFd.get(), name.c_str(), &status, AT_SYMLINK_NOFOLLOW) != 0)
        return false;
    // RM takes files and links (a link to a directory included), RMD only real, empty directories.
    if (S_ISDIR(status.st_mode) != directory)
        return false;
    return ::unlinkat(dirFd.get(), name.c_str(), directory ? AT_REMOVEDIR : 0) == 0;
}

bool CommandHandler::changeMode(const std::string& dir, const std::string& name, const std::string& mode) const
{
    const auto bits = parseMode(mode);
    if (!bits || !RootJail::isPlainName(name))
        return false;
    // A link is followed to its target, but only inside the root; AT_SYMLINK_NOFOLLOW refuses an
    // entry that became a link since it was resolved.
    const auto entry = m_jail.resolve(RootJail::join(dir, name));
    return entry && ::fchmodat(entry->parent.get(), entry->name.c_str(), *bits, AT_SYMLINK_NOFOLLOW) == 0;
}

bool CommandHandler::rename(const std::string& dir, const std::string& from, const std::string& to) const
{
    if (!RootJail::isPlainName(from) || !isCreatableName(to))
        return false;
    const UniqueFd dirFd = m_jail.openDirectory(dir);
    if (!dirFd.isValid())
        return false;
    if (::renameat2(dirFd.get(), from.c_str(), dirFd.get(), to.c_str(), RENAME_NOREPLACE) == 0)
        return true;
    if (errno != EINVAL)
        return false;
    // A file system without RENAME_NOREPLACE: check first, at the cost of a small race.
    struct stat existing;
    if (::fstatat(dirFd.get(), to.c_str(), &existing, AT_SYMLINK_NOFOLLOW) == 0 || errno != ENOENT)
        return false;
    return ::renameat(dirFd.get(), from.c_str(), dirFd.get(), to.c_str()) == 0;
}

std::unique_ptr<UploadFile> CommandHandler::beginUpload(const ProtocolRequest& request, const std::string& fileName,
                                                        std::string& currentDir) const
{
    const auto dir = directory(request);
    if (!dir || !isCreatableName(fileName))
        return nullptr;
    UniqueFd dirFd = m_jail.openDirectory(*dir);
    if (!dirFd.isValid())
        return nullptr;
    struct stat existing;
    if (::fstatat(dirFd.get(), fileName.c_str(), &existing, AT_SYMLINK_NOFOLLOW) == 0) {
        if (S_ISDIR(existing.st_mode))
            return nullptr;
        // A link is replaced by the upload, never written through; one that leads to a directory
        // inside the root stands for that directory, so the upload fails like it would on it.
        if (S_ISLNK(existing.st_mode)) {
            const auto target = m_jail.resolve(RootJail::join(*dir, fileName));
            if (target && S_ISDIR(target->status.st_mode))
                return nullptr;
        }
    }
    auto upload = UploadFile::create(std::move(dirFd), fileName);
    if (upload)
        currentDir = *dir;
    return upload;
}
