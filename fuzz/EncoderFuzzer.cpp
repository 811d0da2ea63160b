// Percent escaping of form values and the XML escapes on any text: the escaped value is ASCII,
// carries no reserved character bare, and (for a text without "%", which passes unescaped)
// unescapes to the UTF-8 of the text with the two Japanese substitutions made. The XML escapes
// round-trip.

#include "FuzzCheck.h"

#include "protocol/Encoder.h"

#include <cstdint>
#include <cstring>

namespace {

int hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size)
{
    // Also texts that are not valid UTF-16 (lone surrogates): read the bytes as UTF-16 units.
    const bool asUtf16 = size > 0 && data[0] & 1;
    const QString text = asUtf16 ? QString(reinterpret_cast<const QChar*>(data + 1), qsizetype((size - 1) / 2))
                                 : QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));

    const QString escaped = Encoder::encodeHttpString(text);
    const QByteArray ascii = escaped.toLatin1();
    FUZZ_CHECK(QString::fromLatin1(ascii) == escaped);
    QByteArray unescaped;
    for (qsizetype i = 0; i < ascii.size(); ++i) {
        const unsigned char c = ascii.at(i);
        FUZZ_CHECK(c < 0x80);
        FUZZ_CHECK(!std::strchr(Encoder::kReservedCharacters, c) || c == 0);
        if (c == '%' && i + 2 < ascii.size() && hexValue(ascii.at(i + 1)) >= 0 && hexValue(ascii.at(i + 2)) >= 0) {
            unescaped += char(hexValue(ascii.at(i + 1)) * 16 + hexValue(ascii.at(i + 2)));
            i += 2;
        } else {
            unescaped += char(c);
        }
    }
    if (!text.contains(u'%')) {
        QString substituted = text;
        substituted.replace(QChar(0xFF5E), QChar(0x301C)).replace(QChar(0xFF0D), QChar(0x30FC));
        FUZZ_CHECK(unescaped == substituted.toUtf8());
    }

    FUZZ_CHECK(Encoder::decodeXmlString(Encoder::encodeXmlString(text)) == text);
    return 0;
}
