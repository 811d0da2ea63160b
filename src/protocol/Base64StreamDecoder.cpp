#include "protocol/Base64StreamDecoder.h"

#include "document/Base64.h"
#include "protocol/ContentSink.h"

Base64StreamDecoder::Base64StreamDecoder(ContentSink& sink)
    : m_sink(sink)
{ }

bool Base64StreamDecoder::feed(QByteArrayView text)
{
    if (m_failed || text.isEmpty())
        return !m_failed;
    m_length += text.size();
    m_pending.append(text);
    // Keep the last full group (and any partial one) back: it may be the final group.
    const qsizetype keep = m_pending.size() % 4 == 0 ? 4 : m_pending.size() % 4;
    const qsizetype ready = m_pending.size() - keep;
    if (ready <= 0)
        return true;
    // Whole groups that are certainly not the last decode unchecked, as in Base64::decode.
    m_out.clear();
    Base64::decodeGroupsInto(QByteArrayView(m_pending).first(ready), m_out);
    m_pending.remove(0, ready);
    m_failed = !m_sink.append(m_out);
    return !m_failed;
}

bool Base64StreamDecoder::finish()
{
    if (m_failed || m_length % 4 != 0)
        return false;
    if (m_pending.isEmpty())
        return true;
    const auto last = Base64::decode(m_pending);
    return last && m_sink.append(*last);
}
