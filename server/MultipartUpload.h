#pragma once

#include "ProtocolRequest.h"

#include <cstdint>
#include <memory>
#include <string>

class CommandHandler;
class Credentials;
class UploadFile;

// Receives a multipart/form-data body part by part as it streams in. Text parts fill the request's
// fields; the part named "file" (STOR) is checked when its header arrives, with the fields before
// it: login, directory and name. It then streams into a temporary file beside the target, or is
// read and dropped when the command cannot succeed, so that the client still gets a reply.
class MultipartUpload
{
public:
    enum class Result { NoFile, LoginFailed, CommandFailed, Stored };

    MultipartUpload(const Credentials& credentials, const CommandHandler& commands, std::size_t maxFieldBytes);
    ~MultipartUpload();

    // Callbacks for the multipart reader; false stops reading as a bad request.
    bool beginPart(const std::string& name, const std::string& fileName);
    bool receive(const char* data, std::size_t length);

    // After the whole body arrived: puts a received file in place. Call only when the reader
    // reported the body complete, closing boundary included.
    Result finish();

    const ProtocolRequest& request() const { return m_request; }
    const std::string& currentDir() const { return m_currentDir; }
    std::uint64_t fileBytes() const { return m_fileBytes; }

private:
    enum class Part { None, Field, File, Dropped };

    const Credentials& m_credentials;
    const CommandHandler& m_commands;
    std::size_t m_maxFieldBytes;
    std::size_t m_fieldBytes = 0;

    ProtocolRequest m_request;
    Part m_part = Part::None;
    std::string m_fieldName;
    std::string m_fieldValue;
    bool m_sawFile = false;
    Result m_result = Result::NoFile;
    std::unique_ptr<UploadFile> m_upload;
    std::string m_currentDir;
    std::uint64_t m_fileBytes = 0;
};
