// Compressed reply bodies from a server: gzip, deflate (zlib-wrapped or raw) and identity, fed in
// pieces. Whatever the bytes, decoding ends without a crash, and a body that decoded without
// failure decodes to the same bytes however it was cut.

#include "FuzzCheck.h"

#include "protocol/ContentDecoder.h"

#include <cstdint>

namespace {

struct Decoded
{
    QByteArray bytes;
    bool ok = true;
    bool finished = false;
};

Decoded decode(const QByteArray& encoding, QByteArrayView body, unsigned seed)
{
    ContentDecoder decoder(encoding);
    Decoded result;
    qsizetype at = 0;
    while (at < body.size() && result.ok) {
        const qsizetype piece = std::min<qsizetype>(body.size() - at, 1 + seed % 61);
        seed = seed * 1103515245u + 12345u;
        result.ok = decoder.feed(body.sliced(at, piece), result.bytes);
        at += piece;
    }
    result.finished = result.ok && decoder.finish();
    return result;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size)
{
    if (size < 2)
        return 0;
    static const QByteArray kEncodings[] = { "gzip", "deflate", "x-gzip", "identity" };
    const QByteArray& encoding = kEncodings[data[0] % 4];
    const QByteArrayView body(reinterpret_cast<const char*>(data) + 2, qsizetype(size) - 2);

    const Decoded whole = decode(encoding, body, 0x7fffffffu);
    const Decoded pieces = decode(encoding, body, data[1]);
    if (whole.finished && pieces.finished)
        FUZZ_CHECK(whole.bytes == pieces.bytes);
    if (encoding == "identity")
        FUZZ_CHECK(whole.bytes == body && whole.finished);
    return 0;
}
