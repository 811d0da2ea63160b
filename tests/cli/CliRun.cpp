#include "CliRun.h"

#include "support/ServerFixture.h"

#include <QProcess>

CliRun CliRun::run(const QStringList& arguments, const QString& workingDirectory, const QString& password,
                   const QByteArray& input, const std::function<void()>& childSetup)
{
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove(QStringLiteral("PLUMOXA_PASSWORD"));
    if (!password.isNull())
        environment.insert(QStringLiteral("PLUMOXA_PASSWORD"), password);
    process.setProcessEnvironment(environment);
    if (!workingDirectory.isEmpty())
        process.setWorkingDirectory(workingDirectory);
    if (childSetup)
        process.setChildProcessModifier(childSetup);
    process.start(QStringLiteral(PLUMOXA_CLI_PATH), arguments);
    process.write(input);
    process.closeWriteChannel();
    CliRun result;
    if (!process.waitForFinished(60000)) {
        process.kill();
        process.waitForFinished();
        return result;
    }
    result.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    result.out = process.readAllStandardOutput();
    result.err = process.readAllStandardError();
    return result;
}

QStringList CliRun::account(const ServerFixture& server)
{
    return { QStringLiteral("--url"), server.url(), QStringLiteral("--user"), server.user() };
}

CliRun CliRun::on(const ServerFixture& server, const QStringList& arguments, const QString& workingDirectory)
{
    return run(account(server) + arguments, workingDirectory, server.password());
}
