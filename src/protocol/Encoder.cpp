#include "protocol/Encoder.h"

#include <array>
#include <cstring>
#include <utility>

namespace {

constexpr std::array<std::array<unsigned char, 3>, 2> g_bad3 { { { 0xEF, 0xBD, 0x9E }, { 0xEF, 0xBC, 0x8D } } };
constexpr std::array<std::array<unsigned char, 3>, 2> g_better3 { { { 0xE3, 0x80, 0x9C }, { 0xE3, 0x83, 0xBC } } };

constexpr std::array<std::pair<QStringView, QStringView>, 4> g_conv { {
    { u"&", u"&amp;" },
    { u"<", u"&lt;" },
    { u">", u"&gt;" },
    { u"\"", u"&quot;" },
} };

constexpr char kHexDigits[] = "0123456789ABCDEF";

void appendEscaped(QByteArray& out, unsigned char byte)
{
    out += '%';
    out += kHexDigits[byte >> 4];
    out += kHexDigits[byte & 0x0F];
}

qsizetype sequenceLength(unsigned char lead)
{
    if (lead <= 0xDF)
        return 2;
    if (lead <= 0xEF)
        return 3;
    if (lead <= 0xF7)
        return 4;
    if (lead <= 0xFB)
        return 5;
    return 6;
}

} // namespace

QString Encoder::encodeHttpString(const QString& text)
{
    return utf8PercentEscaping(text, kFormValueEscapes);
}

QString Encoder::utf8PercentEscaping(const QString& text, const char* those)
{
    const QByteArray utf8 = text.toUtf8();
    const auto* bytes = reinterpret_cast<const unsigned char*>(utf8.constData());
    const qsizetype n = utf8.size();
    QByteArray out;
    out.reserve(n * 3);
    qsizetype i = 0;
    while (i < n) {
        const unsigned char byte = bytes[i];
        if (byte < 0x80) {
            if (byte != 0 && std::strchr(those, byte))
                appendEscaped(out, byte);
            else
                out += char(byte);
            ++i;
            continue;
        }
        const qsizetype length = std::min(sequenceLength(byte), n - i);
        const unsigned char* sequence = bytes + i;
        if (length == 3) {
            for (std::size_t row = 0; row < g_bad3.size(); ++row) {
                if (std::memcmp(sequence, g_bad3[row].data(), 3) == 0) {
                    sequence = g_better3[row].data();
                    break;
                }
            }
        }
        for (qsizetype k = 0; k < length; ++k)
            appendEscaped(out, sequence[k]);
        i += length;
    }
    return QString::fromLatin1(out);
}

QString Encoder::encodeXmlString(const QString& text)
{
    QString out = text;
    for (const auto& [plain, escaped] : g_conv)
        out.replace(plain.toString(), escaped.toString());
    return out;
}

QString Encoder::decodeXmlString(const QString& text)
{
    QString out = text;
    for (auto row = g_conv.rbegin(); row != g_conv.rend(); ++row)
        out.replace(row->second.toString(), row->first.toString());
    return out;
}
