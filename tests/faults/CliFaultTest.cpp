#include "support/FaultReplies.h"

#include "CliRun.h"
#include "support/CannedResponder.h"
#include "support/ServerFixture.h"
#include "support/TestFiles.h"
#include "support/TestRegistry.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <sys/resource.h>

using namespace FaultReplies;
using Answer = CannedResponder::Answer;

Q_DECLARE_METATYPE(CannedResponder::Answer)

namespace {

const QByteArray kContent = fileContent(3000);
const QByteArray kConn = CannedResponder::response(listReply("CONN", "/", { fileLine("a.txt", kContent.size()) }));
const QByteArray kList = CannedResponder::response(listReply("LIST", "/", { fileLine("a.txt", kContent.size()) }));
constexpr int kSlowerThanTimeout = 1500;
constexpr qint64 kFileSizeLimit = 256 * 1024;

QStringList localNames(const QString& path)
{
    return QDir(path).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System, QDir::Name);
}

// plumoxa-cli against a canned server, with a time-out of one second.
CliRun cliOn(const CannedResponder& responder, const QStringList& arguments, const QString& workingDirectory)
{
    return CliRun::run(QStringList { "--url", responder.url(), "--user", "u", "--timeout", "1", "-q" } + arguments,
                       workingDirectory, QStringLiteral("p"));
}

// plumoxa-cli in a process that may not write files larger than kFileSizeLimit: a write past it
// fails as on a full disk (the signal that would end the process is ignored).
CliRun cliWithFileSizeLimit(const ServerFixture& server, const QStringList& arguments, const QString& workingDirectory)
{
    return CliRun::run(CliRun::account(server) + arguments, workingDirectory, server.password(), QByteArray(), [] {
        const rlimit limit { rlim_t(kFileSizeLimit), rlim_t(kFileSizeLimit) };
        setrlimit(RLIMIT_FSIZE, &limit);
        std::signal(SIGXFSZ, SIG_IGN);
    });
}

} // namespace

// What plumoxa-cli tells the user, and which status it ends with, when the server fails in the
// middle of a command or the local disk fills up; nothing is left half-written under a file's name.
class CliFaultTest : public QObject
{
    Q_OBJECT

private slots:
    void getFaults_data()
    {
        QTest::addColumn<QList<Answer>>("answers"); // to the RETR and after
        const QByteArray whole = CannedResponder::response(retrReply(kContent));
        const QByteArray unframed = CannedResponder::unframedResponse(retrReply(kContent));
        QTest::newRow("server dies mid RETR, length announced")
            << QList<Answer> { whole.left(whole.indexOf("<retr>") + 2006) };
        QTest::newRow("server dies mid RETR, body ends with the connection")
            << QList<Answer> { unframed.left(unframed.indexOf("<retr>") + 2006) };
        QTest::newRow("reply trickled slower than the time-out")
            << QList<Answer> { CannedResponder::trickled(whole, 512, kSlowerThanTimeout) };
        QTest::newRow("50 MB of garbage") << QList<Answer> { CannedResponder::response(garbage()) };
        QTest::newRow("HTTP 500 page") << QList<Answer> { CannedResponder::response(
            "<html>Internal Server Error</html>", {}, 500) };
        QTest::newRow("redirect loop") << QList<Answer>(
            60, CannedResponder::response("", { { "Location", "/plumoxa" } }, 302));
    }
    void getFaults()
    {
        QFETCH(QList<Answer>, answers);
        CannedResponder responder;
        responder.script(QList<Answer> { kConn, kList } + answers);
        QTemporaryDir local;
        TestFiles::writeFile(local.filePath("a.txt"), "older");

        const CliRun run = cliOn(responder, { "get", "--overwrite", "a.txt" }, local.path());

        QCOMPARE(run.err, QByteArray("plumoxa-cli: RETR failed: a.txt\n"));
        QCOMPARE(run.exitCode, 1);
        QCOMPARE(localNames(local.path()), QStringList { "a.txt" });
        QCOMPARE(TestFiles::readFile(local.filePath("a.txt")), QByteArray("older"));
    }

