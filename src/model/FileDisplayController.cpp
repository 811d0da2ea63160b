#include "model/FileDisplayController.h"

#include "model/SessionController.h"

FileDisplayController::FileDisplayController()
    : m_currentDirectory(QLatin1String(""))
    , m_collection(FileDisplayCollection::create())
    , m_processPath(QLatin1String(""))
    , m_pathDictionary(std::make_shared<PathRegistry>())
{
    m_collection->setFullPath(QStringLiteral("/"));
    m_collection->setPathDictionary(m_pathDictionary);
}

FileDisplayController::~FileDisplayController() = default;

void FileDisplayController::setController(SessionController* controller)
{
    m_controller = controller;
    m_collection->setController(controller);
}

void FileDisplayController::setProcessPath(const QString& path)
{
    m_processPath = path;
}

std::shared_ptr<FileDisplayCollection> FileDisplayController::registered(const QString& path) const
{
    const auto found = m_pathDictionary->constFind(path);
    return found == m_pathDictionary->constEnd() ? nullptr : found->lock();
}

FileDisplay* FileDisplayController::retrieveFileDisplay(const QString& path) const
{
    if (path == u"/")
        return m_collection.get();
    return m_collection->fileDisplay(path);
}

std::shared_ptr<FileDisplayCollection> FileDisplayController::currentFileViewDataSource() const
{
    return registered(m_currentDirectory);
}

void FileDisplayController::addFileDisplay(const QString& line)
{
    if (const auto listing = registered(m_processPath))
        listing->addFileDisplay(line);
}

void FileDisplayController::addFileDisplayEnd()
{
    if (const auto listing = registered(m_processPath))
        listing->childrenSort();
}

void FileDisplayController::updateAll()
{
    m_processPath = QLatin1String("");
}

void FileDisplayController::invalidate()
{
    m_pathDictionary->clear();
    m_collection->setPathDictionary(m_pathDictionary);
}

void FileDisplayController::removeAllObjects()
{
    m_collection->removeAllObjects();
    invalidate();
}

void FileDisplayController::expandOutlineView(OutlineView& view)
{
    m_collection->expandOutlineView(view, m_currentDirectory);
}

qsizetype FileDisplayController::numberOfChildrenOfItem(FileDisplayCollection* item)
{
    if (!item)
        return 1;
    // On the way to the shown directory the tree already knows what it needs.
    if (m_currentDirectory.startsWith(item->fullPath()))
        return item->directoryCount();
    if (const qsizetype known = item->directoryCount())
        return known;
    if (!m_controller)
        return 0;
    const auto keep = item->shared_from_this();
    item->invalidate();
    m_controller->clientList(item->fullPath());
    item->updateAll();
    const qsizetype listed = item->directoryCount();
    // Later commands of the window act in the directory the table shows again.
    m_controller->clientSetCurrentDirectory(m_currentDirectory);
    return listed;
}

FileDisplayCollection* FileDisplayController::childOfItem(qsizetype index, const FileDisplayCollection* item) const
{
    if (!item)
        return m_collection.get();
    return item->directoryAtIndex(index);
}

bool FileDisplayController::isItemExpandable(const FileDisplayCollection* item) const
{
    Q_UNUSED(item);
    return true;
}

QString FileDisplayController::objectValueForItem(const FileDisplayCollection* item) const
{
    if (!item)
        return QString();
    return item == m_collection.get() ? item->fullPath() : item->fileName();
}

bool FileDisplayController::shouldSelectItem(FileDisplayCollection* item)
{
    if (!item)
        return true;
    const auto keep = item->shared_from_this();
    if (m_controller)
        m_controller->directorySelectionHasChanged(*item);
    m_currentDirectory = item->fullPath();
    return true;
}
