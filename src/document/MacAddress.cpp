#include "document/MacAddress.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLoggingCategory>

#include <limits>

Q_LOGGING_CATEGORY(lcMacAddress, "plumoxa.document", QtInfoMsg)

namespace {

constexpr int kArphrdEther = 1;

QByteArray readAttribute(const QString& interfaceDir, const char* name)
{
    QFile file(interfaceDir + u'/' + QLatin1StringView(name));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll().trimmed();
}

// "aa:bb:cc:dd:ee:ff" to "aabbccddeeff", or nothing when it is not a 6-byte non-zero address.
std::optional<QString> hexAddress(const QByteArray& colonForm)
{
    const QList<QByteArray> parts = colonForm.split(':');
    if (parts.size() != 6)
        return std::nullopt;
    QString hex;
    bool anyNonZero = false;
    for (const QByteArray& part : parts) {
        bool ok = false;
        const uint value = part.toUInt(&ok, 16);
        if (!ok || part.size() != 2 || value > 0xFF)
            return std::nullopt;
        anyNonZero = anyNonZero || value != 0;
        hex += QString::asprintf("%02x", value);
    }
    if (!anyNonZero)
        return std::nullopt;
    return hex;
}

} // namespace

std::optional<QString> MacAddress::primaryMacAddress()
{
    return primaryMacAddress(QStringLiteral("/sys/class/net"));
}

std::optional<QString> MacAddress::primaryMacAddress(const QString& sysClassNet)
{
    struct Candidate
    {
        int ifindex = std::numeric_limits<int>::max();
        std::optional<QString> address;
    };
    Candidate physical;
    Candidate other;
    const QDir dir(sysClassNet);
    for (const QString& name : dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::System)) {
        const QString path = dir.filePath(name);
        if (name == u"lo" || readAttribute(path, "type").toInt() != kArphrdEther)
            continue;
        const auto address = hexAddress(readAttribute(path, "address"));
        if (!address)
            continue;
        bool ok = false;
        const int ifindex = readAttribute(path, "ifindex").toInt(&ok);
        if (!ok)
            continue;
        Candidate& slot = QFileInfo::exists(path + QStringLiteral("/device")) ? physical : other;
        if (ifindex < slot.ifindex)
            slot = Candidate { ifindex, address };
    }
    const auto& chosen = physical.address ? physical.address : other.address;
    qCDebug(lcMacAddress) << "primary Ethernet address" << chosen.value_or(QStringLiteral("none"));
    return chosen;
}
