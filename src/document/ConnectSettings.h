#pragma once

#include <QHash>
#include <QString>
#include <QStringList>

#include <optional>

// One account's connection: a free label, the script's URL, the login and the request time-out.
// In memory the password is clear text; only the document file holds it scrambled.
class ConnectSettings final
{
public:
    static constexpr double kDefaultTimeout = 120;

    QString description() const { return m_description; }
    void setDescription(const QString& description) { m_description = description; }
    QString urlString() const { return m_url; }
    void setUrl(const QString& url) { m_url = url; }
    QString userId() const { return m_userId; }
    void setUserId(const QString& userId) { m_userId = userId; }
    QString password() const { return m_password; }
    void setPassword(const QString& password) { m_password = password; }
    double timeout() const { return m_timeout; }
    void setTimeout(double timeout) { m_timeout = timeout; }

    // Takes over the attributes of a "settings" element directly under the root; elementPath
    // holds the names of the open elements, root first. False, and nothing changed, otherwise.
    bool parse(const QStringList& elementPath, const QHash<QString, QString>& attributes);
    // Fills the document template: four text placeholders and one whole number.
    QString formatTemplate(const QString& templateText) const;

    QString encryptPassword() const;
    static QString decryptPassword(const QString& scrambled);

    // The machine-bound key: the first 8 hex digits of the primary Ethernet address, else the
    // start of /etc/machine-id; none when neither can be read.
    static std::optional<QString> scramblingKey();
    static QString encryptPassword(const QString& password, const std::optional<QString>& key);
    static QString decryptPassword(const QString& scrambled, const std::optional<QString>& key);

    // A time-out attribute as a number: the leading decimal number after white space, else 0.
    static double leadingDouble(const QString& text);

    bool operator==(const ConnectSettings&) const = default;

private:
    QString m_description;
    QString m_url;
    QString m_userId;
    QString m_password;
    double m_timeout = kDefaultTimeout;
};
