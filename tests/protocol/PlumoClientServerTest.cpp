#include "protocol/PlumoClient.h"
#include "support/ServerFixture.h"
#include "support/TestFiles.h"
#include "support/TestRegistry.h"

#include "RecordingTarget.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTest>

#include <sys/stat.h>

using TestFiles::readFile;
using TestFiles::writeFile;

namespace {

// The names listed for one directory in the recorded events.
QStringList namesListedFor(const QStringList& events, const QString& directory)
{
    QStringList names;
    bool inside = false;
    for (const QString& event : events) {
        if (event.startsWith(u"path:"))
            inside = event.mid(5) == directory;
        else if (inside && event.startsWith(u"line:"))
            names.append(event.section(u' ', -1));
    }
    return names;
}

} // namespace

// The client against a real server: each command one POST, results handed to the target.
class PlumoClientServerTest : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<ServerFixture> m_server;
    std::unique_ptr<RecordingTarget> m_target;
    std::unique_ptr<PlumoClient> m_client;

    void startServer(const QStringList& args = {})
    {
        m_server = std::make_unique<ServerFixture>(args);
        writeFile(m_server->rootPath() + "/home/u/a.txt", "alpha");
        QVERIFY(QDir().mkpath(m_server->rootPath() + "/home/u/sub"));
        QVERIFY(m_server->start());
        m_target = std::make_unique<RecordingTarget>();
        m_target->settings.setUrl(m_server->url());
        m_target->settings.setUserId(m_server->user());
        m_target->settings.setPassword(m_server->password());
        m_client = std::make_unique<PlumoClient>(m_target.get());
    }

