#include "support/FaultReplies.h"

#include "CliTransferHost.h"
#include "engine/Downloader.h"
#include "engine/RemoteSession.h"
#include "engine/SkipOverwrite.h"
#include "engine/Uploader.h"
#include "model/FileDisplayCollection.h"
#include "support/CannedResponder.h"
#include "support/ScriptedPrompter.h"
#include "support/TestFiles.h"
#include "support/TestRegistry.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

using namespace FaultReplies;
using Answer = CannedResponder::Answer;

Q_DECLARE_METATYPE(CannedResponder::Answer)

namespace {

const QByteArray kContent = fileContent(3000);
const QByteArray kConn
    = CannedResponder::response(listReply("CONN", "/", { fileLine("a.txt", kContent.size()), directoryLine("d") }));
constexpr int kTimeoutSeconds = 1;
// Longer than the time-out: every pause of a trickle is a wait that times out.
constexpr int kSlowerThanTimeout = 1500;

// One account on a canned server, with the terminal's transfer host and a prompter that records
// what the user would be told.
struct Account
{
    ScriptedPrompter prompter;
    CannedResponder responder;
    ConnectSettings settings;
    RemoteSession session;
    CliTransferHost host;

    Account()
        : session([this] { return settings; })
        , host(session, false)
    {
        settings.setUrl(responder.url());
        settings.setUserId(QStringLiteral("u"));
        settings.setPassword(QStringLiteral("p"));
        settings.setTimeout(kTimeoutSeconds);
    }

    FileDisplay* child(const QString& name)
    {
        FileDisplayCollection* root = session.tree().collection();
        for (qsizetype i = 0; root && i < root->count(); ++i) {
            if (root->objectAtIndex(i)->fileTitle() == name)
                return root->objectAtIndex(i);
        }
        return nullptr;
    }

    // The session ended by the fault is known to be over, and a new login works.
    void verifyReconnects()
    {
        QTRY_VERIFY_WITH_TIMEOUT(session.tree().collection()->count() == 0, 5000);
        responder.script({ CannedResponder::response(kConn) });
        QVERIFY(session.connectSession());
        QVERIFY(child(QStringLiteral("a.txt")));
    }
};

// Every item in a local folder, hidden ones and temporary files included.
QStringList localNames(const QString& path)
{
    return QDir(path).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System, QDir::Name);
}

QList<Answer> redirectLoop(const QString& url, int status)
{
    return QList<Answer>(60, CannedResponder::response("", { { "Location", url.toUtf8() } }, status));
}

} // namespace

// Downloads and uploads through the transfer engine while the server fails in the middle: the
// user is told, nothing half-done is reported as done or left under a file's name, and the
// session is over (a transfer that failed on the way ends it) but can log in again.
class TransferFaultTest : public QObject
{
    Q_OBJECT

private slots:
    void retrieveFaults_data()
    {
        QTest::addColumn<Answer>("answer");
        QTest::addColumn<bool>("existing"); // the target holds an older file
        const QByteArray whole = CannedResponder::response(retrReply(kContent));
        const qsizetype blockStart = whole.indexOf("<retr>") + 6;
        // Cut inside the Base64 text after a whole number of quanta: what arrived decodes cleanly.
        const QByteArray cut = whole.left(blockStart + 2000);
        const QByteArray unframedWhole = CannedResponder::unframedResponse(retrReply(kContent));
        const QByteArray unframedCut = unframedWhole.left(unframedWhole.indexOf("<retr>") + 6 + 2000);
        QTest::newRow("server dies mid RETR, length announced") << Answer(cut) << false;
        QTest::newRow("server dies mid RETR, over an older file") << Answer(cut) << true;
        QTest::newRow("server dies mid RETR, body ends with the connection") << Answer(unframedCut) << false;
        QTest::newRow("server dies mid RETR without a length, over an older file") << Answer(unframedCut) << true;
        QTest::newRow("head only, then the connection closes") << Answer(whole.left(headSize(whole))) << false;
        QTest::newRow("reply trickled slower than the time-out")
            << CannedResponder::trickled(whole, 512, kSlowerThanTimeout) << true;
        QTest::newRow("50 MB of garbage after a good head") << Answer(CannedResponder::response(garbage())) << false;
        QTest::newRow("50 MB of garbage instead of HTTP") << Answer(garbage()) << false;
        QTest::newRow("HTTP 500 page") << Answer(
            CannedResponder::response("<html>Internal Server Error</html>", {}, 500))
                                       << true;
    }
    void retrieveFaults()
    {
        QFETCH(Answer, answer);
        QFETCH(bool, existing);
        Account account;
        account.responder.script({ CannedResponder::response(kConn), answer });
        QVERIFY(account.session.connectSession());
        FileDisplay* entry = account.child(QStringLiteral("a.txt"));
        QVERIFY(entry);
        QTemporaryDir local;
        if (existing)
            TestFiles::writeFile(local.filePath("a.txt"), "older");

        SkipOverwrite conflicts(SkipOverwrite::Policy::Overwrite);
        Downloader downloader(account.host, *account.session.tree().collection(), conflicts);
        downloader.retrieveDroppedFile({ entry }, local.path());

        QCOMPARE(account.prompter.messages(), QStringList { "retrieve failed" });
        QCOMPARE(localNames(local.path()), existing ? QStringList { "a.txt" } : QStringList());
        if (existing)
            QCOMPARE(TestFiles::readFile(local.filePath("a.txt")), QByteArray("older"));
        QVERIFY(!account.session.isConnected());
        account.verifyReconnects();
    }

