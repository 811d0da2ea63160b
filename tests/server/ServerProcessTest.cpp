#include "RawExchange.h"
#include "ReplyReader.h"
#include "support/ServerFixture.h"
#include "support/TestRegistry.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

#include <csignal>

namespace {

struct Finished
{
    int exitCode = -1;
    QByteArray standardOutput;
    QByteArray standardError;
};

// Runs the server binary directly, for the cases in which it must not start.
Finished runServer(const QStringList& args, const QProcessEnvironment& environment)
{
    QProcess process;
    process.setProcessEnvironment(environment);
    process.start(ServerFixture::serverPath(), args);
    Finished result;
    if (!process.waitForFinished(15000)) {
        process.kill();
        process.waitForFinished(15000);
        return result;
    }
    result.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    result.standardOutput = process.readAllStandardOutput();
    result.standardError = process.readAllStandardError();
    return result;
}

QProcessEnvironment environmentWithoutPassword()
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove(QStringLiteral("PLUMOXA_PASSWORD"));
    return environment;
}

// Sends raw bytes and reads until the server closes the connection or the deadline passes.
QByteArray rawExchange(const QString& url, const QByteArray& request)
{
    const QUrl parsed(url);
    QTcpSocket socket;
    socket.connectToHost(parsed.host(), quint16(parsed.port()));
    if (!socket.waitForConnected(10000))
        return QByteArray();
    socket.write(request);
    QByteArray response;
    while (socket.waitForReadyRead(10000))
        response += socket.readAll();
    return response + socket.readAll();
}

} // namespace

// The program around the protocol: options and exit statuses, the URL line, GET, bad requests,
// stopping on signals, TLS, concurrency and the request log.
class ServerProcessTest : public QObject
{
    Q_OBJECT

private slots:
    void refusesToStartWithoutAPassword()
    {
        QTemporaryDir dir;
        const Finished finished = runServer({ "--root", dir.path(), "--user", "u", "--listen", "127.0.0.1:0" },
                                            environmentWithoutPassword());
        QCOMPARE(finished.exitCode, 2);
        QVERIFY(finished.standardOutput.isEmpty());
        QVERIFY(finished.standardError.contains("password"));
    }

