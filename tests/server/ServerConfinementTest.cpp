#include "RawExchange.h"
#include "ReplyReader.h"
#include "TreeSnapshot.h"
#include "support/ServerFixture.h"
#include "support/TestFiles.h"
#include "support/TestRegistry.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTest>

#include <memory>

using TestFiles::writeFile;

// Requests that try to reach outside the root: each must fail and leave everything outside as it
// was, and no reply may carry a byte from outside.
//
//   outside/secret.txt, outside/deeper/     (beside the root)
//   root/inside/file.txt, root/inside/sub/
//   root/escape -> ../outside   root/abs -> /.../outside   root/secretlink -> ../outside/secret.txt
//   root/inlink -> inside
class ServerConfinementTest : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<ServerFixture> m_server;
    QString m_outside;

    QStringList outsideState() const
    {
        // The fixture's password file lies beside the root too.
        QFile password(QFileInfo(m_outside).path() + "/password");
        const QFileInfo info(password);
        const QString passwordState = QString::number(int(info.permissions()), 16) + ' '
            + QString::fromUtf8(password.open(QIODevice::ReadOnly) ? password.readAll() : QByteArray());
        return TreeSnapshot::take(m_outside) << passwordState;
    }

private slots:
    void init()
    {
        m_server = std::make_unique<ServerFixture>();
        const QString root = m_server->rootPath();
        m_outside = QFileInfo(root).path() + "/outside";
        writeFile(m_outside + "/secret.txt", "SECRET");
        QVERIFY(QDir().mkpath(m_outside + "/deeper"));
        writeFile(root + "/inside/file.txt", "inside");
        QVERIFY(QDir().mkpath(root + "/inside/sub"));
        QVERIFY(QFile::link("../outside", root + "/escape"));
        QVERIFY(QFile::link(m_outside, root + "/abs"));
        QVERIFY(QFile::link("../outside/secret.txt", root + "/secretlink"));
        QVERIFY(QFile::link("inside", root + "/inlink"));
        QVERIFY(m_server->start());
    }
    void cleanup() { m_server.reset(); }

    void attackFails_data()
    {
        QTest::addColumn<QByteArray>("dir");
        QTest::addColumn<QByteArray>("cmd");
        QTest::addColumn<QList<QByteArray>>("params");
        using P = QList<QByteArray>;
        const QByteArray nul(1, '\0');
        QTest::newRow("LIST /..") << QByteArray("/..") << QByteArray("LIST") << P {};
        QTest::newRow("LIST ~/..") << QByteArray("~/..") << QByteArray("LIST") << P {};
        QTest::newRow("LIST dot-dot after a directory") << QByteArray("/inside/../..") << QByteArray("LIST") << P {};
        QTest::newRow("LIST dot-dot between slashes")
            << QByteArray("/inside//..//../outside") << QByteArray("LIST") << P {};
        QTest::newRow("LIST relative") << QByteArray("../outside") << QByteArray("LIST") << P {};
        QTest::newRow("LIST through a relative link") << QByteArray("/escape") << QByteArray("LIST") << P {};
        QTest::newRow("LIST through an absolute link") << QByteArray("/abs") << QByteArray("LIST") << P {};
        QTest::newRow("LIST below a link") << QByteArray("/escape/deeper") << QByteArray("LIST") << P {};
        QTest::newRow("LIST with a NUL byte") << QByteArray("/inside" + nul + "/../..") << QByteArray("LIST") << P {};
        QTest::newRow("RETR dot-dot name") << QByteArray("/") << QByteArray("RETR") << P { "../outside/secret.txt" };
        QTest::newRow("RETR absolute name") << QByteArray("/") << QByteArray("RETR") << P { "/etc/passwd" };
        QTest::newRow("RETR the password file") << QByteArray("/") << QByteArray("RETR") << P { "../password" };
        QTest::newRow("CHMOD the password file")
            << QByteArray("/") << QByteArray("CHMOD") << P { "../password", "666" };
        QTest::newRow("RETR name through a link") << QByteArray("/") << QByteArray("RETR") << P { "escape/secret.txt" };
        QTest::newRow("RETR link to a file outside") << QByteArray("/") << QByteArray("RETR") << P { "secretlink" };
        QTest::newRow("RETR in a linked directory")
            << QByteArray("/escape") << QByteArray("RETR") << P { "secret.txt" };
        QTest::newRow("RETR name with a NUL byte")
            << QByteArray("/inside") << QByteArray("RETR") << P { "file.txt" + nul + "x" };
        QTest::newRow("MKD in a linked directory") << QByteArray("/escape") << QByteArray("MKD") << P { "made" };
        QTest::newRow("MKD dot-dot name") << QByteArray("/") << QByteArray("MKD") << P { "../made" };
        QTest::newRow("MKD name with slashes") << QByteArray("/") << QByteArray("MKD") << P { "inside/../../made" };
        QTest::newRow("MKD ..") << QByteArray("/") << QByteArray("MKD") << P { ".." };
        QTest::newRow("RM in a linked directory") << QByteArray("/escape") << QByteArray("RM") << P { "secret.txt" };
        QTest::newRow("RM dot-dot name") << QByteArray("/") << QByteArray("RM") << P { "../outside/secret.txt" };
        QTest::newRow("RMD ..") << QByteArray("/inside/sub") << QByteArray("RMD") << P { ".." };
        QTest::newRow("RMD in a linked directory") << QByteArray("/escape") << QByteArray("RMD") << P { "deeper" };
        QTest::newRow("CHMOD through a file link")
            << QByteArray("/") << QByteArray("CHMOD") << P { "secretlink", "777" };
        QTest::newRow("CHMOD through a directory link")
            << QByteArray("/") << QByteArray("CHMOD") << P { "escape", "777" };
        QTest::newRow("CHMOD ..") << QByteArray("/inside") << QByteArray("CHMOD") << P { "..", "777" };
        QTest::newRow("CHMOD dot-dot name")
            << QByteArray("/") << QByteArray("CHMOD") << P { "../outside/secret.txt", "777" };
        QTest::newRow("REN out of the root") << QByteArray("/") << QByteArray("REN") << P { "inside", "../moved" };
        QTest::newRow("REN in from outside")
            << QByteArray("/") << QByteArray("REN") << P { "../outside/secret.txt", "stolen" };
        QTest::newRow("REN in a linked directory")
            << QByteArray("/escape") << QByteArray("REN") << P { "secret.txt", "x" };
    }
    void attackFails()
    {
        QFETCH(QByteArray, dir);
        QFETCH(QByteArray, cmd);
        QFETCH(QList<QByteArray>, params);
        const QStringList outsideBefore = outsideState();
        const QStringList insideBefore = TreeSnapshot::take(m_server->rootPath());
        const HttpReply http = RawExchange(m_server->url()).command(*m_server, dir, cmd, params);
        QCOMPARE(http.status, 200);
        const ReplyReader reply = ReplyReader::fromUtf8(http.body);
        QVERIFY(reply.loginSucceeded());
        QVERIFY(!reply.commandSucceeded());
        QVERIFY(!http.body.contains("SECRET"));
        QVERIFY(!http.body.contains("secret.txt"));
        QVERIFY(!http.body.contains(m_server->password().toUtf8()));
        QCOMPARE(outsideState(), outsideBefore);
        QCOMPARE(TreeSnapshot::take(m_server->rootPath()), insideBefore);
    }

    void uploadAttackFails_data()
    {
        QTest::addColumn<QByteArray>("dir");
        QTest::addColumn<QByteArray>("fileName");
        QTest::newRow("into a linked directory") << QByteArray("/escape") << QByteArray("planted");
        QTest::newRow("into an absolute link") << QByteArray("/abs") << QByteArray("planted");
        QTest::newRow("dot-dot directory") << QByteArray("/inside/../..") << QByteArray("planted");
        QTest::newRow("dot-dot file name") << QByteArray("/") << QByteArray("../outside/planted");
        QTest::newRow("absolute file name") << QByteArray("/") << QByteArray("/tmp/planted");
        QTest::newRow("file name ..") << QByteArray("/inside") << QByteArray("..");
        QTest::newRow("empty file name") << QByteArray("/inside") << QByteArray("");
    }
    void uploadAttackFails()
    {
        QFETCH(QByteArray, dir);
        QFETCH(QByteArray, fileName);
        const QStringList outsideBefore = outsideState();
        const QStringList insideBefore = TreeSnapshot::take(m_server->rootPath());
        const HttpReply http = RawExchange(m_server->url()).store(*m_server, dir, fileName, "PLANTED");
        QCOMPARE(http.status, 200);
        const ReplyReader reply = ReplyReader::fromUtf8(http.body);
        QVERIFY(reply.loginSucceeded());
        QVERIFY(!reply.commandSucceeded());
        QCOMPARE(outsideState(), outsideBefore);
        QCOMPARE(TreeSnapshot::take(m_server->rootPath()), insideBefore);
        QVERIFY(!QFileInfo::exists("/tmp/planted"));
    }

    void uploadOverALinkReplacesTheLinkNotItsTarget()
    {
        const QStringList outsideBefore = outsideState();
        const HttpReply http = RawExchange(m_server->url()).store(*m_server, "/", "secretlink", "NEW");
        QVERIFY(ReplyReader::fromUtf8(http.body).commandSucceeded());
        QCOMPARE(outsideState(), outsideBefore);
        const QFileInfo replaced(m_server->rootPath() + "/secretlink");
        QVERIFY(!replaced.isSymLink());
        QCOMPARE(replaced.size(), 3);
    }

    void linkLeadingOutsideIsListedAsPlainLink()
    {
        const ReplyReader reply
            = ReplyReader::fromUtf8(RawExchange(m_server->url()).command(*m_server, "/", "LIST").body);
        QStringList kinds;
        for (const QString& line : reply.linesOf("/"))
            kinds.append(line.left(1) + ' ' + line.section(' ', -3));
        QVERIFY2(kinds.contains("l escape -> ../outside"), qPrintable(kinds.join('\n')));
        QVERIFY2(kinds.contains("l abs -> " + m_outside), qPrintable(kinds.join('\n')));
        QVERIFY2(kinds.contains("D inlink -> inside"), qPrintable(kinds.join('\n')));
    }

    void linkInsideTheRootIsFollowed()
    {
        RawExchange exchange(m_server->url());
        const ReplyReader listed = ReplyReader::fromUtf8(exchange.command(*m_server, "/inlink", "LIST").body);
        QVERIFY(listed.commandSucceeded());
        QCOMPARE(listed.linesOf("/inlink").size(), 2);
        const ReplyReader read
            = ReplyReader::fromUtf8(exchange.command(*m_server, "/inlink", "RETR", { "file.txt" }).body);
        QVERIFY(read.commandSucceeded());
        QCOMPARE(read.content(), QByteArray("inside"));
    }
};

PLUMOXA_TEST(ServerConfinementTest);
#include "ServerConfinementTest.moc"
