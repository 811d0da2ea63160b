#include "protocol/UploadBodyDevice.h"

#include <cstring>

UploadBodyDevice::UploadBodyDevice(QByteArray prefix, const QString& filePath, QByteArray suffix)
    : m_prefix(std::move(prefix))
    , m_file(filePath)
    , m_suffix(std::move(suffix))
{ }

bool UploadBodyDevice::open(OpenMode mode)
{
    m_fileSize = m_file.open(QIODevice::ReadOnly) ? m_file.size() : 0;
    return QIODevice::open(mode);
}

qint64 UploadBodyDevice::size() const
{
    return m_prefix.size() + m_fileSize + m_suffix.size();
}

qint64 UploadBodyDevice::readData(char* data, qint64 maxSize)
{
    qint64 position = pos();
    qint64 done = 0;
    const auto copy = [&](const QByteArray& part, qint64 offset) {
        const qint64 n = std::min<qint64>(part.size() - offset, maxSize - done);
        std::memcpy(data + done, part.constData() + offset, size_t(n));
        done += n;
        position += n;
    };
    if (position < m_prefix.size())
        copy(m_prefix, position);
    if (done < maxSize && position < m_prefix.size() + m_fileSize) {
        const qint64 offset = position - m_prefix.size();
        if (m_file.pos() != offset && !m_file.seek(offset))
            return -1;
        const qint64 n = m_file.read(data + done, std::min(maxSize - done, m_fileSize - offset));
        // A file that shrank while it was sent cannot give the length already announced.
        if (n <= 0)
            return -1;
        done += n;
        position += n;
    }
    if (done < maxSize && position >= m_prefix.size() + m_fileSize && position < size())
        copy(m_suffix, position - m_prefix.size() - m_fileSize);
    return done;
}
