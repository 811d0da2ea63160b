#include "CliRun.h"

#include "support/CannedResponder.h"
#include "support/ServerFixture.h"
#include "support/TestFiles.h"
#include "support/TestRegistry.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

using TestFiles::readFile;
using TestFiles::writeFile;

namespace {

// Every file below root, as "relative/path=content", sorted.
QStringList tree(const QString& root)
{
    QStringList files;
    QDirIterator it(root, QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        files.append(QDir(root).relativeFilePath(path) + u'=' + QString::fromLatin1(readFile(path)));
    }
    files.sort();
    return files;
}

QByteArray listReply(const char* command, const QByteArray& path, const QList<QByteArray>& lines)
{
    QByteArray body = "<login_result>TRUE</login_result><command>" + QByteArray(command)
        + "</command><command_result>TRUE</command_result><current_dir>/</current_dir><result_count>1</result_count>"
          "<list path=\""
        + path + "\">";
    for (const QByteArray& line : lines)
        body += "<path>" + line + "</path>";
    return CannedResponder::response(body + "</list>");
}

} // namespace

// get and put of files and trees, conflicts, hidden items and names a server should never send.
class CliTransferTest : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<ServerFixture> m_server;
    QString m_root;
    std::unique_ptr<QTemporaryDir> m_local;

    CliRun cli(const QStringList& arguments) { return CliRun::on(*m_server, arguments, m_local->path()); }
    QString local(const QString& relative) const { return m_local->filePath(relative); }

