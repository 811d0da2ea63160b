#pragma once

#include "protocol/ReplyEncoding.h"
#include "protocol/XmlResponseScanner.h"

#include <QByteArray>

#include <memory>
#include <optional>

class Base64StreamDecoder;
class ContentSink;

// Reads the reply to "RETR" as it arrives: the items before the blocks are scanned as usual, then
// each retr block's Base64 text is decoded straight into the sink, so that a file never has to
// be held whole. A login or command that failed delivers nothing; a block whose text is not a
// multiple of four long is taken back out of the sink. A reply that ends inside a block was cut
// short (a server whose body ends with the connection died on the way): like any reply cut short
// it fails the login test, and nothing of it stays in the sink.
class RetrReplyReader
{
public:
    explicit RetrReplyReader(ContentSink& sink);
    ~RetrReplyReader();
    Q_DISABLE_COPY_MOVE(RetrReplyReader)

    void setEncoding(ReplyEncoding encoding) { m_encoding = encoding; }
    // The next bytes of the reply body; false once the sink failed.
    bool feed(QByteArrayView bytes);
    // The end of the reply; returns the scan's status.
    XmlResponseScanner::Status finish();
    // The scan of the items before the blocks (after finish).
    const XmlResponseScanner* scanner() const { return m_scanner ? &*m_scanner : nullptr; }
    bool sinkFailed() const { return m_sinkFailed; }

private:
    // The list states only follow where the list blocks of a reply echoed as "CONN" or "LIST"
    // end, so that one cut inside them fails as the whole-reply scan fails it.
    enum class State { Header, SeekBlock, InBlock, SeekList, InListPath, InList, Done };

    void scanHeader(qsizetype end);
    void process(bool atEnd);
    void startBlock();
    void endBlock();
    // The reply ended inside a block.
    void cutShort();
    // Drops the buffer up to the end of needle and returns true, or keeps only what could be the
    // start of a split needle and returns false.
    bool skipPast(QByteArrayView needle);

    ContentSink& m_sink;
    ReplyEncoding m_encoding = ReplyEncoding::Utf8;
    State m_state = State::Header;
    QByteArray m_buffer; // bytes received and not yet consumed
    std::optional<XmlResponseScanner> m_scanner;
    XmlResponseScanner::Status m_status = XmlResponseScanner::Status::LoginFailed;
    qsizetype m_blocksLeft = 0;
    qint64 m_contentStart = 0; // the sink's size before the first block
    qint64 m_blockStart = 0;
    std::unique_ptr<Base64StreamDecoder> m_decoder;
    bool m_sinkFailed = false;
};
