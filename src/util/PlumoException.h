#pragma once

#include <QString>

#include <exception>

// A failure inside a long operation or a programming error: a short internal name ("retr",
// "paste", "PlumoClient") and the message key that the catching step shows.
class PlumoException final : public std::exception
{
public:
    PlumoException(QString name, QString reason)
        : m_name(std::move(name))
        , m_reason(std::move(reason))
        , m_what((m_name + QStringLiteral(": ") + m_reason).toUtf8())
    { }

    QString name() const { return m_name; }
    QString reason() const { return m_reason; }
    const char* what() const noexcept override { return m_what.constData(); }

private:
    QString m_name;
    QString m_reason;
    QByteArray m_what;
};