private slots:
    void init()
    {
        m_server = std::make_unique<ServerFixture>(QStringList { "--start-dir", "/home/u" });
        m_root = m_server->rootPath() + "/home/u";
        writeFile(m_root + "/a.txt", "alpha");
        writeFile(m_root + "/tree/one.txt", "1");
        writeFile(m_root + "/tree/sub/two.txt", "2");
        writeFile(m_root + "/tree/sub/deeper/three.bin", QByteArray("\x00\x01\xff", 3));
        QVERIFY(m_server->start());
        m_local = std::make_unique<QTemporaryDir>();
    }
    void cleanup()
    {
        m_server.reset();
        m_local.reset();
    }

    void getFiles_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("written");
        QTest::newRow("into the working folder") << QStringList { "get", "a.txt" } << "a.txt";
        QTest::newRow("to a path") << QStringList { "get", "/home/u/a.txt", "renamed.txt" } << "renamed.txt";
        QTest::newRow("into a folder") << QStringList { "get", "a.txt", "." } << "a.txt";
    }
    void getFiles()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, written);
        const CliRun run = cli(arguments);
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(readFile(local(written)), QByteArray("alpha"));
    }

    void getTree()
    {
        const CliRun run = cli({ "get", "-r", "tree" });
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(tree(local("tree")),
                 QStringList({ "one.txt=1", "sub/deeper/three.bin=" + QString::fromLatin1("\x00\x01\xff", 3),
                               "sub/two.txt=2" }));
    }

    void getConflicts_data()
    {
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QByteArray>("content");
        QTest::newRow("refused without an option") << QStringList {} << 1 << QByteArray("local");
        QTest::newRow("overwrite") << QStringList { "--overwrite" } << 0 << QByteArray("alpha");
        QTest::newRow("skip") << QStringList { "--skip-existing" } << 0 << QByteArray("local");
    }
    void getConflicts()
    {
        QFETCH(QStringList, options);
        QFETCH(int, exitCode);
        QFETCH(QByteArray, content);
        writeFile(local("a.txt"), "local");
        writeFile(local("tree/one.txt"), "local");
        const CliRun file = cli(QStringList { "get" } + options + QStringList { "a.txt" });
        QCOMPARE(file.exitCode, exitCode);
        QCOMPARE(readFile(local("a.txt")), content);
        // A tree merges into an existing folder; only existing files conflict.
        const CliRun folder = cli(QStringList { "get", "-r" } + options + QStringList { "tree" });
        QCOMPARE(folder.exitCode, exitCode);
        QCOMPARE(readFile(local("tree/one.txt")), content == "alpha" ? QByteArray("1") : QByteArray("local"));
        QCOMPARE(readFile(local("tree/sub/two.txt")), QByteArray("2"));
        // Nothing half-written is left beside the targets.
        QCOMPARE(QDir(local("tree")).entryList(QDir::Files | QDir::Hidden), QStringList { "one.txt" });
    }

    void putTreeSkipsHiddenItems()
    {
        writeFile(local("up/visible.txt"), "v");
        writeFile(local("up/.hidden.txt"), "h");
        writeFile(local("up/.git/config"), "c");
        writeFile(local("up/inner/deep.txt"), "d");
        writeFile(local("single.txt"), "s");
        const CliRun run = cli({ "put", "-r", "up", "single.txt", "/home/u/tree" });
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(tree(m_root + "/tree/up"), QStringList({ "inner/deep.txt=d", "visible.txt=v" }));
        QCOMPARE(readFile(m_root + "/tree/single.txt"), QByteArray("s"));
    }

    void putConflicts_data()
    {
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QByteArray>("content");
        QTest::newRow("refused without an option") << QStringList {} << 1 << QByteArray("alpha");
        QTest::newRow("overwrite") << QStringList { "--overwrite" } << 0 << QByteArray("new");
        QTest::newRow("skip") << QStringList { "--skip-existing" } << 0 << QByteArray("alpha");
    }
    void putConflicts()
    {
        QFETCH(QStringList, options);
        QFETCH(int, exitCode);
        QFETCH(QByteArray, content);
        writeFile(local("a.txt"), "new");
        const CliRun run = cli(QStringList { "put" } + options + QStringList { "a.txt" });
        QCOMPARE(run.exitCode, exitCode);
        QCOMPARE(readFile(m_root + "/a.txt"), content);
    }

    void putFolderOverARemoteFile()
    {
        writeFile(local("a.txt/inside.txt"), "i");
        const CliRun run = cli({ "put", "-r", "--overwrite", "a.txt" });
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(readFile(m_root + "/a.txt/inside.txt"), QByteArray("i"));
    }

    void putMissingLocalFile()
    {
        const CliRun run = cli({ "put", "nothing-here.txt" });
        QCOMPARE(run.exitCode, 1);
        QVERIFY(run.err.contains("nothing-here.txt"));
    }

    void controlCharactersNeverReachTheTerminal()
    {
        CannedResponder hostile;
        const QByteArray name = "\x1b]0;owned\x07\x1b[2Jevil.txt";
        const QByteArray line = "-rw-r--r-- 1 u g 3 Jan  1  2020 " + name;
        hostile.script({ listReply("CONN", "/", { line }), listReply("LIST", "/", { line }) });
        const CliRun run = CliRun::run({ "--url", hostile.url(), "--user", "u", "ls" }, QString(), QStringLiteral("p"));
        QCOMPARE(run.exitCode, 0);
        QVERIFY(!run.out.contains('\x1b'));
        QVERIFY(!run.out.contains('\x07'));
        QCOMPARE(run.out, QByteArray("\\x1b]0;owned\\x07\\x1b[2Jevil.txt\n"));
    }

    void hostileNamesNeverReachOutside_data()
    {
        QTest::addColumn<QByteArray>("name");
        QTest::addColumn<bool>("refused"); // names starting with "." are hidden rows, never fetched
        QTest::newRow("parent") << QByteArray("../x") << false;
        QTest::newRow("dot dot") << QByteArray("..") << false;
        QTest::newRow("slash") << QByteArray("a/b") << true;
        QTest::newRow("climbing inside") << QByteArray("x/../../y") << true;
        QTest::newRow("absolute") << QByteArray("/tmp/evil") << true;
    }
    void hostileNamesNeverReachOutside()
    {
        QFETCH(QByteArray, name);
        QFETCH(bool, refused);
        CannedResponder hostile;
        const QByteArray directory = "drwxr-xr-x 1 u g 0 Jan  1  2020 evil";
        const QByteArray file = "-rw-r--r-- 1 u g 3 Jan  1  2020 " + name;
        hostile.script(
            { listReply("CONN", "/", { directory }), listReply("LIST", "/", { directory }),
              listReply("LIST", "/evil", { file }),
              CannedResponder::response("<login_result>TRUE</login_result><command>RETR</command>"
                                        "<command_result>TRUE</command_result><current_dir>/evil</current_dir>"
                                        "<result_count>1</result_count><retr>YmFk\n</retr>") });
        QTemporaryDir outer;
        QVERIFY(QDir().mkpath(outer.filePath("work")));
        const CliRun run = CliRun::run({ "--url", hostile.url(), "--user", "u", "get", "-r", "evil" },
                                       outer.filePath("work"), QStringLiteral("p"));
        QCOMPARE(run.exitCode, refused ? 1 : 0);
        if (refused)
            QVERIFY2(run.err.contains(name), run.err.constData());
        QCOMPARE(tree(outer.path()), QStringList());
    }
};

PLUMOXA_TEST(CliTransferTest);
#include "CliTransferTest.moc"
