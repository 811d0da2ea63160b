#include "protocol/ReplyEncoding.h"

#include <QByteArray>
#include <QList>

ReplyEncoding encodingForCharset(QByteArrayView charsetName)
{
    const QByteArray name = charsetName.toByteArray().toLower();
    if (name == "shift_jis" || name == "sjis")
        return ReplyEncoding::ShiftJis;
    if (name == "euc-jp" || name == "euc_jp")
        return ReplyEncoding::EucJp;
    return ReplyEncoding::Utf8;
}

ReplyEncoding findEncodeString(QByteArrayView contentType)
{
    const QList<QByteArray> parameters = contentType.toByteArray().split(';');
    for (qsizetype i = 1; i < parameters.size(); ++i) {
        const QByteArray parameter = parameters.at(i).trimmed();
        const qsizetype equals = parameter.indexOf('=');
        if (equals < 0 || parameter.left(equals).trimmed().toLower() != "charset")
            continue;
        QByteArray value = parameter.mid(equals + 1).trimmed();
        if (value.size() >= 2 && value.startsWith('"') && value.endsWith('"'))
            value = value.mid(1, value.size() - 2);
        return encodingForCharset(value);
    }
    return ReplyEncoding::Utf8;
}

QStringDecoder decoderFor(ReplyEncoding encoding)
{
    switch (encoding) {
    case ReplyEncoding::ShiftJis:
        return QStringDecoder("Shift_JIS");
    case ReplyEncoding::EucJp:
        return QStringDecoder("EUC-JP");
    case ReplyEncoding::Utf8:
        break;
    }
    return QStringDecoder(QStringDecoder::Utf8);
}
