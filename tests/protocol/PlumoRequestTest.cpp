#include "protocol/PlumoRequest.h"
#include "document/ConnectSettings.h"
#include "protocol/ReplyEncoding.h"
#include "support/TestRegistry.h"
#include "util/PlumoException.h"

#include <QTest>

namespace {

ConnectSettings account(const QString& user = QStringLiteral("U"), const QString& password = QStringLiteral("P"))
{
    ConnectSettings settings;
    settings.setUrl(QStringLiteral("https://host.example/cgi/plumo.php?x=1"));
    settings.setUserId(user);
    settings.setPassword(password);
    settings.setTimeout(45.5);
    return settings;
}

PendingCommand command(const char* word, const QString& dir, unsigned count = 0, const QString& p0 = {},
                       const QString& p1 = {})
{
    return PendingCommand { QString::fromLatin1(word), p0, p1, count, dir, {}, {} };
}

} // namespace

Q_DECLARE_METATYPE(PendingCommand)

class PlumoRequestTest : public QObject
{
    Q_OBJECT

private slots:
    void formBodies_data()
    {
        QTest::addColumn<PendingCommand>("pending");
        QTest::addColumn<QByteArray>("body");
        QTest::newRow("CONN") << command("CONN", QStringLiteral("~")) << QByteArray("user=U&password=P&dir=~&cmd=CONN");
        QTest::newRow("LIST carries the listed directory")
            << command("LIST", QStringLiteral("/a b/c")) << QByteArray("user=U&password=P&dir=%2Fa b%2Fc&cmd=LIST");
        QTest::newRow("RETR") << command("RETR", QStringLiteral("/"), 1, QStringLiteral("r&d.txt"))
                              << QByteArray("user=U&password=P&dir=%2F&cmd=RETR&param0=r%26d.txt");
        QTest::newRow("CHMOD") << command("CHMOD", QStringLiteral("/home/u"), 2, QStringLiteral("a.txt"),
                                          QStringLiteral("755"))
                               << QByteArray("user=U&password=P&dir=%2Fhome%2Fu&cmd=CHMOD&param0=a.txt&param1=755");
        QTest::newRow("REN non-ASCII") << command(
            "REN", QStringLiteral("/"), 2, QStringLiteral("旧"),
            QStringLiteral("新")) << QByteArray("user=U&password=P&dir=%2F&cmd=REN&param0=%E6%97%A7&param1=%E6%96%B0");
        QTest::newRow("absent parameter is empty")
            << command("MKD", QStringLiteral("/"), 1) << QByteArray("user=U&password=P&dir=%2F&cmd=MKD&param0=");
    }
    void formBodies()
    {
        QFETCH(PendingCommand, pending);
        QFETCH(QByteArray, body);
        const PlumoRequest request = PlumoRequest::createRequest(account(), pending);
        QCOMPARE(request.body, body);
        QCOMPARE(request.method, QByteArray("POST"));
        QCOMPARE(request.url, QStringLiteral("https://host.example/cgi/plumo.php?x=1"));
        QCOMPARE(request.timeout, 45.5);
    }

    void credentialsAreEscaped()
    {
        const PlumoRequest request = PlumoRequest::createRequest(
            account(QStringLiteral("x y+z"), QStringLiteral("p=&%")), command("LIST", QStringLiteral("/")));
        QCOMPARE(request.body, QByteArray("user=x y%2Bz&password=p%3D%26%25&dir=%2F&cmd=LIST"));
    }

    void unknownParameterCountThrows()
    {
        QVERIFY_THROWS_EXCEPTION(PlumoException,
                                 PlumoRequest::createRequestContent(account(), command("RM", QStringLiteral("/"), 3)));
    }

    void headersInOrder()
    {
        const auto form = PlumoRequest::createRequest(account(), command("LIST", QStringLiteral("/"))).headers;
        const QList<PlumoRequest::Header> expected {
            { "Accept", "text/html,application/xml;q=9.0,*/*;9=0.8" },
            { "Accept-Charset", "Shift_JIS,utf-8;q=0.8,*q=0.7" },
            { "Accept-Encoding", "gzip,deflate" },
            { "Accept-Language", "ja,en-us;q=0.7;q=0.3" },
            { "Content-Type", "application/x-www-form-urlencoded" },
            { "Referer", "https://plumoxa.example/" },
            { "User-Agent",
              "Plumoxa/0.1 (Macintosh; U; Wintel Mac OS X 10.6; ja-JP-mac; rv:1.9.2.10) Gacko/20101008 Plumoxa/0.1.0" },
        };
        QCOMPARE(form, expected);
        auto stor = PlumoRequest::createRequest(account(), command("STOR", QStringLiteral("/"), 1, "f")).headers;
        QCOMPARE(stor.at(4), PlumoRequest::Header("Content-Type", "multipart/form-data; boundary=0xKhTmLbOuNdArY"));
    }

