#include "protocol/PlumoClient.h"
#include "support/CannedResponder.h"
#include "support/TestRegistry.h"

#include "RecordingTarget.h"

#include <QTest>

#include <zlib.h>

namespace {

const QByteArray kConnReply = "<login_result>TRUE</login_result><command>CONN</command>"
                              "<command_result>TRUE</command_result><current_dir>/home</current_dir>"
                              "<result_count>1</result_count><list path=\"/home\">"
                              "<path>-rw-r--r-- 1 u g 3 Jan  1  2020 a.txt</path></list>";

QByteArray compress(const QByteArray& data, int windowBits)
{
    z_stream stream {};
    deflateInit2(&stream, Z_DEFAULT_COMPRESSION, Z_DEFLATED, windowBits, 8, Z_DEFAULT_STRATEGY);
    QByteArray out(int(deflateBound(&stream, data.size())) + 32, '\0');
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
    stream.avail_in = uInt(data.size());
    stream.next_out = reinterpret_cast<Bytef*>(out.data());
    stream.avail_out = uInt(out.size());
    deflate(&stream, Z_FINISH);
    out.resize(qsizetype(stream.total_out));
    deflateEnd(&stream);
    return out;
}

struct Session
{
    CannedResponder responder;
    RecordingTarget target;
    PlumoClient client { &target };

    explicit Session(CannedResponder::Transport transport = CannedResponder::Transport::Http)
        : responder(transport)
    {
        target.settings.setUrl(responder.url());
        target.settings.setUserId(QStringLiteral("u"));
        target.settings.setPassword(QStringLiteral("p"));
    }
};

} // namespace

class PlumoClientCannedTest : public QObject
{
    Q_OBJECT

private slots:
    void readsEncodedReplies_data()
    {
        QTest::addColumn<QByteArray>("answer");
        QTest::addColumn<QString>("directory");
        const auto headers = [](const QByteArray& encoding) {
            return QList<QPair<QByteArray, QByteArray>> { { "Content-Encoding", encoding } };
        };
        QTest::newRow("plain") << CannedResponder::response(kConnReply) << "/home";
        QTest::newRow("gzip") << CannedResponder::response(compress(kConnReply, 16 + MAX_WBITS), headers("gzip"))
                              << "/home";
        QTest::newRow("deflate") << CannedResponder::response(compress(kConnReply, MAX_WBITS), headers("deflate"))
                                 << "/home";
        QTest::newRow("raw deflate") << CannedResponder::response(compress(kConnReply, -MAX_WBITS), headers("deflate"))
                                     << "/home";
        const QByteArray japanese = QByteArray(kConnReply).replace("/home", "/\x93\xfa\x96\x7b");
        QTest::newRow("Shift_JIS") << CannedResponder::response(japanese,
                                                                { { "Content-Type", "text/html; charset=Shift_JIS" } })
                                   << QStringLiteral("/日本");
        const QByteArray euc = QByteArray(kConnReply).replace("/home", "/\xc6\xfc\xcb\xdc");
        QTest::newRow("EUC-JP") << CannedResponder::response(euc, { { "Content-Type", "text/html; charset=EUC-JP" } })
                                << QStringLiteral("/日本");
        QTest::newRow("error status with a good body") << CannedResponder::response(kConnReply, {}, 500) << "/home";
    }
    void readsEncodedReplies()
    {
        QFETCH(QByteArray, answer);
        QFETCH(QString, directory);
        Session session;
        session.responder.script({ answer });
        QVERIFY(session.client.connect(true));
        QVERIFY(session.client.isConnect());
        QVERIFY(session.client.commandResult());
        QCOMPARE(session.target.directories, QStringList { directory });
        QCOMPARE(session.target.events.size(), 3);
        QCOMPARE(session.target.events.last(), QStringLiteral("end"));
    }

    void firstConnectSendsExactRequest()
    {
        Session session;
        session.responder.script({ CannedResponder::response(kConnReply) });
        QVERIFY(session.client.connect(true));
        const QByteArray request = session.responder.requests().value(0);
        QVERIFY(request.startsWith("POST /plumoxa HTTP/1.1\r\n"));
        QVERIFY(request.endsWith("\r\n\r\nuser=u&password=p&dir=~&cmd=CONN"));
        const QByteArray headers = request.left(request.indexOf("\r\n\r\n")).toLower();
        qsizetype previous = -1;
        for (const char* name : { "accept:", "accept-charset:", "accept-encoding: gzip,deflate",
                                  "accept-language:", "content-type: application/x-www-form-urlencoded",
                                  "referer:", "user-agent: plumoxa/0.1" }) {
            const qsizetype at = headers.indexOf(QByteArray(QByteArray("\r\n") + name));
            QVERIFY2(at > previous, name);
            previous = at;
        }
    }

