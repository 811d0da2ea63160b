#pragma once

#include <QByteArray>
#include <QFile>
#include <QIODevice>

// The body of a file upload read straight from the file: the envelope before it, the file's
// bytes, the envelope after it. Its size is known up front, so the request carries a length.
class UploadBodyDevice final : public QIODevice
{
public:
    UploadBodyDevice(QByteArray prefix, const QString& filePath, QByteArray suffix);

    // Opens the file as well; a file that cannot be read is sent empty.
    bool open(OpenMode mode) override;
    bool isSequential() const override { return false; }
    qint64 size() const override;

protected:
    qint64 readData(char* data, qint64 maxSize) override;
    qint64 writeData(const char*, qint64) override { return -1; }

private:
    QByteArray m_prefix;
    QFile m_file;
    qint64 m_fileSize = 0;
    QByteArray m_suffix;
};
