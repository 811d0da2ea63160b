#include "support/ServerFixture.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTimeZone>

#include <csignal>

#include <sys/prctl.h>

namespace {

constexpr int kDeadlineMs = 15000;

QString phpProgram()
{
    const QString program = qEnvironmentVariable("PLUMOXA_TEST_PHP");
    return program.isEmpty() ? QStringLiteral("php") : program;
}

// A PHP single-quoted string literal.
QString phpLiteral(QString text)
{
    text.replace(QLatin1Char('\\'), QLatin1String("\\\\")).replace(QLatin1Char('\''), QLatin1String("\\'"));
    return QLatin1Char('\'') + text + QLatin1Char('\'');
}

// Gives the line "const NAME = ...;" of the script's configuration the value.
bool setConstant(QString& script, const QString& name, const QString& value)
{
    const QRegularExpression line(QLatin1String("^const ") + name + QLatin1String(" = .*;$"),
                                  QRegularExpression::MultilineOption);
    const QRegularExpressionMatch match = line.match(script);
    if (!match.hasMatch())
        return false;
    const QString replacement = QLatin1String("const ") + name + QLatin1String(" = ") + phpLiteral(value) + ';';
    script.replace(match.capturedStart(), match.capturedLength(), replacement);
    return true;
}

// At bcrypt's lowest cost: the script checks it like any other hash, on every request.
QString passwordHash(const QString& password)
{
    QProcess php;
    php.start(phpProgram(),
              { QStringLiteral("-r"), QStringLiteral("echo password_hash($argv[1], PASSWORD_BCRYPT, ['cost' => 4]);"),
                QStringLiteral("--"), password });
    if (!php.waitForFinished(kDeadlineMs) || php.exitStatus() != QProcess::NormalExit || php.exitCode() != 0)
        return QString();
    return QString::fromUtf8(php.readAllStandardOutput());
}

// A server outlives no test: should the test end without stopping it (a crash, a kill, a time-out),
// the kernel ends the server too.
void endWithTheTest(QProcess& process)
{
    process.setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGKILL); });
}

} // namespace

ServerFixture::ServerFixture(QStringList extraArgs)
    : m_extraArgs(std::move(extraArgs))
    , m_dir(std::make_unique<QTemporaryDir>())
{
    QDir(m_dir->path()).mkdir(QStringLiteral("root"));
    // The server refuses a password file that others could read.
    QFile passwordFile(m_dir->filePath(QStringLiteral("password")));
    if (passwordFile.open(QIODevice::WriteOnly)
        && passwordFile.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner))
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

bool ServerFixture::runsPhpScript()
{
    return !qEnvironmentVariableIsEmpty("PLUMOXA_TEST_PHP_SCRIPT");
}

void ServerFixture::setPhpConstant(const QString& name, const QString& value)
{
    m_phpConstants.append(qMakePair(name, value));
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
    return runsPhpScript() ? startPhpScript() : startServer();
}

bool ServerFixture::startServer()
{
    m_process = std::make_unique<QProcess>();
    endWithTheTest(*m_process);
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
    QByteArray line;
    if (!waitForLine(QByteArray(), line))
        return false;
    m_url = QString::fromUtf8(line);
    return m_url.contains(QStringLiteral("://"));
}