    void failedTransfersDisconnectOnce_data()
    {
        QTest::addColumn<QByteArray>("answer");
        QTest::newRow("reply never comes") << CannedResponder::kHang;
        QTest::newRow("connection closed") << CannedResponder::kClose;
        QTest::newRow("HTTP error page") << CannedResponder::response("<html>Internal error</html>", {}, 500);
        QTest::newRow("broken gzip") << CannedResponder::response("not gzip at all",
                                                                  { { "Content-Encoding", "gzip" } });
        QTest::newRow("login refused") << CannedResponder::response("<login_result>FALSE</login_result>");
    }
    void failedTransfersDisconnectOnce()
    {
        QFETCH(QByteArray, answer);
        Session session;
        session.target.settings.setTimeout(1);
        session.responder.script({ CannedResponder::response(kConnReply), answer });
        QVERIFY(session.client.connect(true));
        QVERIFY(!session.client.list(QStringLiteral("/home")));
        QVERIFY(!session.client.isConnect());
        // The notice is queued to this thread, never delivered while the command runs.
        QCOMPARE(session.target.disconnects, 0);
        QTRY_COMPARE(session.target.disconnects, 1);
        QTest::qWait(0);
        QCOMPARE(session.target.disconnects, 1);
        // Disconnected now: the next command sends nothing.
        const auto sent = session.responder.requests().size();
        QVERIFY(!session.client.list(QStringLiteral("/home")));
        QCOMPARE(session.responder.requests().size(), sent);
    }

    void oversizedReplyFailsTheCommand()
    {
        Session session;
        session.client.setReplyLimit(4096);
        QByteArray huge = kConnReply;
        huge.replace("<path>", QByteArray(QByteArray(8192, ' ') + "<path>"));
        session.responder.script({ CannedResponder::response(huge) });
        QVERIFY(!session.client.connect(true));
        QVERIFY(session.target.events.isEmpty());
        QTRY_COMPARE(session.target.disconnects, 1);
    }

    void commandFailureKeepsSession()
    {
        Session session;
        session.responder.script({ CannedResponder::response(kConnReply),
                                   CannedResponder::response("<login_result>TRUE</login_result><command>RM</command>"
                                                             "<command_result>FALSE</command_result>") });
        QVERIFY(session.client.connect(true));
        QVERIFY(!session.client.rm(QStringLiteral("a.txt")));
        QVERIFY(!session.client.commandResult());
        QVERIFY(session.client.isConnect());
        QTest::qWait(0);
        QCOMPARE(session.target.disconnects, 0);
    }

    void connectWhoseCommandFailsStaysDisconnectedWithoutNotice()
    {
        Session session;
        session.responder.script({ CannedResponder::response(
            "<login_result>TRUE</login_result><command>CONN</command><command_result>FALSE</command_result>") });
        QVERIFY(!session.client.connect(true));
        QVERIFY(!session.client.isConnect());
        QTest::qWait(0);
        QCOMPARE(session.target.disconnects, 0);
    }

    void connectionRefused()
    {
        RecordingTarget target;
        {
            CannedResponder closed;
            target.settings.setUrl(closed.url());
        }
        PlumoClient client(&target);
        QVERIFY(!client.connect(true));
        QVERIFY(!client.isConnect());
        QTRY_COMPARE(target.disconnects, 1);
    }

    void unusableUrlSendsNothing()
    {
        RecordingTarget target;
        target.settings.setUrl(QStringLiteral("not a url"));
        PlumoClient client(&target);
        QVERIFY(!client.connect(true));
        QTest::qWait(0);
        QCOMPARE(target.disconnects, 0);
    }

    void followsRedirect()
    {
        Session session;
        session.responder.script(
            { CannedResponder::response("", { { "Location", session.responder.url("/moved").toUtf8() } }, 307),
              CannedResponder::response(kConnReply) });
        QVERIFY(session.client.connect(true));
        QCOMPARE(session.responder.requests().size(), 2);
        QVERIFY(session.responder.requests().at(1).startsWith("POST /moved "));
    }

    void untrustedCertificateFails()
    {
        Session session(CannedResponder::Transport::Https);
        QVERIFY(session.responder.isListening());
        session.responder.script({ CannedResponder::response(kConnReply) });
        QVERIFY(!session.client.connect(true));
        QTRY_COMPARE(session.target.disconnects, 1);
        QVERIFY(session.target.directories.isEmpty());
    }

    void disconnectSendsNothing()
    {
        Session session;
        session.responder.script({ CannedResponder::response(kConnReply) });
        QVERIFY(session.client.connect(true));
        session.client.setCurrentDirectory(QStringLiteral("/home"));
        QVERIFY(session.client.connect(false));
        QVERIFY(session.client.commandResult());
        QCOMPARE(session.client.currentDirectory(), QStringLiteral("~"));
        QVERIFY(!session.client.list(QStringLiteral("/")));
        QCOMPARE(session.responder.requests().size(), 1);
    }

    void retrAppendsOnlyDuringItsCommand()
    {
        Session session;
        const QByteArray retr = "<login_result>TRUE</login_result><command>RETR</command>"
                                "<command_result>TRUE</command_result><current_dir>/</current_dir>"
                                "<result_count>1</result_count><retr>YmFy\n</retr>";
        session.responder.script({ CannedResponder::response(kConnReply), CannedResponder::response(retr),
                                   CannedResponder::response(retr) });
        QVERIFY(session.client.connect(true));
        QByteArray content("foo");
        QVERIFY(session.client.retr(QStringLiteral("b"), content));
        QCOMPARE(content, QByteArray("foobar"));
        QVERIFY(session.client.list(QStringLiteral("/")));
        QCOMPARE(content, QByteArray("foobar"));
    }
};

PLUMOXA_TEST(PlumoClientCannedTest);
#include "PlumoClientCannedTest.moc"
