#include "session/ViewController.h"

#include "app/MyDocument.h"
#include "app/PlumoAppDelegate.h"
#include "model/OutlineView.h"
#include "session/DropDownload.h"
#include "session/SessionLog.h"
#include "ui/ChangeDirectoryDialog.h"
#include "ui/ChmodDialog.h"
#include "ui/FileDropTableView.h"
#include "ui/RenameDialog.h"
#include "ui/SettingDialog.h"
#include "util/MyUtil.h"

#include "ui_MyDocument.h"

#include <QApplication>
#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QMimeData>
#include <QPushButton>
#include <QSplitter>
#include <QTreeView>

namespace {

// A wait cursor while a command holds the window.
class BusyCursor final
{
public:
    BusyCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~BusyCursor() { QApplication::restoreOverrideCursor(); }
    Q_DISABLE_COPY_MOVE(BusyCursor)
};

// Counts the controller's own changes of the tree, during which a selection is not the user's.
class TreeChange final
{
public:
    explicit TreeChange(int& changes)
        : m_changes(changes)
    {
        ++m_changes;
    }
    ~TreeChange() { --m_changes; }
    Q_DISABLE_COPY_MOVE(TreeChange)

private:
    int& m_changes;
};

// The outline as the directory tree sees it.
class TreeOutline final : public OutlineView
{
public:
    TreeOutline(QTreeView& view, DirectoryTreeModel& model)
        : m_view(view)
        , m_model(model)
    { }

    void expandItem(FileDisplayCollection& item) override
    {
        const QModelIndex index = m_model.indexOf(&item);
        if (index.isValid())
            m_view.expand(index);
    }
    void selectItem(FileDisplayCollection& item) override
    {
        const QModelIndex index = m_model.indexOf(&item);
        if (!index.isValid())
            return;
        m_view.selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
    }

private:
    QTreeView& m_view;
    DirectoryTreeModel& m_model;
};

} // namespace

ViewController::ViewController(MyDocument& owner, QObject* parent)
    : QObject(parent)
    , RemoteSession([&owner] { return owner.connectionSetting(); })
    , m_owner(owner)
    , m_treeModel(tree())
    , m_transfers(*this)
{
    m_treeModel.setChildLister([this](FileDisplayCollection& node) { listChildren(node); });
    if (const PlumoAppDelegate* app = PlumoAppDelegate::instance()) {
        m_tableModel.setIcons(app->folderImage(), app->documentImage());
        m_treeModel.setFolderIcon(app->folderImage());
    }
}

ViewController::~ViewController()
{
    if (isConnected())
        connectButton();
    if (m_owner.controller() == this)
        m_owner.setController(nullptr);
}

void ViewController::awakeFromNib(Ui::MyDocument& ui, QWidget* mainWindow)
{
    m_mainWindow = mainWindow;
    m_connectButton = ui.connectButton;
    m_settingButton = ui.settingButton;
    m_splitView = ui.splitView;
    m_fileView = ui.fileView;
    m_directoryView = ui.directoryView;
    m_statusField = ui.statusField;

    m_owner.setController(this);
    m_transfers.awakeFromNib(ui, mainWindow);
    m_splitView->setSizes({ 200, std::max(200, m_splitView->width() - 200) });
    m_splitView->setStretchFactor(0, 0);
    m_splitView->setStretchFactor(1, 1);

    m_directoryView->setModel(&m_treeModel);
    m_directoryView->setHeaderHidden(true);
    m_directoryView->setSelectionMode(QAbstractItemView::SingleSelection);
    connect(m_directoryView->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &ViewController::treeSelectionChanged);
    connect(m_directoryView, &QTreeView::collapsed, &m_treeModel, &DirectoryTreeModel::forgetFetched);
    connect(m_directoryView, &QTreeView::expanded, &m_treeModel, &DirectoryTreeModel::nodeOpened);

    m_fileView->setFileModel(&m_tableModel);
    m_fileView->setDropDownload([this](const QString& folder) { return DropDownload(*this).retrieveInto(folder); });
    static constexpr std::pair<int, int> kWidths[] = {
        { FileTableModel::Icon, 24 },  { FileTableModel::Name, 200 }, { FileTableModel::Owner, 80 },
        { FileTableModel::Group, 60 }, { FileTableModel::Date, 80 },  { FileTableModel::Size, 60 },
        { FileTableModel::Mode, 60 },
    };
    for (const auto& [column, width] : kWidths)
        m_fileView->setColumnWidth(column, width);
    connect(m_fileView, &FileDropTableView::directoryDoubleClicked, this,
            [this](FileDisplayCollection* directory) { directoryDoubleClicked(*directory); });
    connect(m_fileView->selectionModel(), &QItemSelectionModel::selectionChanged, this, &ViewController::stateChanged);
    connect(&m_tableModel, &FileTableModel::rowToSelect, this, &ViewController::setFileCursorPosition);

    m_settingDialog = std::make_unique<SettingDialog>(m_owner, *this, mainWindow);
    m_renameDialogController = std::make_unique<RenameDialog>(m_owner, *this, mainWindow);
    m_chmodDialogController = std::make_unique<ChmodDialog>(m_owner, *this, mainWindow);
    m_cdDialogController = std::make_unique<ChangeDirectoryDialog>(m_owner, *this, mainWindow);
    m_renameDialogController->setProcess(0);

    connect(m_connectButton, &QPushButton::clicked, this, &ViewController::connectButton);
    connect(m_settingButton, &QPushButton::clicked, this, [this] { m_settingDialog->openDialog(m_settingButton); });
    m_connectButton->setText(MyUtil::localized("Connect"));
    m_settingButton->setText(MyUtil::localized("Setting"));

    m_statusField->clear();
}