    void badOptionsGiveUsageAndStatus2_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::newRow("unknown option") << QStringList { "--root", "ROOT", "--user", "u", "--bogus" };
        QTest::newRow("missing root") << QStringList { "--user", "u" };
        QTest::newRow("missing user") << QStringList { "--root", "ROOT" };
        QTest::newRow("option without value") << QStringList { "--root", "ROOT", "--user" };
        QTest::newRow("listen without port")
            << QStringList { "--root", "ROOT", "--user", "u", "--listen", "127.0.0.1" };
        QTest::newRow("listen port too large")
            << QStringList { "--root", "ROOT", "--user", "u", "--listen", "127.0.0.1:70000" };
        QTest::newRow("unknown charset") << QStringList { "--root", "ROOT", "--user", "u", "--charset", "latin1" };
        QTest::newRow("certificate without key")
            << QStringList { "--root", "ROOT", "--user", "u", "--tls-cert", "cert.pem" };
        QTest::newRow("form limit not a number")
            << QStringList { "--root", "ROOT", "--user", "u", "--max-form-bytes", "lots" };
        QTest::newRow("root missing") << QStringList { "--root", "ROOT/nowhere", "--user", "u" };
        QTest::newRow("start directory missing")
            << QStringList { "--root", "ROOT", "--user", "u", "--start-dir", "/no" };
        QTest::newRow("start directory relative")
            << QStringList { "--root", "ROOT", "--user", "u", "--start-dir", "sub" };
        QTest::newRow("start directory above the root")
            << QStringList { "--root", "ROOT", "--user", "u", "--start-dir", "/.." };
        QTest::newRow("unusable certificate")
            << QStringList { "--root", "ROOT", "--user", "u", "--tls-cert", "ROOT/sub", "--tls-key", "ROOT/sub" };
    }
    void badOptionsGiveUsageAndStatus2()
    {
        QFETCH(QStringList, args);
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkdir("sub"));
        args.replaceInStrings("ROOT", dir.path());
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("PLUMOXA_PASSWORD", "pw");
        // Every row fails before the server would listen.
        const Finished finished = runServer(args, environment);
        QCOMPARE(finished.exitCode, 2);
        QVERIFY(finished.standardOutput.isEmpty());
        QVERIFY(!finished.standardError.isEmpty());
    }

    void passwordFromTheEnvironment()
    {
        QTemporaryDir dir;
        QProcess process;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("PLUMOXA_PASSWORD", "from env");
        process.setProcessEnvironment(environment);
        process.start(ServerFixture::serverPath(), { "--root", dir.path(), "--user", "u", "--listen", "127.0.0.1:0" });
        QVERIFY(process.waitForReadyRead(15000));
        const QString url = QString::fromUtf8(process.readLine()).trimmed();
        QVERIFY(url.startsWith("http://127.0.0.1:"));
        QVERIFY(url.endsWith("/plumoxa"));
        const HttpReply http = RawExchange(url).postForm(
            { { "user", "u" }, { "password", "from env" }, { "dir", "/" }, { "cmd", "LIST" } });
        QVERIFY(ReplyReader::fromUtf8(http.body).commandSucceeded());
        process.terminate();
        QVERIFY(process.waitForFinished(15000));
        QCOMPARE(process.exitCode(), 0);
    }

    void printsOneUrlLine()
    {
        ServerFixture server;
        QVERIFY(server.start());
        QVERIFY(QUrl(server.url()).port() > 0);
        QCOMPARE(QUrl(server.url()).scheme(), QString("http"));
        QCOMPARE(QUrl(server.url()).path(), QString("/plumoxa"));
        QVERIFY(server.stop());
    }

    void stopsCleanlyOnSignals_data()
    {
        QTest::addColumn<int>("signal");
        QTest::newRow("SIGTERM") << int(SIGTERM);
        QTest::newRow("SIGINT") << int(SIGINT);
    }
    void stopsCleanlyOnSignals()
    {
        QFETCH(int, signal);
        QTemporaryDir dir;
        QProcess process;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("PLUMOXA_PASSWORD", "pw");
        process.setProcessEnvironment(environment);
        process.start(ServerFixture::serverPath(), { "--root", dir.path(), "--user", "u", "--listen", "127.0.0.1:0" });
        QVERIFY(process.waitForReadyRead(15000));
        const QString url = QString::fromUtf8(process.readLine()).trimmed();
        QVERIFY(ReplyReader::fromUtf8(
                    RawExchange(url)
                        .postForm({ { "user", "u" }, { "password", "pw" }, { "dir", "/" }, { "cmd", "LIST" } })
                        .body)
                    .commandSucceeded());
        QCOMPARE(::kill(pid_t(process.processId()), signal), 0);
        QVERIFY(process.waitForFinished(15000));
        QCOMPARE(process.exitStatus(), QProcess::NormalExit);
        QCOMPARE(process.exitCode(), 0);
    }

    void getAnswersWithAPlainTextLine()
    {
        ServerFixture server;
        QVERIFY(server.start());
        const HttpReply http = RawExchange(server.url()).get();
        QCOMPARE(http.status, 200);
        QVERIFY(http.contentType.startsWith("text/plain"));
        QVERIFY(http.body.startsWith("plumoxa-server"));
        QCOMPARE(http.body.count('\n'), 1);
        const HttpReply elsewhere = RawExchange(QString(server.url()).replace("/plumoxa", "/any/path")).get();
        QCOMPARE(elsewhere.body, http.body);
    }

    void answersPostOnAnyPath()
    {
        ServerFixture server;
        QVERIFY(server.start());
        const QString other = QString(server.url()).replace("/plumoxa", "/cgi-bin/other.cgi");
        RawExchange::Fields fields = RawExchange::request(server, "/", "LIST");
        QVERIFY(ReplyReader::fromUtf8(RawExchange(other).postForm(fields).body).commandSucceeded());
    }

    // The bad requests that any server refuses are in ServerCommandTest; these need the option.
    void requestsOverTheFormLimitGetStatus400_data()
    {
        QTest::addColumn<QByteArray>("contentType");
        QTest::addColumn<QByteArray>("body");
        const QByteArray login = RawExchange::formBody(RawExchange::credentials(ServerFixture()));
        const QByteArray multipart = "multipart/form-data; boundary=" + RawExchange::boundary();
        QTest::newRow("form over the limit") << QByteArray("application/x-www-form-urlencoded")
                                             << QByteArray(login + "&dir=/&cmd=LIST&param0=" + QByteArray(300, 'x'));
        QTest::newRow("multipart fields over the limit")
            << multipart
            << RawExchange::multipartBody(RawExchange::request(ServerFixture(), "/" + QByteArray(300, 'd'), "STOR"),
                                          "f.txt", "data");
    }
    void requestsOverTheFormLimitGetStatus400()
    {
        QFETCH(QByteArray, contentType);
        QFETCH(QByteArray, body);
        ServerFixture server({ "--max-form-bytes", "256" });
        QVERIFY(server.start());
        RawExchange exchange(server.url());
        const HttpReply http = exchange.post(body, contentType);
        QCOMPARE(http.status, 400);
        QVERIFY(http.body.startsWith("Bad request"));
        QVERIFY(QDir(server.rootPath()).isEmpty());
        // The server goes on serving.
        RawExchange::Fields fields = RawExchange::request(server, "/", "LIST");
        QVERIFY(ReplyReader::fromUtf8(RawExchange(server.url()).postForm(fields).body).commandSucceeded());
    }

    void formWithinTheLimitIsServed()
    {
        ServerFixture server({ "--max-form-bytes", "256" });
        QVERIFY(server.start());
        RawExchange::Fields fields = RawExchange::request(server, "/", "MKD");
        fields.append(qMakePair(QByteArrayLiteral("param0"), QByteArray(100, 'n')));
        QVERIFY(ReplyReader::fromUtf8(RawExchange(server.url()).postForm(fields).body).commandSucceeded());
    }

    void gzipRatherThanBrotli()
    {
        ServerFixture server;
        QVERIFY(server.start());
        const QByteArray body = RawExchange::formBody(RawExchange::credentials(server)) + "&dir=/&cmd=LIST";
        const QByteArray response = rawExchange(server.url(),
                                                "POST /plumoxa HTTP/1.1\r\nHost: x\r\nConnection: close\r\n"
                                                "Accept-Encoding: br, gzip, deflate\r\n"
                                                "Content-Type: application/x-www-form-urlencoded\r\nContent-Length: "
                                                    + QByteArray::number(body.size()) + "\r\n\r\n" + body);
        QVERIFY2(response.startsWith("HTTP/1.1 200"), response.constData());
        QVERIFY(!response.contains("Content-Encoding: br"));
    }

    void servesRequestsConcurrently()
    {
        ServerFixture server;
        QVERIFY(QDir().mkpath(server.rootPath() + "/up"));
        QVERIFY(server.start());
        // An upload that has sent only part of its body holds its connection open...
        RawExchange::Fields fields = RawExchange::request(server, "/up", "STOR");
        const QByteArray body = RawExchange::multipartBody(fields, "slow.bin", QByteArray(1024 * 1024, 'x'));
        const QUrl url(server.url());
        QTcpSocket upload;
        upload.connectToHost(url.host(), quint16(url.port()));
        QVERIFY(upload.waitForConnected(10000));
        upload.write("POST /plumoxa HTTP/1.1\r\nHost: x\r\nContent-Type: multipart/form-data; boundary="
                     + RawExchange::boundary() + "\r\nContent-Length: " + QByteArray::number(body.size()) + "\r\n\r\n"
                     + body.left(body.size() / 2));
        QTRY_VERIFY_WITH_TIMEOUT(
            !QDir(server.rootPath() + "/up").isEmpty(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot), 20000);
        // ...while other requests are answered.
        RawExchange::Fields list = RawExchange::request(server, "/", "LIST");
        for (int i = 0; i < 3; ++i)
            QVERIFY(ReplyReader::fromUtf8(RawExchange(server.url()).postForm(list).body).commandSucceeded());
        upload.write(body.mid(body.size() / 2));
        QTRY_VERIFY_WITH_TIMEOUT(QFile(server.rootPath() + "/up/slow.bin").size() == 1024 * 1024, 20000);
    }

    void logsOneLinePerRequest()
    {
        ServerFixture server;
        QVERIFY(QDir().mkpath(server.rootPath() + "/logged dir"));
        QVERIFY(server.start());
        RawExchange exchange(server.url());
        exchange.command(server, "/logged dir", "LIST");
        exchange.postForm({ { "user", "tester" }, { "password", "nope" }, { "dir", "/" }, { "cmd", "MKD" } });
        QTRY_VERIFY_WITH_TIMEOUT(server.log().count('\n') >= 2, 10000);
        const QStringList lines = server.log().split('\n', Qt::SkipEmptyParts);
        QVERIFY(lines[0].contains(QRegularExpression("^\\d{4}-\\d\\d-\\d\\dT\\d\\d:\\d\\d:\\d\\dZ ")));
        QVERIFY2(lines[0].contains("user=\"tester\" cmd=\"LIST\" dir=\"/logged dir\" result=TRUE bytes="),
                 qPrintable(lines[0]));
        QVERIFY2(lines[1].contains("cmd=\"MKD\" dir=\"/\" result=LOGIN_FAILED"), qPrintable(lines[1]));
        QVERIFY(!server.log().contains("nope"));
    }

    void servesHttpsWithACertificate()
    {
        QTemporaryDir keys;
        const QString cert = keys.filePath("cert.pem");
        const QString key = keys.filePath("key.pem");
        QProcess openssl;
        openssl.start("openssl",
                      { "req", "-x509", "-newkey", "rsa:2048", "-nodes", "-keyout", key, "-out", cert, "-days", "1",
                        "-subj", "/CN=127.0.0.1" });
        QVERIFY(openssl.waitForFinished(60000));
        QCOMPARE(openssl.exitCode(), 0);
        ServerFixture server({ "--tls-cert", cert, "--tls-key", key });
        QVERIFY(server.start());
        QVERIFY(server.url().startsWith("https://127.0.0.1:"));
        RawExchange::Fields fields = RawExchange::request(server, "/", "LIST");
        QVERIFY(ReplyReader::fromUtf8(RawExchange(server.url()).postForm(fields).body).commandSucceeded());
    }
};

PLUMOXA_TEST(ServerProcessTest);
#include "ServerProcessTest.moc"
