#include "RawExchange.h"
#include "ReplyReader.h"
#include "TreeSnapshot.h"
#include "support/ServerFixture.h"
#include "support/TestRegistry.h"

#include <QDir>
#include <QTest>

// The PHP script's configuration constants as a user may leave them: the script as shipped lets
// nobody in, and a root or start directory that cannot be used fails every command, never
// reaching outside the root. Only meaningful for the fixture that serves through the script.
class PhpScriptConfigurationTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        if (!ServerFixture::runsPhpScript())
            QSKIP("tests the configuration of server/php/plumoxa.php");
    }

    void misconfigurationFailsSafely_data()
    {
        QTest::addColumn<QString>("constant");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QByteArray>("password");
        QTest::addColumn<QByteArray>("cmd");
        QTest::addColumn<bool>("loginSucceeds");
        const QByteArray password = ServerFixture().password().toUtf8();
        QTest::newRow("hash left empty") << "PLUMOXA_PASSWORD_HASH" << QString() << password << QByteArray("LIST")
                                         << false;
        QTest::newRow("hash left empty, empty password")
            << "PLUMOXA_PASSWORD_HASH" << QString() << QByteArray() << QByteArray("CONN") << false;
        QTest::newRow("hash that is no hash")
            << "PLUMOXA_PASSWORD_HASH" << QString::fromUtf8(password) << password << QByteArray("LIST") << false;
        QTest::newRow("root missing") << "PLUMOXA_ROOT"
                                      << "/nonexistent/plumoxa-root" << password << QByteArray("CONN") << true;
        QTest::newRow("start directory missing") << "PLUMOXA_START_DIR"
                                                 << "/nowhere" << password << QByteArray("CONN") << true;
        QTest::newRow("start directory relative") << "PLUMOXA_START_DIR"
                                                  << "sub" << password << QByteArray("CONN") << true;
        QTest::newRow("start directory above the root") << "PLUMOXA_START_DIR"
                                                        << "/.." << password << QByteArray("LIST") << true;
    }
    void misconfigurationFailsSafely()
    {
        QFETCH(QString, constant);
        QFETCH(QString, value);
        QFETCH(QByteArray, password);
        QFETCH(QByteArray, cmd);
        QFETCH(bool, loginSucceeds);
        ServerFixture server;
        QVERIFY(QDir().mkpath(server.rootPath() + "/sub"));
        server.setPhpConstant(constant, value);
        QVERIFY(server.start());
        const QStringList before = TreeSnapshot::take(server.rootPath());
        const HttpReply http
            = RawExchange(server.url())
                  .postForm(
                      { { "user", server.user().toUtf8() }, { "password", password }, { "dir", "/" }, { "cmd", cmd } });
        QCOMPARE(http.status, 200);
        const ReplyReader reply = ReplyReader::fromUtf8(http.body);
        QCOMPARE(reply.loginSucceeded(), loginSucceeds);
        QVERIFY(!reply.commandSucceeded());
        QVERIFY(!http.body.contains("<list"));
        QCOMPARE(TreeSnapshot::take(server.rootPath()), before);
    }

    void getAnswersWithAPlainTextLine()
    {
        ServerFixture server;
        QVERIFY(server.start());
        const HttpReply http = RawExchange(server.url()).get();
        QCOMPARE(http.status, 200);
        QVERIFY(http.contentType.startsWith("text/plain"));
        QVERIFY(http.body.startsWith("plumoxa.php"));
        QCOMPARE(http.body.count('\n'), 1);
    }
};

PLUMOXA_TEST(PhpScriptConfigurationTest);
#include "PhpScriptConfigurationTest.moc"
