#pragma once

#include "engine/RemoteSession.h"
#include "session/WindowTransfers.h"
#include "ui/DirectoryTreeModel.h"
#include "ui/FileTableModel.h"

#include <QObject>
#include <QPointer>
#include <QWidget>

#include <memory>

class ChangeDirectoryDialog;
class ChmodDialog;
class FileDropTableView;
class MyDocument;
class QLabel;
class QPushButton;
class QSplitter;
class QTreeView;
class RenameDialog;
class SettingDialog;

namespace Ui {
class MyDocument;
}

// The session of one document window: it connects and disconnects, lists remote directories into
// the file table, follows the user through the directory tree, keeps the status line, and answers
// what the menus and the dialogs ask about the selection. It is the window's RemoteSession, so the
// window and the command line run the same engine; every change of the listings that the views
// show is announced through their models. Lives on the GUI thread.
class ViewController final : public QObject, public RemoteSession
{
    Q_OBJECT

public:
    explicit ViewController(MyDocument& owner, QObject* parent = nullptr);
    // Disconnects first when still connected.
    ~ViewController() override;

    // Completes the controller once the window's controls exist.
    void awakeFromNib(Ui::MyDocument& ui, QWidget* mainWindow);

    MyDocument& owner() const { return m_owner; }
    QWidget* mainWindow() const { return m_mainWindow; }
    FileDropTableView* fileView() const { return m_fileView; }
    QTreeView* directoryView() const { return m_directoryView; }
    FileTableModel& tableModel() { return m_tableModel; }
    DirectoryTreeModel& treeModel() { return m_treeModel; }
    SettingDialog* settingDialog() const { return m_settingDialog.get(); }
    RenameDialog* renameDialog() const { return m_renameDialogController.get(); }
    ChmodDialog* chmodDialog() const { return m_chmodDialogController.get(); }
    ChangeDirectoryDialog* cdDialog() const { return m_cdDialogController.get(); }
    // The listing the file table shows, or null.
    FileDisplayCollection* shownListing() const { return m_tableModel.dataSource(); }
    QString statusText() const;

    // NO while a long operation runs in the window.
    bool canClose() const;
    void setCanClose(bool canClose);
    WindowTransfers& transfers() { return m_transfers; }

    // The long operations: each starts on the GUI thread and runs on a worker (nothing starts
    // while one runs).
    void addFile();
    void retrieveFile();
    // The selection into a local folder (the drop of a drag out of the table).
    void retrieveDroppedFile(const QString& destination);
    void pasteFromFinder();
    // The copy buffer: the selection's full paths, copied or cut; the paste of the buffer into
    // the shown directory is a long operation.
    void copy();
    void cut();
    void paste();
    QStringList makeFileNameArray() const;
    bool droppedFromFinder(const QMimeData& drop, FileDisplayCollection& listing) override;
    // The end of a long operation, after the window was restored.
    void longProcessEnded();
    void reloadViews();
    void addDummyDirectory(FileDisplayCollection& listing, const QString& name);

    // Connects when disconnected, disconnects when connected.
    void connectButton();

    bool fullpathListFileDisplay(FileDisplayCollection& listing) override;
    void directorySelectionHasChanged(FileDisplayCollection& listing) override;
    void silentDirectorySelectionHasChanged(FileDisplayCollection& listing);
    void directoryDoubleClicked(FileDisplayCollection& listing);
    void changeDirectory(QObject* sender = nullptr);
    void parentDirectory();
    void reloadMenu();
    FileDisplay* findDirectory(const QString& path);
    // The listing of a directory the tree knows, kept alive for the caller; null when unknown.
    std::shared_ptr<FileDisplayCollection> findListing(const QString& path);
    void resetDirectoryView();

    void selectAddedFiles(const QStringList& localPaths);
    void setFileCursorPosition(int row);

    int fileSelectionCount() const;
    // The selected entry's permission mode as three digits ("044" for 44).
    QString currentFileMode() const;
    // The selected entry's name without a link's target.
    QString currentFileName() const;
    FileDisplay* selectedEntry() const;

    // The remote edits of the shown directory: the menu commands open their dialogs (remove asks
    // first), the dialogs and the table's cells run them.
    void makeDirectoryMenu(QObject* sender = nullptr);
    void renameToMenu(QObject* sender = nullptr);
    void chmodToMenu(QObject* sender = nullptr);
    void removeFileMenu();
    bool rmvFile(const QString& name, bool isDirectory);
    bool mkd(const QString& name);
    bool chmodFileTo(const QString& mode);
    bool renameFileTo(const QString& name);
    bool chmod(FileDisplayCollection& listing, const QString& fileName, const QString& mode) override;
    bool renameFile(FileDisplayCollection& listing, const QString& from, const QString& to) override;
    // The reply showed that the login no longer holds (also queued by the client).
    void disconnected() override;

signals:
    // Connection, selection or busy state changed: menus recompute their rules.
    void stateChanged();

private:
    void setDataSource(std::shared_ptr<FileDisplayCollection> listing);
    void showStatus(const FileDisplayCollection& listing);
    void treeSelectionChanged();
    void selectTreeNode(const FileDisplayCollection& node);
    void listChildren(FileDisplayCollection& node);
    // The tree's current directory, followed by selection in the outline.
    void expandDirectoryView();

    MyDocument& m_owner;
    QPointer<QWidget> m_mainWindow;
    QPushButton* m_connectButton = nullptr;
    QPushButton* m_settingButton = nullptr;
    QSplitter* m_splitView = nullptr;
    FileDropTableView* m_fileView = nullptr;
    QTreeView* m_directoryView = nullptr;
    QLabel* m_statusField = nullptr;
    std::unique_ptr<SettingDialog> m_settingDialog;
    std::unique_ptr<RenameDialog> m_renameDialogController;
    std::unique_ptr<ChmodDialog> m_chmodDialogController;
    std::unique_ptr<ChangeDirectoryDialog> m_cdDialogController;
    FileTableModel m_tableModel;
    DirectoryTreeModel m_treeModel;
    WindowTransfers m_transfers;
    // The server ended the session while an operation ran: the window disconnects at its end.
    bool m_disconnectPending = false;
    // The controller itself changes the tree or its selection: no listing follows a selection.
    int m_treeChanges = 0;
};
