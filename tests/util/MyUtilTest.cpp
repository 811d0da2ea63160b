#include "util/MyUtil.h"
#include "support/TestRegistry.h"

#include <QDir>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTimeZone>

class MyUtilTest : public QObject
{
    Q_OBJECT

private slots:
    void isValidHttpProtocol_data()
    {
        QTest::addColumn<QString>("url");
        QTest::addColumn<bool>("valid");
        // scheme
        QTest::newRow("http") << "http://example.com/p.php" << true;
        QTest::newRow("https") << "https://example.com/p.php" << true;
        QTest::newRow("scheme alone") << "http://" << false;
        QTest::newRow("other scheme") << "ftp://example.com/" << false;
        QTest::newRow("capital scheme") << "HTTP://example.com/" << false;
        QTest::newRow("leading space") << " http://example.com/" << false;
        // authority and port
        QTest::newRow("only a port") << "http://:8080/p" << false;
        QTest::newRow("ends in a colon") << "http://example.com:/p" << false;
        QTest::newRow("port") << "http://example.com:8080/p" << true;
        QTest::newRow("port 0") << "http://example.com:0" << true;
        QTest::newRow("port 65535") << "http://example.com:65535" << true;
        QTest::newRow("port above 65535") << "http://example.com:65536" << false;
        QTest::newRow("negative port") << "http://example.com:-1" << false;
        QTest::newRow("port not a number passes") << "http://example.com:abc" << true;
        QTest::newRow("huge port") << "http://example.com:99999999999999999999999" << false;
        QTest::newRow("two colons") << "http://example.com:80:90/" << false;
        // host
        QTest::newRow("IPv4") << "http://192.168.0.255/p" << true;
        QTest::newRow("IPv4 256") << "http://192.168.0.256/p" << false;
        QTest::newRow("three numbers") << "http://10.0.1/p" << false;
        QTest::newRow("single number") << "http://12345/p" << false;
        QTest::newRow("labels with letters pass any numbers") << "http://a.b-c_d.1/p" << true;
        QTest::newRow("numbers and a hyphen") << "http://999.9-9/p" << true;
        QTest::newRow("two dots") << "http://example..com/p" << false;
        QTest::newRow("trailing dot") << "http://example.com./p" << false;
        QTest::newRow("no trailing slash") << "http://example.com" << true;
        QTest::newRow("trailing slash") << "http://example.com/" << true;
        QTest::newRow("host with space") << "http://exa mple.com/" << false;
        QTest::newRow("IPv6 literal") << "http://[::1]/p" << false;
        QTest::newRow("user info") << "http://u@example.com/" << false;
        // path
        QTest::newRow("query") << "http://example.com/p.php?x=1" << false;
        QTest::newRow("ampersand") << "http://example.com/a&b" << false;
        QTest::newRow("backslash") << "http://example.com/a\\b" << false;
        QTest::newRow("angle bracket") << "http://example.com/<p>" << false;
        QTest::newRow("asterisk") << "http://example.com/*" << false;
        QTest::newRow("double quote") << "http://example.com/\"" << false;
        QTest::newRow("space and percent") << "http://example.com/my dir/%20.php" << true;
        QTest::newRow("doubled slash") << "http://example.com//p.php" << true;
        QTest::newRow("non-ASCII path") << "http://example.com/日本.php" << true;
    }
    void isValidHttpProtocol()
    {
        QFETCH(QString, url);
        QFETCH(bool, valid);
        QCOMPARE(MyUtil::isValidHttpProtocol(url), valid);
    }

