#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

// Reads a reply the way the client does: tags found by case-insensitive string search, one after
// the other from where the previous item ended, values taken verbatim; a list block ends at its
// first empty path element. A test that passes through this reader shows what a client would get.
class ReplyReader
{
public:
    struct ListBlock
    {
        QString path;
        QStringList lines;
    };

    explicit ReplyReader(const QString& text);
    static ReplyReader fromUtf8(const QByteArray& bytes);

    bool loginSucceeded() const { return m_loginResult == QLatin1String("TRUE"); }
    bool commandSucceeded() const { return m_commandResult == QLatin1String("TRUE"); }
    QString command() const { return m_command; }
    QString currentDir() const { return m_currentDir; }
    int resultCount() const { return m_resultCount; }
    QList<ListBlock> lists() const { return m_lists; }
    // The decoded retr blocks, appended in order.
    QByteArray content() const { return m_content; }
    // The lines of the list block for path; empty when there is none.
    QStringList linesOf(const QString& path) const;

private:
    // The value between open and close from m_position on; null when open is missing.
    QString readValue(const QString& open, const QString& close);

    QString m_text;
    qsizetype m_position = 0;
    QString m_loginResult;
    QString m_command;
    QString m_commandResult;
    QString m_currentDir;
    int m_resultCount = 0;
    QList<ListBlock> m_lists;
    QByteArray m_content;
};