bool ServerFixture::startPhpScript()
{
    QString startDir = QStringLiteral("/");
    for (qsizetype i = 0; i < m_extraArgs.size(); i += 2) {
        if (m_extraArgs[i] != QLatin1String("--start-dir") || i + 1 >= m_extraArgs.size()) {
            qWarning("ServerFixture: the PHP script has no option %s", qPrintable(m_extraArgs[i]));
            return false;
        }
        startDir = m_extraArgs[i + 1];
    }
    QFile source(qEnvironmentVariable("PLUMOXA_TEST_PHP_SCRIPT"));
    if (!source.open(QIODevice::ReadOnly))
        return false;
    QString script = QString::fromUtf8(source.readAll());
    const QString hash = passwordHash(password());
    if (hash.isEmpty() || !setConstant(script, QStringLiteral("PLUMOXA_ROOT"), rootPath())
        || !setConstant(script, QStringLiteral("PLUMOXA_USER"), user())
        || !setConstant(script, QStringLiteral("PLUMOXA_PASSWORD_HASH"), hash)
        || !setConstant(script, QStringLiteral("PLUMOXA_START_DIR"), startDir))
        return false;
    for (const auto& [name, value] : std::as_const(m_phpConstants)) {
        if (!setConstant(script, name, value))
            return false;
    }
    const QString documentRoot = m_dir->filePath(QStringLiteral("www"));
    QDir().mkpath(documentRoot);
    QFile copy(documentRoot + QStringLiteral("/plumoxa.php"));
    if (!copy.open(QIODevice::WriteOnly) || copy.write(script.toUtf8()) < 0)
        return false;
    copy.close();

    m_process = std::make_unique<QProcess>();
    endWithTheTest(*m_process);
    // One process, so that stopping it stops every request it serves.
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove(QStringLiteral("PHP_CLI_SERVER_WORKERS"));
    m_process->setProcessEnvironment(environment);
    m_process->setStandardOutputFile(QProcess::nullDevice());
    // The built-in server names its port and logs on standard error; the log is kept in the
    // same file as plumoxa-server's as it arrives.
    m_process->setReadChannel(QProcess::StandardError);
    const QStringList args {
        QStringLiteral("-d"), QStringLiteral("upload_max_filesize=64M"),
        QStringLiteral("-d"), QStringLiteral("post_max_size=64M"),
        QStringLiteral("-d"), QStringLiteral("date.timezone=") + QString::fromUtf8(QTimeZone::systemTimeZoneId()),
        QStringLiteral("-d"), QStringLiteral("log_errors=1"),
        QStringLiteral("-S"), QStringLiteral("127.0.0.1:0"),
        QStringLiteral("-t"), documentRoot
    };
    m_process->start(phpProgram(), args);
    if (!m_process->waitForStarted(kDeadlineMs))
        return false;
    QByteArray line;
    if (!waitForLine(QByteArrayLiteral("Development Server ("), line))
        return false;
    const QRegularExpressionMatch address
        = QRegularExpression(QStringLiteral("\\((http://127\\.0\\.0\\.1:\\d+)\\)")).match(QString::fromUtf8(line));
    if (!address.hasMatch())
        return false;
    m_url = address.captured(1) + QStringLiteral("/plumoxa.php");
    QObject::connect(m_process.get(), &QProcess::readyReadStandardError, m_process.get(), [this] { keepPhpLog(); });
    return true;
}

// Reads the current channel up to the first line that holds the marker (any line for an empty
// marker); a PHP log keeps what was read on the way.
bool ServerFixture::waitForLine(const QByteArray& marker, QByteArray& line)
{
    const QDeadlineTimer deadline(kDeadlineMs);
    QByteArray output;
    for (;;) {
        qsizetype start = 0;
        for (qsizetype end = output.indexOf('\n'); end >= 0; end = output.indexOf('\n', start)) {
            const QByteArray candidate = output.mid(start, end - start);
            if (candidate.contains(marker)) {
                line = candidate;
                if (runsPhpScript()) {
                    QFile file(m_dir->filePath(QStringLiteral("server.log")));
                    if (file.open(QIODevice::Append))
                        file.write(output);
                }
                return true;
            }
            start = end + 1;
        }
        if (m_process->state() != QProcess::Running && m_process->bytesAvailable() == 0)
            return false;
        if (m_process->bytesAvailable() == 0 && !m_process->waitForReadyRead(int(deadline.remainingTime())))
            return false;
        output += m_process->readAll();
        if (deadline.hasExpired())
            return false;
    }
}

void ServerFixture::keepPhpLog() const
{
    if (!m_process)
        return;
    const QByteArray pending = m_process->readAllStandardError();
    if (pending.isEmpty())
        return;
    QFile file(m_dir->filePath(QStringLiteral("server.log")));
    if (file.open(QIODevice::Append))
        file.write(pending);
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
    if (runsPhpScript())
        keepPhpLog();
    m_process.reset();
    return clean;
}

QString ServerFixture::log() const
{
    if (runsPhpScript())
        keepPhpLog();
    QFile file(m_dir->filePath(QStringLiteral("server.log")));
    if (!file.open(QIODevice::ReadOnly))
        return QString();
    return QString::fromUtf8(file.readAll());
}