    void redirectLoopsEnd_data()
    {
        QTest::addColumn<int>("status");
        QTest::newRow("302: followed as GET") << 302;
        QTest::newRow("307: the form posted again") << 307;
    }
    void redirectLoopsEnd()
    {
        QFETCH(int, status);
        Account account;
        account.responder.script(QList<Answer> { CannedResponder::response(kConn) }
                                 + redirectLoop(account.responder.url(), status));
        QVERIFY(account.session.connectSession());
        QTemporaryDir local;
        SkipOverwrite conflicts(SkipOverwrite::Policy::Overwrite);
        Downloader downloader(account.host, *account.session.tree().collection(), conflicts);
        downloader.retrieveDroppedFile({ account.child(QStringLiteral("a.txt")) }, local.path());

        QCOMPARE(account.prompter.messages(), QStringList { "retrieve failed" });
        QCOMPARE(localNames(local.path()), QStringList());
        // Given up before the loop's answers ran out.
        QVERIFY2(account.responder.requests().size() < 61, QByteArray::number(account.responder.requests().size()));
        QVERIFY(!account.session.isConnected());
        account.verifyReconnects();
    }

    void listingFaultsInATreeDownload_data()
    {
        QTest::addColumn<Answer>("answer");
        const QByteArray listing
            = listReply("LIST", "/d", { fileLine("one.txt", 3), fileLine("two-with-a-long-name.txt", 3) });
        const qsizetype cutAt = listing.indexOf("two-with") + 3;
        const QByteArray framed = CannedResponder::response(listing);
        QTest::newRow("cut inside the list block, length announced") << Answer(framed.left(headSize(framed) + cutAt));
        QTest::newRow("cut inside the list block, body ends with the connection")
            << Answer(CannedResponder::unframedResponse(listing.left(cutAt)));
        QTest::newRow("listing trickled slower than the time-out")
            << CannedResponder::trickled(framed, 64, kSlowerThanTimeout);
    }
    void listingFaultsInATreeDownload()
    {
        QFETCH(Answer, answer);
        Account account;
        // Should the walk go on regardless, each file it fetches comes from these.
        const Answer file = CannedResponder::response(retrReply("one"));
        account.responder.script({ CannedResponder::response(kConn), answer, file, file });
        QVERIFY(account.session.connectSession());
        FileDisplay* directory = account.child(QStringLiteral("d"));
        QVERIFY(directory && directory->isDirectory());
        QTemporaryDir local;

        SkipOverwrite conflicts(SkipOverwrite::Policy::Overwrite);
        Downloader downloader(account.host, *account.session.tree().collection(), conflicts);
        downloader.retrieveDroppedFile({ directory }, local.path());

        QCOMPARE(account.prompter.messages(), QStringList { "LIST failed" });
        QCOMPARE(localNames(local.path()), QStringList());
        QVERIFY(!account.session.isConnected());
        account.verifyReconnects();
    }

    void storeFaults_data()
    {
        QTest::addColumn<Answer>("answer");
        const QByteArray stored = CannedResponder::response(doneReply("STOR"));
        QTest::newRow("server dies mid STOR") << CannedResponder::closeAfterBody(64 * 1024);
        QTest::newRow("server dies before the body") << CannedResponder::closeAfterBody(0);
        QTest::newRow("reply trickled slower than the time-out")
            << CannedResponder::trickled(stored, 16, kSlowerThanTimeout);
        QTest::newRow("reply cut short") << Answer(stored.left(headSize(stored) + 30));
        QTest::newRow("HTTP 500 page") << Answer(
            CannedResponder::response("<html>Internal Server Error</html>", {}, 500));
    }
    void storeFaults()
    {
        QFETCH(Answer, answer);
        Account account;
        account.responder.script({ CannedResponder::response(kConn), CannedResponder::response(doneReply("MKD")),
                                   CannedResponder::response(listReply("LIST", "/", { directoryLine("up") })),
                                   answer });
        QVERIFY(account.session.connectSession());
        QTemporaryDir local;
        TestFiles::writeFile(local.filePath("up/big.bin"), fileContent(1024 * 1024));

        SkipOverwrite conflicts(SkipOverwrite::Policy::Overwrite);
        Uploader uploader(account.host, *account.session.tree().collection(), conflicts);
        QVERIFY(!uploader.storeDirectory(local.filePath("up")));

        QCOMPARE(account.prompter.messages(), QStringList { "STOR failed" });
        QVERIFY(account.responder.requests().last().startsWith("POST /plumoxa "));
        QVERIFY(!account.session.isConnected());
        account.verifyReconnects();
    }
};

PLUMOXA_TEST(TransferFaultTest);
#include "TransferFaultTest.moc"
