#include "RawExchange.h"
#include "ReplyReader.h"
#include "support/ServerFixture.h"
#include "support/TestRegistry.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QTest>

#include <fcntl.h>
#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

struct stat statusOf(const QString& path)
{
    struct stat status
    {
    };
    ::lstat(QFile::encodeName(path).constData(), &status);
    return status;
}

// The date column as a long listing writes it, computed here from the file's time.
QString listingDate(const QDateTime& modified)
{
    const QDateTime now = QDateTime::currentDateTime();
    const QString month = QLocale::c().toString(modified, QStringLiteral("MMM"));
    const QString day = QStringLiteral("%1").arg(modified.date().day(), 2);
    const bool recent = modified > now.addSecs(-(31556952 / 2)) && modified <= now;
    const QString last
        = recent ? modified.toString(QStringLiteral("HH:mm")) : QStringLiteral("%1").arg(modified.date().year(), 5);
    return month + ' ' + day + ' ' + last;
}

void setModified(const QString& path, const QDateTime& when)
{
    const struct timespec times[2] = { { when.toSecsSinceEpoch(), 0 }, { when.toSecsSinceEpoch(), 0 } };
    QCOMPARE(::utimensat(AT_FDCWD, QFile::encodeName(path).constData(), times, AT_SYMLINK_NOFOLLOW), 0);
}

} // namespace

