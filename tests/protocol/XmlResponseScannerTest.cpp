#include "protocol/XmlResponseScanner.h"
#include "support/TestRegistry.h"

#include <QTest>

using Status = XmlResponseScanner::Status;

namespace {

QString ok(const char* command, const char* rest = "")
{
    return QStringLiteral(
               "<login_result>TRUE</login_result><command>%1</command><command_result>TRUE</command_result>%2")
        .arg(QLatin1StringView(command), QString::fromUtf8(rest));
}

// The listing blocks as "path: line|line|...;" with a "!" after the complete ones.
QString describe(const QList<XmlResponseScanner::ListBlock>& blocks)
{
    QString text;
    for (const auto& block : blocks)
        text += block.path + u": " + block.lines.join(u'|') + (block.complete ? u"!;" : u";");
    return text;
}

} // namespace

class XmlResponseScannerTest : public QObject
{
    Q_OBJECT

private slots:
    void replies_data()
    {
        QTest::addColumn<QString>("reply");
        QTest::addColumn<Status>("status");
        QTest::addColumn<QString>("currentDirectory"); // "<null>" for absent
        QTest::addColumn<QString>("blocks");
        QTest::addColumn<QByteArray>("content");
        const QString null = QStringLiteral("<null>");

        QTest::newRow("empty reply fails the login") << QString() << Status::LoginFailed << null << "" << QByteArray();
        QTest::newRow("lower-case true fails the login")
            << "<login_result>true</login_result><command>MKD</command><command_result>TRUE</command_result>"
            << Status::LoginFailed << null << "" << QByteArray();
        QTest::newRow("line break inside the value fails the login")
            << "<login_result>TRUE\n</login_result><command>MKD</command><command_result>TRUE</command_result>"
            << Status::LoginFailed << null << "" << QByteArray();
        QTest::newRow("upper-case tags pass")
            << "<LOGIN_RESULT>TRUE</LOGIN_RESULT><COMMAND>MKD</COMMAND><Command_Result>TRUE</Command_Result>"
            << Status::Done << null << "" << QByteArray();
        QTest::newRow("minimal success hands an absent directory on")
            << ok("MKD") << Status::Done << null << "" << QByteArray();
        QTest::newRow("command failed") << "<login_result>TRUE</login_result><command>RM</command>"
                                           "<command_result>FALSE</command_result>"
                                        << Status::CommandFailed << null << "" << QByteArray();
        QTest::newRow("items out of order count as missing")
            << "<command_result>TRUE</command_result><login_result>TRUE</login_result><command>RM</command>"
            << Status::CommandFailed << null << "" << QByteArray();
        QTest::newRow("text around items is skipped")
            << "<html>junk " + ok("MKD", " more <current_dir>/a b</current_dir> tail") << Status::Done << "/a b"
            << "" << QByteArray();
        QTest::newRow("entities are not decoded")
            << ok("LIST", "<current_dir>/a&amp;b</current_dir>") << Status::Done << "/a&amp;b"
            << "" << QByteArray();
        QTest::newRow("CONN with two blocks completes each")
            << ok("CONN",
                  "<current_dir>/home</current_dir><result_count>2</result_count>"
                  "<list path=\"/\"><path>dr-x 1 a b 0 Jan  1  2020 home</path></list>"
                  "<list path=\"/home\"><path>-rw- 1 a b 5 Jan  1  2020 x</path>"
                  "<path>-rw- 1 a b 5 Jan  1  2020 y</path></list>")
            << Status::Done << "/home"
            << "/: dr-x 1 a b 0 Jan  1  2020 home!;/home: -rw- 1 a b 5 Jan  1  2020 x|-rw- 1 a b 5 Jan  1  2020 y!;"
            << QByteArray();
        QTest::newRow("the same reply echoed as LIST never completes")
            << ok("LIST",
                  "<current_dir>/home</current_dir><result_count>2</result_count>"
                  "<list path=\"/\"><path>a</path></list><list path=\"/home\"><path>b</path></list>")
            << Status::Done << "/home"
            << "/: a;/home: b;" << QByteArray();
        QTest::newRow("an empty path element ends the block")
            << ok("LIST",
                  "<current_dir>/</current_dir><result_count>1</result_count>"
                  "<list path=\"/\"><path>one</path><path>two</path><path></path><path>four</path></list>")
            << Status::Done << "/"
            << "/: one|two;" << QByteArray();
        QTest::newRow("count smaller than the blocks")
            << ok("LIST",
                  "<current_dir>/</current_dir><result_count>1</result_count><list path=\"/a\"><path>x</path></list>"
                  "<list path=\"/b\"><path>y</path></list>")
            << Status::Done << "/"
            << "/a: x;" << QByteArray();
        QTest::newRow("count larger than the blocks") << ok(
            "LIST", "<current_dir>/</current_dir><result_count>5</result_count><list path=\"/a\"><path>x</path></list>")
                                                      << Status::Done << "/"
                                                      << "/a: x;" << QByteArray();
        QTest::newRow("missing count reads no blocks")
            << ok("LIST", "<current_dir>/</current_dir><list path=\"/a\"><path>x</path></list>") << Status::Done << "/"
            << "" << QByteArray();
        QTest::newRow("a missing directory leaves nothing after it to find")
            << ok("LIST", "<result_count>1</result_count><list path=\"/a\"><path>x</path></list>") << Status::Done
            << null << "" << QByteArray();
        QTest::newRow("the echo decides: STOR reads no blocks")
            << ok("STOR", "<result_count>1</result_count><retr>Zm9v\n</retr>") << Status::Done << null << ""
            << QByteArray();
        QTest::newRow("RETR with two blocks appends both in order") << ok(
            "RETR", "<current_dir>/</current_dir><result_count>2</result_count><retr>Zm9v\n</retr><retr>YmFy\n</retr>")
                                                                    << Status::Done << "/"
                                                                    << "" << QByteArray("foobar");
        QTest::newRow("RETR with a count of 1 takes only the first") << ok(
            "RETR", "<current_dir>/</current_dir><result_count>1</result_count><retr>Zm9v\n</retr><retr>YmFy\n</retr>")
                                                                     << Status::Done << "/"
                                                                     << "" << QByteArray("foo");
        QTest::newRow("retr text not a multiple of four contributes nothing") << ok(
            "RETR", "<current_dir>/</current_dir><result_count>2</result_count><retr>Zm9vY\n</retr><retr>YmFy\n</retr>")
                                                                              << Status::Done << "/"
                                                                              << "" << QByteArray("bar");
        QTest::newRow("retr without the line feed before its end tag is cut short")
            << ok("RETR", "<current_dir>/</current_dir><result_count>1</result_count><retr>Zm9v</retr>")
            << Status::LoginFailed << "/"
            << "" << QByteArray();
        QTest::newRow("a list block cut short fails the login test") << ok(
            "CONN", "<current_dir>/</current_dir><result_count>1</result_count><list path=\"/\"><path>a</path><path>b")
                                                                     << Status::LoginFailed << "/"
                                                                     << "" << QByteArray();
        QTest::newRow("a list block cut inside its path fails the login test")
            << ok("LIST", "<current_dir>/</current_dir><result_count>1</result_count><list path=\"/ho")
            << Status::LoginFailed << "/"
            << "" << QByteArray();
        QTest::newRow("a cut short reply keeps none of the blocks before the cut")
            << ok("RETR", "<current_dir>/</current_dir><result_count>2</result_count><retr>Zm9v\n</retr><retr>YmFy")
            << Status::LoginFailed << "/"
            << "" << QByteArray();
        QTest::newRow("a cut short listing keeps none of its whole blocks")
            << ok("LIST",
                  "<current_dir>/</current_dir><result_count>2</result_count><list path=\"/a\"><path>x</path></list>"
                  "<list path=\"/b\"><path>y")
            << Status::LoginFailed << "/"
            << "" << QByteArray();
    }
    void replies()
    {
        QFETCH(QString, reply);
        QFETCH(Status, status);
        QFETCH(QString, currentDirectory);
        QFETCH(QString, blocks);
        QFETCH(QByteArray, content);
        QByteArray received("kept:");
        XmlResponseScanner scanner(reply, &received);
        QCOMPARE(scanner.scan(), status);
        const QString directory = scanner.currentDirectory();
        QCOMPARE(directory.isNull() ? QStringLiteral("<null>") : directory, currentDirectory);
        QCOMPARE(describe(scanner.listBlocks()), blocks);
        QCOMPARE(received, "kept:" + content);
    }

    void withoutReceiverRetrBlocksGoNowhere()
    {
        XmlResponseScanner scanner(ok("RETR", "<result_count>1</result_count><retr>Zm9v\n</retr>"), nullptr);
        QCOMPARE(scanner.scan(), Status::Done);
        QCOMPARE(scanner.command(), QStringLiteral("RETR"));
    }
};

PLUMOXA_TEST(XmlResponseScannerTest);
#include "XmlResponseScannerTest.moc"
