#include "protocol/ContentDecoder.h"

#include <zlib.h>

namespace {

constexpr int kGzipWindow = 16 + MAX_WBITS;
constexpr int kZlibWindow = MAX_WBITS;
constexpr int kRawWindow = -MAX_WBITS;

// RFC 1950: compression method 8 and a check value that makes the first two bytes divisible by 31.
bool startsWithZlibHeader(QByteArrayView bytes)
{
    const auto cmf = static_cast<unsigned char>(bytes[0]);
    const auto flg = static_cast<unsigned char>(bytes[1]);
    return (cmf & 0x0F) == 8 && (cmf * 256 + flg) % 31 == 0;
}

} // namespace

ContentDecoder::ContentDecoder(const QByteArray& contentEncoding)
{
    const QByteArray encoding = contentEncoding.trimmed().toLower();
    if (encoding == "gzip" || encoding == "x-gzip") {
        m_kind = Kind::Gzip;
        m_failed = !start(kGzipWindow);
    } else if (encoding == "deflate") {
        m_kind = Kind::Deflate;
    }
}

ContentDecoder::~ContentDecoder()
{
    if (m_stream)
        inflateEnd(m_stream.get());
}

bool ContentDecoder::start(int windowBits)
{
    m_stream = std::make_unique<z_stream_s>();
    if (inflateInit2(m_stream.get(), windowBits) == Z_OK)
        return true;
    m_stream.reset();
    return false;
}

bool ContentDecoder::feed(QByteArrayView piece, QByteArray& out)
{
    if (m_failed)
        return false;
    if (m_kind == Kind::Identity) {
        out.append(piece);
        return true;
    }
    if (!m_stream) {
        // "deflate" is meant to be zlib-wrapped, but some servers send a raw stream.
        m_pending.append(piece);
        if (m_pending.size() < 2)
            return true;
        if (!start(startsWithZlibHeader(m_pending) ? kZlibWindow : kRawWindow)) {
            m_failed = true;
            return false;
        }
        const QByteArray first = std::exchange(m_pending, QByteArray());
        m_failed = !inflateInto(first, out);
        return !m_failed;
    }
    m_failed = !inflateInto(piece, out);
    return !m_failed;
}

bool ContentDecoder::inflateInto(QByteArrayView piece, QByteArray& out)
{
    // Bytes after the end of the compressed stream are ignored.
    if (m_ended || piece.isEmpty())
        return true;
    m_stream->next_in = reinterpret_cast<Bytef*>(const_cast<char*>(piece.data()));
    m_stream->avail_in = static_cast<uInt>(piece.size());
    char buffer[64 * 1024];
    do {
        m_stream->next_out = reinterpret_cast<Bytef*>(buffer);
        m_stream->avail_out = sizeof buffer;
        const int status = inflate(m_stream.get(), Z_NO_FLUSH);
        if (status != Z_OK && status != Z_STREAM_END && status != Z_BUF_ERROR)
            return false;
        out.append(buffer, static_cast<qsizetype>(sizeof buffer - m_stream->avail_out));
        if (status == Z_STREAM_END) {
            m_ended = true;
            return true;
        }
    } while (m_stream->avail_in > 0 || m_stream->avail_out == 0);
    return true;
}

bool ContentDecoder::finish() const
{
    return !m_failed && (m_kind == Kind::Identity || m_ended);
}
