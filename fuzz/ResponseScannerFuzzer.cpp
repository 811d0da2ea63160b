// Replies from a server, read by the response scanner in every reply encoding: whatever the text,
// the scan ends with one of its three outcomes, and only a reply that was scanned to the end
// delivers listings or file bytes.

#include "FuzzCheck.h"

#include "protocol/ReplyEncoding.h"
#include "protocol/XmlResponseScanner.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    // The first byte picks the encoding the reply is read in.
    const ReplyEncoding encoding = data[0] % 3 == 0 ? ReplyEncoding::Utf8
        : data[0] % 3 == 1                          ? ReplyEncoding::ShiftJis
                                                    : ReplyEncoding::EucJp;
    const QByteArrayView body(reinterpret_cast<const char*>(data) + 1, qsizetype(size) - 1);
    QStringDecoder decoder = decoderFor(encoding);
    const QString text = decoder.decode(body);

    QByteArray content;
    XmlResponseScanner scanner(text, &content);
    const XmlResponseScanner::Status status = scanner.scan();
    if (status != XmlResponseScanner::Status::Done) {
        FUZZ_CHECK(content.isEmpty());
        FUZZ_CHECK(scanner.listBlocks().isEmpty());
        return 0;
    }
    const bool lists = scanner.command() == u"CONN" || scanner.command() == u"LIST";
    FUZZ_CHECK(lists || scanner.listBlocks().isEmpty());
    FUZZ_CHECK(scanner.command() == u"RETR" || content.isEmpty());
    FUZZ_CHECK(scanner.listBlocks().size() <= std::max<qsizetype>(0, scanner.resultCount()));
    // Decoded Base64 is never longer than three quarters of the reply text (in UTF-8).
    FUZZ_CHECK(content.size() <= text.toUtf8().size() * 3 / 4);
    for (const XmlResponseScanner::ListBlock& block : scanner.listBlocks()) {
        FUZZ_CHECK(block.complete == (scanner.command() == u"CONN"));
        for (const QString& line : block.lines)
            FUZZ_CHECK(!line.isEmpty());
    }
    return 0;
}
