#include "document/ConnectSettings.h"

#include "document/Base64.h"
#include "document/Des.h"
#include "document/MacAddress.h"
#include "protocol/Encoder.h"
#include "util/MyUtil.h"

#include <QFile>

#include <charconv>
#include <cmath>
#include <limits>

namespace {

constexpr qsizetype kKeyLength = 8;

std::optional<QString> machineIdKey()
{
    QFile file(QStringLiteral("/etc/machine-id"));
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QByteArray id = file.readLine().trimmed();
    if (id.size() < kKeyLength)
        return std::nullopt;
    return QString::fromLatin1(id.left(kKeyLength));
}

QString wholeSeconds(double timeout)
{
    if (std::isnan(timeout) || timeout <= 0)
        return QStringLiteral("0");
    if (timeout >= double(std::numeric_limits<quint64>::max()))
        return QString::number(std::numeric_limits<quint64>::max());
    return QString::number(static_cast<quint64>(timeout));
}

// An attribute value escaped for the document. Tabs and line breaks go as character references
// too: an XML reader turns them into spaces otherwise, and the text would not read back as saved.
QString attributeText(const QString& value)
{
    QString text = Encoder::encodeXmlString(value);
    text.replace(u'\t', QStringLiteral("&#9;"));
    text.replace(u'\n', QStringLiteral("&#10;"));
    text.replace(u'\r', QStringLiteral("&#13;"));
    return text;
}

} // namespace

bool ConnectSettings::parse(const QStringList& elementPath, const QHash<QString, QString>& attributes)
{
    if (elementPath.size() != 2 || elementPath.at(1) != u"settings")
        return false;
    m_description = attributes.value(QStringLiteral("description"));
    m_url = attributes.value(QStringLiteral("url"));
    m_userId = attributes.value(QStringLiteral("userid"));
    m_password = decryptPassword(attributes.value(QStringLiteral("password")));
    m_timeout = leadingDouble(attributes.value(QStringLiteral("timeout")));
    return true;
}

QString ConnectSettings::formatTemplate(const QString& templateText) const
{
    return MyUtil::format(templateText,
                          { attributeText(m_description), attributeText(m_url), attributeText(m_userId),
                            attributeText(encryptPassword()), wholeSeconds(m_timeout) });
}

std::optional<QString> ConnectSettings::scramblingKey()
{
    if (const auto address = MacAddress::primaryMacAddress())
        return address->left(kKeyLength);
    return machineIdKey();
}

QString ConnectSettings::encryptPassword() const
{
    return encryptPassword(m_password, scramblingKey());
}

QString ConnectSettings::decryptPassword(const QString& scrambled)
{
    return decryptPassword(scrambled, scramblingKey());
}

QString ConnectSettings::encryptPassword(const QString& password, const std::optional<QString>& key)
{
    if (!key)
        return {};
    const auto encrypted = Des::encryptString(password, QStringConverter::Utf8, *key);
    if (!encrypted)
        return {};
    return QString::fromUtf8(Base64::encode(*encrypted));
}

QString ConnectSettings::decryptPassword(const QString& scrambled, const std::optional<QString>& key)
{
    if (!key)
        return {};
    const auto decoded = Base64::decode(scrambled.toUtf8());
    return Des::decryptToString(decoded.value_or(QByteArray()), QStringConverter::Utf8, *key).value_or(QString());
}

double ConnectSettings::leadingDouble(const QString& text)
{
    const QByteArray bytes = text.toUtf8();
    const char* p = bytes.constData();
    const char* end = p + bytes.size();
    while (p < end && (*p == ' ' || *p == '\t' || *p == '\n' || *p == '\r' || *p == '\f' || *p == '\v'))
        ++p;
    bool negative = false;
    if (p < end && (*p == '+' || *p == '-')) {
        negative = *p == '-';
        ++p;
    }
    double value = 0;
    const auto [stop, error] = std::from_chars(p, end, value, std::chars_format::fixed | std::chars_format::scientific);
    if (stop == p)
        return 0;
    if (error == std::errc::result_out_of_range) {
        // Too small underflows to 0, too large overflows to infinity.
        const bool tiny = QByteArrayView(p, stop - p).contains("e-") || QByteArrayView(p, stop - p).contains("E-");
        value = tiny ? 0 : std::numeric_limits<double>::infinity();
    }
    return negative ? -value : value;
}
