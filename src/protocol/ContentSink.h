#pragma once

#include <QByteArray>
#include <QByteArrayView>

class QFileDevice;

// Where the bytes of a retrieved file go as they arrive: a buffer in memory or a file.
class ContentSink
{
public:
    virtual ~ContentSink() = default;
    virtual bool append(QByteArrayView bytes) = 0;
    virtual qint64 size() const = 0;
    // Drops everything after the first size bytes (a block that turned out invalid, a failure).
    virtual bool truncate(qint64 size) = 0;
};

class ByteArraySink final : public ContentSink
{
public:
    explicit ByteArraySink(QByteArray& bytes)
        : m_bytes(bytes)
    { }
    bool append(QByteArrayView bytes) override;
    qint64 size() const override { return m_bytes.size(); }
    bool truncate(qint64 size) override;

private:
    QByteArray& m_bytes;
};

// Writes into an open file, which it does not own.
class FileSink final : public ContentSink
{
public:
    explicit FileSink(QFileDevice& file)
        : m_file(file)
    { }
    bool append(QByteArrayView bytes) override;
    qint64 size() const override;
    bool truncate(qint64 size) override;
    // A write fell short (a full disk); kept, since moving in the file clears the file's error.
    bool hasFailed() const { return m_failed; }

private:
    QFileDevice& m_file;
    bool m_failed = false;
};
