#pragma once

#include <QByteArray>

#include <memory>

struct z_stream_s;

// Undoes a "gzip" or "deflate" content encoding as the body arrives. The request announces both
// encodings itself, so the HTTP layer leaves the body as the server sent it.
class ContentDecoder final
{
public:
    // contentEncoding is the reply's Content-Encoding header; anything but gzip, x-gzip or
    // deflate passes the bytes through unchanged.
    explicit ContentDecoder(const QByteArray& contentEncoding);
    ~ContentDecoder();
    Q_DISABLE_COPY_MOVE(ContentDecoder)

    // Appends the decoded form of the next piece of the body to out; false once the body has
    // shown that it is not validly encoded.
    bool feed(QByteArrayView piece, QByteArray& out);
    // True when the encoded stream ended properly (always true for an unencoded body).
    bool finish() const;

private:
    enum class Kind { Identity, Gzip, Deflate };

    bool start(int windowBits);
    bool inflateInto(QByteArrayView piece, QByteArray& out);

    Kind m_kind = Kind::Identity;
    std::unique_ptr<z_stream_s> m_stream;
    QByteArray m_pending; // the first byte of a deflate body, until its wrapper can be told
    bool m_ended = false;
    bool m_failed = false;
};
