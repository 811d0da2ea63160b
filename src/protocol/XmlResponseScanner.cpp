#include "protocol/XmlResponseScanner.h"

#include "document/Base64.h"
#include "protocol/ProtocolLog.h"
#include "util/MyUtil.h"

namespace {

constexpr QStringView kTrue = u"TRUE";
constexpr QStringView kListOpen = u"<list path=\"";
constexpr QStringView kListPathEnd = u"\">";
constexpr QStringView kListClose = u"</list>";

} // namespace

XmlResponseScanner::XmlResponseScanner(QString xmlString, QByteArray* contentReceiver)
    : m_xmlString(std::move(xmlString))
    , m_contentReceiver(contentReceiver)
{ }

QString XmlResponseScanner::scanValue(const QString& text, qsizetype& position, QStringView openTag,
                                      QStringView closeTag) const
{
    const qsizetype open = text.indexOf(openTag, position, Qt::CaseInsensitive);
    if (open < 0) {
        position = text.size();
        return {};
    }
    const qsizetype start = open + openTag.size();
    qsizetype close = text.indexOf(closeTag, start, Qt::CaseInsensitive);
    if (close < 0)
        close = text.size();
    position = close;
    // Never null, even when empty: the tag was there.
    QString value = text.mid(start, close - start);
    if (value.isNull())
        value = QLatin1StringView("");
    return value;
}

XmlResponseScanner::Status XmlResponseScanner::scan()
{
    qsizetype position = 0;
    if (!scanLoginResult(position))
        return Status::LoginFailed;
    if (!scanCommand(position))
        return Status::CommandFailed;
    scanCurrentDirectory(position);
    const qsizetype received = m_contentReceiver ? m_contentReceiver->size() : 0;
    scanResult(position);
    if (!m_cutShort)
        return Status::Done;
    // A reply cut short delivers nothing: neither the blocks before the cut nor their bytes.
    m_listBlocks.clear();
    if (m_contentReceiver)
        m_contentReceiver->truncate(received);
    return Status::LoginFailed;
}

bool XmlResponseScanner::scanLoginResult(qsizetype& position)
{
    return scanValue(m_xmlString, position, u"<login_result>", u"</login_result>") == kTrue;
}

bool XmlResponseScanner::scanCommand(qsizetype& position)
{
    m_command = scanValue(m_xmlString, position, u"<command>", u"</command>");
    return scanValue(m_xmlString, position, u"<command_result>", u"</command_result>") == kTrue;
}

void XmlResponseScanner::scanCurrentDirectory(qsizetype& position)
{
    m_currentDirectory = scanValue(m_xmlString, position, u"<current_dir>", u"</current_dir>");
}

qsizetype XmlResponseScanner::scanResult(qsizetype& position)
{
    const qsizetype count
        = MyUtil::leadingInteger(scanValue(m_xmlString, position, u"<result_count>", u"</result_count>"));
    m_resultCount = count;
    // The echoed word, not the word that was sent, decides what the blocks are.
    const bool lists = m_command == u"CONN" || m_command == u"LIST";
    const bool retrs = m_command == u"RETR";
    for (qsizetype i = 0; i < count && (lists || retrs); ++i) {
        if (!(lists ? scanListResult(position) : scanRetrResult(position)))
            break;
    }
    return count;
}

bool XmlResponseScanner::scanListResult(qsizetype& position)
{
    const qsizetype open = m_xmlString.indexOf(kListOpen, position, Qt::CaseInsensitive);
    if (open < 0) {
        position = m_xmlString.size();
        return false;
    }
    const qsizetype pathStart = open + kListOpen.size();
    qsizetype pathEnd = m_xmlString.indexOf(kListPathEnd, pathStart, Qt::CaseInsensitive);
    if (pathEnd < 0) {
        pathEnd = m_xmlString.size();
        m_cutShort = true;
    }
    ListBlock block;
    block.path = m_xmlString.mid(pathStart, pathEnd - pathStart);
    qCDebug(lcProtocol, "Processing = \"%s\"", qUtf8Printable(block.path));

    const qsizetype bodyStart = std::min(pathEnd + kListPathEnd.size(), m_xmlString.size());
    qsizetype close = m_xmlString.indexOf(kListClose, bodyStart, Qt::CaseInsensitive);
    if (close < 0) {
        close = m_xmlString.size();
        m_cutShort = true;
    }
    position = close;
    scanPath(m_xmlString.mid(bodyStart, close - bodyStart), block);
    block.complete = m_command == u"CONN";
    m_listBlocks.append(std::move(block));
    return true;
}

void XmlResponseScanner::scanPath(const QString& body, ListBlock& block) const
{
    qsizetype position = 0;
    for (;;) {
        const QString line = scanValue(body, position, u"<path>", u"</path>");
        // An empty path element ends the block.
        if (line.isEmpty())
            return;
        block.lines.append(line);
    }
}

bool XmlResponseScanner::scanRetrResult(qsizetype& position)
{
    const QString text = scanValue(m_xmlString, position, u"<retr>", u"\n</retr>");
    if (text.isNull())
        return false;
    // Only a missing end string leaves the position at the end of the text.
    if (position == m_xmlString.size()) {
        m_cutShort = true;
        return false;
    }
    if (m_contentReceiver) {
        if (const auto bytes = Base64::decode(text.toUtf8()))
            m_contentReceiver->append(*bytes);
    }
    return true;
}