private slots:
    void cleanup()
    {
        m_client.reset();
        m_target.reset();
        m_server.reset();
    }

    void connectListsDownToTheStartingDirectory()
    {
        startServer({ "--start-dir", "/home/u" });
        QVERIFY(m_client->connect(true));
        QVERIFY(m_client->isConnect());
        QCOMPARE(m_target->directories, QStringList { "/home/u" });
        // Ancestors first, each listing completed; the client's own directory stays "~".
        QCOMPARE(m_target->events.filter(QStringLiteral("path:")),
                 QStringList({ "path:/", "path:/home", "path:/home/u" }));
        QCOMPARE(m_target->events.count(QStringLiteral("end")), 3);
        QCOMPARE(namesListedFor(m_target->events, "/home/u"), QStringList({ "a.txt", "sub" }));
        QCOMPARE(m_client->currentDirectory(), QStringLiteral("~"));
    }

    void everyCommandDoesWhatItSays()
    {
        startServer();
        const QString root = m_server->rootPath();
        QVERIFY(m_client->connect(true));

        QVERIFY(m_client->list(QStringLiteral("/home/u")));
        QCOMPARE(m_target->directories.last(), QStringLiteral("/home/u"));
        QCOMPARE(namesListedFor(m_target->events, "/home/u"), QStringList({ "a.txt", "sub" }));
        QVERIFY(!m_target->events.endsWith(QStringLiteral("end")));

        const QByteArray binary("\x00\xff\r\n--0xKhTmLbOuNdArY--\r\n", 24);
        QVERIFY(m_client->stor(QStringLiteral("日本 b+c&d.bin"), binary));
        QCOMPARE(readFile(root + "/home/u/日本 b+c&d.bin"), binary);

        QByteArray content("kept:");
        QVERIFY(m_client->retr(QStringLiteral("日本 b+c&d.bin"), content));
        QCOMPARE(content, "kept:" + binary);

        QVERIFY(m_client->mkd(QStringLiteral("new dir")));
        QVERIFY(QFileInfo(root + "/home/u/new dir").isDir());
        QVERIFY(m_client->chmod(QStringLiteral("a.txt"), QStringLiteral("600")));
        struct stat status
        {
        };
        QCOMPARE(::stat(QFile::encodeName(root + "/home/u/a.txt").constData(), &status), 0);
        QCOMPARE(status.st_mode & 07777, 0600u);
        QVERIFY(m_client->renameFileFrom(QStringLiteral("a.txt"), QStringLiteral("z.txt")));
        QCOMPARE(readFile(root + "/home/u/z.txt"), QByteArray("alpha"));
        QVERIFY(m_client->rm(QStringLiteral("z.txt")));
        QVERIFY(!QFileInfo::exists(root + "/home/u/z.txt"));
        QVERIFY(m_client->rmd(QStringLiteral("new dir")));
        QVERIFY(!QFileInfo::exists(root + "/home/u/new dir"));
        QVERIFY(m_client->commandResult());
        QVERIFY(m_client->isConnect());
    }

    void percentSignsReachTheServerAsTyped()
    {
        startServer();
        QVERIFY(m_client->connect(true));
        m_client->setCurrentDirectory(QStringLiteral("/home/u"));
        QVERIFY(m_client->mkd(QStringLiteral("a%41 100%")));
        QVERIFY(QFileInfo(m_server->rootPath() + "/home/u/a%41 100%").isDir());
        QVERIFY(m_client->renameFileFrom(QStringLiteral("a.txt"), QStringLiteral("%2e%2e")));
        QCOMPARE(readFile(m_server->rootPath() + "/home/u/%2e%2e"), QByteArray("alpha"));
    }

    void namesTheUploadCannotCarryAreNotSent_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("double quote") << "say \"hi\".txt";
        QTest::newRow("line break") << "a\nb";
        QTest::newRow("carriage return") << "a\rb";
    }
    void namesTheUploadCannotCarryAreNotSent()
    {
        QFETCH(QString, name);
        startServer();
        QVERIFY(m_client->connect(true));
        m_client->setCurrentDirectory(QStringLiteral("/home/u"));
        QVERIFY(!m_client->stor(name, "x"));
        QVERIFY(m_client->isConnect());
        QCOMPARE(QDir(m_server->rootPath() + "/home/u").entryList(QDir::Files), QStringList { "a.txt" });
    }

    void refusedCommandsKeepTheSession_data()
    {
        QTest::addColumn<QString>("command");
        QTest::newRow("rm of a missing file") << "rm";
        QTest::newRow("rmd of a full directory") << "rmd";
        QTest::newRow("retr of a directory") << "retr";
        QTest::newRow("rename onto an existing name") << "ren";
        QTest::newRow("chmod with a bad mode") << "chmod";
    }
    void refusedCommandsKeepTheSession()
    {
        QFETCH(QString, command);
        startServer();
        writeFile(m_server->rootPath() + "/home/u/sub/x", "x");
        QVERIFY(m_client->connect(true));
        m_client->setCurrentDirectory(QStringLiteral("/home/u"));
        QByteArray content;
        bool result = true;
        if (command == u"rm")
            result = m_client->rm(QStringLiteral("missing"));
        else if (command == u"rmd")
            result = m_client->rmd(QStringLiteral("sub"));
        else if (command == u"retr")
            result = m_client->retr(QStringLiteral("sub"), content);
        else if (command == u"ren")
            result = m_client->renameFileFrom(QStringLiteral("a.txt"), QStringLiteral("sub"));
        else
            result = m_client->chmod(QStringLiteral("a.txt"), QStringLiteral("8x9"));
        QVERIFY(!result);
        QVERIFY(!m_client->commandResult());
        QVERIFY(m_client->isConnect());
        QVERIFY(content.isEmpty());
        QTest::qWait(0);
        QCOMPARE(m_target->disconnects, 0);
        QCOMPARE(readFile(m_server->rootPath() + "/home/u/a.txt"), QByteArray("alpha"));
    }

    void wrongPasswordDisconnectsOnce()
    {
        startServer();
        m_target->settings.setPassword(QStringLiteral("wrong"));
        QVERIFY(!m_client->connect(true));
        QVERIFY(!m_client->isConnect());
        QTRY_COMPARE(m_target->disconnects, 1);
        QVERIFY(m_target->events.isEmpty());
    }

    void shiftJisServerIsReadInShiftJis()
    {
        startServer({ "--charset", "shift_jis" });
        writeFile(m_server->rootPath() + "/home/u/日本語.txt", "j");
        QVERIFY(m_client->connect(true));
        QVERIFY(m_client->list(QStringLiteral("/home/u")));
        QCOMPARE(m_client->replyEncoding(), ReplyEncoding::ShiftJis);
        QVERIFY(namesListedFor(m_target->events, "/home/u").contains(QStringLiteral("日本語.txt")));
    }
};

PLUMOXA_TEST(PlumoClientServerTest);
#include "PlumoClientServerTest.moc"
