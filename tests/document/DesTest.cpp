#include "document/Des.h"
#include "support/TestRegistry.h"

#include <QTest>

// Expected bytes come from `openssl enc -des-cfb` / `-des-cbc -nopad` with the legacy provider,
// given the parity-adjusted key (and, for CFB, the same bytes as vector).
class DesTest : public QObject
{
    Q_OBJECT

private slots:
    void cfb64KnownAnswers_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QByteArray>("plain");
        QTest::addColumn<QByteArray>("cipher");
        // "0123abcd" has bytes of even parity that DES_set_odd_parity changes (0x30 -> 0x31).
        QTest::newRow("parity adjusted key, partial last block")
            << QStringLiteral("0123abcd") << QByteArray("secret password!x")
            << QByteArray::fromHex("2b3541828490387a6e1b6cfdbcd8e42252");
        QTest::newRow("another key") << QStringLiteral("a1b2c3d4") << QByteArray("secret password!x")
                                     << QByteArray::fromHex("bd3c41b2a546c39f9ce35ee63927439fa3");
        QTest::newRow("only the first 8 of 16 key bytes count")
            << QStringLiteral("0123abcdIGNORED!") << QByteArray("secret password!x")
            << QByteArray::fromHex("2b3541828490387a6e1b6cfdbcd8e42252");
        QTest::newRow("one byte") << QStringLiteral("0123abcd") << QByteArray("a") << QByteArray::fromBase64("OQ==");
        QTest::newRow("empty") << QStringLiteral("0123abcd") << QByteArray() << QByteArray();
    }
    void cfb64KnownAnswers()
    {
        QFETCH(QString, key);
        QFETCH(QByteArray, plain);
        QFETCH(QByteArray, cipher);
        QCOMPARE(Des::encryptData(plain, key).value(), cipher);
        QCOMPARE(Des::decryptData(cipher, key).value(), plain);
    }

    void cbcKnownAnswer()
    {
        const QByteArray plain("secret password!x");
        const auto cipher = Des::encryptCbcData(plain, QStringLiteral("0123abcd"));
        QVERIFY(cipher.has_value());
        // Rounded up to whole blocks, the last one filled with zero bytes.
        QCOMPARE(*cipher, QByteArray::fromHex("81e544d5b3609b14894f19182d2352d97a1215d09ba7236c"));
        const auto back = Des::decryptCbcData(*cipher, QStringLiteral("0123abcd"));
        QCOMPARE(back.value(), plain + QByteArray(7, '\0'));
    }

    void stringForms()
    {
        const QString password = QStringLiteral("pässwörd");
        const auto cipher = Des::encryptString(password, QStringConverter::Utf8, QStringLiteral("0123abcd"));
        QCOMPARE(cipher.value(), QByteArray::fromBase64("KJOGg5KT27zr0A=="));
        QCOMPARE(Des::decryptToString(*cipher, QStringConverter::Utf8, QStringLiteral("0123abcd")).value(), password);
        const auto cbc = Des::encryptCbcString(password, QStringConverter::Utf8, QStringLiteral("0123abcd"));
        QVERIFY(cbc.has_value());
        QVERIFY(
            Des::decryptCbcToString(*cbc, QStringConverter::Utf8, QStringLiteral("0123abcd"))->startsWith(password));
    }

    void invalidTextGivesNoString()
    {
        // Bytes that are not UTF-8 after decryption give no text rather than a mangled one.
        const auto cipher = Des::encryptData(QByteArray("\xff\xfe\x80", 3), QStringLiteral("0123abcd"));
        QVERIFY(!Des::decryptToString(*cipher, QStringConverter::Utf8, QStringLiteral("0123abcd")).has_value());
        QVERIFY(!Des::encryptString(QStringLiteral("日本"), QStringConverter::Latin1, QStringLiteral("0123abcd"))
                     .has_value());
    }

    void badKeysGiveNoResult_data()
    {
        QTest::addColumn<QString>("key");
        QTest::newRow("empty") << QString();
        QTest::newRow("7 bytes") << QStringLiteral("0123abc");
        QTest::newRow("9 bytes") << QStringLiteral("0123abcde");
        QTest::newRow("40 bytes") << QString(40, u'a');
        QTest::newRow("not Latin-1") << QStringLiteral("0123abc日");
    }
    void badKeysGiveNoResult()
    {
        QFETCH(QString, key);
        QVERIFY(!Des::encryptData("x", key).has_value());
        QVERIFY(!Des::decryptData("x", key).has_value());
        QVERIFY(!Des::encryptCbcData("x", key).has_value());
    }

    void weakKeyRejectedByCbcOnly()
    {
        // 0x01 repeated is a weak DES key: the checked schedule refuses it.
        const QString weak = QString::fromLatin1(QByteArray(8, '\x01'));
        QVERIFY(!Des::encryptCbcData("x", weak).has_value());
        QVERIFY(Des::encryptData("x", weak).has_value());
    }
};

PLUMOXA_TEST(DesTest);
#include "DesTest.moc"