QString ViewController::statusText() const
{
    return m_statusField ? m_statusField->text() : QString();
}

bool ViewController::canClose() const
{
    return !m_transfers.isRunning();
}

void ViewController::setCanClose(bool canClose)
{
    m_transfers.setCanClose(canClose);
}

void ViewController::addFile()
{
    m_transfers.start(SendRecvThread::kAddFile);
}

void ViewController::retrieveFile()
{
    m_transfers.start(SendRecvThread::kRetrieveFile);
}

void ViewController::retrieveDroppedFile(const QString& destination)
{
    m_transfers.start(SendRecvThread::kRetrieveDroppedFile, destination);
}

void ViewController::pasteFromFinder()
{
    m_transfers.start(SendRecvThread::kPasteFromFinder);
}

bool ViewController::droppedFromFinder(const QMimeData& drop, FileDisplayCollection& listing)
{
    const QStringList paths = WindowTransfers::localPaths(drop.urls());
    if (paths.isEmpty())
        return false;
    return m_transfers.start(SendRecvThread::kDroppedFromFinder, paths, listing.sharedListing());
}

QStringList ViewController::makeFileNameArray() const
{
    QStringList paths;
    const FileDisplayCollection* listing = shownListing();
    if (!listing || !m_fileView)
        return paths;
    const QString directory = listing->fullPath();
    for (const int row : m_fileView->selectedRows()) {
        if (const FileDisplay* entry = listing->displayObjectAtIndex(row))
            paths.append(directory.endsWith(u'/') ? QString(directory + entry->fileTitle())
                                                  : QString(directory + u'/' + entry->fileTitle()));
    }
    return paths;
}

void ViewController::copy()
{
    if (PlumoAppDelegate* app = PlumoAppDelegate::instance())
        app->copyData(makeFileNameArray(), false, this);
    emit stateChanged();
}

void ViewController::cut()
{
    if (PlumoAppDelegate* app = PlumoAppDelegate::instance())
        app->copyData(makeFileNameArray(), true, this);
    emit stateChanged();
}

void ViewController::paste()
{
    m_transfers.start(SendRecvThread::kPaste);
}

void ViewController::longProcessEnded()
{
    if (std::exchange(m_disconnectPending, false))
        disconnected();
    emit stateChanged();
}

void ViewController::reloadViews()
{
    m_tableModel.refreshCells();
    if (m_directoryView)
        m_directoryView->viewport()->update();
}

void ViewController::addDummyDirectory(FileDisplayCollection& listing, const QString& name)
{
    TreeChange change(m_treeChanges);
    const bool shown = shownListing() == &listing;
    if (shown)
        m_tableModel.beginChange();
    m_treeModel.beginRelisting(listing);
    listing.addDummyDirectory(name);
    m_treeModel.endRelisting(listing);
    if (shown)
        m_tableModel.endChange();
}

void ViewController::setDataSource(std::shared_ptr<FileDisplayCollection> listing)
{
    if (m_fileView)
        m_fileView->setDataSource(std::move(listing));
    else
        m_tableModel.setDataSource(std::move(listing));
}

