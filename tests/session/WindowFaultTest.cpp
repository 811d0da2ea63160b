#include "SessionWindow.h"

#include "app/DocumentWindow.h"
#include "session/ViewController.h"
#include "support/CannedResponder.h"
#include "support/FaultReplies.h"
#include "support/ScriptedPrompter.h"
#include "support/TestFiles.h"
#include "support/TestRegistry.h"
#include "ui/FileDropTableView.h"

#include "ui_MyDocument.h"

#include <QDir>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <sys/resource.h>

#include <csignal>

using namespace FaultReplies;
using Answer = CannedResponder::Answer;

namespace {

const QByteArray kContent = fileContent(1024 * 1024);

// The account's listing: one file to fetch, and a name no local folder may take.
QByteArray connReply(const char* command = "CONN")
{
    return CannedResponder::response(
        listReply(command, "/", { fileLine("a.txt", kContent.size()), fileLine("sub/../../evil.txt", 4) }));
}

QStringList namesIn(const QString& folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
}

// A limit on the size of the files this process writes, as a full disk would set one; writes
// past it fail instead of ending the process.
class FileSizeLimit final
{
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        getrlimit(RLIMIT_FSIZE, &m_previous);
        m_handler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = m_previous;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &m_previous);
        std::signal(SIGXFSZ, m_handler);
    }
    Q_DISABLE_COPY_MOVE(FileSizeLimit)

private:
    rlimit m_previous {};
    void (*m_handler)(int) = SIG_DFL;
};

bool connectTo(SessionWindow& session, const CannedResponder& responder, int timeout)
{
    return session.startOn(responder.url(), QStringLiteral("u"), QStringLiteral("p"), timeout) && session.connect();
}

} // namespace

Q_DECLARE_METATYPE(QList<CannedResponder::Answer>)

// Servers that fail in the middle of a transfer, and a disk that fills up, under the window: each
// ends with the operation's message, the window restored and nothing half-written under a name.
class WindowFaultTest : public QObject
{
    Q_OBJECT

private slots:
    void downloadFaults_data()
    {
        QTest::addColumn<QList<Answer>>("answers");
        QTest::addColumn<bool>("staysConnected");
        QTest::addColumn<int>("fileSizeLimit"); // 0: none

        const QByteArray retr = CannedResponder::response(retrReply(kContent));
        QTest::newRow("server dies half way") << QList<Answer> { retr.left(retr.size() / 2) } << false << 0;
        QTest::newRow("reply trickles past the time-out")
            << QList<Answer> { CannedResponder::trickled(retr, 16, 1500) } << false << 0;
        QTest::newRow("HTTP 500 page") << QList<Answer> {
            CannedResponder::response("<html>Internal Server Error</html>", {}, 500)
        } << false << 0;
        QTest::newRow("50 MB of garbage") << QList<Answer> { CannedResponder::response(garbage()) } << false << 0;
        QList<Answer> loop;
        for (int i = 0; i < 60; ++i)
            loop.append(CannedResponder::response("", { { "Location", "/plumoxa" } }, 307));
        QTest::newRow("redirect loop") << loop << false << 0;
        QTest::newRow("disk full") << QList<Answer> { retr } << true << 256 * 1024;
    }
    void downloadFaults()
    {
        QFETCH(QList<Answer>, answers);
        QFETCH(bool, staysConnected);
        QFETCH(int, fileSizeLimit);

        ScriptedPrompter prompter;
        CannedResponder responder;
        responder.script(QList<Answer> { connReply() } + answers);
        SessionWindow session;
        QVERIFY(connectTo(session, responder, 1));
        QTemporaryDir destination;
        TestFiles::writeFile(destination.filePath("a.txt"), "older");
        prompter.answerSkipOrOverwrite(false);
        session.window().ui().fileView->selectRows({ int(session.tableNames().indexOf("a.txt")) });

        {
            std::unique_ptr<FileSizeLimit> limit;
            if (fileSizeLimit > 0)
                limit = std::make_unique<FileSizeLimit>(rlim_t(fileSizeLimit));
            session.controller().retrieveDroppedFile(destination.path());
            QVERIFY(session.waitIdle());
        }

        QCOMPARE(prompter.messages(), QStringList { "retrieve failed" });
        // The older file is only ever replaced by a whole one; no temporary file stays behind.
        QCOMPARE(namesIn(destination.path()), QStringList { "a.txt" });
        QCOMPARE(TestFiles::readFile(destination.filePath("a.txt")), QByteArray("older"));
        session.verifyRestored();
        QCOMPARE(session.controller().isConnected(), staysConnected);
        QCOMPARE(session.window().ui().connectButton->text(),
                 staysConnected ? QStringLiteral("Disconnect") : QStringLiteral("Connect"));
    }

    void serverDiesWhileAnUploadGoesOut()
    {
        ScriptedPrompter prompter;
        CannedResponder responder;
        // The upload lists the shown directory first, then sends the file.
        responder.script({ connReply(), connReply("LIST"), CannedResponder::closeAfterBody(64 * 1024) });
        SessionWindow session;
        QVERIFY(connectTo(session, responder, 5));
        QTemporaryDir local;
        TestFiles::writeFile(local.filePath("big.bin"), kContent);
        prompter.answerPath(local.filePath("big.bin"));

        session.controller().addFile();
        QVERIFY(session.waitIdle());

        QCOMPARE(prompter.messages(), QStringList { "STOR failed" });
        session.verifyRestored();
        QVERIFY(!session.controller().isConnected());
    }

    void untrustedCertificateDoesNotConnect()
    {
        ScriptedPrompter prompter;
        CannedResponder responder(CannedResponder::Transport::Https);
        responder.script({ connReply() });
        SessionWindow session;
        QVERIFY(session.startOn(responder.url(), QStringLiteral("u"), QStringLiteral("p"), 5));
        QVERIFY(!session.connect());
        QCOMPARE(prompter.messages(), QStringList { "connect failed" });
        QCOMPARE(session.window().ui().connectButton->text(), QStringLiteral("Connect"));
    }

    void aNameThatNoLocalFolderMayTake()
    {
        // (Listings never show "." or "..": the model leaves them out.)
        const QString name = QStringLiteral("sub/../../evil.txt");
        ScriptedPrompter prompter;
        CannedResponder responder;
        responder.script({ connReply() });
        SessionWindow session;
        QVERIFY(connectTo(session, responder, 5));
        const int row = int(session.tableNames().indexOf(name));
        QVERIFY(row >= 0);
        session.window().ui().fileView->selectRows({ row });
        QTemporaryDir parent;
        const QString destination = parent.filePath("in");
        QVERIFY(QDir().mkpath(destination));

        session.controller().retrieveDroppedFile(destination);
        QVERIFY(session.waitIdle());

        QCOMPARE(prompter.messages(), QStringList { u"unsafe name refused: " + name });
        QCOMPARE(namesIn(parent.path()), QStringList { "in" });
        QVERIFY(namesIn(destination).isEmpty());
        // Nothing was fetched for it.
        QCOMPARE(responder.requests().size(), 1);
        session.verifyRestored();
    }
};

PLUMOXA_TEST(WindowFaultTest);
#include "WindowFaultTest.moc"
