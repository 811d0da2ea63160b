#pragma once

#include "document/ConnectSettings.h"

#include <QString>

#include <memory>

class QProcess;
class QTemporaryDir;

// The demonstration account: a plumoxa-server on 127.0.0.1 (a port of its own choosing) over a
// fresh temporary folder with a few sample files and folders. Destroying it stops the server and
// removes the folder.
class DemoServer final
{
public:
    DemoServer();
    ~DemoServer();
    Q_DISABLE_COPY_MOVE(DemoServer)

    // Fills the folder and starts the server binary; false when it did not come up.
    bool start(const QString& serverPath);
    // The setting that reaches the server.
    ConnectSettings setting() const;
    QString rootPath() const;
    QString url() const { return m_url; }

    // The plumoxa-server beside this program, else the one of this build.
    static QString defaultServerPath();

private:
    void fillRoot() const;
    void stop();

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<QProcess> m_process;
    QString m_url;
};