void ViewController::showStatus(const FileDisplayCollection& listing)
{
    m_statusField->setText(MyUtil::format(MyUtil::localized("%@ [%d files]"),
                                          { listing.fullPath(), QString::number(listing.displayCount()) }));
}

void ViewController::connectButton()
{
    m_statusField->clear();
    if (isConnected()) {
        disconnected();
        return;
    }
    if (m_owner.connectionSetting().urlString().isEmpty()) {
        MyUtil::messageBoxInternational("No connect settings");
        return;
    }
    bool connected = false;
    {
        BusyCursor busy;
        TreeChange change(m_treeChanges);
        m_treeModel.beginReset();
        connected = connectSession();
        m_treeModel.endReset();
    }
    if (connected) {
        m_connectButton->setText(MyUtil::localized("Disconnect"));
        m_settingButton->setEnabled(false);
        const auto listing = tree().currentFileViewDataSource();
        setDataSource(listing);
        if (listing)
            showStatus(*listing);
    } else {
        MyUtil::messageBoxInternational("connect failed");
    }
    resetDirectoryView();
    emit stateChanged();
}

void ViewController::disconnected()
{
    // The worker reads the listings it walks: they stay until it has ended.
    if (m_transfers.isRunning()) {
        m_disconnectPending = true;
        return;
    }
    setDataSource(nullptr);
    if (PlumoAppDelegate* app = PlumoAppDelegate::instance())
        app->controllerDisconnect(this);
    {
        TreeChange change(m_treeChanges);
        m_treeModel.beginReset();
        disconnectSession();
        m_treeModel.endReset();
    }
    m_connectButton->setText(MyUtil::localized("Connect"));
    m_settingButton->setEnabled(true);
    resetDirectoryView();
    emit stateChanged();
}

bool ViewController::fullpathListFileDisplay(FileDisplayCollection& listing)
{
    const auto keep = listing.shared_from_this();
    BusyCursor busy;
    TreeChange change(m_treeChanges);
    const bool shown = shownListing() == &listing;
    if (shown)
        m_tableModel.beginChange();
    m_treeModel.beginRelisting(listing);
    const bool listed = RemoteSession::fullpathListFileDisplay(listing);
    m_treeModel.endRelisting(listing);
    if (shown)
        m_tableModel.endChange();
    return listed;
}

void ViewController::listChildren(FileDisplayCollection& node)
{
    // The client is the worker's while an operation runs.
    if (!isConnected() || m_transfers.isRunning())
        return;
    BusyCursor busy;
    TreeChange change(m_treeChanges);
    const bool shown = shownListing() == &node;
    if (shown)
        m_tableModel.beginChange();
    // The reply names the listed node as the server's directory; the window stays where it is.
    const QString current = tree().currentDirectory();
    tree().numberOfChildrenOfItem(&node);
    tree().setCurrentDirectory(current);
    client().setCurrentDirectory(current);
    if (shown)
        m_tableModel.endChange();
}

void ViewController::directorySelectionHasChanged(FileDisplayCollection& listing)
{
    if (!isConnected())
        return;
    const auto keep = listing.sharedListing();
    if (fullpathListFileDisplay(listing) && client().commandResult()) {
        setDataSource(keep);
        if (m_fileView && m_tableModel.rowCount() > 0)
            m_fileView->scrollTo(m_tableModel.index(0, FileTableModel::Name));
        setFileCursorPosition(0);
    } else {
        MyUtil::messageBoxInternational("LIST failed");
        setDataSource(nullptr);
    }
    if (isConnected())
        showStatus(listing);
    else
        m_statusField->clear();
    emit stateChanged();
}

void ViewController::silentDirectorySelectionHasChanged(FileDisplayCollection& listing)
{
    if (!isConnected())
        return;
    if (!fullpathListFileDisplay(listing) || !client().commandResult()) {
        MyUtil::messageBoxInternational("LIST failed");
        setDataSource(nullptr);
    }
}

void ViewController::directoryDoubleClicked(FileDisplayCollection& listing)
{
    const auto keep = listing.shared_from_this();
    const QString path = listing.fullPath();
    setCurrentDirectory(path);
    directorySelectionHasChanged(listing);
    tree().setCurrentDirectory(path);
    expandDirectoryView();
}

