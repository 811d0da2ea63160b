#include "protocol/RetrReplyReader.h"

#include "protocol/Base64StreamDecoder.h"
#include "protocol/ContentSink.h"

#include <cstring>

namespace {

// The items before the blocks, in the order the scanner reads them.
constexpr std::pair<QByteArrayView, QByteArrayView> kHeaderItems[] = {
    { "<login_result>", "</login_result>" },     { "<command>", "</command>" },
    { "<command_result>", "</command_result>" }, { "<current_dir>", "</current_dir>" },
    { "<result_count>", "</result_count>" },
};
constexpr QByteArrayView kRetrOpen = "<retr>";
constexpr QByteArrayView kRetrClose = "\n</retr>";
constexpr QByteArrayView kListOpen = "<list path=\"";
constexpr QByteArrayView kListPathEnd = "\">";
constexpr QByteArrayView kListClose = "</list>";
// Without a result count nothing follows the header; a header this long is not waited on.
constexpr qsizetype kHeaderLimit = 1 << 20;

char lowered(char c)
{
    return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c;
}

// The first place of needle in haystack, letters compared without case. The needles start with
// a character that is not a letter, so candidates are found with memchr.
qsizetype indexOfCaseless(const QByteArray& haystack, QByteArrayView needle, qsizetype from = 0)
{
    const char* begin = haystack.constData();
    const char* end = begin + haystack.size();
    for (const char* at = begin + from; at + needle.size() <= end; ++at) {
        at = static_cast<const char*>(std::memchr(at, needle.front(), size_t(end - at)));
        if (!at || at + needle.size() > end)
            return -1;
        qsizetype k = 1;
        while (k < needle.size() && lowered(at[k]) == needle.at(k))
            ++k;
        if (k == needle.size())
            return at - begin;
    }
    return -1;
}

// Where the items before the blocks end, each found from where the previous one ended as the
// scanner finds them (a stray closing tag earlier in the reply does not end them); -1 while the
// bytes so far do not hold them all.
qsizetype headerEnd(const QByteArray& buffer)
{
    qsizetype position = 0;
    for (const auto& [open, close] : kHeaderItems) {
        const qsizetype start = indexOfCaseless(buffer, open, position);
        if (start < 0)
            return -1;
        const qsizetype end = indexOfCaseless(buffer, close, start + open.size());
        if (end < 0)
            return -1;
        position = end + close.size();
    }
    return position;
}

} // namespace

RetrReplyReader::RetrReplyReader(ContentSink& sink)
    : m_sink(sink)
{ }

RetrReplyReader::~RetrReplyReader() = default;

bool RetrReplyReader::feed(QByteArrayView bytes)
{
    if (m_state == State::Done)
        return !m_sinkFailed;
    m_buffer.append(bytes);
    process(false);
    return !m_sinkFailed;
}

XmlResponseScanner::Status RetrReplyReader::finish()
{
    process(true);
    return m_status;
}

void RetrReplyReader::scanHeader(qsizetype end)
{
    QStringDecoder decoder = decoderFor(m_encoding);
    m_scanner.emplace(decoder.decode(QByteArrayView(m_buffer).first(end)), nullptr);
    m_status = m_scanner->scan();
    m_buffer.remove(0, end);
    const bool done = m_status == XmlResponseScanner::Status::Done;
    const bool delivers = done && m_scanner->command() == u"RETR";
    const bool lists = done && (m_scanner->command() == u"CONN" || m_scanner->command() == u"LIST");
    m_blocksLeft = delivers || lists ? m_scanner->resultCount() : 0;
    m_contentStart = m_sink.size();
    m_state = m_blocksLeft <= 0 ? State::Done : delivers ? State::SeekBlock : State::SeekList;
}

void RetrReplyReader::startBlock()
{
    m_blockStart = m_sink.size();
    m_decoder = std::make_unique<Base64StreamDecoder>(m_sink);
    m_state = State::InBlock;
}

void RetrReplyReader::endBlock()
{
    if (!m_decoder->finish() && !m_sink.truncate(m_blockStart))
        m_sinkFailed = true;
    m_decoder.reset();
    m_state = --m_blocksLeft > 0 ? State::SeekBlock : State::Done;
}

void RetrReplyReader::cutShort()
{
    m_decoder.reset();
    if (!m_sink.truncate(m_contentStart))
        m_sinkFailed = true;
    m_status = XmlResponseScanner::Status::LoginFailed;
    m_state = State::Done;
}

bool RetrReplyReader::skipPast(QByteArrayView needle)
{
    const qsizetype at = indexOfCaseless(m_buffer, needle);
    if (at >= 0) {
        m_buffer.remove(0, at + needle.size());
        return true;
    }
    m_buffer.remove(0, std::max<qsizetype>(0, m_buffer.size() - (needle.size() - 1)));
    return false;
}

void RetrReplyReader::process(bool atEnd)
{
    for (;;) {
        switch (m_state) {
        case State::Header: {
            const qsizetype end = headerEnd(m_buffer);
            if (end >= 0)
                scanHeader(end);
            else if (atEnd || m_buffer.size() > kHeaderLimit)
                scanHeader(m_buffer.size());
            else
                return;
            break;
        }
        case State::SeekBlock: {
            const qsizetype open = indexOfCaseless(m_buffer, kRetrOpen);
            if (open < 0) {
                if (atEnd) {
                    m_state = State::Done;
                    break;
                }
                // Keep what could be the start of a split tag.
                m_buffer.remove(0, std::max<qsizetype>(0, m_buffer.size() - (kRetrOpen.size() - 1)));
                return;
            }
            m_buffer.remove(0, open + kRetrOpen.size());
            startBlock();
            break;
        }
        case State::InBlock: {
            const qsizetype close = indexOfCaseless(m_buffer, kRetrClose);
            if (close >= 0) {
                m_sinkFailed = !m_decoder->feed(QByteArrayView(m_buffer).first(close)) || m_sinkFailed;
                m_buffer.remove(0, close + kRetrClose.size());
                endBlock();
                break;
            }
            if (atEnd) {
                cutShort();
                break;
            }
            // Everything but what could be the start of a split end tag is Base64 text.
            const qsizetype safe = m_buffer.size() - (kRetrClose.size() - 1);
            if (safe > 0) {
                m_sinkFailed = !m_decoder->feed(QByteArrayView(m_buffer).first(safe)) || m_sinkFailed;
                m_buffer.remove(0, safe);
            }
            return;
        }
        case State::SeekList:
            if (skipPast(kListOpen))
                m_state = State::InListPath;
            else if (atEnd)
                m_state = State::Done;
            else
                return;
            break;
        case State::InListPath:
        case State::InList:
            if (skipPast(m_state == State::InListPath ? kListPathEnd : kListClose))
                m_state = m_state == State::InListPath ? State::InList
                    : --m_blocksLeft > 0               ? State::SeekList
                                                       : State::Done;
            else if (atEnd)
                cutShort();
            else
                return;
            break;
        case State::Done:
            m_buffer.clear();
            return;
        }
        if (m_sinkFailed) {
            m_state = State::Done;
            m_buffer.clear();
            return;
        }
    }
}
