#include "app/DemoServer.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <csignal>

#include <sys/prctl.h>

namespace {

constexpr int kDeadlineMs = 15000;
constexpr char kUser[] = "demo";
constexpr char kPassword[] = "plumoxa-demo";

void writeFile(const QString& path, const QByteArray& content)
{
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(content);
}

} // namespace

DemoServer::DemoServer()
    : m_dir(std::make_unique<QTemporaryDir>())
{ }

DemoServer::~DemoServer()
{
    stop();
}

QString DemoServer::defaultServerPath()
{
    const QString beside = QCoreApplication::applicationDirPath() + QStringLiteral("/plumoxa-server");
    if (QFileInfo(beside).isExecutable())
        return beside;
    return QStringLiteral(PLUMOXA_SERVER_PATH);
}

QString DemoServer::rootPath() const
{
    return m_dir->filePath(QStringLiteral("root"));
}

void DemoServer::fillRoot() const
{
    const QDir root(rootPath());
    for (const char* directory : { "Documents/Reports", "Photos/2026", "Projects/plumoxa/src", "Public" })
        root.mkpath(QString::fromLatin1(directory));
    writeFile(root.filePath(QStringLiteral("README.txt")),
              "This folder is served by plumoxa-server for the Plumoxa demonstration.\n");
    writeFile(root.filePath(QStringLiteral("Documents/notes.txt")), "Things to try: upload, rename, chmod.\n");
    writeFile(root.filePath(QStringLiteral("Documents/Reports/2026-q3.csv")), "quarter,total\nq3,42\n");
    writeFile(root.filePath(QStringLiteral("Photos/2026/beach.jpg")), QByteArray(2048, '\xff'));
    writeFile(root.filePath(QStringLiteral("Projects/plumoxa/src/main.cpp")), "int main() { return 0; }\n");
    writeFile(root.filePath(QStringLiteral("Public/index.html")), "<html><body>Hello</body></html>\n");
    writeFile(root.filePath(QStringLiteral(".hidden-settings")), "hidden\n");
}

bool DemoServer::start(const QString& serverPath)
{
    if (m_process || !m_dir->isValid())
        return false;
    QDir(m_dir->path()).mkdir(QStringLiteral("root"));
    fillRoot();
    const QString passwordFile = m_dir->filePath(QStringLiteral("password"));
    writeFile(passwordFile, QByteArray(kPassword) + '\n');
    // The server refuses a password file that others could read.
    QFile::setPermissions(passwordFile, QFileDevice::ReadOwner | QFileDevice::WriteOwner);

    m_process = std::make_unique<QProcess>();
    m_process->setStandardErrorFile(m_dir->filePath(QStringLiteral("server.log")));
    // Should this program die without stopping it, the server goes too.
    m_process->setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGTERM); });
    m_process->start(serverPath,
                     { QStringLiteral("--root"), rootPath(), QStringLiteral("--user"), QString::fromLatin1(kUser),
                       QStringLiteral("--password-file"), passwordFile, QStringLiteral("--listen"),
                       QStringLiteral("127.0.0.1:0") });
    if (!m_process->waitForStarted(kDeadlineMs))
        return false;
    // The server announces its URL on the first line of its output.
    const QDeadlineTimer deadline(kDeadlineMs);
    QByteArray output;
    while (!output.contains('\n') && !deadline.hasExpired()) {
        if (m_process->bytesAvailable() == 0 && !m_process->waitForReadyRead(int(deadline.remainingTime())))
            break;
        output += m_process->readAllStandardOutput();
    }
    if (!output.contains('\n'))
        return false;
    m_url = QString::fromUtf8(output.left(output.indexOf('\n'))).trimmed();
    return m_url.startsWith(QStringLiteral("http"));
}

ConnectSettings DemoServer::setting() const
{
    ConnectSettings setting;
    setting.setDescription(QStringLiteral("Plumoxa demo"));
    setting.setUrl(m_url);
    setting.setUserId(QString::fromLatin1(kUser));
    setting.setPassword(QString::fromLatin1(kPassword));
    return setting;
}

void DemoServer::stop()
{
    if (!m_process)
        return;
    if (m_process->state() != QProcess::NotRunning) {
        m_process->terminate();
        if (!m_process->waitForFinished(kDeadlineMs)) {
            m_process->kill();
            m_process->waitForFinished(kDeadlineMs);
        }
    }
    m_process.reset();
}