void ViewController::expandDirectoryView()
{
    if (!m_directoryView)
        return;
    TreeChange change(m_treeChanges);
    TreeOutline outline(*m_directoryView, m_treeModel);
    tree().expandOutlineView(outline);
    const QModelIndexList selected = m_directoryView->selectionModel()->selectedIndexes();
    if (!selected.isEmpty())
        m_directoryView->scrollTo(selected.first());
}

void ViewController::changeDirectory(QObject* sender)
{
    m_cdDialogController->setCurrentDirectory(tree().currentDirectory());
    m_cdDialogController->openDialog(sender);
}

void ViewController::parentDirectory()
{
    const QString current = tree().currentDirectory();
    const qsizetype slash = current.lastIndexOf(u'/');
    const QString parent = slash <= 0 ? QStringLiteral("/") : current.first(slash);
    FileDisplay* node = tree().retrieveFileDisplay(parent);
    if (node && node->asCollection())
        directoryDoubleClicked(*node->asCollection());
}

void ViewController::reloadMenu()
{
    if (FileDisplayCollection* listing = shownListing())
        directorySelectionHasChanged(*listing);
}

FileDisplay* ViewController::findDirectory(const QString& path)
{
    return tree().retrieveFileDisplay(path);
}

std::shared_ptr<FileDisplayCollection> ViewController::findListing(const QString& path)
{
    FileDisplay* node = findDirectory(path);
    FileDisplayCollection* listing = node && node->isDirectory() ? node->asCollection() : nullptr;
    return listing ? listing->sharedListing() : nullptr;
}

void ViewController::resetDirectoryView()
{
    expandDirectoryView();
}

void ViewController::treeSelectionChanged()
{
    if (m_treeChanges > 0)
        return;
    const QModelIndexList selected = m_directoryView->selectionModel()->selectedIndexes();
    if (selected.isEmpty())
        return;
    FileDisplayCollection* node = m_treeModel.node(selected.first());
    if (!node)
        return;
    const auto keep = node->shared_from_this();
    tree().shouldSelectItem(node);
}

void ViewController::selectAddedFiles(const QStringList& localPaths)
{
    FileDisplayCollection* listing = shownListing();
    if (!listing || !m_fileView)
        return;
    QList<int> rows;
    for (const QString& path : localPaths) {
        const QString name = QFileInfo(path).fileName();
        for (qsizetype row = 0; row < listing->displayCount(); ++row) {
            if (listing->displayObjectAtIndex(row)->fileName() == name) {
                rows.append(int(row));
                break;
            }
        }
    }
    std::sort(rows.begin(), rows.end());
    m_fileView->selectRows(rows);
    if (!rows.isEmpty())
        m_fileView->scrollTo(m_tableModel.index(rows.first(), FileTableModel::Name));
}

void ViewController::setFileCursorPosition(int row)
{
    if (m_fileView)
        m_fileView->selectRows({ row });
}

int ViewController::fileSelectionCount() const
{
    return m_fileView ? int(m_fileView->selectedRows().size()) : 0;
}

FileDisplay* ViewController::selectedEntry() const
{
    if (!m_fileView)
        return nullptr;
    const QList<int> rows = m_fileView->selectedRows();
    if (rows.isEmpty())
        return nullptr;
    // The row last pressed, when it is selected; otherwise the first selected row.
    const int current = m_fileView->currentIndex().row();
    return m_tableModel.entryAt(rows.contains(current) ? current : rows.first());
}

QString ViewController::currentFileMode() const
{
    const FileDisplay* entry = selectedEntry();
    return entry ? QStringLiteral("%1").arg(entry->fileMode(), 3, 10, QLatin1Char('0')) : QString();
}

QString ViewController::currentFileName() const
{
    const FileDisplay* entry = selectedEntry();
    return entry ? entry->fileTitle() : QString();
}

void ViewController::makeDirectoryMenu(QObject* sender)
{
    m_renameDialogController->setProcess(RenameDialog::kMakeDirectory);
    m_renameDialogController->openDialog(sender);
}

void ViewController::renameToMenu(QObject* sender)
{
    m_renameDialogController->setProcess(RenameDialog::kRename);
    m_renameDialogController->openDialog(sender);
}

void ViewController::chmodToMenu(QObject* sender)
{
    m_chmodDialogController->openDialog(sender);
}

