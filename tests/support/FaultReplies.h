#pragma once

#include <QByteArray>
#include <QList>

// Replies of a well-behaved server, for the fault tests to cut, slow down or replace.
namespace FaultReplies {

// A listing line of a plain file.
QByteArray fileLine(const QByteArray& name, qint64 size);
// A listing line of a directory.
QByteArray directoryLine(const QByteArray& name);
// The reply to "CONN" or "LIST" with one list block for path.
QByteArray listReply(const char* command, const QByteArray& path, const QList<QByteArray>& lines);
// The reply to "RETR" carrying content in one retr block.
QByteArray retrReply(const QByteArray& content);
// The reply to a command without blocks ("STOR", "MKD", ...).
QByteArray doneReply(const char* command);
// Bytes that are no file's content: a fixed, non-repeating pattern.
QByteArray fileContent(qsizetype size);
// The length of a response's head (status line and headers, the empty line included).
qsizetype headSize(const QByteArray& response);
// 50 MB of bytes that are neither a reply nor HTTP.
QByteArray garbage();

} // namespace FaultReplies
