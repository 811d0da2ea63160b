#include "ui/FileTableModel.h"

#include "util/MyUtil.h"

namespace {

constexpr const char* kIdentifiers[] = { "Icon", "Name", "Owner", "Group", "Date", "Size", "Mode" };

} // namespace

FileTableModel::FileTableModel(QObject* parent)
    : QAbstractTableModel(parent)
{ }

QString FileTableModel::columnIdentifier(int column)
{
    return column >= 0 && column < ColumnCount ? QString::fromLatin1(kIdentifiers[column]) : QString();
}

int FileTableModel::columnOf(const QString& identifier)
{
    for (int column = 0; column < ColumnCount; ++column) {
        if (identifier == QLatin1String(kIdentifiers[column]))
            return column;
    }
    return -1;
}

void FileTableModel::setIcons(const QIcon& folder, const QIcon& document)
{
    m_folderIcon = folder;
    m_documentIcon = document;
    if (rowCount() > 0)
        emit dataChanged(index(0, Icon), index(rowCount() - 1, Icon), { Qt::DecorationRole });
}

void FileTableModel::setDataSource(std::shared_ptr<FileDisplayCollection> listing)
{
    if (listing == m_listing)
        return;
    beginResetModel();
    m_listing = std::move(listing);
    endResetModel();
}

void FileTableModel::beginChange()
{
    beginResetModel();
}

void FileTableModel::endChange()
{
    endResetModel();
}

void FileTableModel::refreshCells()
{
    if (rowCount() > 0)
        emit dataChanged(index(0, 0), index(rowCount() - 1, ColumnCount - 1));
}

FileDisplay* FileTableModel::entryAt(int row) const
{
    return m_listing ? m_listing->displayObjectAtIndex(row) : nullptr;
}

void FileTableModel::shouldEdit(const QModelIndex& index)
{
    if (m_listing && index.isValid())
        m_listing->shouldEdit(columnIdentifier(index.column()), index.row());
}

std::optional<FileDisplayCollection::SortIndicator> FileTableModel::sortByColumn(int column)
{
    if (!m_listing || column == Icon)
        return std::nullopt;
    beginResetModel();
    auto indicator = m_listing->didClickTableColumn(columnIdentifier(column));
    endResetModel();
    return indicator;
}

int FileTableModel::rowCount(const QModelIndex& parent) const
{
    if (parent.isValid() || !m_listing)
        return 0;
    return int(m_listing->numberOfRows());
}

int FileTableModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant FileTableModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || !m_listing || index.row() >= rowCount())
        return {};
    const FileDisplay* entry = m_listing->displayObjectAtIndex(index.row());
    if (index.column() == Icon) {
        if (role == Qt::DecorationRole)
            return entry->isDirectory() ? m_folderIcon : m_documentIcon;
        return {};
    }
    switch (role) {
    case Qt::DisplayRole:
    case Qt::ToolTipRole:
        return m_listing->objectValue(columnIdentifier(index.column()), index.row());
    case Qt::EditRole:
        // A link is displayed with its target but renamed under its own name.
        if (index.column() == Name)
            return entry->fileTitle();
        return m_listing->objectValue(columnIdentifier(index.column()), index.row());
    case Qt::TextAlignmentRole:
        if (index.column() == Size)
            return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
        return {};
    default:
        return {};
    }
}

QVariant FileTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section <= Icon || section >= ColumnCount)
        return {};
    return MyUtil::localized(kIdentifiers[section]);
}

Qt::ItemFlags FileTableModel::flags(const QModelIndex& index) const
{
    Qt::ItemFlags flags = QAbstractTableModel::flags(index);
    if (index.isValid() && (index.column() == Name || index.column() == Mode))
        flags |= Qt::ItemIsEditable;
    return flags;
}

bool FileTableModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (role != Qt::EditRole || !index.isValid() || !m_listing || index.row() >= rowCount())
        return false;
    const auto keep = m_listing;
    const QString identifier = columnIdentifier(index.column());
    // Only a permission change of a listing sorted by mode moves rows here; a rename re-lists
    // the listing, and the re-listing announces itself.
    const bool resorts = index.column() == Mode && m_listing->sortKey() == identifier;
    if (resorts)
        beginResetModel();
    const std::optional<qsizetype> select = m_listing->setObjectValue(value.toString(), identifier, index.row());
    if (resorts)
        endResetModel();
    else if (index.column() == Mode && index.row() < rowCount())
        emit dataChanged(index, index);
    if (select)
        emit rowToSelect(int(*select));
    return true;
}