    void lsOfACutListing_data()
    {
        QTest::addColumn<Answer>("answer");
        const QByteArray listing = listReply("LIST", "/", { fileLine("one.txt", 3), fileLine("two.txt", 3) });
        const qsizetype cutAt = listing.indexOf("two.txt") + 3;
        const QByteArray framed = CannedResponder::response(listing);
        QTest::newRow("length announced") << Answer(framed.left(headSize(framed) + cutAt));
        QTest::newRow("body ends with the connection")
            << Answer(CannedResponder::unframedResponse(listing.left(cutAt)));
        QTest::newRow("trickled slower than the time-out") << CannedResponder::trickled(framed, 64, kSlowerThanTimeout);
    }
    void lsOfACutListing()
    {
        QFETCH(Answer, answer);
        CannedResponder responder;
        responder.script({ kConn, answer });
        const CliRun run = cliOn(responder, { "ls" }, QString());
        QCOMPARE(run.out, QByteArray());
        QCOMPARE(run.err, QByteArray("plumoxa-cli: LIST failed: /\n"));
        QCOMPARE(run.exitCode, 1);
    }

    void putFaults_data()
    {
        QTest::addColumn<Answer>("answer");
        const QByteArray stored = CannedResponder::response(doneReply("STOR"));
        QTest::newRow("server dies mid STOR") << CannedResponder::closeAfterBody(64 * 1024);
        QTest::newRow("reply trickled slower than the time-out")
            << CannedResponder::trickled(stored, 16, kSlowerThanTimeout);
        QTest::newRow("HTTP 500 page") << Answer(
            CannedResponder::response("<html>Internal Server Error</html>", {}, 500));
    }
    void putFaults()
    {
        QFETCH(Answer, answer);
        CannedResponder responder;
        responder.script({ kConn, kList, answer });
        QTemporaryDir local;
        TestFiles::writeFile(local.filePath("big.bin"), fileContent(1024 * 1024));
        const CliRun run = cliOn(responder, { "put", "big.bin" }, local.path());
        QCOMPARE(run.err, QByteArray("plumoxa-cli: STOR failed: big.bin\n"));
        QCOMPARE(run.exitCode, 1);
    }

    void loginFaults_data()
    {
        QTest::addColumn<bool>("https");
        QTest::addColumn<Answer>("answer");
        QTest::newRow("untrusted certificate") << true << Answer(kConn);
        QTest::newRow("HTTP 500 page") << false
                                       << Answer(
                                              CannedResponder::response("<html>Internal Server Error</html>", {}, 500));
        QTest::newRow("reply trickled slower than the time-out")
            << false << CannedResponder::trickled(kConn, 64, kSlowerThanTimeout);
    }
    void loginFaults()
    {
        QFETCH(bool, https);
        QFETCH(Answer, answer);
        CannedResponder responder(https ? CannedResponder::Transport::Https : CannedResponder::Transport::Http);
        QVERIFY(responder.isListening());
        responder.script({ answer });
        const CliRun run = cliOn(responder, { "ls" }, QString());
        QCOMPARE(run.out, QByteArray());
        QCOMPARE(run.err, "plumoxa-cli: connect failed: " + responder.url().toUtf8() + "\n");
        QCOMPARE(run.exitCode, 3);
    }

    void diskFullWhileSaving_data()
    {
        QTest::addColumn<bool>("existing");
        QTest::newRow("new file") << false;
        QTest::newRow("over an older file") << true;
    }
    void diskFullWhileSaving()
    {
        QFETCH(bool, existing);
        ServerFixture server({ "--start-dir", "/home/u" });
        TestFiles::writeFile(server.rootPath() + "/home/u/big.bin", fileContent(4 * kFileSizeLimit));
        QVERIFY(server.start());
        QTemporaryDir local;
        if (existing)
            TestFiles::writeFile(local.filePath("big.bin"), "older");

        const CliRun run = cliWithFileSizeLimit(server, { "-q", "get", "--overwrite", "big.bin" }, local.path());

        QCOMPARE(run.err, QByteArray("plumoxa-cli: file save failed: big.bin\n"));
        QCOMPARE(run.exitCode, 1);
        QCOMPARE(localNames(local.path()), existing ? QStringList { "big.bin" } : QStringList());
        if (existing)
            QCOMPARE(TestFiles::readFile(local.filePath("big.bin")), QByteArray("older"));
    }
};

PLUMOXA_TEST(CliFaultTest);
#include "CliFaultTest.moc"
