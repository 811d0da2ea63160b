#include "CliRun.h"

#include "document/DocumentFile.h"
#include "support/CannedResponder.h"
#include "support/ServerFixture.h"
#include "support/TestFiles.h"
#include "support/TestRegistry.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>
#include <unistd.h>

using TestFiles::readFile;
using TestFiles::writeFile;

// Listing, remote edits, accounts and exit codes.
class CliCommandTest : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<ServerFixture> m_server;
    QString m_root;

private slots:
    void init()
    {
        m_server = std::make_unique<ServerFixture>(QStringList { "--start-dir", "/home/u" });
        m_root = m_server->rootPath();
        writeFile(m_root + "/home/u/b.txt", "bee");
        writeFile(m_root + "/home/u/a file.txt", "a");
        writeFile(m_root + "/home/u/.profile", "p");
        writeFile(m_root + "/home/u/docs/x", "x");
        QVERIFY(QFile::link("b.txt", m_root + "/home/u/link"));
        // A sparse file past 4 GiB: its size must come through whole.
        QFile big(m_root + "/home/u/big.bin");
        QVERIFY(big.open(QIODevice::WriteOnly));
        QVERIFY(big.resize(5LL * 1024 * 1024 * 1024 + 7));
        big.close();
        QVERIFY(m_server->start());
    }
    void cleanup() { m_server.reset(); }

    void lsFormats_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QByteArray>("expected");
        QTest::newRow("plain, sorted, dot names hidden")
            << QStringList { "ls" } << QByteArray("a file.txt\nb.txt\nbig.bin\ndocs/\nlink\n");
        QTest::newRow("all") << QStringList { "ls", "-a" }
                             << QByteArray(".profile\na file.txt\nb.txt\nbig.bin\ndocs/\nlink\n");
        QTest::newRow("absolute directory") << QStringList { "ls", "/home/u/docs" } << QByteArray("x\n");
        QTest::newRow("relative with dots") << QStringList { "ls", "docs/../docs/." } << QByteArray("x\n");
    }
    void lsFormats()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QByteArray, expected);
        const CliRun run = CliRun::on(*m_server, arguments);
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(run.out, expected);
    }

    void lsTsvCarriesEveryColumn()
    {
        const CliRun run = CliRun::on(*m_server, { "ls", "--tsv" });
        QCOMPARE(run.exitCode, 0);
        const QList<QByteArray> lines = run.out.split('\n');
        QCOMPARE(lines.size(), 6);
        const auto columns = [&](int line) { return lines.at(line).split('\t'); };
        QCOMPARE(columns(2).value(3), QByteArray("5368709127"));
        QCOMPARE(columns(2).value(5), QByteArray("big.bin"));
        QVERIFY(columns(3).value(0).startsWith('d'));
        QVERIFY(columns(4).value(0).startsWith('l'));
        QCOMPARE(columns(4).value(5), QByteArray("link -> b.txt"));
        QCOMPARE(columns(0).size(), 6);

        const CliRun aligned = CliRun::on(*m_server, { "ls", "-l" });
        QCOMPARE(aligned.exitCode, 0);
        QVERIFY(aligned.out.contains("5368709127"));
        QVERIFY(aligned.out.contains("link -> b.txt\n"));
    }

    void remoteEdits()
    {
        QCOMPARE(CliRun::on(*m_server, { "mkdir", "new dir" }).exitCode, 0);
        QVERIFY(QFileInfo(m_root + "/home/u/new dir").isDir());
        QCOMPARE(CliRun::on(*m_server, { "mv", "new dir", "renamed" }).exitCode, 0);
        QVERIFY(QFileInfo(m_root + "/home/u/renamed").isDir());
        QCOMPARE(CliRun::on(*m_server, { "rmdir", "/home/u/renamed" }).exitCode, 0);
        QVERIFY(!QFileInfo::exists(m_root + "/home/u/renamed"));
        QCOMPARE(CliRun::on(*m_server, { "chmod", "640", "b.txt" }).exitCode, 0);
        struct stat status
        {
        };
        QCOMPARE(::stat(QFile::encodeName(m_root + "/home/u/b.txt").constData(), &status), 0);
        QCOMPARE(status.st_mode & 0777, 0640u);
        QCOMPARE(CliRun::on(*m_server, { "rm", "b.txt", "a file.txt" }).exitCode, 0);
        QVERIFY(!QFileInfo::exists(m_root + "/home/u/b.txt"));
        QVERIFY(!QFileInfo::exists(m_root + "/home/u/a file.txt"));
    }

    void exitCodes_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QByteArray>("message");
        QTest::newRow("refused: rm of a missing file")
            << QStringList { "rm", "missing" } << 1 << QByteArray("remove failed: missing");
        QTest::newRow("refused: rmdir of a full directory")
            << QStringList { "rmdir", "docs" } << 1 << QByteArray("remove failed");
        QTest::newRow("refused: bad mode")
            << QStringList { "chmod", "9x9", "b.txt" } << 1 << QByteArray("CHMOD failed");
        QTest::newRow("refused: list of a missing directory")
            << QStringList { "ls", "nowhere" } << 1 << QByteArray("LIST failed");
        QTest::newRow("usage: unknown command") << QStringList { "frobnicate" } << 2 << QByteArray("unknown command");
        QTest::newRow("usage: unknown option") << QStringList { "ls", "-z" } << 2 << QByteArray("unknown option -z");
        QTest::newRow("usage: directory without -r") << QStringList { "get", "docs" } << 2 << QByteArray("use -r");
        QTest::newRow("usage: both conflict options")
            << QStringList { "get", "--overwrite", "--skip-existing", "b.txt" } << 2 << QByteArray("exclude");
        QTest::newRow("usage: a path as new name")
            << QStringList { "mv", "b.txt", "../x" } << 2 << QByteArray("plain name");
    }
    void exitCodes()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, exitCode);
        QFETCH(QByteArray, message);
        const CliRun run = CliRun::on(*m_server, arguments);
        QCOMPARE(run.exitCode, exitCode);
        QVERIFY2(run.err.contains(message), run.err.constData());
    }

    void loginFailures_data()
    {
        QTest::addColumn<bool>("refusedPort");
        QTest::newRow("wrong password") << false;
        QTest::newRow("connection refused") << true;
    }
    void loginFailures()
    {
        QFETCH(bool, refusedPort);
        QString url = m_server->url();
        if (refusedPort) {
            CannedResponder closed;
            url = closed.url();
        }
        const CliRun run = CliRun::run({ "--url", url, "--user", m_server->user(), "ls" }, QString(),
                                       refusedPort ? m_server->password() : QStringLiteral("wrong"));
        QCOMPARE(run.exitCode, 3);
        QVERIFY(run.err.contains("connect failed"));
    }

    void noPasswordIsAUsageError()
    {
        const CliRun run = CliRun::run(CliRun::account(*m_server) + QStringList { "ls" });
        QCOMPARE(run.exitCode, 2);
        QVERIFY(run.err.contains("PLUMOXA_PASSWORD"));
    }

    void passwordFromStandardInput()
    {
        const CliRun run = CliRun::run(CliRun::account(*m_server) + QStringList { "--password-stdin", "ls", "docs" },
                                       QString(), QString(), m_server->password().toUtf8() + "\n");
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(run.out, QByteArray("x\n"));
    }

    void accountDocumentRoundTrip()
    {
        QTemporaryDir dir;
        const QString file = dir.filePath("office.plumoxa");
        const CliRun created = CliRun::run({ "account", "create", file, "--url", m_server->url(), "--user",
                                             m_server->user(), "--description", "R&D <office>", "--timeout", "30.5" },
                                           QString(), m_server->password());
        QCOMPARE(created.exitCode, 0);
        ConnectSettings settings;
        QVERIFY(DocumentFile::read(file, settings));
        QCOMPARE(settings.description(), QStringLiteral("R&D <office>"));
        QCOMPARE(settings.password(), m_server->password());

        const CliRun shown = CliRun::run({ "account", "show", file });
        QCOMPARE(shown.exitCode, 0);
        QCOMPARE(shown.out,
                 QByteArray("description: R&D <office>\nurl: " + m_server->url().toUtf8()
                            + "\nuser: " + m_server->user().toUtf8() + "\ntimeout: 30\n"));
        QVERIFY(!shown.out.contains(m_server->password().toUtf8()));

        const CliRun listed = CliRun::run({ "-a", file, "ls", "docs" });
        QCOMPARE(listed.exitCode, 0);
        QCOMPARE(listed.out, QByteArray("x\n"));
    }

    void accountCreateChecksTheUrl()
    {
        QTemporaryDir dir;
        const CliRun run
            = CliRun::run({ "account", "create", dir.filePath("a.plumoxa"), "--url", "ftp://x", "--user", "u" },
                          QString(), QStringLiteral("pw"));
        QCOMPARE(run.exitCode, 2);
        QVERIFY(run.err.contains("Invalid URL"));
        QVERIFY(!QFileInfo::exists(dir.filePath("a.plumoxa")));
    }

    void helpForProgramAndCommand()
    {
        const CliRun program = CliRun::run({ "--help" });
        QCOMPARE(program.exitCode, 0);
        QVERIFY(program.out.contains("Usage: plumoxa-cli"));
        const CliRun command = CliRun::run({ "get", "--help" });
        QCOMPARE(command.exitCode, 0);
        QVERIFY(command.out.contains("get [-r]"));
    }
};

PLUMOXA_TEST(CliCommandTest);
#include "CliCommandTest.moc"
