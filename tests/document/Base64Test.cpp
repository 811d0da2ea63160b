#include "document/Base64.h"
#include "support/TestRegistry.h"

#include <QTest>

class Base64Test : public QObject
{
    Q_OBJECT

private slots:
    void rfc4648Vectors_data()
    {
        QTest::addColumn<QByteArray>("plain");
        QTest::addColumn<QByteArray>("encoded");
        QTest::newRow("empty") << QByteArray() << QByteArray();
        QTest::newRow("f") << QByteArray("f") << QByteArray("Zg==");
        QTest::newRow("fo") << QByteArray("fo") << QByteArray("Zm8=");
        QTest::newRow("foo") << QByteArray("foo") << QByteArray("Zm9v");
        QTest::newRow("foob") << QByteArray("foob") << QByteArray("Zm9vYg==");
        QTest::newRow("fooba") << QByteArray("fooba") << QByteArray("Zm9vYmE=");
        QTest::newRow("foobar") << QByteArray("foobar") << QByteArray("Zm9vYmFy");
        QTest::newRow("all bits") << QByteArray("\xff\xfe\xfd\x00\x01", 5) << QByteArray("//79AAE=");
    }
    void rfc4648Vectors()
    {
        QFETCH(QByteArray, plain);
        QFETCH(QByteArray, encoded);
        QCOMPARE(Base64::encode(plain), encoded);
        const auto decoded = Base64::decode(encoded);
        QVERIFY(decoded.has_value());
        QCOMPARE(*decoded, plain);
    }

    void everyLengthRoundTrips()
    {
        QByteArray bytes;
        for (int n = 0; n < 64; ++n) {
            QCOMPARE(Base64::encode(bytes).size(), (n + 2) / 3 * 4);
            QCOMPARE(Base64::decode(Base64::encode(bytes)).value(), bytes);
            bytes += char(n * 37 + 11);
        }
    }

    void malformedInput_data()
    {
        QTest::addColumn<QByteArray>("encoded");
        QTest::addColumn<bool>("hasResult");
        QTest::addColumn<QByteArray>("decoded");
        QTest::newRow("2 characters") << QByteArray("Zg") << false << QByteArray();
        QTest::newRow("5 characters") << QByteArray("Zm9vY") << false << QByteArray();
        QTest::newRow("6 characters") << QByteArray("Zm9vYg") << false << QByteArray();
        QTest::newRow("last group ends at first non-alphabet") << QByteArray("Zg=A") << true << QByteArray("f");
        QTest::newRow("last group of one character gives nothing")
            << QByteArray("Zm9vZ===") << true << QByteArray("foo");
        QTest::newRow("only padding") << QByteArray("====") << true << QByteArray();
        QTest::newRow("junk in a last group") << QByteArray("Zm9v!!!!") << true << QByteArray("foo");
        QTest::newRow("junk in an earlier group is not checked")
            << QByteArray("Zm9vZm8=Zm9v") << true << QByteArray("foofoAfoo");
    }
    void malformedInput()
    {
        QFETCH(QByteArray, encoded);
        QFETCH(bool, hasResult);
        QFETCH(QByteArray, decoded);
        const auto result = Base64::decode(encoded);
        QCOMPARE(result.has_value(), hasResult);
        if (hasResult)
            QCOMPARE(*result, decoded);
    }
};

PLUMOXA_TEST(Base64Test);
#include "Base64Test.moc"
