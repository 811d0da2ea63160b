#pragma once

#include "model/FileDisplayCollection.h"
#include "protocol/ListingReceiver.h"

#include <memory>

class OutlineView;
class SessionController;

// The tree of remote directories visited in one session window: the root listing "/", the path
// registry of every listing in the tree, the directory the file table shows and the directory
// whose listing lines are arriving. It receives the listing lines of the protocol client and is
// the data source of the directory outline. Used on the thread that owns the model.
class FileDisplayController final : public ListingReceiver
{
public:
    FileDisplayController();
    ~FileDisplayController() override;
    Q_DISABLE_COPY_MOVE(FileDisplayController)

    SessionController* controller() const { return m_controller; }
    // Also the root listing's controller.
    void setController(SessionController* controller);
    QString currentDirectory() const { return m_currentDirectory; }
    void setCurrentDirectory(const QString& path) { m_currentDirectory = path; }
    QString processPath() const { return m_processPath; }
    void setProcessPath(const QString& path) override;
    // The root listing: full path "/", empty name.
    FileDisplayCollection* collection() const { return m_collection.get(); }

    // The root for "/" (and for the empty path), otherwise the known entry at that full path.
    FileDisplay* retrieveFileDisplay(const QString& path) const;
    // The listing registered under the current directory, or null.
    std::shared_ptr<FileDisplayCollection> currentFileViewDataSource() const;

    // A listing line for the listing registered under the process path; dropped when none is.
    void addFileDisplay(const QString& line) override;
    // Sorts the listing registered under the process path.
    void addFileDisplayEnd() override;
    // The end of a received listing: no process path.
    void updateAll();
    // Empties the registry but for the root.
    void invalidate();
    // Forgets every directory (the session disconnected): a bare root, alone in the registry.
    void removeAllObjects();
    // Expands the outline down to the current directory and selects it.
    void expandOutlineView(OutlineView& view);

    // The outline's data source; a null item is the invisible top, whose only child is the root.
    // A node not on the way to the current directory that knows no subdirectories yet is listed
    // from the server when its children are first asked for.
    qsizetype numberOfChildrenOfItem(FileDisplayCollection* item);
    FileDisplayCollection* childOfItem(qsizetype index, const FileDisplayCollection* item) const;
    // Every node shows as expandable, also one that turns out to have no subdirectories.
    bool isItemExpandable(const FileDisplayCollection* item) const;
    QString objectValueForItem(const FileDisplayCollection* item) const;
    // Reports the selection to the controller, then makes the node the current directory.
    bool shouldSelectItem(FileDisplayCollection* item);

private:
    std::shared_ptr<FileDisplayCollection> registered(const QString& path) const;

    SessionController* m_controller = nullptr;
    QString m_currentDirectory;
    std::shared_ptr<FileDisplayCollection> m_collection;
    QString m_processPath;
    std::shared_ptr<PathRegistry> m_pathDictionary;
};
