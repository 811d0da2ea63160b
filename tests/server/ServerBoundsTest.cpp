#include "support/ServerFixture.h"
#include "support/TestRegistry.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QUrl>

#include <memory>
#include <vector>

namespace {

constexpr int kDeadlineMs = 10000;

std::unique_ptr<QTcpSocket> connectTo(const ServerFixture& server)
{
    const QUrl url(server.url());
    auto socket = std::make_unique<QTcpSocket>();
    socket->connectToHost(url.host(), quint16(url.port()));
    return socket->waitForConnected(kDeadlineMs) ? std::move(socket) : nullptr;
}

QByteArray listRequest(const ServerFixture& server)
{
    const QByteArray body = "user=" + QUrl::toPercentEncoding(server.user())
        + "&password=" + QUrl::toPercentEncoding(server.password()) + "&dir=%2F&cmd=LIST";
    return "POST /plumoxa HTTP/1.1\r\nHost: 127.0.0.1\r\nContent-Type: application/x-www-form-urlencoded\r\n"
           "Content-Length: "
        + QByteArray::number(body.size()) + "\r\n\r\n" + body;
}

} // namespace

// What one client can hold of the server: idle and slow connections are closed after their
// time-outs, a request head is bounded in size, connections beyond the limit wait, and the
// password file must be the owner's alone.
class ServerBoundsTest : public QObject
{
    Q_OBJECT

private slots:
    void heldConnectionsAreClosed_data()
    {
        QTest::addColumn<QByteArray>("sent");
        QTest::addColumn<bool>("trickle"); // then one more header byte every 100 ms
        QTest::addColumn<QByteArray>("answer"); // what the server answers before it closes
        QTest::newRow("idle, nothing sent") << QByteArray() << false << QByteArray();
        QTest::newRow("idle after a whole request")
            << QByteArray("GET / HTTP/1.1\r\nHost: h\r\n\r\n") << false << QByteArray("HTTP/1.1 200");
        QTest::newRow("head trickling in")
            << QByteArray("POST /plumoxa HTTP/1.1\r\nX-Slow: ") << true << QByteArray("HTTP/1.1 400");
        QByteArray endless = "POST /plumoxa HTTP/1.1\r\n";
        for (int line = 0; line < 20; ++line)
            endless += "X-Filler-" + QByteArray::number(line) + ": " + QByteArray(8000, 'f') + "\r\n";
        QTest::newRow("head over 64 KiB") << endless << false << QByteArray("HTTP/1.1 400");
    }
    void heldConnectionsAreClosed()
    {
        QFETCH(QByteArray, sent);
        QFETCH(bool, trickle);
        QFETCH(QByteArray, answer);
        // Time-outs of a second, where the defaults are 5 and 20 seconds.
        ServerFixture server({ "--idle-timeout", "1", "--request-timeout", "1" });
        QVERIFY(server.start());
        const auto socket = connectTo(server);
        QVERIFY(socket);
        QByteArray received;
        connect(socket.get(), &QTcpSocket::readyRead, this, [&] { received += socket->readAll(); });
        socket->write(sent);
        QTimer trickler;
        connect(&trickler, &QTimer::timeout, this, [&] { socket->write("x"); });
        if (trickle)
            trickler.start(100);
        QTRY_VERIFY_WITH_TIMEOUT(socket->state() == QAbstractSocket::UnconnectedState, kDeadlineMs);
        QVERIFY2(received.startsWith(answer), received.left(80).constData());

        // The server still serves.
        const auto next = connectTo(server);
        QVERIFY(next);
        next->write(listRequest(server));
        QTRY_VERIFY_WITH_TIMEOUT(next->bytesAvailable() > 0 || next->waitForReadyRead(100), kDeadlineMs);
        QVERIFY(next->readAll().startsWith("HTTP/1.1 200"));
    }

