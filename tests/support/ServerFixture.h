#pragma once

#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

#include <memory>

class QProcess;
class QTemporaryDir;

// Runs a real plumoxa-server for a test: a temporary root, a password file beside it (not in it),
// and the server listening on 127.0.0.1 on a port of its own choosing.
//
//   ServerFixture server;              // or ServerFixture server({"--start-dir", "/home/u"});
//   QVERIFY(server.start());           // waits for the server's URL line, at most 15 seconds
//   server.url();                      // "http://127.0.0.1:PORT/plumoxa" (https with --tls-*)
//   server.rootPath();                 // the served directory on disk; fill it before or after start()
//   server.user(); server.password();  // the account the server accepts
//   server.log();                      // what the server wrote to standard error so far
//   QVERIFY(server.stop());            // SIGTERM; true when it ended by itself with status 0
//
// extraArgs go after --root, --user, --password-file and --listen. The destructor stops a
// server still running, killing it if it does not end within the deadline.
//
// With PLUMOXA_TEST_PHP_SCRIPT naming server/php/plumoxa.php (and PLUMOXA_TEST_PHP the php
// program, "php" by default), the same fixture serves the same root through that script instead:
// a copy configured for the fixture's root, user, password and start directory, under PHP's
// built-in web server. Only --start-dir carries over from extraArgs; start() refuses any other
// option, so a test of something only plumoxa-server has checks runsPhpScript() first.
class ServerFixture
{
public:
    explicit ServerFixture(QStringList extraArgs = {});
    ~ServerFixture();
    ServerFixture(const ServerFixture&) = delete;
    ServerFixture& operator=(const ServerFixture&) = delete;

    bool start();
    bool stop();

    QString url() const { return m_url; }
    QString rootPath() const;
    QString user() const;
    QString password() const;
    QString log() const;

    // The plumoxa-server binary of this build.
    static QString serverPath();
    // Whether fixtures serve through the PHP script rather than plumoxa-server.
    static bool runsPhpScript();
    // Gives a constant of the PHP script's configuration this value instead of the fixture's.
    void setPhpConstant(const QString& name, const QString& value);

private:
    bool startServer();
    bool startPhpScript();
    bool waitForLine(const QByteArray& marker, QByteArray& line);
    void keepPhpLog() const;

    QStringList m_extraArgs;
    QList<QPair<QString, QString>> m_phpConstants;
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<QProcess> m_process;
    QString m_url;
};
