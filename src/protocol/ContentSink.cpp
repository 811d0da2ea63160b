#include "protocol/ContentSink.h"

#include <QFileDevice>

bool ByteArraySink::append(QByteArrayView bytes)
{
    m_bytes.append(bytes);
    return true;
}

bool ByteArraySink::truncate(qint64 size)
{
    m_bytes.truncate(qsizetype(size));
    return true;
}

bool FileSink::append(QByteArrayView bytes)
{
    if (m_file.write(bytes.data(), bytes.size()) == bytes.size())
        return true;
    m_failed = true;
    return false;
}

qint64 FileSink::size() const
{
    return m_file.pos();
}

bool FileSink::truncate(qint64 size)
{
    return m_file.seek(size) && m_file.resize(size);
}
