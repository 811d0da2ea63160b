#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

// Reads one reply of the server. The reply looks like XML but is read by searching for fixed tag
// strings in a fixed order: tags in any letter case, values taken verbatim (no entities decoded)
// and compared with case, each item searched for from where the previous one ended.
//
// The scanner only turns the text into plain values; applying them to the session (flags,
// current directory, the directory tree) is the client's job on the thread that owns the model.
class XmlResponseScanner final
{
public:
    struct ListBlock
    {
        QString path; // the directory the lines describe
        QStringList lines;
        bool complete = false; // the receiver is told the listing is complete after the lines
    };

    // A reply that ends inside a list or retr block was cut short on the way (a body that ends
    // with the connection does not tell): like an empty reply it fails the login test.
    enum class Status { Done, LoginFailed, CommandFailed };

    // contentReceiver, when given, receives the decoded retr blocks appended in order.
    XmlResponseScanner(QString xmlString, QByteArray* contentReceiver);

    Status scan();

    QString xmlString() const { return m_xmlString; }
    // The command word the server echoed; null when the reply named none.
    QString command() const { return m_command; }
    // Null when the reply named no current directory.
    QString currentDirectory() const { return m_currentDirectory; }
    const QList<ListBlock>& listBlocks() const { return m_listBlocks; }
    // The number of result blocks the reply announced (0 when it named none).
    qsizetype resultCount() const { return m_resultCount; }

private:
    // Skips to the opening tag and returns the text up to the closing tag (to the end when that
    // is missing), without the opening tag; null when the opening tag is not found.
    QString scanValue(const QString& text, qsizetype& position, QStringView openTag, QStringView closeTag) const;

    bool scanLoginResult(qsizetype& position);
    bool scanCommand(qsizetype& position);
    void scanCurrentDirectory(qsizetype& position);
    qsizetype scanResult(qsizetype& position);
    bool scanListResult(qsizetype& position);
    void scanPath(const QString& body, ListBlock& block) const;
    bool scanRetrResult(qsizetype& position);

    QString m_xmlString;
    QString m_command;
    QString m_currentDirectory;
    QList<ListBlock> m_listBlocks;
    qsizetype m_resultCount = 0;
    bool m_cutShort = false;
    QByteArray* m_contentReceiver;
};
