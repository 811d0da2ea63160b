#pragma once

#include "protocol/PendingCommand.h"

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>

class ConnectSettings;

// One command as the HTTP request that carries it, kept as plain values so that the exact bytes
// can be checked and any HTTP layer can send it.
struct PlumoRequest
{
    using Header = QPair<QByteArray, QByteArray>;

    static constexpr char kBoundary[] = "0xKhTmLbOuNdArY";
    static constexpr char kReferer[] = "https://plumoxa.example/";

    QByteArray method;
    QString url; // the setting's URL exactly as stored
    QList<Header> headers; // in sending order
    double timeout = 0; // seconds
    QByteArray body;
    // A file upload streams: the body is bodyPrefix, the bytes of bodyFile, then bodySuffix.
    QString bodyFile;
    QByteArray bodySuffix;

    static PlumoRequest createRequest(const ConnectSettings& settings, const PendingCommand& command);
    // "user=U&password=P&dir=D&cmd=W[&param0=A[&param1=B]]", each value escaped; throws
    // PlumoException("PlumoClient", "Unknown command") for a parameter count above 2.
    static QByteArray createRequestContent(const ConnectSettings& settings, const PendingCommand& command);
    // The multipart/form-data body of "STOR", values unescaped in UTF-8, content byte for byte.
    static QByteArray createUploadRequestContent(const ConnectSettings& settings, const PendingCommand& command);
    // What comes before and after the file's bytes in that body.
    static QPair<QByteArray, QByteArray> uploadEnvelope(const ConnectSettings& settings, const PendingCommand& command,
                                                        const QByteArray& boundary);
    // kBoundary, unless the upload itself (its bytes or its file) holds "--" and that boundary: a
    // fixed boundary would then cut the file short at the server, so a variant it does not hold
    // is used.
    static QByteArray boundaryFor(const ConnectSettings& settings, const PendingCommand& command);
    static QList<Header> headersFor(const QString& commandWord, const QByteArray& boundary = kBoundary);

    static bool isUpload(const QString& commandWord) { return commandWord == u"STOR"; }
};
