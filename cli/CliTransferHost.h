#pragma once

#include "engine/TransferHost.h"

#include <QElapsedTimer>

#include <atomic>

class RemoteSession;

// Runs transfers for the terminal: one progress line per file on standard error (when it is a
// terminal and not quiet), cancel on Ctrl-C after the current file.
class CliTransferHost final : public TransferHost
{
public:
    CliTransferHost(RemoteSession& session, bool showProgress);

    RemoteSession& session() override { return m_session; }
    bool isCanceled() const override;
    void setCancel(bool cancel) override;
    void updateProgressTitle(const QString& fileName, const QString& directory, const char* formatKey) override;
    QString lastDirectory() const override { return m_lastDirectory; }
    void setLastDirectory(const QString& directory) override { m_lastDirectory = directory; }
    bool fullpathListFileDisplay(FileDisplayCollection& listing) override;
    void addDummyDirectory(FileDisplayCollection& listing, const QString& name) override;
    void transferred(const QString& name, qint64 bytes) override;

    // Makes Ctrl-C request a cancel instead of ending the program at once.
    static void catchInterrupt();

private:
    RemoteSession& m_session;
    bool m_showProgress;
    QString m_lastDirectory;
    QElapsedTimer m_clock;
};