// The listing line of each kind of entry, the names a reply cannot carry, and the Japanese
// reply encodings.
class ServerListingTest : public QObject
{
    Q_OBJECT

private slots:
    // Each row makes one entry alone in /t, so the columns have that entry's own widths.
    void listingLineOfOneEntry_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("linkTarget");
        QTest::addColumn<qint64>("size");
        QTest::addColumn<int>("mode");
        QTest::addColumn<QDateTime>("modified");
        QTest::addColumn<QString>("expectedStart");
        QTest::addColumn<QString>("expectedName");
        const QDateTime recent = QDateTime::currentDateTime().addDays(-3);
        const QDateTime old(QDate(2008, 1, 5), QTime(10, 30));
        QTest::newRow("file with spaces in its name")
            << "file"
            << "my  notes .txt" << QString() << qint64(12) << 0644 << recent << "-rw-r--r--"
            << "my  notes .txt";
        QTest::newRow("sparse file over 4 GiB")
            << "file"
            << "big.bin" << QString() << qint64(4294967297LL) << 0600 << old << "-rw-------"
            << "big.bin";
        QTest::newRow("directory") << "dir"
                                   << "docs" << QString() << qint64(-1) << 0755 << old << "drwxr-xr-x"
                                   << "docs";
        QTest::newRow("link to a directory inside") << "dirlink"
                                                    << "shortcut"
                                                    << "sub" << qint64(-1) << 0 << recent << "Drwxrwxrwx"
                                                    << "shortcut -> sub";
        QTest::newRow("link to a file") << "filelink"
                                        << "alias"
                                        << "sub/file" << qint64(-1) << 0 << recent << "lrwxrwxrwx"
                                        << "alias -> sub/file";
        QTest::newRow("link leading outside") << "outlink"
                                              << "away"
                                              << "/etc" << qint64(-1) << 0 << recent << "lrwxrwxrwx"
                                              << "away -> /etc";
        QTest::newRow("dangling link") << "outlink"
                                       << "dangling"
                                       << "nothing-here" << qint64(-1) << 0 << recent << "lrwxrwxrwx"
                                       << "dangling -> nothing-here";
        QTest::newRow("set-uid file shows plain x") << "file"
                                                    << "tool" << QString() << qint64(1) << 04755 << old << "-rwxr-xr-x"
                                                    << "tool";
        QTest::newRow("leading space in the name") << "file"
                                                   << " lead" << QString() << qint64(0) << 0644 << old << "-rw-r--r--"
                                                   << " lead";
    }
    void listingLineOfOneEntry()
    {
        QFETCH(QString, kind);
        QFETCH(QString, name);
        QFETCH(QString, linkTarget);
        QFETCH(qint64, size);
        QFETCH(int, mode);
        QFETCH(QDateTime, modified);
        QFETCH(QString, expectedStart);
        QFETCH(QString, expectedName);

        ServerFixture server;
        const QString dir = server.rootPath() + "/t";
        QVERIFY(QDir().mkpath(dir));
        QVERIFY(QDir().mkpath(server.rootPath() + "/sub"));
        QFile(server.rootPath() + "/sub/file").open(QIODevice::WriteOnly);
        const QString path = dir + '/' + name;
        if (kind == "file") {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            QVERIFY(file.resize(size));
            file.close();
            QCOMPARE(::chmod(QFile::encodeName(path).constData(), mode), 0);
        } else if (kind == "dir") {
            QVERIFY(QDir().mkdir(path));
            QCOMPARE(::chmod(QFile::encodeName(path).constData(), mode), 0);
        } else {
            const QString target = linkTarget.startsWith('/') ? linkTarget : "../" + linkTarget;
            QVERIFY(QFile::link(target, path));
            expectedName.replace(" -> " + linkTarget, " -> " + target);
        }
        setModified(path, modified);
        QVERIFY(server.start());

        const ReplyReader reply = ReplyReader::fromUtf8(RawExchange(server.url()).command(server, "/t", "LIST").body);
        QVERIFY(reply.commandSucceeded());
        const QStringList lines = reply.linesOf("/t");
        QCOMPARE(lines.size(), 1);
        const struct stat status = statusOf(path);
        const QString expected = expectedStart + ' ' + QString::number(status.st_nlink) + ' '
            + QString::fromLocal8Bit(::getpwuid(status.st_uid)->pw_name) + ' '
            + QString::fromLocal8Bit(::getgrgid(status.st_gid)->gr_name) + ' '
            + QString::number(qulonglong(status.st_size)) + ' '
            + listingDate(QDateTime::fromSecsSinceEpoch(status.st_mtime)) + ' ' + expectedName;
        QCOMPARE(lines.first(), expected);
    }

    void datesOfEveryMonth_data()
    {
        QTest::addColumn<QDateTime>("modified");
        QTest::addColumn<QString>("expected");
        QTest::newRow("January, one-digit day") << QDateTime(QDate(2009, 1, 3), QTime(8, 5)) << "Jan  3  2009";
        QTest::newRow("December, two-digit day") << QDateTime(QDate(2015, 12, 24), QTime(23, 59)) << "Dec 24  2015";
        QTest::newRow("in the future") << QDateTime(QDate(2100, 6, 1), QTime(0, 0)) << "Jun  1  2100";
    }
    void datesOfEveryMonth()
    {
        QFETCH(QDateTime, modified);
        QFETCH(QString, expected);
        ServerFixture server;
        const QString path = server.rootPath() + "/f";
        QFile(path).open(QIODevice::WriteOnly);
        setModified(path, modified);
        QVERIFY(server.start());
        const ReplyReader reply = ReplyReader::fromUtf8(RawExchange(server.url()).command(server, "/", "LIST").body);
        QVERIFY2(reply.linesOf("/").value(0).endsWith(' ' + expected + " f"), qPrintable(reply.linesOf("/").value(0)));
    }

    void columnsLineUpAcrossEntries()
    {
        ServerFixture server;
        QFile small(server.rootPath() + "/a");
        QVERIFY(small.open(QIODevice::WriteOnly));
        small.write("1");
        small.close();
        QFile large(server.rootPath() + "/b");
        QVERIFY(large.open(QIODevice::WriteOnly));
        QVERIFY(large.resize(123456));
        large.close();
        QVERIFY(server.start());
        const QStringList lines
            = ReplyReader::fromUtf8(RawExchange(server.url()).command(server, "/", "LIST").body).linesOf("/");
        QCOMPARE(lines.size(), 2);
        QCOMPARE(lines[0].size(), lines[1].size());
        QVERIFY(lines[0].contains("      1 "));
    }

    // A name cannot hold "/", so the closing tags reach a listing only through link targets.
    void namesTheReplyCannotCarryAreLeftOut_data()
    {
        QTest::addColumn<QByteArray>("name");
        QTest::addColumn<QByteArray>("linkTarget");
        QTest::newRow("line feed") << QByteArray("a\nb") << QByteArray();
        QTest::newRow("carriage return") << QByteArray("a\rb") << QByteArray();
        QTest::newRow("end of a list path") << QByteArray("q\">r") << QByteArray();
        QTest::newRow("invalid UTF-8") << QByteArray("bad\xff.txt") << QByteArray();
        QTest::newRow("closing path tag in a target") << QByteArray("l") << QByteArray("x</path>y");
        QTest::newRow("closing path tag upper case") << QByteArray("l") << QByteArray("x</PATH>y");
        QTest::newRow("closing list tag in a target") << QByteArray("l") << QByteArray("x</List>y");
        QTest::newRow("line feed in a target") << QByteArray("l") << QByteArray("x\ny");
    }
    void namesTheReplyCannotCarryAreLeftOut()
    {
        QFETCH(QByteArray, name);
        QFETCH(QByteArray, linkTarget);
        ServerFixture server;
        const QByteArray path = QFile::encodeName(server.rootPath()) + '/' + name;
        QFile(server.rootPath() + "/ok.txt").open(QIODevice::WriteOnly);
        if (linkTarget.isEmpty())
            QCOMPARE(::close(::open(path.constData(), O_WRONLY | O_CREAT, 0644)), 0);
        else
            QCOMPARE(::symlink(linkTarget.constData(), path.constData()), 0);
        QVERIFY(server.start());
        const HttpReply http = RawExchange(server.url()).command(server, "/", "LIST");
        const ReplyReader reply = ReplyReader::fromUtf8(http.body);
        QVERIFY(reply.commandSucceeded());
        const QStringList lines = reply.linesOf("/");
        QCOMPARE(lines.size(), 1);
        QVERIFY(lines.first().endsWith(" ok.txt"));
        QVERIFY(!http.body.contains(linkTarget.isEmpty() ? name : linkTarget));
        QTRY_VERIFY_WITH_TIMEOUT(server.log().contains("left out of the listing"), 5000);
        // QTemporaryDir cannot remove a name that is not valid in the file name encoding.
        QCOMPARE(::unlink(path.constData()), 0);
    }

    void japaneseCharsets_data()
    {
        QTest::addColumn<QString>("charset");
        QTest::addColumn<QByteArray>("encodedName");
        // 日本語.txt
        QTest::newRow("shift_jis") << "shift_jis" << QByteArray("\x93\xfa\x96\x7b\x8c\xea.txt");
        QTest::newRow("euc-jp") << "euc-jp" << QByteArray("\xc6\xfc\xcb\xdc\xb8\xec.txt");
    }
    void japaneseCharsets()
    {
        QFETCH(QString, charset);
        QFETCH(QByteArray, encodedName);
        if (ServerFixture::runsPhpScript())
            QSKIP("the PHP script answers in UTF-8 only");
        ServerFixture server({ "--charset", charset });
        const QString japanese = QString::fromUtf8("\xe6\x97\xa5\xe6\x9c\xac\xe8\xaa\x9e");
        QVERIFY(QDir().mkpath(server.rootPath() + '/' + japanese));
        QFile(server.rootPath() + '/' + japanese + '/' + japanese + ".txt").open(QIODevice::WriteOnly);
        // An emoji is in neither set; the yen sign would be read back as a backslash: both left out.
        QFile(server.rootPath() + '/' + japanese + QString::fromUtf8("/\xf0\x9f\x98\x80.txt"))
            .open(QIODevice::WriteOnly);
        QFile(server.rootPath() + '/' + japanese + QString::fromUtf8("/yen\xc2\xa5.txt")).open(QIODevice::WriteOnly);
        QVERIFY(server.start());

        // Requests stay UTF-8, percent-escaped; only the reply is in the chosen set.
        const HttpReply http = RawExchange(server.url()).command(server, "/" + japanese.toUtf8(), "LIST");
        QCOMPARE(http.contentType, "text/html; charset=" + charset.toLatin1());
        const QByteArray encodedDir = encodedName.chopped(4);
        QVERIFY(http.body.contains(QByteArray("<current_dir>/" + encodedDir + "</current_dir>")));
        QVERIFY(http.body.contains(QByteArray("<list path=\"/" + encodedDir + "\">")));
        QVERIFY(http.body.contains(QByteArray(' ' + encodedName + "</path>")));
        QCOMPARE(http.body.count("<path>"), 1);
        QVERIFY(!http.body.contains("txt</path>\n<path>"));
    }
};

PLUMOXA_TEST(ServerListingTest);
#include "ServerListingTest.moc"