    void trim_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("trimmed");
        QTest::newRow("nothing to remove") << "a b"
                                           << "a b";
        QTest::newRow("both ends") << "\r\n\t a b \u3000"
                                   << "a b";
        QTest::newRow("only white space") << " \t\u3000 "
                                          << "";
        QTest::newRow("no-break space stays") << "\u00a0x\u00a0"
                                              << "\u00a0x\u00a0";
        QTest::newRow("empty") << ""
                               << "";
    }
    void trim()
    {
        QFETCH(QString, text);
        QFETCH(QString, trimmed);
        QCOMPARE(MyUtil::trim(text), trimmed);
    }

    void isIntegerString_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("integer");
        QTest::newRow("negative") << "-12" << true;
        QTest::newRow("leading zeros") << "007" << true;
        QTest::newRow("zero") << "0" << true;
        QTest::newRow("lone minus") << "-" << false;
        QTest::newRow("plus") << "+1" << false;
        QTest::newRow("decimal") << "1.0" << false;
        QTest::newRow("empty") << "" << false;
        QTest::newRow("space") << " 1" << false;
        QTest::newRow("arabic-indic digit") << "\u0661" << false;
    }
    void isIntegerString()
    {
        QFETCH(QString, text);
        QFETCH(bool, integer);
        QCOMPARE(MyUtil::isIntegerString(text), integer);
    }

    void format_data()
    {
        QTest::addColumn<QString>("format");
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("filled");
        QTest::newRow("text and number") << "%@ [%d files]" << QStringList { "/a", "3" } << "/a [3 files]";
        QTest::newRow("percent in argument stays") << "%@ failed" << QStringList { "100%@.txt" } << "100%@.txt failed";
        QTest::newRow("literal percent") << "100%% of %lu" << QStringList { "5" } << "100% of 5";
        QTest::newRow("unknown specifier copied") << "%x%" << QStringList {} << "%x%";
        QTest::newRow("missing argument empty") << "a%@b" << QStringList {} << "ab";
    }
    void format()
    {
        QFETCH(QString, format);
        QFETCH(QStringList, arguments);
        QFETCH(QString, filled);
        QCOMPARE(MyUtil::format(format, arguments), filled);
    }

    void printable_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("keepLineBreaks");
        QTest::addColumn<QString>("shown");
        QTest::newRow("plain") << "a b.txt" << false << "a b.txt";
        QTest::newRow("escape sequence") << "\x1b[31mred" << false << "\\x1b[31mred";
        QTest::newRow("line break") << "a\nb" << false << "a\\x0ab";
        QTest::newRow("line break kept") << "a\nb" << true << "a\nb";
        QTest::newRow("tab, DEL and C1") << "\t\x7f\u009b" << false << "\\x09\\x7f\\x9b";
        QTest::newRow("non-ASCII stays") << "日本 é" << false << "日本 é";
    }
    void printable()
    {
        QFETCH(QString, text);
        QFETCH(bool, keepLineBreaks);
        QFETCH(QString, shown);
        QCOMPARE(MyUtil::printable(text, keepLineBreaks), shown);
    }

    void untranslatedKeyIsShownUnchanged()
    {
        QCOMPARE(MyUtil::localized("LIST failed"), QStringLiteral("LIST failed"));
        QCOMPARE(MyUtil::internationalFormat("%@ not found", QStringLiteral("a.txt")),
                 QStringLiteral("a.txt not found"));
    }

    void currentDateTimeIsUtc()
    {
        const QString text = MyUtil::currentDateTime(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
        QVERIFY2(
            QRegularExpression(QStringLiteral("^\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d$")).match(text).hasMatch(),
            qPrintable(text));
        const QDateTime parsed = QDateTime::fromString(text, QStringLiteral("yyyy-MM-dd HH:mm:ss"));
        QDateTime utc = parsed;
        utc.setTimeZone(QTimeZone::utc());
        QVERIFY(qAbs(utc.secsTo(QDateTime::currentDateTimeUtc())) < 120);
    }

    void isDirectory()
    {
        QTemporaryDir dir;
        QFile file(dir.filePath(QStringLiteral("f")));
        QVERIFY(file.open(QIODevice::WriteOnly));
        QVERIFY(MyUtil::isDirectory(dir.path()));
        QVERIFY(!MyUtil::isDirectory(file.fileName()));
        QVERIFY(!MyUtil::isDirectory(dir.filePath(QStringLiteral("missing"))));
        QVERIFY(QFile::link(dir.path(), dir.filePath(QStringLiteral("link"))));
        QVERIFY(MyUtil::isDirectory(dir.filePath(QStringLiteral("link"))));
    }

    void documentDirectoryIsInHome()
    {
        const QString documents = MyUtil::documentDirectory();
        QCOMPARE(documents, QStandardPaths::standardLocations(QStandardPaths::DocumentsLocation).first());
        QVERIFY(documents.startsWith(QDir::homePath()));
    }

    void rootTemplateHasFivePlaceholders()
    {
        const QString text = MyUtil::templateString(QStringLiteral("root"));
        QVERIFY(text.startsWith(u"<?xml"));
        QCOMPARE(text.count(QStringLiteral("%@")), 4);
        QCOMPARE(text.count(QStringLiteral("%u")), 1);
        QVERIFY(MyUtil::templateString(QStringLiteral("missing")).isEmpty());
    }
};

PLUMOXA_TEST(MyUtilTest);
#include "MyUtilTest.moc"
