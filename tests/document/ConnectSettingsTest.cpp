#include "document/ConnectSettings.h"
#include "support/TestRegistry.h"
#include "util/MyUtil.h"

#include <QTest>
#include <QXmlStreamReader>

namespace {

const QString kKey = QStringLiteral("0a1b2c3d");
const QString kOtherKey = QStringLiteral("99887766");

// The attributes of the "settings" element of a filled template, as an XML parser delivers them.
QHash<QString, QString> settingsAttributes(const QString& document)
{
    QXmlStreamReader reader(document);
    while (reader.readNextStartElement()) {
        if (reader.name() == u"settings") {
            QHash<QString, QString> attributes;
            for (const auto& attribute : reader.attributes())
                attributes.insert(attribute.name().toString(), attribute.value().toString());
            return attributes;
        }
    }
    return {};
}

} // namespace

class ConnectSettingsTest : public QObject
{
    Q_OBJECT

private slots:
    void newRecordHasDefaults()
    {
        const ConnectSettings settings;
        QVERIFY(settings.description().isEmpty());
        QVERIFY(settings.urlString().isEmpty());
        QVERIFY(settings.userId().isEmpty());
        QVERIFY(settings.password().isEmpty());
        QCOMPARE(settings.timeout(), 120.0);
        QCOMPARE(settings.encryptPassword(), QString());
        QCOMPARE(ConnectSettings::decryptPassword(QString()), QString());
    }

    void scrambledLengthAndPadding_data()
    {
        QTest::addColumn<QString>("password");
        QTest::addColumn<QString>("ending");
        QTest::newRow("1 byte") << QStringLiteral("a") << QStringLiteral("==");
        QTest::newRow("2 bytes") << QStringLiteral("ab") << QStringLiteral("=");
        QTest::newRow("3 bytes") << QStringLiteral("abc") << QString();
        QTest::newRow("2-byte character") << QStringLiteral("é") << QStringLiteral("=");
    }
    void scrambledLengthAndPadding()
    {
        QFETCH(QString, password);
        QFETCH(QString, ending);
        for (const auto& key : { std::optional<QString>(kKey), ConnectSettings::scramblingKey() }) {
            const QString scrambled = ConnectSettings::encryptPassword(password, key);
            QCOMPARE(scrambled.size(), 4);
            QVERIFY(scrambled.endsWith(ending));
            QVERIFY(!scrambled.chopped(ending.size()).endsWith(u'='));
        }
    }

    void roundTripOnOneMachine_data()
    {
        QTest::addColumn<QString>("password");
        QTest::newRow("ascii") << QStringLiteral("s3cret!");
        QTest::newRow("japanese") << QStringLiteral("パスワード～");
        QTest::newRow("emoji") << QStringLiteral("pa😀ss");
        QTest::newRow("xml specials") << QStringLiteral("a<b>&\"c'");
        QTest::newRow("long") << QString(1000, u'x');
    }
    void roundTripOnOneMachine()
    {
        QFETCH(QString, password);
        ConnectSettings settings;
        settings.setPassword(password);
        const QString scrambled = settings.encryptPassword();
        QCOMPARE(ConnectSettings::decryptPassword(scrambled), password);
        // No random element: the same password is stored as the same text.
        QCOMPARE(settings.encryptPassword(), scrambled);
        QCOMPARE(ConnectSettings::decryptPassword(ConnectSettings::encryptPassword(password, kKey), kKey), password);
    }

    void otherMachineReadsEmptyOrDifferent_data()
    {
        QTest::addColumn<QString>("password");
        QTest::newRow("ascii") << QStringLiteral("s3cret!");
        QTest::newRow("japanese") << QStringLiteral("パスワード");
    }
    void otherMachineReadsEmptyOrDifferent()
    {
        QFETCH(QString, password);
        const QString stored = ConnectSettings::encryptPassword(password, kKey);
        const QString readBack = ConnectSettings::decryptPassword(stored, kOtherKey);
        QVERIFY(readBack != password);
    }

