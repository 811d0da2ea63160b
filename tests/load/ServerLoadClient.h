#pragma once

#include <QString>
#include <QStringList>

#include <atomic>

// One client of the load test: sends a fixed number of commands, one after another on its own
// kept-alive connection, cycling through MKD, STOR, RETR, LIST, REN, RM and RMD in a directory of
// its own, and checks every reply (a retrieved file must come back byte for byte).
class ServerLoadClient
{
public:
    ServerLoadClient(QString url, QString user, QString password, QString directory);

    // Runs the commands numbered first to first + count - 1 of the cycle (a later run goes on
    // where an earlier one stopped); returns the number that failed, noting the first failures.
    int run(int first, int count, const std::atomic<bool>& stop);
    const QStringList& failures() const { return m_failures; }

private:
    QString m_url;
    QString m_user;
    QString m_password;
    QString m_directory;
    QStringList m_failures;
};
