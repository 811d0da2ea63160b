#include "MultipartUpload.h"

#include "CommandHandler.h"
#include "Credentials.h"
#include "UploadFile.h"

MultipartUpload::MultipartUpload(const Credentials& credentials, const CommandHandler& commands,
                                 std::size_t maxFieldBytes)
    : m_credentials(credentials)
    , m_commands(commands)
    , m_maxFieldBytes(maxFieldBytes)
{ }

MultipartUpload::~MultipartUpload() = default;

bool MultipartUpload::beginPart(const std::string& name, const std::string& fileName)
{
    if (m_part == Part::Field)
        m_request.setField(m_fieldName, std::move(m_fieldValue));
    m_fieldValue.clear();

    if (name != "file") {
        m_part = Part::Field;
        m_fieldName = name;
        return true;
    }
    // One file, after the fields that say where it goes and who sends it.
    if (m_sawFile)
        return false;
    m_sawFile = true;
    if (!m_request.hasRequiredFields() || *m_request.cmd != "STOR")
        return false;
    m_part = Part::Dropped;
    if (!m_credentials.matches(*m_request.user, *m_request.password)) {
        m_result = Result::LoginFailed;
        return true;
    }
    m_upload = m_commands.beginUpload(m_request, fileName, m_currentDir);
    if (!m_upload) {
        m_result = Result::CommandFailed;
        return true;
    }
    m_part = Part::File;
    m_result = Result::Stored;
    return true;
}

bool MultipartUpload::receive(const char* data, std::size_t length)
{
    switch (m_part) {
    case Part::None:
        return true;
    case Part::Field:
        m_fieldBytes += length;
        if (m_fieldBytes > m_maxFieldBytes)
            return false;
        m_fieldValue.append(data, length);
        return true;
    case Part::File:
        if (!m_upload->write(data, length)) {
            // The disk refused (full, quota): drop the rest and fail the command.
            m_upload.reset();
            m_part = Part::Dropped;
            m_result = Result::CommandFailed;
        }
        return true;
    case Part::Dropped:
        return true;
    }
    return true;
}

MultipartUpload::Result MultipartUpload::finish()
{
    if (m_part == Part::Field)
        m_request.setField(m_fieldName, std::move(m_fieldValue));
    m_part = Part::None;
    if (m_result == Result::Stored) {
        m_fileBytes = m_upload->bytesWritten();
        if (!m_upload->commit())
            m_result = Result::CommandFailed;
        m_upload.reset();
    }
    return m_result;
}