    void malformedStoredTextReadsEmpty_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::newRow("length not a multiple of 4") << QStringLiteral("abcde");
        QTest::newRow("decrypts to invalid UTF-8") << QString::fromLatin1(QByteArray("////").toBase64());
    }
    void malformedStoredTextReadsEmpty()
    {
        QFETCH(QString, stored);
        QCOMPARE(ConnectSettings::decryptPassword(stored, kKey), QString());
    }

    void withoutKeyNothingIsScrambled()
    {
        QCOMPARE(ConnectSettings::encryptPassword(QStringLiteral("pw"), std::nullopt), QString());
        QCOMPARE(ConnectSettings::decryptPassword(QStringLiteral("AAAA"), std::nullopt), QString());
    }

    void machineKeyHasEightCharacters()
    {
        const auto key = ConnectSettings::scramblingKey();
        if (!key)
            QSKIP("this machine has neither an Ethernet address nor a machine id");
        QCOMPARE(key->size(), 8);
    }

    void parseTakesOnlyTheSettingsElement_data()
    {
        QTest::addColumn<QStringList>("path");
        QTest::addColumn<bool>("taken");
        QTest::newRow("settings under the root") << QStringList { "plumoxa", "settings" } << true;
        QTest::newRow("root only") << QStringList { "plumoxa" } << false;
        QTest::newRow("one level deeper") << QStringList { "plumoxa", "x", "settings" } << false;
        QTest::newRow("letter case differs") << QStringList { "plumoxa", "Settings" } << false;
    }
    void parseTakesOnlyTheSettingsElement()
    {
        QFETCH(QStringList, path);
        QFETCH(bool, taken);
        ConnectSettings settings;
        const QHash<QString, QString> attributes {
            { "description", "office" }, { "url", "http://h/s" }, { "userid", "u1" }, { "timeout", "30" }
        };
        QCOMPARE(settings.parse(path, attributes), taken);
        QCOMPARE(settings.description(), taken ? QStringLiteral("office") : QString());
        QCOMPARE(settings.timeout(), taken ? 30.0 : 120.0);
    }

    void parseReadsTimeoutAsLeadingNumber_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<double>("timeout");
        QTest::newRow("whole") << QStringLiteral("60") << 60.0;
        QTest::newRow("fraction") << QStringLiteral("12.5") << 12.5;
        QTest::newRow("leading space, trailing text") << QStringLiteral("  42abc") << 42.0;
        QTest::newRow("not a number") << QStringLiteral("soon") << 0.0;
        QTest::newRow("empty") << QString() << 0.0;
        QTest::newRow("signed") << QStringLiteral("-5") << -5.0;
        QTest::newRow("exponent") << QStringLiteral("1e2") << 100.0;
    }
    void parseReadsTimeoutAsLeadingNumber()
    {
        QFETCH(QString, text);
        QFETCH(double, timeout);
        ConnectSettings settings;
        QVERIFY(settings.parse({ "plumoxa", "settings" }, { { "timeout", text } }));
        QCOMPARE(settings.timeout(), timeout);
    }

    void missingAttributesGiveEmptyValues()
    {
        ConnectSettings settings;
        settings.setDescription(QStringLiteral("old"));
        QVERIFY(settings.parse({ "plumoxa", "settings" }, {}));
        QCOMPARE(settings.description(), QString());
        QCOMPARE(settings.timeout(), 0.0);
    }

    void templateWritesEscapedValues_data()
    {
        QTest::addColumn<double>("timeout");
        QTest::addColumn<QString>("written");
        QTest::newRow("default") << 120.0 << QStringLiteral("120");
        QTest::newRow("fraction dropped") << 120.9 << QStringLiteral("120");
        QTest::newRow("negative is 0") << -3.0 << QStringLiteral("0");
    }
    void templateWritesEscapedValues()
    {
        QFETCH(double, timeout);
        QFETCH(QString, written);
        ConnectSettings settings;
        settings.setDescription(QStringLiteral("R&D <\"lab\"> &amp; 100%@"));
        settings.setUrl(QStringLiteral("https://example.com/p.php"));
        settings.setUserId(QStringLiteral("ユーザー"));
        settings.setPassword(QStringLiteral("hello"));
        settings.setTimeout(timeout);
        const QString document = settings.formatTemplate(MyUtil::templateString(QStringLiteral("root")));
        QVERIFY(document.contains(u"R&amp;D &lt;&quot;lab&quot;&gt; &amp;amp; 100%@"));

        const auto attributes = settingsAttributes(document);
        QCOMPARE(attributes.value("timeout"), written);
        QCOMPARE(attributes.value("password").size(), 8);
        QVERIFY(attributes.value("password").endsWith(u'='));

        ConnectSettings readBack;
        QVERIFY(readBack.parse({ "plumoxa", "settings" }, attributes));
        QCOMPARE(readBack.description(), settings.description());
        QCOMPARE(readBack.urlString(), settings.urlString());
        QCOMPARE(readBack.userId(), settings.userId());
        QCOMPARE(readBack.password(), settings.password());
        QCOMPARE(readBack.timeout(), written.toDouble());
    }

    void newRecordWritesEmptyAttributes()
    {
        const QString document = ConnectSettings().formatTemplate(MyUtil::templateString(QStringLiteral("root")));
        const auto attributes = settingsAttributes(document);
        const QHash<QString, QString> expected {
            { "description", "" }, { "url", "" }, { "userid", "" }, { "password", "" }, { "timeout", "120" }
        };
        QCOMPARE(attributes, expected);
    }
};

PLUMOXA_TEST(ConnectSettingsTest);
#include "ConnectSettingsTest.moc"
