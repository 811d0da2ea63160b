// Differential: the streaming reader of "RETR" replies, fed the reply in pieces of varying size,
// must end with the same status and the same file bytes as scanning the whole reply at once and
// decoding its retr blocks with Base64::decode. The bytes are compared for replies that are valid
// UTF-8: in one that is not, a block holds bytes outside the Base64 alphabet that the whole-reply
// scan sees as replacement characters, and both give meaningless bytes for it.

#include "FuzzCheck.h"

#include "protocol/ContentSink.h"
#include "protocol/RetrReplyReader.h"
#include "protocol/XmlResponseScanner.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size)
{
    if (size < 2)
        return 0;
    // The first two bytes pick the piece sizes, the rest is the reply.
    const unsigned pieceSeed = data[0] | unsigned(data[1]) << 8;
    const QByteArrayView reply(reinterpret_cast<const char*>(data) + 2, qsizetype(size) - 2);

    QStringDecoder decoder = decoderFor(ReplyEncoding::Utf8);
    QString text = decoder.decode(reply);
    // A stateless decoder also counts a sequence cut off at the end as an error.
    QStringDecoder validator(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    [[maybe_unused]] const QString checked = validator.decode(reply); // the conversion runs here
    const bool validText = !validator.hasError();
    QByteArray whole;
    XmlResponseScanner scanner(std::move(text), &whole);
    const XmlResponseScanner::Status expected = scanner.scan();
    if (expected != XmlResponseScanner::Status::Done)
        whole.clear();

    QByteArray streamed;
    ByteArraySink sink(streamed);
    RetrReplyReader reader(sink);
    qsizetype at = 0;
    unsigned seed = pieceSeed;
    while (at < reply.size()) {
        const qsizetype piece = std::min<qsizetype>(reply.size() - at, 1 + seed % 97);
        seed = seed * 1103515245u + 12345u;
        FUZZ_CHECK(reader.feed(reply.sliced(at, piece)));
        at += piece;
    }
    const XmlResponseScanner::Status status = reader.finish();
    FUZZ_CHECK(status == expected);
    if (validText)
        FUZZ_CHECK(streamed == whole);
    return 0;
}
