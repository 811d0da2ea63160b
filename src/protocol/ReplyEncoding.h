#pragma once

#include <QByteArrayView>
#include <QStringDecoder>

// The character set a reply body is read in, chosen from the charset its Content-Type names.
enum class ReplyEncoding { Utf8, ShiftJis, EucJp };

// Maps the charset parameter of a Content-Type header value; anything unknown, or none, is UTF-8.
ReplyEncoding findEncodeString(QByteArrayView contentType);
ReplyEncoding encodingForCharset(QByteArrayView charsetName);
QStringDecoder decoderFor(ReplyEncoding encoding);
