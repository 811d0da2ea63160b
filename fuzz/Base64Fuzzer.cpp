// Base64 on any bytes: decoding follows its length rule, encoding and decoding round-trip, and the
// streaming decoder fed in pieces gives exactly what Base64::decode gives for the whole text.

#include "FuzzCheck.h"

#include "document/Base64.h"
#include "protocol/Base64StreamDecoder.h"
#include "protocol/ContentSink.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    // The first byte picks the piece sizes, the rest is the text.
    unsigned seed = data[0];
    const QByteArrayView text(reinterpret_cast<const char*>(data) + 1, qsizetype(size) - 1);

    const auto decoded = Base64::decode(text);
    FUZZ_CHECK(decoded.has_value() == (text.size() % 4 == 0));
    if (decoded)
        FUZZ_CHECK(decoded->size() <= text.size() / 4 * 3);

    const QByteArray encoded = Base64::encode(text);
    FUZZ_CHECK(encoded.size() == (text.size() + 2) / 3 * 4);
    const auto back = Base64::decode(encoded);
    FUZZ_CHECK(back && *back == text);

    QByteArray streamed;
    ByteArraySink sink(streamed);
    Base64StreamDecoder decoder(sink);
    qsizetype at = 0;
    while (at < text.size()) {
        const qsizetype piece = std::min<qsizetype>(text.size() - at, 1 + seed % 13);
        seed = seed * 1103515245u + 12345u;
        FUZZ_CHECK(decoder.feed(text.sliced(at, piece)));
        at += piece;
    }
    const bool whole = decoder.finish();
    FUZZ_CHECK(whole == decoded.has_value());
    if (decoded)
        FUZZ_CHECK(streamed == *decoded);
    return 0;
}
