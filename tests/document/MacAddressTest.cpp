#include "document/MacAddress.h"
#include "support/TestRegistry.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {

struct Interface
{
    QString name;
    int type;
    int ifindex;
    QByteArray address;
    bool physical;
};

} // namespace

Q_DECLARE_METATYPE(Interface)

namespace {

// Lays out a folder shaped like /sys/class/net.
void writeInterfaces(const QString& root, const QList<Interface>& interfaces)
{
    for (const Interface& i : interfaces) {
        const QString dir = root + u'/' + i.name;
        QVERIFY(QDir().mkpath(dir));
        const auto write = [&dir](const char* name, const QByteArray& value) {
            QFile file(dir + u'/' + QLatin1StringView(name));
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(value + '\n');
        };
        write("type", QByteArray::number(i.type));
        write("ifindex", QByteArray::number(i.ifindex));
        write("address", i.address);
        if (i.physical)
            QVERIFY(QDir().mkpath(dir + QStringLiteral("/device")));
    }
}

} // namespace

class MacAddressTest : public QObject
{
    Q_OBJECT

private slots:
    void choosesPrimaryInterface_data()
    {
        QTest::addColumn<QList<Interface>>("interfaces");
        QTest::addColumn<QString>("expected");
        const Interface lo { "lo", 772, 1, "00:00:00:00:00:00", false };
        const Interface eth0 { "eth0", 1, 3, "AA:bb:cc:dd:ee:01", true };
        const Interface eth1 { "eth1", 1, 2, "aa:bb:cc:dd:ee:02", true };
        const Interface bridge { "br0", 1, 1, "02:42:00:00:00:09", false };
        const Interface zero { "eth2", 1, 1, "00:00:00:00:00:00", true };
        const Interface wwan { "wwan0", 519, 1, "12:34:56:78:9a:bc", true };
        QTest::newRow("lowest physical ifindex wins") << QList { lo, eth0, eth1, bridge } << "aabbccddee02";
        QTest::newRow("zero address ignored") << QList { zero, eth0 } << "aabbccddee01";
        QTest::newRow("no physical: lowest virtual") << QList { lo, bridge } << "024200000009";
        QTest::newRow("non-ethernet ignored") << QList { wwan, bridge } << "024200000009";
        QTest::newRow("loopback only") << QList { lo } << QString();
        QTest::newRow("nothing") << QList<Interface> {} << QString();
    }
    void choosesPrimaryInterface()
    {
        QFETCH(QList<Interface>, interfaces);
        QFETCH(QString, expected);
        QTemporaryDir root;
        writeInterfaces(root.path(), interfaces);
        QCOMPARE(MacAddress::primaryMacAddress(root.path()).value_or(QString()), expected);
    }

    void thisMachineGivesTwelveHexDigitsOrNothing()
    {
        const auto address = MacAddress::primaryMacAddress();
        if (address) {
            QCOMPARE(address->size(), 12);
            QCOMPARE(address->toLower(), *address);
        }
    }
};

PLUMOXA_TEST(MacAddressTest);
#include "MacAddressTest.moc"
