#include "UploadFile.h"

#include <cerrno>
#include <cstdio>

#include <fcntl.h>
#include <openssl/rand.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::string temporaryName()
{
    unsigned char random[8];
    if (RAND_bytes(random, sizeof random) != 1)
        return std::string();
    std::string name = ".plumoxa-upload-";
    for (const unsigned char byte : random) {
        char hex[3];
        std::snprintf(hex, sizeof hex, "%02x", byte);
        name += hex;
    }
    return name;
}

} // namespace

UploadFile::UploadFile(UniqueFd dirFd, UniqueFd file, std::string targetName, std::string temporaryName)
    : m_dirFd(std::move(dirFd))
    , m_file(std::move(file))
    , m_targetName(std::move(targetName))
    , m_temporaryName(std::move(temporaryName))
{ }

std::unique_ptr<UploadFile> UploadFile::create(UniqueFd dirFd, std::string targetName)
{
    for (int attempt = 0; attempt < 8; ++attempt) {
        std::string name = temporaryName();
        if (name.empty())
            return nullptr;
        UniqueFd file(::openat(dirFd.get(), name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666));
        if (file.isValid())
            return std::unique_ptr<UploadFile>(
                new UploadFile(std::move(dirFd), std::move(file), std::move(targetName), std::move(name)));
        if (errno != EEXIST)
            return nullptr;
    }
    return nullptr;
}

UploadFile::~UploadFile()
{
    if (!m_committed) {
        m_file.reset();
        ::unlinkat(m_dirFd.get(), m_temporaryName.c_str(), 0);
    }
}

bool UploadFile::write(const char* data, std::size_t length)
{
    while (length > 0) {
        const ssize_t written = ::write(m_file.get(), data, length);
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        data += written;
        length -= static_cast<std::size_t>(written);
        m_bytesWritten += static_cast<std::uint64_t>(written);
    }
    return true;
}

bool UploadFile::commit()
{
    struct stat existing;
    if (::fstatat(m_dirFd.get(), m_targetName.c_str(), &existing, AT_SYMLINK_NOFOLLOW) == 0) {
        if (S_ISDIR(existing.st_mode))
            return false;
        if (S_ISREG(existing.st_mode) && ::fchmod(m_file.get(), existing.st_mode & 0777) != 0)
            return false;
    }
    if (::fsync(m_file.get()) != 0)
        return false;
    if (::renameat(m_dirFd.get(), m_temporaryName.c_str(), m_dirFd.get(), m_targetName.c_str()) != 0)
        return false;
    m_committed = true;
    m_file.reset();
    return true;
}
