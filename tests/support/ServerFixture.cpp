#include "support/ServerFixture.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

namespace {

constexpr int kDeadlineMs = 15000;

} // namespace

ServerFixture::ServerFixture(QStringList extraArgs)
    : m_extraArgs(std::move(extraArgs))
    , m_dir(std::make_unique<QTemporaryDir>())
{
    QDir(m_dir->path()).mkdir(QStringLiteral("root"));
    QFile passwordFile(m_dir->filePath(QStringLiteral("password")));
    if (passwordFile.open(QIODevice::WriteOnly))
        passwordFile.write(password().toUtf8() + '\n');
}

ServerFixture::~ServerFixture()
{
    stop();
}

QString ServerFixture::serverPath()
{
    return QStringLiteral(PLUMOXA_SERVER_PATH);
}

QString ServerFixture::rootPath() const
{
    return m_dir->filePath(QStringLiteral("root"));
}

QString ServerFixture::user() const
{
    return QStringLiteral("tester");
}

QString ServerFixture::password() const
{
    // Characters a form value must escape, and a space, which it need not.
    return QStringLiteral("s3cret w&rd+=/");
}

bool ServerFixture::start()
{
    if (m_process)
        return false;
    m_process = std::make_unique<QProcess>();
    // A file, not a pipe: a pipe that the test does not drain could stall a chatty server.
    m_process->setStandardErrorFile(m_dir->filePath(QStringLiteral("server.log")), QIODevice::Append);
    QStringList args { QStringLiteral("--root"),          rootPath(),
                       QStringLiteral("--user"),          user(),
                       QStringLiteral("--password-file"), m_dir->filePath(QStringLiteral("password")),
                       QStringLiteral("--listen"),        QStringLiteral("127.0.0.1:0") };
    args += m_extraArgs;
    m_process->start(serverPath(), args);
    if (!m_process->waitForStarted(kDeadlineMs))
        return false;
    const QDeadlineTimer deadline(kDeadlineMs);
    QByteArray output;
    while (!output.contains('\n')) {
        if (m_process->state() != QProcess::Running && m_process->bytesAvailable() == 0)
            break;
        if (m_process->bytesAvailable() == 0 && !m_process->waitForReadyRead(int(deadline.remainingTime())))
            break;
        output += m_process->readAllStandardOutput();
        if (deadline.hasExpired())
            break;
    }
    if (!output.contains('\n'))
        return false;
    m_url = QString::fromUtf8(output.left(output.indexOf('\n')));
    return m_url.contains(QStringLiteral("://"));
}

bool ServerFixture::stop()
{
    if (!m_process)
        return false;
    bool clean = false;
    if (m_process->state() != QProcess::NotRunning) {
        m_process->terminate();
        if (m_process->waitForFinished(kDeadlineMs)) {
            clean = m_process->exitStatus() == QProcess::NormalExit && m_process->exitCode() == 0;
        } else {
            m_process->kill();
            m_process->waitForFinished(kDeadlineMs);
        }
    }
    m_process.reset();
    return clean;
}

QString ServerFixture::log() const
{
    QFile file(m_dir->filePath(QStringLiteral("server.log")));
    if (!file.open(QIODevice::ReadOnly))
        return QString();
    return QString::fromUtf8(file.readAll());
}
