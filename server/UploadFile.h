#pragma once

#include "UniqueFd.h"

#include <cstdint>
#include <memory>
#include <string>

// The temporary file an upload streams into, created beside its target in the target's
// directory. commit() puts it in the target's place in one rename; until then the target is
// untouched, and a temporary file that was not committed is removed when the object goes.
class UploadFile
{
public:
    // Creates the temporary file in the directory dirFd; null when that is not possible.
    static std::unique_ptr<UploadFile> create(UniqueFd dirFd, std::string targetName);
    ~UploadFile();
    UploadFile(const UploadFile&) = delete;
    UploadFile& operator=(const UploadFile&) = delete;

    bool write(const char* data, std::size_t length);
    // Flushes the data to disk, keeps the permission bits of a file it replaces, and renames the
    // temporary file onto the target. Fails, leaving the target as it was, when the target has
    // become a directory in the meantime.
    bool commit();

    std::uint64_t bytesWritten() const { return m_bytesWritten; }

private:
    UploadFile(UniqueFd dirFd, UniqueFd file, std::string targetName, std::string temporaryName);

    UniqueFd m_dirFd;
    UniqueFd m_file;
    std::string m_targetName;
    std::string m_temporaryName;
    std::uint64_t m_bytesWritten = 0;
    bool m_committed = false;
};