    void connectionsBeyondTheLimitWait()
    {
        // One connection served and one waiting; a third waits until they are gone.
        ServerFixture server({ "--max-connections", "1", "--idle-timeout", "30" });
        QVERIFY(server.start());
        std::vector<std::unique_ptr<QTcpSocket>> held;
        for (int i = 0; i < 2; ++i) {
            held.push_back(connectTo(server));
            QVERIFY(held.back());
        }
        const auto third = connectTo(server);
        QVERIFY(third);
        third->write(listRequest(server));
        QVERIFY(!third->waitForReadyRead(1000));
        held.clear();
        QTRY_VERIFY_WITH_TIMEOUT(third->bytesAvailable() > 0 || third->waitForReadyRead(100), kDeadlineMs);
        QVERIFY(third->readAll().startsWith("HTTP/1.1 200"));
    }

    void boundsMustBePositive_data()
    {
        QTest::addColumn<QStringList>("bound");
        QTest::newRow("no connections") << QStringList { "--max-connections", "0" };
        QTest::newRow("negative idle time-out") << QStringList { "--idle-timeout", "-1" };
        QTest::newRow("request time-out not a number") << QStringList { "--request-timeout", "soon" };
    }
    void boundsMustBePositive()
    {
        QFETCH(QStringList, bound);
        QTemporaryDir dir;
        QProcess process;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("PLUMOXA_PASSWORD", "pw");
        process.setProcessEnvironment(environment);
        process.start(ServerFixture::serverPath(), QStringList { "--root", dir.path(), "--user", "u" } + bound);
        QVERIFY(process.waitForFinished(kDeadlineMs));
        QCOMPARE(process.exitCode(), 2);
        QVERIFY(process.readAllStandardError().contains("wants a positive whole number"));
    }

    void passwordFileOthersCanRead_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<bool>("refused");
        QTest::newRow("0600") << 0600 << false;
        QTest::newRow("0400") << 0400 << false;
        QTest::newRow("0644, readable by all") << 0644 << true;
        QTest::newRow("0640, readable by the group") << 0640 << true;
        QTest::newRow("0604, readable by others") << 0604 << true;
        QTest::newRow("0620, writable by the group") << 0620 << true;
    }
    void passwordFileOthersCanRead()
    {
        QFETCH(int, mode);
        QFETCH(bool, refused);
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("root")));
        const QString path = dir.filePath(QStringLiteral("password"));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("secret\n");
        file.close();
        QFileDevice::Permissions permissions;
        const std::pair<int, QFileDevice::Permission> bits[] = {
            { 0400, QFileDevice::ReadOwner },  { 0200, QFileDevice::WriteOwner }, { 0040, QFileDevice::ReadGroup },
            { 0020, QFileDevice::WriteGroup }, { 0004, QFileDevice::ReadOther },
        };
        for (const auto& [bit, permission] : bits) {
            if (mode & bit)
                permissions |= permission;
        }
        QVERIFY(file.setPermissions(permissions));

        QProcess process;
        process.start(ServerFixture::serverPath(),
                      { "--root", dir.filePath(QStringLiteral("root")), "--user", "u", "--password-file", path,
                        "--listen", "127.0.0.1:0" });
        QVERIFY(process.waitForStarted(kDeadlineMs));
        if (refused) {
            QVERIFY(process.waitForFinished(kDeadlineMs));
            QCOMPARE(process.exitStatus(), QProcess::NormalExit);
            QCOMPARE(process.exitCode(), 2);
            const QByteArray message = process.readAllStandardError();
            QVERIFY2(message.contains(QByteArray("the password file " + path.toUtf8() + " can be read by others")),
                     message.constData());
            QVERIFY(message.contains("chmod 600"));
            return;
        }
        // Accepted: the server prints its URL and serves.
        QTRY_VERIFY_WITH_TIMEOUT(process.canReadLine() || process.waitForReadyRead(100), kDeadlineMs);
        QVERIFY(process.readLine().startsWith("http://127.0.0.1:"));
        process.terminate();
        QVERIFY(process.waitForFinished(kDeadlineMs));
        QCOMPARE(process.exitCode(), 0);
    }
};

PLUMOXA_TEST(ServerBoundsTest);
#include "ServerBoundsTest.moc"