void ViewController::removeFileMenu()
{
    if (MyUtil::askYesNo(MyUtil::localized("are you remove")) != 1)
        return;
    FileDisplayCollection* listing = shownListing();
    if (!listing || !m_fileView)
        return;
    const auto keep = listing->sharedListing();
    const QList<int> rows = m_fileView->selectedRows();
    int removed = 0;
    for (const int row : rows) {
        FileDisplay* entry = listing->displayObjectAtIndex(row - removed);
        if (!entry)
            break;
        const auto keepEntry = entry->shared_from_this();
        tree().setCurrentDirectory(listing->fullPath());
        client().setCurrentDirectory(listing->fullPath());
        if (!rmvFile(entry->fileTitle(), entry->isDirectory())) {
            MyUtil::messageBox(MyUtil::internationalFormat("remove failed", entry->fileName()));
            break;
        }
        TreeChange change(m_treeChanges);
        m_tableModel.beginChange();
        m_treeModel.beginRelisting(*listing);
        listing->removeObjectOfName(entry->fileName());
        m_treeModel.endRelisting(*listing);
        m_tableModel.endChange();
        ++removed;
    }
    directorySelectionHasChanged(*listing);
    // The cursor stays where the selection began, or on the last row when fewer are left.
    const int rowCount = m_tableModel.rowCount();
    if (!rows.isEmpty() && rowCount > 0)
        setFileCursorPosition(std::min(rows.first(), rowCount - 1));
}

bool ViewController::rmvFile(const QString& name, bool isDirectory)
{
    BusyCursor busy;
    return isDirectory ? client().rmd(name) : client().rm(name);
}

bool ViewController::mkd(const QString& name)
{
    if (!client().mkd(name)) {
        MyUtil::messageBoxInternational("MKD failed");
        return false;
    }
    if (FileDisplayCollection* listing = shownListing()) {
        if (fullpathListFileDisplay(*listing) && client().commandResult()) {
            for (qsizetype row = 0; row < listing->displayCount(); ++row) {
                if (listing->displayObjectAtIndex(row)->fileName() == name) {
                    setFileCursorPosition(int(row));
                    break;
                }
            }
        } else {
            MyUtil::messageBoxInternational("LIST failed");
            setDataSource(nullptr);
        }
    }
    emit stateChanged();
    return true;
}

bool ViewController::chmodFileTo(const QString& mode)
{
    FileDisplayCollection* listing = shownListing();
    FileDisplay* entry = selectedEntry();
    if (!listing || !entry)
        return false;
    const uint value = uint(std::max<qint64>(0, MyUtil::leadingInteger(mode)));
    if (entry->fileMode() == value)
        return true;
    const auto keep = entry->shared_from_this();
    if (!chmod(*listing, entry->fileName(), mode))
        return false;
    entry->setFileMode(value);
    m_tableModel.refreshCells();
    return true;
}

bool ViewController::chmod(FileDisplayCollection& listing, const QString& fileName, const QString& mode)
{
    if (!isConnected())
        return false;
    qCDebug(lcSession, "chmod:%s to:%s", qUtf8Printable(fileName), qUtf8Printable(mode));
    BusyCursor busy;
    const bool changed = RemoteSession::chmod(listing, fileName, mode);
    if (!changed || !client().commandResult())
        MyUtil::messageBoxInternational("CHMOD failed");
    return changed;
}

bool ViewController::renameFileTo(const QString& name)
{
    FileDisplayCollection* listing = shownListing();
    FileDisplay* entry = selectedEntry();
    if (!listing || !entry)
        return false;
    if (entry->fileName() == name)
        return true;
    return renameFile(*listing, entry->fileTitle(), name);
}

bool ViewController::renameFile(FileDisplayCollection& listing, const QString& from, const QString& to)
{
    if (!isConnected())
        return false;
    bool renamed = false;
    {
        BusyCursor busy;
        renamed = RemoteSession::renameFile(listing, from, to);
    }
    if (!renamed || !client().commandResult()) {
        MyUtil::messageBoxInternational("REN failed");
        return renamed;
    }
    FileDisplayCollection* shown = shownListing();
    if (!shown)
        return renamed;
    if (fullpathListFileDisplay(*shown) && client().commandResult()) {
        for (qsizetype row = 0; row < shown->displayCount(); ++row) {
            if (shown->displayObjectAtIndex(row)->fileTitle() == to) {
                setFileCursorPosition(int(row));
                break;
            }
        }
    } else {
        MyUtil::messageBoxInternational("LIST failed");
        setDataSource(nullptr);
    }
    return renamed;
}
