#include "support/FaultReplies.h"

#include <QRandomGenerator>

namespace FaultReplies {

namespace {

QByteArray header(const char* command, int count)
{
    return "<login_result>TRUE</login_result><command>" + QByteArray(command)
        + "</command><command_result>TRUE</command_result><current_dir>/</current_dir><result_count>"
        + QByteArray::number(count) + "</result_count>";
}

} // namespace

QByteArray fileLine(const QByteArray& name, qint64 size)
{
    return "-rw-r--r-- 1 u g " + QByteArray::number(size) + " Jan  1  2020 " + name;
}

QByteArray directoryLine(const QByteArray& name)
{
    return "drwxr-xr-x 2 u g 4096 Jan  1  2020 " + name;
}

QByteArray listReply(const char* command, const QByteArray& path, const QList<QByteArray>& lines)
{
    QByteArray body = header(command, 1) + "<list path=\"" + path + "\">";
    for (const QByteArray& line : lines)
        body += "<path>" + line + "</path>";
    return body + "</list>";
}

QByteArray retrReply(const QByteArray& content)
{
    return header("RETR", 1) + "<retr>" + content.toBase64() + "\n</retr>";
}

QByteArray doneReply(const char* command)
{
    return header(command, 0);
}

QByteArray fileContent(qsizetype size)
{
    QByteArray bytes(size, Qt::Uninitialized);
    for (qsizetype i = 0; i < size; ++i)
        bytes[i] = char((i * 7 + i / 251) & 0xff);
    return bytes;
}

qsizetype headSize(const QByteArray& response)
{
    return response.indexOf("\r\n\r\n") + 4;
}

QByteArray garbage()
{
    QByteArray bytes(50 * 1024 * 1024, Qt::Uninitialized);
    QRandomGenerator generator(20240601);
    generator.fillRange(reinterpret_cast<quint32*>(bytes.data()), bytes.size() / qsizetype(sizeof(quint32)));
    return bytes;
}

} // namespace FaultReplies
