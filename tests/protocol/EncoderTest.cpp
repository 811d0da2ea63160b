#include "protocol/Encoder.h"
#include "support/TestRegistry.h"

#include <QTest>

class EncoderTest : public QObject
{
    Q_OBJECT

private slots:
    void encodeHttpString_data()
    {
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("escaped");
        QTest::newRow("plain") << QStringLiteral("abcXYZ019") << QStringLiteral("abcXYZ019");
        QTest::newRow("plus escaped, space kept") << QStringLiteral("x y+z") << QStringLiteral("x y%2Bz");
        QTest::newRow("every reserved character")
            << QStringLiteral("#[]!$&'()*+,;:/?@=")
            << QStringLiteral("%23%5B%5D%21%24%26%27%28%29%2A%2B%2C%3B%3A%2F%3F%40%3D");
        QTest::newRow("passthrough set") << QStringLiteral(" -._~\"<>\t") << QStringLiteral(" -._~\"<>\t");
        QTest::newRow("percent escaped so that it reads back as itself")
            << QStringLiteral("a%41 100%") << QStringLiteral("a%2541 100%25");
        QTest::newRow("path") << QStringLiteral("/home/u") << QStringLiteral("%2Fhome%2Fu");
        QTest::newRow("two-byte") << QStringLiteral("é") << QStringLiteral("%C3%A9");
        QTest::newRow("three-byte") << QStringLiteral("日本") << QStringLiteral("%E6%97%A5%E6%9C%AC");
        QTest::newRow("four-byte") << QStringLiteral("😀") << QStringLiteral("%F0%9F%98%80");
        QTest::newRow("fullwidth tilde becomes wave dash") << QStringLiteral("～") << QStringLiteral("%E3%80%9C");
        QTest::newRow("fullwidth hyphen becomes prolonged sound mark")
            << QStringLiteral("a－b") << QStringLiteral("a%E3%83%BCb");
        QTest::newRow("substitution between others")
            << QStringLiteral("日～&") << QStringLiteral("%E6%97%A5%E3%80%9C%26");
        QTest::newRow("wave dash itself unchanged") << QStringLiteral("〜") << QStringLiteral("%E3%80%9C");
        QTest::newRow("empty") << QString() << QString();
    }
    void encodeHttpString()
    {
        QFETCH(QString, value);
        QFETCH(QString, escaped);
        QCOMPARE(Encoder::encodeHttpString(value), escaped);
    }

    void escapingWithOtherSet()
    {
        QCOMPARE(Encoder::utf8PercentEscaping(QStringLiteral("a b/c"), " "), QStringLiteral("a%20b/c"));
        QCOMPARE(Encoder::utf8PercentEscaping(QStringLiteral("a+b～"), ""), QStringLiteral("a+b%E3%80%9C"));
    }

    void xmlEscaping_data()
    {
        QTest::addColumn<QString>("plain");
        QTest::addColumn<QString>("escaped");
        QTest::newRow("all four") << QStringLiteral("a<b & \"q\"") << QStringLiteral("a&lt;b &amp; &quot;q&quot;");
        QTest::newRow("greater") << QStringLiteral("x>y") << QStringLiteral("x&gt;y");
        QTest::newRow("apostrophe untouched") << QStringLiteral("it's") << QStringLiteral("it's");
        QTest::newRow("entity typed literally") << QStringLiteral("&lt;") << QStringLiteral("&amp;lt;");
        QTest::newRow("empty") << QString() << QString();
    }
    void xmlEscaping()
    {
        QFETCH(QString, plain);
        QFETCH(QString, escaped);
        QCOMPARE(Encoder::encodeXmlString(plain), escaped);
        QCOMPARE(Encoder::decodeXmlString(escaped), plain);
    }

    void decodeUnescapesAmpersandLast()
    {
        QCOMPARE(Encoder::decodeXmlString(QStringLiteral("&amp;lt;")), QStringLiteral("&lt;"));
        QCOMPARE(Encoder::decodeXmlString(QStringLiteral("&amp;amp;&apos;")), QStringLiteral("&amp;&apos;"));
    }
};

PLUMOXA_TEST(EncoderTest);
#include "EncoderTest.moc"
