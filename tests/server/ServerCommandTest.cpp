#include "RawExchange.h"
#include "ReplyReader.h"
#include "TreeSnapshot.h"
#include "support/ServerFixture.h"
#include "support/TestFiles.h"
#include "support/TestRegistry.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTest>

#include <memory>

#include <sys/stat.h>

using TestFiles::writeFile;

// Each command's success and failure, against a fresh server and tree per test function.
class ServerCommandTest : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<ServerFixture> m_server;
    QString m_root;

    // /d/file.txt, /d/empty/, /d/full/x, /d/link -> file.txt, /d/dirlink -> full
    void makeTree()
    {
        writeFile(m_root + "/d/file.txt", "text");
        QVERIFY(QDir().mkpath(m_root + "/d/empty"));
        writeFile(m_root + "/d/full/x", "x");
        QVERIFY(QFile::link("file.txt", m_root + "/d/link"));
        QVERIFY(QFile::link("full", m_root + "/d/dirlink"));
    }

    HttpReply run(const QByteArray& dir, const QByteArray& cmd, const QList<QByteArray>& params = {})
    {
        return RawExchange(m_server->url()).command(*m_server, dir, cmd, params);
    }

private slots:
    void init()
    {
        m_server = std::make_unique<ServerFixture>();
        m_root = m_server->rootPath();
        makeTree();
        QVERIFY(m_server->start());
    }
    void cleanup() { m_server.reset(); }

    void connListsEveryDirectoryDownToTheStart_data()
    {
        QTest::addColumn<QString>("startDir");
        QTest::addColumn<QStringList>("blocks");
        QTest::newRow("root") << "/" << QStringList { "/" };
        QTest::newRow("nested") << "/home/u/work" << QStringList { "/", "/home", "/home/u", "/home/u/work" };
        QTest::newRow("trailing slash") << "/home/u/" << QStringList { "/", "/home", "/home/u" };
    }
    void connListsEveryDirectoryDownToTheStart()
    {
        QFETCH(QString, startDir);
        QFETCH(QStringList, blocks);
        ServerFixture server({ "--start-dir", startDir });
        QVERIFY(QDir().mkpath(server.rootPath() + "/home/u/work"));
        writeFile(server.rootPath() + "/home/u/work/notes.txt", "n");
        QVERIFY(server.start());
        const HttpReply http = RawExchange(server.url()).command(server, "~", "CONN");
        QCOMPARE(http.status, 200);
        const ReplyReader reply = ReplyReader::fromUtf8(http.body);
        QVERIFY(reply.loginSucceeded());
        QVERIFY(reply.commandSucceeded());
        QCOMPARE(reply.command(), QString("CONN"));
        QCOMPARE(reply.currentDir(), blocks.last());
        QCOMPARE(reply.resultCount(), blocks.size());
        QStringList paths;
        for (const auto& block : reply.lists())
            paths.append(block.path);
        QCOMPARE(paths, blocks);
        // Each block holds the directory the next block lists.
        for (int i = 0; i + 1 < blocks.size(); ++i) {
            const QString child = blocks[i + 1].section('/', -1);
            const QStringList lines = reply.linesOf(blocks[i]);
            QVERIFY2(
                std::any_of(lines.begin(), lines.end(),
                            [&](const QString& line) { return line.startsWith('d') && line.endsWith(' ' + child); }),
                qPrintable(lines.join('\n')));
        }
    }

    void listNamesTheDirectory_data()
    {
        QTest::addColumn<QByteArray>("dir");
        QTest::addColumn<QString>("listed");
        QTest::newRow("absolute") << QByteArray("/d") << "/d";
        QTest::newRow("trailing slash") << QByteArray("/d/") << "/d";
        QTest::newRow("doubled slashes and dot") << QByteArray("//d/./") << "/d";
        QTest::newRow("tilde is the start") << QByteArray("~") << "/";
        QTest::newRow("below the tilde") << QByteArray("~/d") << "/d";
        QTest::newRow("root") << QByteArray("/") << "/";
        QTest::newRow("through a link inside") << QByteArray("/d/dirlink") << "/d/dirlink";
    }
    void listNamesTheDirectory()
    {
        QFETCH(QByteArray, dir);
        QFETCH(QString, listed);
        const ReplyReader reply = ReplyReader::fromUtf8(run(dir, "LIST").body);
        QVERIFY(reply.commandSucceeded());
        QCOMPARE(reply.currentDir(), listed);
        QCOMPARE(reply.resultCount(), 1);
        QCOMPARE(reply.lists().size(), 1);
        QCOMPARE(reply.lists().first().path, listed);
    }

    void listShowsEachEntryOnce()
    {
        const ReplyReader reply = ReplyReader::fromUtf8(run("/d", "LIST").body);
        // Link lines end in " -> target"; the names before it are what matters here.
        QStringList expected { "dirlink", "empty", "file.txt", "full", "link" };
        QStringList titles;
        for (const QString& line : reply.linesOf("/d")) {
            const QString rest = line.section(QRegularExpression(" +"), 8);
            titles.append(rest.section(" -> ", 0, 0));
        }
        QCOMPARE(titles, expected);
    }

    void commandChangesTheTree_data()
    {
        QTest::addColumn<QByteArray>("cmd");
        QTest::addColumn<QList<QByteArray>>("params");
        QTest::addColumn<QStringList>("present");
        QTest::addColumn<QStringList>("absent");
        QTest::newRow("MKD") << QByteArray("MKD") << QList<QByteArray> { "new dir" } << QStringList { "d/new dir" }
                             << QStringList();
        QTest::newRow("MKD with UTF-8 name") << QByteArray("MKD") << QList<QByteArray> { "caf\xc3\xa9" }
                                             << QStringList { QString::fromUtf8("d/caf\xc3\xa9") } << QStringList();
        QTest::newRow("RM file") << QByteArray("RM") << QList<QByteArray> { "file.txt" } << QStringList()
                                 << QStringList { "d/file.txt" };
        QTest::newRow("RM link keeps its target") << QByteArray("RM") << QList<QByteArray> { "link" }
                                                  << QStringList { "d/file.txt" } << QStringList { "d/link" };
        QTest::newRow("RM link to directory") << QByteArray("RM") << QList<QByteArray> { "dirlink" }
                                              << QStringList { "d/full/x" } << QStringList { "d/dirlink" };
        QTest::newRow("RMD empty") << QByteArray("RMD") << QList<QByteArray> { "empty" } << QStringList()
                                   << QStringList { "d/empty" };
        QTest::newRow("REN") << QByteArray("REN") << QList<QByteArray> { "file.txt", "renamed.txt" }
                             << QStringList { "d/renamed.txt" } << QStringList { "d/file.txt" };
        QTest::newRow("REN directory") << QByteArray("REN") << QList<QByteArray> { "full", "moved" }
                                       << QStringList { "d/moved/x" } << QStringList { "d/full" };
    }
    void commandChangesTheTree()
    {
        QFETCH(QByteArray, cmd);
        QFETCH(QList<QByteArray>, params);
        QFETCH(QStringList, present);
        QFETCH(QStringList, absent);
        const ReplyReader reply = ReplyReader::fromUtf8(run("/d", cmd, params).body);
        QVERIFY(reply.loginSucceeded());
        QVERIFY(reply.commandSucceeded());
        QCOMPARE(reply.command(), QString::fromLatin1(cmd));
        QCOMPARE(reply.currentDir(), QString("/d"));
        QCOMPARE(reply.resultCount(), 0);
        for (const QString& path : present)
            QVERIFY2(QFileInfo::exists(m_root + '/' + path), qPrintable(path));
        for (const QString& path : absent)
            QVERIFY2(!QFileInfo(m_root + '/' + path).isSymLink() && !QFileInfo::exists(m_root + '/' + path),
                     qPrintable(path));
    }

    void chmodSetsTheMode_data()
    {
        QTest::addColumn<QByteArray>("name");
        QTest::addColumn<QByteArray>("mode");
        QTest::addColumn<QString>("changed");
        QTest::addColumn<int>("bits");
        QTest::newRow("file 640") << QByteArray("file.txt") << QByteArray("640") << "d/file.txt" << 0640;
        QTest::newRow("file 000") << QByteArray("file.txt") << QByteArray("000") << "d/file.txt" << 0;
        QTest::newRow("directory 751") << QByteArray("full") << QByteArray("751") << "d/full" << 0751;
        QTest::newRow("link changes its target inside")
            << QByteArray("link") << QByteArray("600") << "d/file.txt" << 0600;
    }
    void chmodSetsTheMode()
    {
        QFETCH(QByteArray, name);
        QFETCH(QByteArray, mode);
        QFETCH(QString, changed);
        QFETCH(int, bits);
        QVERIFY(ReplyReader::fromUtf8(run("/d", "CHMOD", { name, mode }).body).commandSucceeded());
        struct stat status;
        QCOMPARE(::stat(QFile::encodeName(m_root + '/' + changed).constData(), &status), 0);
        QCOMPARE(int(status.st_mode & 07777), bits);
    }

    void commandFailsAndChangesNothing_data()
    {
        QTest::addColumn<QByteArray>("dir");
        QTest::addColumn<QByteArray>("cmd");
        QTest::addColumn<QList<QByteArray>>("params");
        using P = QList<QByteArray>;
        QTest::newRow("MKD existing") << QByteArray("/d") << QByteArray("MKD") << P { "empty" };
        QTest::newRow("MKD without name") << QByteArray("/d") << QByteArray("MKD") << P {};
        QTest::newRow("MKD empty name") << QByteArray("/d") << QByteArray("MKD") << P { "" };
        QTest::newRow("MKD name with line break") << QByteArray("/d") << QByteArray("MKD") << P { "a\nb" };
        QTest::newRow("MKD in missing directory") << QByteArray("/nowhere") << QByteArray("MKD") << P { "x" };
        QTest::newRow("RM directory") << QByteArray("/d") << QByteArray("RM") << P { "empty" };
        QTest::newRow("RM missing") << QByteArray("/d") << QByteArray("RM") << P { "ghost" };
        QTest::newRow("RMD not empty") << QByteArray("/d") << QByteArray("RMD") << P { "full" };
        QTest::newRow("RMD file") << QByteArray("/d") << QByteArray("RMD") << P { "file.txt" };
        QTest::newRow("RMD link to directory") << QByteArray("/d") << QByteArray("RMD") << P { "dirlink" };
        QTest::newRow("CHMOD four digits") << QByteArray("/d") << QByteArray("CHMOD") << P { "file.txt", "0644" };
        QTest::newRow("CHMOD two digits") << QByteArray("/d") << QByteArray("CHMOD") << P { "file.txt", "64" };
        QTest::newRow("CHMOD digit 8") << QByteArray("/d") << QByteArray("CHMOD") << P { "file.txt", "648" };
        QTest::newRow("CHMOD letters") << QByteArray("/d") << QByteArray("CHMOD") << P { "file.txt", "rwx" };
        QTest::newRow("CHMOD without mode") << QByteArray("/d") << QByteArray("CHMOD") << P { "file.txt" };
        QTest::newRow("CHMOD missing file") << QByteArray("/d") << QByteArray("CHMOD") << P { "ghost", "644" };
        QTest::newRow("REN onto existing") << QByteArray("/d") << QByteArray("REN") << P { "file.txt", "empty" };
        QTest::newRow("REN onto itself") << QByteArray("/d") << QByteArray("REN") << P { "file.txt", "file.txt" };
        QTest::newRow("REN missing") << QByteArray("/d") << QByteArray("REN") << P { "ghost", "x" };
        QTest::newRow("REN without new name") << QByteArray("/d") << QByteArray("REN") << P { "file.txt" };
        QTest::newRow("RETR directory") << QByteArray("/d") << QByteArray("RETR") << P { "full" };
        QTest::newRow("RETR missing") << QByteArray("/d") << QByteArray("RETR") << P { "ghost" };
        QTest::newRow("LIST missing") << QByteArray("/nowhere") << QByteArray("LIST") << P {};
        QTest::newRow("LIST a file") << QByteArray("/d/file.txt") << QByteArray("LIST") << P {};
        QTest::newRow("LIST relative") << QByteArray("d") << QByteArray("LIST") << P {};
        QTest::newRow("LIST empty dir") << QByteArray("") << QByteArray("LIST") << P {};
        QTest::newRow("STOR as a form") << QByteArray("/d") << QByteArray("STOR") << P { "new.txt" };
        QTest::newRow("unknown word") << QByteArray("/d") << QByteArray("DELE") << P { "file.txt" };
        QTest::newRow("lower-case word") << QByteArray("/d") << QByteArray("rm") << P { "file.txt" };
    }
    void commandFailsAndChangesNothing()
    {
        QFETCH(QByteArray, dir);
        QFETCH(QByteArray, cmd);
        QFETCH(QList<QByteArray>, params);
        const QStringList before = TreeSnapshot::take(m_root);
        const HttpReply http = run(dir, cmd, params);
        QCOMPARE(http.status, 200);
        const ReplyReader reply = ReplyReader::fromUtf8(http.body);
        QVERIFY(reply.loginSucceeded());
        QVERIFY(!reply.commandSucceeded());
        QVERIFY(!http.body.contains("<current_dir>"));
        QCOMPARE(TreeSnapshot::take(m_root), before);
    }

    void replyIsExactlyTheTaggedText()
    {
        const HttpReply http = run("/d", "MKD", { "made" });
        QCOMPARE(http.contentType, QByteArray("text/html; charset=utf-8"));
        QCOMPARE(http.body,
                 QByteArray("<login_result>TRUE</login_result>\n<command>MKD</command>\n"
                            "<command_result>TRUE</command_result>\n<current_dir>/d</current_dir>\n"
                            "<result_count>0</result_count>\n"));
        const HttpReply failed = run("/d", "MKD", { "made" });
        QCOMPARE(failed.body,
                 QByteArray("<login_result>TRUE</login_result>\n<command>MKD</command>\n"
                            "<command_result>FALSE</command_result>\n"));
    }

    void badRequestsGetStatus400_data()
    {
        QTest::addColumn<QByteArray>("contentType");
        QTest::addColumn<QByteArray>("body");
        const QByteArray login = RawExchange::formBody(RawExchange::credentials(ServerFixture()));
        const QByteArray multipart = "multipart/form-data; boundary=" + RawExchange::boundary();
        QTest::newRow("plain text body") << QByteArray("text/plain") << QByteArray(login + "&dir=/&cmd=LIST");
        QTest::newRow("JSON body") << QByteArray("application/json") << QByteArray("{\"cmd\":\"LIST\"}");
        QTest::newRow("form without cmd")
            << QByteArray("application/x-www-form-urlencoded") << QByteArray(login + "&dir=/");
        QTest::newRow("form without dir")
            << QByteArray("application/x-www-form-urlencoded") << QByteArray(login + "&cmd=LIST");
        QTest::newRow("form without user")
            << QByteArray("application/x-www-form-urlencoded") << QByteArray("password=x&dir=/&cmd=LIST");
        QTest::newRow("empty form") << QByteArray("application/x-www-form-urlencoded") << QByteArray();
        QTest::newRow("multipart without boundary") << QByteArray("multipart/form-data") << QByteArray("--x--\r\n");
        QTest::newRow("multipart garbage") << multipart << QByteArray("this is not multipart at all");
        QTest::newRow("multipart file before its fields")
            << multipart << RawExchange::multipartBody({}, "f.txt", "data");
        QTest::newRow("multipart file for another command")
            << multipart
            << RawExchange::multipartBody(RawExchange::credentials(ServerFixture())
                                              + RawExchange::Fields { { "dir", "/" }, { "cmd", "LIST" } },
                                          "f.txt", "data");
    }
    void badRequestsGetStatus400()
    {
        QFETCH(QByteArray, contentType);
        QFETCH(QByteArray, body);
        const QStringList before = TreeSnapshot::take(m_root);
        const HttpReply http = RawExchange(m_server->url()).post(body, contentType);
        QCOMPARE(http.status, 400);
        QVERIFY(http.body.startsWith("Bad request"));
        QCOMPARE(TreeSnapshot::take(m_root), before);
        // The server goes on serving.
        QVERIFY(ReplyReader::fromUtf8(run("/", "LIST").body).commandSucceeded());
    }

    void wrongLoginRunsNothing_data()
    {
        QTest::addColumn<QByteArray>("user");
        QTest::addColumn<QByteArray>("password");
        const QByteArray password = ServerFixture().password().toUtf8();
        QTest::newRow("wrong password") << QByteArray("tester") << QByteArray("wrong");
        QTest::newRow("password prefix") << QByteArray("tester") << password.left(password.size() - 1);
        QTest::newRow("password longer") << QByteArray("tester") << password + 'x';
        QTest::newRow("empty password") << QByteArray("tester") << QByteArray();
        QTest::newRow("wrong user") << QByteArray("Tester") << password;
        QTest::newRow("swapped") << password << QByteArray("tester");
    }
    void wrongLoginRunsNothing()
    {
        QFETCH(QByteArray, user);
        QFETCH(QByteArray, password);
        const HttpReply http = RawExchange(m_server->url())
                                   .postForm({ { "user", user },
                                               { "password", password },
                                               { "dir", "/d" },
                                               { "cmd", "MKD" },
                                               { "param0", "intruder" } });
        QCOMPARE(http.status, 200);
        QCOMPARE(http.body,
                 QByteArray("<login_result>FALSE</login_result>\n<command>MKD</command>\n"
                            "<command_result>FALSE</command_result>\n"));
        QVERIFY(!QFileInfo::exists(m_root + "/d/intruder"));
    }
};

PLUMOXA_TEST(ServerCommandTest);
#include "ServerCommandTest.moc"
