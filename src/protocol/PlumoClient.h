#pragma once

#include "protocol/PendingCommand.h"
#include "protocol/ReplyEncoding.h"

#include <QByteArray>
#include <QObject>
#include <QString>

#include <atomic>
#include <functional>
#include <memory>

class ContentSink;
class ExchangeThread;
class ResultTarget;
class XmlResponseScanner;

// The protocol client of one session. Each command is one POST; the call blocks until the reply
// has been received and scanned, and answers whether the server did it. The HTTP exchanges run on
// a thread of the client's own, which keeps connections open between commands where the server
// allows; the results (current directory, listings) are handed to the result target before the
// call returns, on the thread that made the client: a command issued from another thread (a
// transfer's worker) waits while that thread takes them, so the model is only ever changed by its
// owner. File contents stream in both directions.
class PlumoClient final
{
public:
    explicit PlumoClient(ResultTarget* controller = nullptr);
    ~PlumoClient();
    Q_DISABLE_COPY_MOVE(PlumoClient)

    ResultTarget* controller() const { return m_controller; }
    void setController(ResultTarget* controller) { m_controller = controller; }

    // true logs in ("CONN"); false forgets the session locally and sends nothing.
    bool connect(bool doConnect);
    bool list(const QString& directory);
    // A name holding a double quote or a line break cannot be sent: NO, and nothing is sent.
    bool stor(const QString& fileName, const QByteArray& content);
    // Sends a local file, read as it goes out.
    bool storFile(const QString& fileName, const QString& localPath);
    // Appends the file's bytes to content (which is not emptied first); on failure content is
    // left as it was.
    bool retr(const QString& fileName, QByteArray& content);
    bool retr(const QString& fileName, ContentSink& content);
    bool mkd(const QString& directoryName);
    bool rm(const QString& fileName);
    bool rmd(const QString& directoryName);
    bool chmod(const QString& fileName, const QString& mode);
    bool renameFileFrom(const QString& oldName, const QString& newName);

    // Read by the window's menus while a worker's command may end the session.
    bool isConnect() const { return m_connect; }
    void setConnect(bool connect) { m_connect = connect; }
    QString currentDirectory() const { return m_currentDirectory; }
    void setCurrentDirectory(const QString& directory) { m_currentDirectory = directory; }
    bool commandResult() const { return m_commandResult; }
    void setCommandResult(bool result) { m_commandResult = result; }
    QString command() const { return m_command; }
    void setCommand(const QString& command) { m_command = command; }
    QString param0() const { return m_param0; }
    void setParam0(const QString& param) { m_param0 = param; }
    QString param1() const { return m_param1; }
    void setParam1(const QString& param) { m_param1 = param; }

    // The character set the last reply was read in.
    ReplyEncoding replyEncoding() const { return m_htmlEnc; }

    // A reply (outside the blocks of a file) longer than this fails its command rather than
    // filling memory.
    static constexpr qint64 kDefaultReplyLimit = qint64(1) << 30;
    void setReplyLimit(qint64 bytes) { m_replyLimit = bytes; }

    // Bytes done and total of the upload or download under way, reported on the exchange thread.
    using Progress = std::function<void(qint64 done, qint64 total)>;
    void setTransferProgress(Progress progress) { m_progress = std::move(progress); }

private:
    struct Exchange;

    bool runCommand(const QString& word, unsigned paramCount, const QString& p0 = {}, const QString& p1 = {});
    bool send();
    void reflectResults(const Exchange& exchange, const XmlResponseScanner& scanner);
    // Runs a step that touches the result target on the thread that made the client, waiting for
    // it when the command was issued elsewhere.
    void onOwnerThread(const std::function<void()>& step);
    void disconnectedMainThread();

    ResultTarget* m_controller = nullptr;
    // Lives on the thread that made the client: the disconnect notice is queued to it.
    std::unique_ptr<QObject> m_notifier;
    std::atomic<bool> m_connect = false;
    bool m_commandResult = false;
    QString m_currentDirectory = QStringLiteral("~");
    QString m_command = QStringLiteral("");
    QString m_param0;
    QString m_param1;
    unsigned m_paramCount = 0;
    ReplyEncoding m_htmlEnc = ReplyEncoding::Utf8;
    ContentSink* m_contentReceiver = nullptr;
    QByteArray m_contentSender;
    QString m_contentFile;
    Progress m_progress;
    qint64 m_replyLimit = kDefaultReplyLimit;
    std::unique_ptr<ExchangeThread> m_exchangeThread;
};
