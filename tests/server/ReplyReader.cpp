#include "ReplyReader.h"

ReplyReader::ReplyReader(const QString& text)
    : m_text(text)
{
    m_loginResult = readValue(QStringLiteral("<login_result>"), QStringLiteral("</login_result>"));
    if (!loginSucceeded())
        return;
    m_command = readValue(QStringLiteral("<command>"), QStringLiteral("</command>"));
    m_commandResult = readValue(QStringLiteral("<command_result>"), QStringLiteral("</command_result>"));
    if (!commandSucceeded())
        return;
    m_currentDir = readValue(QStringLiteral("<current_dir>"), QStringLiteral("</current_dir>"));
    m_resultCount = readValue(QStringLiteral("<result_count>"), QStringLiteral("</result_count>")).toInt();
    for (int i = 0; i < m_resultCount; ++i) {
        if (m_command == QLatin1String("RETR")) {
            const QString base64 = readValue(QStringLiteral("<retr>"), QStringLiteral("\n</retr>"));
            if (base64.size() % 4 == 0)
                m_content += QByteArray::fromBase64(base64.toLatin1());
        } else if (m_command == QLatin1String("CONN") || m_command == QLatin1String("LIST")) {
            ListBlock block;
            block.path = readValue(QStringLiteral("<list path=\""), QStringLiteral("\">"));
            const QString body = readValue(QString(), QStringLiteral("</list>"));
            qsizetype at = 0;
            for (;;) {
                const qsizetype open = body.indexOf(QLatin1String("<path>"), at, Qt::CaseInsensitive);
                if (open < 0)
                    break;
                const qsizetype start = open + 6;
                qsizetype close = body.indexOf(QLatin1String("</path>"), start, Qt::CaseInsensitive);
                if (close < 0)
                    close = body.size();
                const QString line = body.mid(start, close - start);
                if (line.isEmpty())
                    break;
                block.lines.append(line);
                at = close + 7;
            }
            m_lists.append(block);
        }
    }
}

ReplyReader ReplyReader::fromUtf8(const QByteArray& bytes)
{
    return ReplyReader(QString::fromUtf8(bytes));
}

QString ReplyReader::readValue(const QString& open, const QString& close)
{
    qsizetype start = m_position;
    if (!open.isEmpty()) {
        const qsizetype found = m_text.indexOf(open, m_position, Qt::CaseInsensitive);
        if (found < 0)
            return QString();
        start = found + open.size();
    }
    qsizetype end = m_text.indexOf(close, start, Qt::CaseInsensitive);
    if (end < 0)
        end = m_text.size();
    m_position = qMin(end + close.size(), m_text.size());
    return m_text.mid(start, end - start);
}

QStringList ReplyReader::linesOf(const QString& path) const
{
    for (const ListBlock& block : m_lists) {
        if (block.path == path)
            return block.lines;
    }
    return {};
}
