#pragma once

#include <QByteArray>
#include <QByteArrayView>

class ContentSink;

// Decodes one Base64 text that arrives in pieces, with exactly the rules of Base64::decode: every
// group but the last is taken unchecked, the last ends at its first character outside the
// alphabet, and a text whose length is not a multiple of four gives nothing at all (the caller
// drops what was written, since that is known only at the end).
class Base64StreamDecoder
{
public:
    explicit Base64StreamDecoder(ContentSink& sink);

    bool feed(QByteArrayView text);
    // Decodes the last group; false when the whole text is not a multiple of four long (or the
    // sink failed).
    bool finish();

private:
    ContentSink& m_sink;
    QByteArray m_pending; // the characters that may still turn out to be the last group
    qint64 m_length = 0;
    bool m_failed = false;
    QByteArray m_out;
};
