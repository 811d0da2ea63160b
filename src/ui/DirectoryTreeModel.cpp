#include "ui/DirectoryTreeModel.h"

DirectoryTreeModel::DirectoryTreeModel(FileDisplayController& tree, QObject* parent)
    : QAbstractItemModel(parent)
    , m_tree(tree)
{ }

FileDisplayCollection* DirectoryTreeModel::node(const QModelIndex& index) const
{
    return index.isValid() ? static_cast<FileDisplayCollection*>(index.internalPointer()) : nullptr;
}

int DirectoryTreeModel::childCount(const FileDisplayCollection* node) const
{
    if (!node)
        return 1;
    if (node == m_hidden)
        return 0;
    return int(node->directoryCount());
}

DirectoryTreeModel::Link DirectoryTreeModel::linkOf(const FileDisplayCollection* node) const
{
    if (const auto known = m_links.constFind(node); known != m_links.constEnd())
        return *known;
    Link link;
    const FileDisplayCollection* root = m_tree.collection();
    if (!node || node == root)
        return link;
    // The parent's full path is the node's without its last component.
    const QString path = node->fullPath();
    const qsizetype slash = path.lastIndexOf(u'/');
    const QString parentPath = slash <= 0 ? QStringLiteral("/") : path.first(slash);
    FileDisplay* found = m_tree.retrieveFileDisplay(parentPath);
    FileDisplayCollection* parent = found ? found->asCollection() : nullptr;
    if (!parent)
        return link;
    const qsizetype count = parent->directoryCount();
    for (qsizetype row = 0; row < count; ++row) {
        if (parent->directoryAtIndex(row) == node) {
            link = { parent, int(row) };
            m_links.insert(node, link);
            return link;
        }
    }
    return link;
}

QModelIndex DirectoryTreeModel::indexOf(const FileDisplayCollection* node) const
{
    if (!node)
        return {};
    if (node == m_tree.collection())
        return createIndex(0, 0, const_cast<FileDisplayCollection*>(node));
    const Link link = linkOf(node);
    if (!link.parent)
        return {};
    return createIndex(link.row, 0, const_cast<FileDisplayCollection*>(node));
}

void DirectoryTreeModel::beginReset()
{
    beginResetModel();
    m_links.clear();
}

void DirectoryTreeModel::endReset()
{
    m_links.clear();
    m_fetched.clear();
    endResetModel();
}

void DirectoryTreeModel::beginRelisting(FileDisplayCollection& node)
{
    ++m_relistingDepth;
    const QModelIndex index = indexOf(&node);
    if (!index.isValid() || m_hidden)
        return;
    const int rows = childCount(&node);
    if (rows > 0)
        beginRemoveRows(index, 0, rows - 1);
    m_hidden = &node;
    if (rows > 0)
        endRemoveRows();
}

void DirectoryTreeModel::endRelisting(FileDisplayCollection& node)
{
    --m_relistingDepth;
    m_links.clear();
    if (m_hidden != &node)
        return;
    // The subdirectories' rows went with the node's: opening them again may list them.
    const QString below = node.fullPath().endsWith(u'/') ? node.fullPath() : node.fullPath() + u'/';
    for (auto path = m_fetched.begin(); path != m_fetched.end();) {
        if (path->startsWith(below))
            path = m_fetched.erase(path);
        else
            ++path;
    }
    const int rows = int(node.directoryCount());
    const QModelIndex index = indexOf(&node);
    if (rows > 0 && index.isValid())
        beginInsertRows(index, 0, rows - 1);
    m_hidden = nullptr;
    if (rows > 0 && index.isValid())
        endInsertRows();
}

void DirectoryTreeModel::forgetFetched(const QModelIndex& index)
{
    if (const FileDisplayCollection* item = node(index))
        m_fetched.remove(item->fullPath());
}

void DirectoryTreeModel::nodeOpened(const QModelIndex& index)
{
    const FileDisplayCollection* item = node(index);
    if (!item || item->directoryCount() > 0 || m_pending.contains(item->fullPath()))
        return;
    m_fetched.remove(item->fullPath());
    fetchMore(index);
}

QModelIndex DirectoryTreeModel::index(int row, int column, const QModelIndex& parent) const
{
    if (column != 0 || row < 0 || (parent.isValid() && parent.column() != 0))
        return {};
    const FileDisplayCollection* item = node(parent);
    if (row >= childCount(item))
        return {};
    FileDisplayCollection* child = m_tree.childOfItem(row, item);
    if (!child)
        return {};
    if (item)
        m_links.insert(child, { const_cast<FileDisplayCollection*>(item), row });
    return createIndex(row, 0, child);
}

QModelIndex DirectoryTreeModel::parent(const QModelIndex& child) const
{
    const FileDisplayCollection* item = node(child);
    if (!item || item == m_tree.collection())
        return {};
    return indexOf(linkOf(item).parent);
}

int DirectoryTreeModel::rowCount(const QModelIndex& parent) const
{
    if (parent.isValid() && parent.column() != 0)
        return 0;
    return childCount(node(parent));
}

int DirectoryTreeModel::columnCount(const QModelIndex& parent) const
{
    Q_UNUSED(parent);
    return 1;
}

QVariant DirectoryTreeModel::data(const QModelIndex& index, int role) const
{
    const FileDisplayCollection* item = node(index);
    if (!item)
        return {};
    switch (role) {
    case Qt::DisplayRole:
    case Qt::ToolTipRole:
        return role == Qt::DisplayRole ? m_tree.objectValueForItem(item) : item->fullPath();
    case Qt::DecorationRole:
        return m_folderIcon;
    default:
        return {};
    }
}

bool DirectoryTreeModel::hasChildren(const QModelIndex& parent) const
{
    if (parent.isValid() && parent.column() != 0)
        return false;
    const FileDisplayCollection* item = node(parent);
    return !item || m_tree.isItemExpandable(item);
}

bool DirectoryTreeModel::canFetchMore(const QModelIndex& parent) const
{
    const FileDisplayCollection* item = node(parent);
    if (!item || !m_childLister || m_relistingDepth > 0 || item == m_hidden)
        return false;
    // On the way to the shown directory, and wherever subdirectories are known, the tree
    // already holds what the view needs.
    if (m_tree.currentDirectory().startsWith(item->fullPath()) || item->directoryCount() > 0)
        return false;
    return !m_fetched.contains(item->fullPath()) && !m_pending.contains(item->fullPath());
}

void DirectoryTreeModel::fetchMore(const QModelIndex& parent)
{
    if (!canFetchMore(parent))
        return;
    const QString path = node(parent)->fullPath();
    m_pending.insert(path);
    QMetaObject::invokeMethod(
        this, [this, path] { fetchPending(path); }, Qt::QueuedConnection);
}

void DirectoryTreeModel::fetchPending(const QString& path)
{
    m_pending.remove(path);
    // The node is found again by its path: the tree may have changed since the request.
    FileDisplay* found = m_tree.retrieveFileDisplay(path);
    FileDisplayCollection* item = found ? found->asCollection() : nullptr;
    if (!item || !m_childLister || item->directoryCount() > 0 || m_tree.currentDirectory().startsWith(path)
        || m_fetched.contains(path))
        return;
    const auto keep = item->shared_from_this();
    m_fetched.insert(path);
    beginRelisting(*item);
    m_childLister(*item);
    endRelisting(*item);
}
