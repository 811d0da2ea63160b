#include "document/DocumentFile.h"
#include "support/TestRegistry.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {

ConnectSettings sample()
{
    ConnectSettings settings;
    settings.setDescription(QStringLiteral("office & <lab> \"1\" &amp;\tsecond line:\r\nend"));
    settings.setUrl(QStringLiteral("https://example.com/plumoxa.php"));
    settings.setUserId(QStringLiteral("u1"));
    settings.setPassword(QStringLiteral("pässword"));
    settings.setTimeout(30);
    return settings;
}

} // namespace

class DocumentFileTest : public QObject
{
    Q_OBJECT

private slots:
    void roundTrip_data()
    {
        QTest::addColumn<bool>("fresh");
        QTest::newRow("new document") << true;
        QTest::newRow("escaped texts and a password") << false;
    }
    void roundTrip()
    {
        QFETCH(bool, fresh);
        const ConnectSettings settings = fresh ? ConnectSettings() : sample();
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("a.plumoxa"));
        QVERIFY(DocumentFile::write(path, settings));
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        QVERIFY(!bytes.startsWith("\xef\xbb\xbf"));
        // It holds a password that this machine can unscramble: the owner's alone.
        QCOMPARE(file.permissions() & ~(QFile::ReadUser | QFile::WriteUser), QFile::ReadOwner | QFile::WriteOwner);
        QVERIFY(bytes.contains("<plumoxa>"));
        if (fresh)
            QVERIFY(bytes.contains("description=\"\" url=\"\" userid=\"\" password=\"\" timeout=\"120\""));
        ConnectSettings readBack;
        readBack.setTimeout(7);
        QVERIFY(DocumentFile::read(path, readBack));
        QCOMPARE(readBack, settings);
    }

    void timeoutWrittenWhole()
    {
        ConnectSettings settings;
        settings.setTimeout(120.9);
        QVERIFY(DocumentFile::documentText(settings).contains(u"timeout=\"120\""));
    }

    void structure_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QString>("description"); // "<default>" when the setting stays as it was
        QTest::newRow("plain") << QByteArray("<plumoxa><settings description=\"d\" timeout=\"5\"/></plumoxa>") << "d";
        QTest::newRow("other root") << QByteArray("<Plumoxa><settings description=\"d\"/></Plumoxa>") << "<default>";
        QTest::newRow("nested one level deeper")
            << QByteArray("<plumoxa><group><settings description=\"d\"/></group></plumoxa>") << "<default>";
        QTest::newRow("truncated after the start tag")
            << QByteArray("<?xml version=\"1.0\"?>\n<plumoxa>\n<settings description=\"cut\" timeout=\"9\">") << "cut";
        QTest::newRow("broken after the element") << QByteArray("<plumoxa><settings description=\"x\"/><<<") << "x";
        QTest::newRow("last of several wins")
            << QByteArray("<plumoxa><settings description=\"a\"/><settings description=\"b\"/></plumoxa>") << "b";
        QTest::newRow("entities resolved")
            << QByteArray("<plumoxa><settings description=\"&amp;lt;&#x41;\"/></plumoxa>") << "&lt;A";
        QTest::newRow("not XML at all") << QByteArray("hello") << "<default>";
        QTest::newRow("empty") << QByteArray() << "<default>";
    }
    void structure()
    {
        QFETCH(QByteArray, text);
        QFETCH(QString, description);
        ConnectSettings settings;
        settings.setDescription(QStringLiteral("<default>"));
        DocumentFile::parseXml(text, settings);
        QCOMPARE(settings.description(), description);
    }

    void unreadableFileFails()
    {
        ConnectSettings settings;
        QString error;
        QVERIFY(!DocumentFile::read(QStringLiteral("/nonexistent/a.plumoxa"), settings, &error));
        QVERIFY(!error.isEmpty());
    }

    void failedWriteReportsFailure()
    {
        QString error;
        QVERIFY(!DocumentFile::write(QStringLiteral("/nonexistent/a.plumoxa"), sample(), &error));
        QVERIFY(!error.isEmpty());
    }
};

PLUMOXA_TEST(DocumentFileTest);
#include "DocumentFileTest.moc"