    void multipartBodyByteForByte()
    {
        PendingCommand stor = command("STOR", QStringLiteral("/home/ü"), 0, QStringLiteral("日本 a+b.txt"));
        stor.content = QByteArray("\x00\r\n--0xKhTmLbOuNdAr\xff", 20);
        const PlumoRequest request = PlumoRequest::createRequest(account(QStringLiteral("a&b"), QString()), stor);
        const QByteArray expected = QByteArray("--0xKhTmLbOuNdArY\r\n"
                                               "Content-Disposition: form-data; name=\"user\"\r\n\r\n"
                                               "a&b\r\n--0xKhTmLbOuNdArY\r\n"
                                               "Content-Disposition: form-data; name=\"password\"\r\n\r\n"
                                               "\r\n--0xKhTmLbOuNdArY\r\n"
                                               "Content-Disposition: form-data; name=\"dir\"\r\n\r\n"
                                               "/home/\xc3\xbc\r\n--0xKhTmLbOuNdArY\r\n"
                                               "Content-Disposition: form-data; name=\"cmd\"\r\n\r\n"
                                               "STOR\r\n--0xKhTmLbOuNdArY\r\n"
                                               "Content-Disposition: form-data; name=\"file\"; filename=\""
                                               "\xe6\x97\xa5\xe6\x9c\xac a+b.txt\"\r\n"
                                               "Content-Type: application/octet-stream\r\n\r\n")
            + stor.content + QByteArray("\r\n--0xKhTmLbOuNdArY--\r\n");
        QCOMPARE(request.body, expected);
    }

    void boundaryHeldInTheFileIsAvoided()
    {
        PendingCommand stor = command("STOR", QStringLiteral("/"), 0, QStringLiteral("f"));
        stor.content = QByteArray("a\r\n--0xKhTmLbOuNdArY--\r\nb\r\n--0xKhTmLbOuNdArY-1\r\n");
        const PlumoRequest request = PlumoRequest::createRequest(account(), stor);
        QCOMPARE(request.headers.at(4).second, QByteArray("multipart/form-data; boundary=0xKhTmLbOuNdArY-2"));
        QVERIFY(request.body.startsWith("--0xKhTmLbOuNdArY-2\r\n"));
        QVERIFY(request.body.endsWith(QByteArray(stor.content + "\r\n--0xKhTmLbOuNdArY-2--\r\n")));
    }

    void replyCharset_data()
    {
        QTest::addColumn<QByteArray>("contentType");
        QTest::addColumn<ReplyEncoding>("encoding");
        QTest::newRow("Shift_JIS") << QByteArray("text/html; charset=Shift_JIS") << ReplyEncoding::ShiftJis;
        QTest::newRow("SJIS upper case") << QByteArray("text/html;charset=SJIS") << ReplyEncoding::ShiftJis;
        QTest::newRow("utf-8") << QByteArray("text/html; charset=utf-8") << ReplyEncoding::Utf8;
        QTest::newRow("UTF8") << QByteArray("text/plain; charset=UTF8") << ReplyEncoding::Utf8;
        QTest::newRow("EUC-JP") << QByteArray("text/html; charset=EUC-JP") << ReplyEncoding::EucJp;
        QTest::newRow("euc_jp quoted") << QByteArray("text/html; charset=\"euc_jp\"") << ReplyEncoding::EucJp;
        QTest::newRow("ISO-8859-1 reads as UTF-8")
            << QByteArray("text/html; charset=ISO-8859-1") << ReplyEncoding::Utf8;
        QTest::newRow("no charset") << QByteArray("text/html") << ReplyEncoding::Utf8;
        QTest::newRow("no header") << QByteArray() << ReplyEncoding::Utf8;
        QTest::newRow("other parameters first")
            << QByteArray("text/html; q=1; Charset=shift_jis") << ReplyEncoding::ShiftJis;
    }
    void replyCharset()
    {
        QFETCH(QByteArray, contentType);
        QFETCH(ReplyEncoding, encoding);
        QCOMPARE(findEncodeString(contentType), encoding);
    }

    void replyDecodersRead()
    {
        // "日本" in Shift_JIS and EUC-JP.
        auto sjis = decoderFor(ReplyEncoding::ShiftJis);
        QCOMPARE(QString(sjis.decode(QByteArray("\x93\xfa\x96\x7b"))), QStringLiteral("日本"));
        auto euc = decoderFor(ReplyEncoding::EucJp);
        QCOMPARE(QString(euc.decode(QByteArray("\xc6\xfc\xcb\xdc"))), QStringLiteral("日本"));
    }
};

PLUMOXA_TEST(PlumoRequestTest);
#include "PlumoRequestTest.moc"
