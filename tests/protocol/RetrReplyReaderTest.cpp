#include "protocol/RetrReplyReader.h"
#include "protocol/ContentSink.h"
#include "support/TestRegistry.h"

#include <QTest>

using Status = XmlResponseScanner::Status;

namespace {

QByteArray retrReply(const QByteArray& blocks, const QByteArray& count = "1", const QByteArray& command = "RETR")
{
    return "<login_result>TRUE</login_result><command>" + command
        + "</command><command_result>TRUE</command_result><current_dir>/d</current_dir><result_count>" + count
        + "</result_count>" + blocks;
}

} // namespace

// The streaming reader must give exactly what scanning the whole reply gives, however the reply
// is cut into pieces.
class RetrReplyReaderTest : public QObject
{
    Q_OBJECT

private slots:
    void matchesTheWholeReplyScan_data()
    {
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<int>("status");
        QTest::addColumn<QByteArray>("content");
        QTest::newRow("one block") << retrReply("<retr>Zm9vYmFy\n</retr>") << int(Status::Done) << QByteArray("foobar");
        QTest::newRow("padding") << retrReply("<retr>Zm9vYg==\n</retr>") << int(Status::Done) << QByteArray("foob");
        QTest::newRow("two blocks in order") << retrReply("<retr>Zm9v\n</retr>junk<RETR>YmFy\n</Retr>", "2")
                                             << int(Status::Done) << QByteArray("foobar");
        QTest::newRow("count 1 of two") << retrReply("<retr>Zm9v\n</retr><retr>YmFy\n</retr>") << int(Status::Done)
                                        << QByteArray("foo");
        QTest::newRow("block not a multiple of four gives nothing")
            << retrReply("<retr>Zm9vY\n</retr><retr>YmFy\n</retr>", "2") << int(Status::Done) << QByteArray("bar");
        QTest::newRow("a reply ending inside a block is cut short")
            << retrReply("<retr>Zm9vYmFy") << int(Status::LoginFailed) << QByteArray();
        QTest::newRow("a reply ending inside the second block is cut short")
            << retrReply("<retr>Zm9v\n</retr><retr>YmFy", "2") << int(Status::LoginFailed) << QByteArray();
        QTest::newRow("login failed delivers nothing")
            << QByteArray("<login_result>FALSE</login_result><retr>Zm9v\n</retr>") << int(Status::LoginFailed)
            << QByteArray();
        QTest::newRow("command failed delivers nothing")
            << QByteArray("<login_result>TRUE</login_result><command>RETR</command><command_result>FALSE"
                          "</command_result><result_count>1</result_count><retr>Zm9v\n</retr>")
            << int(Status::CommandFailed) << QByteArray();
        QTest::newRow("a LIST echo cut inside its list block is cut short")
            << retrReply("<list path=\"/d\"><path>x</path>", "1", "LIST") << int(Status::LoginFailed) << QByteArray();
        QTest::newRow("a LIST echo cut inside its list path is cut short")
            << retrReply("<list path=\"/d", "1", "LIST") << int(Status::LoginFailed) << QByteArray();
        QTest::newRow("a whole LIST echo delivers nothing")
            << retrReply("<list path=\"/d\"><path>x</path></list><retr>Zm9v\n</retr>", "1", "LIST") << int(Status::Done)
            << QByteArray();
        QTest::newRow("other echo delivers nothing")
            << retrReply("<retr>Zm9v\n</retr>", "1", "LIST") << int(Status::Done) << QByteArray();
        QTest::newRow("no count, no blocks")
            << QByteArray("<login_result>TRUE</login_result><command>RETR</command><command_result>TRUE"
                          "</command_result><current_dir>/</current_dir><retr>Zm9v\n</retr>")
            << int(Status::Done) << QByteArray();
        QTest::newRow("empty file") << retrReply("<retr>\n</retr>") << int(Status::Done) << QByteArray();
        QTest::newRow("stray closing tag before the items")
            << "</result_count>" + retrReply("<retr>Zm9v\n</retr>") << int(Status::Done) << QByteArray("foo");
    }
    void matchesTheWholeReplyScan()
    {
        QFETCH(QByteArray, reply);
        QFETCH(int, status);
        QFETCH(QByteArray, content);
        for (const qsizetype pieceSize : { qsizetype(1), qsizetype(3), qsizetype(7), reply.size() }) {
            QByteArray received("kept:");
            ByteArraySink sink(received);
            RetrReplyReader reader(sink);
            for (qsizetype at = 0; at < reply.size(); at += pieceSize)
                QVERIFY(reader.feed(QByteArrayView(reply).sliced(at, std::min(pieceSize, reply.size() - at))));
            QCOMPARE(int(reader.finish()), status);
            QCOMPARE(received, "kept:" + content);
        }
    }

    void largeFileDecodesWhole()
    {
        QByteArray file(3 * 1024 * 1024 + 1, '\0');
        for (qsizetype i = 0; i < file.size(); ++i)
            file[i] = char(i * 131 % 251);
        const QByteArray reply = retrReply("<retr>" + file.toBase64() + "\n</retr>");
        QByteArray received;
        ByteArraySink sink(received);
        RetrReplyReader reader(sink);
        for (qsizetype at = 0; at < reply.size(); at += 65536)
            reader.feed(QByteArrayView(reply).sliced(at, std::min<qsizetype>(65536, reply.size() - at)));
        QCOMPARE(reader.finish(), Status::Done);
        QCOMPARE(received.size(), file.size());
        QVERIFY(received == file);
        QCOMPARE(reader.scanner()->currentDirectory(), QStringLiteral("/d"));
    }
};

PLUMOXA_TEST(RetrReplyReaderTest);
#include "RetrReplyReaderTest.moc"
