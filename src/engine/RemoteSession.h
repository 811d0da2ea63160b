#pragma once

#include "document/ConnectSettings.h"
#include "model/FileDisplayController.h"
#include "model/SessionController.h"
#include "protocol/PlumoClient.h"
#include "protocol/ResultTarget.h"

#include <functional>

// One logged-in account: the protocol client and the tree of remote directories it has listed,
// kept in step with each other. The desktop window's controller builds on it; the command-line
// client uses it as it is. Used on the thread that owns the model.
class RemoteSession : public ResultTarget, public SessionController
{
public:
    using SettingsSource = std::function<ConnectSettings()>;

    explicit RemoteSession(SettingsSource settings);
    ~RemoteSession() override;
    Q_DISABLE_COPY_MOVE(RemoteSession)

    PlumoClient& client() { return m_client; }
    FileDisplayController& tree() { return m_tree; }
    bool isConnected() const { return m_client.isConnect(); }

    // Logs in ("CONN"); the reply's listings fill the tree down to the starting directory, which
    // becomes the tree's current directory.
    bool connectSession();
    // Forgets the session locally (nothing is sent): an empty tree whose current directory is "/".
    void disconnectSession();
    // Lists one directory from the server into its listing, keeping entries that did not change.
    // The server's own verdict is the client's commandResult afterwards. A window overrides it to
    // announce the change to its views.
    virtual bool fullpathListFileDisplay(FileDisplayCollection& listing);
    // The listing of an absolute directory path, listing each directory on the way that the tree
    // does not know yet; null when a step is not a directory or a listing fails.
    FileDisplayCollection* listedDirectory(const QString& absolutePath);

    // ResultTarget
    ConnectSettings connectionSetting() const override;
    // The directory the server reports, and the tree's current directory (one and the same).
    void setCurrentDirectory(const QString& path) override;
    ListingReceiver* fileDisplayController() override { return &m_tree; }
    // The server ended the session: the local state follows.
    void disconnected() override;

    // SessionController
    void clientSetCurrentDirectory(const QString& path) override;
    bool clientList(const QString& path) override;
    bool chmod(FileDisplayCollection& listing, const QString& fileName, const QString& mode) override;
    bool renameFile(FileDisplayCollection& listing, const QString& from, const QString& to) override;
    void directorySelectionHasChanged(FileDisplayCollection& listing) override;
    bool droppedFromFinder(const QMimeData& drop, FileDisplayCollection& listing) override;

private:
    SettingsSource m_settings;
    PlumoClient m_client;
    FileDisplayController m_tree;
};
