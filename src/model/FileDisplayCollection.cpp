#include "model/FileDisplayCollection.h"

#include "model/ModelLog.h"
#include "model/OutlineView.h"
#include "model/SessionController.h"
#include "util/MyUtil.h"

#include <algorithm>

namespace {

constexpr QStringView kLinkArrow = u" -> ";
constexpr char kNameKey[] = "Name";

QString cellText(const FileDisplay& entry, FileDisplay::Column column)
{
    switch (column) {
    case FileDisplay::Column::Name:
        return entry.fileName();
    case FileDisplay::Column::Owner:
        return entry.fileOwner();
    case FileDisplay::Column::Group:
        return entry.fileGroup();
    case FileDisplay::Column::Date:
        return entry.fileDate();
    case FileDisplay::Column::Size:
        return QString::number(entry.fileSize());
    case FileDisplay::Column::Mode:
        return QStringLiteral("%1").arg(entry.fileMode(), 3, 10, QLatin1Char('0'));
    default:
        return QString();
    }
}

} // namespace

std::shared_ptr<FileDisplayCollection> FileDisplayCollection::create()
{
    return std::make_shared<FileDisplayCollection>(Token {});
}

FileDisplayCollection::FileDisplayCollection(Token)
    : m_sortKey(QString::fromLatin1(kNameKey))
{
    setDirectory(true);
}

FileDisplayCollection::FileDisplayCollection(Token, const ListingFields& listed, const FileDisplay* neighbour)
    : FileDisplay(listed, neighbour)
    , m_sortKey(QString::fromLatin1(kNameKey))
{
    setDirectory(true);
}

FileDisplayCollection::~FileDisplayCollection()
{
    qCDebug(lcModel, "dealloc = %p", static_cast<void*>(this));
    // This listing's own registry entry has expired by now; a live one under the same path is
    // another listing's and stays.
    if (m_pathDictionary) {
        const auto registered = m_pathDictionary->constFind(m_fullPath);
        if (registered != m_pathDictionary->constEnd() && registered->expired())
            m_pathDictionary->erase(registered);
    }
}

FileDisplayCollection* FileDisplayCollection::asCollection()
{
    return this;
}

const FileDisplayCollection* FileDisplayCollection::asCollection() const
{
    return this;
}

void FileDisplayCollection::setFullPath(const QString& path)
{
    const qsizetype arrow = path.indexOf(kLinkArrow);
    m_fullPath = arrow < 0 ? path : path.first(arrow);
}

void FileDisplayCollection::setPathDictionary(std::shared_ptr<PathRegistry> registry)
{
    m_pathDictionary = std::move(registry);
    if (!m_pathDictionary)
        return;
    auto self = sharedListing();
    std::weak_ptr<FileDisplayCollection>& slot = (*m_pathDictionary)[m_fullPath];
    if (const auto old = slot.lock(); old && old != self)
        qCDebug(lcModel, "fdOld = %s, self = %s", qUtf8Printable(old->fileName()), qUtf8Printable(fileName()));
    slot = self;
}

qsizetype FileDisplayCollection::count() const
{
    return qsizetype(m_displays.size());
}

FileDisplay* FileDisplayCollection::objectAtIndex(qsizetype index) const
{
    return index >= 0 && index < count() ? m_displays[index].get() : nullptr;
}

qsizetype FileDisplayCollection::displayCount() const
{
    return qsizetype(m_sotedArray.size());
}

FileDisplay* FileDisplayCollection::displayObjectAtIndex(qsizetype row) const
{
    return row >= 0 && row < displayCount() ? m_sotedArray[row] : nullptr;
}

void FileDisplayCollection::rebuildDirectories() const
{
    if (m_directoriesValid)
        return;
    m_directories.clear();
    for (const auto& child : m_displays) {
        if (const auto directory = child->asCollection())
            m_directories.push_back(const_cast<FileDisplayCollection*>(directory));
    }
    m_directoriesValid = true;
}

qsizetype FileDisplayCollection::directoryCount() const
{
    rebuildDirectories();
    return qsizetype(m_directories.size());
}

FileDisplayCollection* FileDisplayCollection::directoryAtIndex(qsizetype index) const
{
    rebuildDirectories();
    return index >= 0 && index < qsizetype(m_directories.size()) ? m_directories[index] : nullptr;
}

void FileDisplayCollection::invalidate()
{
    // Previous children keep their order; of two children with one name the first is found.
    for (auto& child : m_displays)
        m_invalidates.push_back(std::move(child));
    m_displays.clear();
    m_invalidateNames.reserve(qsizetype(m_invalidates.size()));
    for (size_t i = 0; i < m_invalidates.size(); ++i) {
        if (!m_invalidates[i])
            continue;
        size_t& slot = m_invalidateNames[QStringView(m_invalidates[i]->fileName())];
        if (slot == 0)
            slot = i + 1;
    }
    m_displays.reserve(m_invalidates.size());
    m_sotedArray.clear();
    m_directoriesValid = false;
}

QString FileDisplayCollection::childPath(QStringView name) const
{
    if (m_fullPath.endsWith(u'/'))
        return m_fullPath + name;
    return m_fullPath + u'/' + name;
}

std::shared_ptr<FileDisplayCollection>
FileDisplayCollection::makeChild(std::shared_ptr<FileDisplayCollection> child) const
{
    child->setController(m_controller);
    child->setFullPath(childPath(child->fileName()));
    child->setPathDictionary(m_pathDictionary);
    return child;
}

void FileDisplayCollection::addFileDisplay(QStringView line)
{
    const auto listed = parseListingLine(line);
    if (!listed)
        return;
    m_directoriesValid = false;

    const auto previous = m_invalidateNames.constFind(listed->name);
    if (previous != m_invalidateNames.constEnd()) {
        std::shared_ptr<FileDisplay> entry = std::move(m_invalidates[*previous - 1]);
        m_invalidateNames.erase(previous);
        if (entry->isEqualFile(*listed)) {
            m_displays.push_back(std::move(entry));
            return;
        }
        if (entry->isDirectory() == listed->isDirectory) {
            entry->copyFrom(*listed);
            m_displays.push_back(std::move(entry));
            return;
        }
    }
    // Neighbouring lines mostly share owner, group and often the date: share their texts too.
    const FileDisplay* neighbour = m_displays.empty() ? nullptr : m_displays.back().get();
    if (listed->isDirectory)
        m_displays.push_back(makeChild(std::make_shared<FileDisplayCollection>(Token {}, *listed, neighbour)));
    else
        m_displays.push_back(std::make_shared<FileDisplay>(*listed, neighbour));
}

void FileDisplayCollection::updateAll()
{
    m_invalidateNames.clear();
    m_invalidates.clear();
    childrenSort();
}

void FileDisplayCollection::childrenSort()
{
    m_sotedArray.clear();
    m_sotedArray.reserve(m_displays.size());
    for (const auto& child : m_displays) {
        if (child->fileName().startsWith(u'.'))
            continue;
        child->setParentSortKey(m_sortKey);
        child->setParentAscending(m_ascending);
        m_sotedArray.push_back(child.get());
    }
    std::stable_sort(m_sotedArray.begin(), m_sotedArray.end(),
                     [](const FileDisplay* a, const FileDisplay* b) { return a->compare(*b) < 0; });
}

void FileDisplayCollection::removeObjectOfName(const QString& name)
{
    const auto child = std::find_if(m_displays.begin(), m_displays.end(),
                                    [&name](const auto& entry) { return entry->fileName() == name; });
    if (child == m_displays.end())
        return;
    // The row goes by identity, so no row can outlive the child that keeps it alive.
    const auto row = std::find(m_sotedArray.begin(), m_sotedArray.end(), child->get());
    if (row != m_sotedArray.end())
        m_sotedArray.erase(row);
    m_displays.erase(child);
    m_directoriesValid = false;
}

void FileDisplayCollection::removeAllObjects()
{
    m_sotedArray.clear();
    m_displays.clear();
    m_directoriesValid = false;
}

void FileDisplayCollection::addDummyDirectory(const QString& name)
{
    for (const auto& child : m_displays) {
        if (child->fileTitleView() == name)
            return;
    }
    auto directory = create();
    directory->setFileName(name);
    makeChild(directory);
    m_sotedArray.push_back(directory.get());
    m_displays.push_back(std::move(directory));
    m_directoriesValid = false;
}

FileDisplay* FileDisplayCollection::fileDisplay(QStringView path)
{
    if (path == fileName())
        return this;
    const QList<QStringView> components = path.split(u'/');
    return fileDisplay(components, components.first().isEmpty() ? 1 : 0);
}

FileDisplay* FileDisplayCollection::fileDisplay(const QList<QStringView>& components, qsizetype depth)
{
    if (depth < 0 || depth >= components.size())
        return nullptr;
    const QStringView component = components.at(depth);
    for (const auto& child : m_displays) {
        if (child->fileTitleView() != component)
            continue;
        if (depth == components.size() - 1)
            return child.get();
        FileDisplayCollection* directory = child->asCollection();
        return directory ? directory->fileDisplay(components, depth + 1) : nullptr;
    }
    return nullptr;
}

bool FileDisplayCollection::hasPath(const QString& path, bool* isDir)
{
    // Descending lists children from the server; index and keep the child, as the walk may run
    // into listings that change.
    for (size_t i = 0; i < m_displays.size(); ++i) {
        const std::shared_ptr<FileDisplay> child = m_displays[i];
        if (child->fileName() == path) {
            if (isDir)
                *isDir = child->isDirectory();
            return true;
        }
        FileDisplayCollection* directory = child->asCollection();
        if (directory && path.startsWith(child->fileName())
            && directory->internalHasPath(path, isDir, child->fileName()))
            return true;
    }
    return false;
}

bool FileDisplayCollection::internalHasPath(const QString& path, bool* isDir, const QString& internalPath)
{
    if (m_controller) {
        invalidate();
        m_controller->clientList(m_fullPath);
        updateAll();
    }
    for (size_t i = 0; i < m_displays.size(); ++i) {
        const std::shared_ptr<FileDisplay> child = m_displays[i];
        const QString relativePath = internalPath + u'/' + child->fileName();
        if (relativePath == path) {
            if (isDir)
                *isDir = child->isDirectory();
            return true;
        }
        FileDisplayCollection* directory = child->asCollection();
        if (directory && path.startsWith(relativePath) && directory->internalHasPath(path, isDir, relativePath))
            return true;
    }
    return false;
}

void FileDisplayCollection::expandOutlineView(OutlineView& view, const QString& currentDirectory)
{
    if (currentDirectory.startsWith(m_fullPath)) {
        view.expandItem(*this);
        if (currentDirectory == m_fullPath)
            view.selectItem(*this);
    }
    // The view may ask for children (and so list) while it expands: keep each row alive.
    for (size_t i = 0; i < m_sotedArray.size(); ++i) {
        if (FileDisplayCollection* directory = m_sotedArray[i]->asCollection()) {
            const auto keep = directory->shared_from_this();
            directory->expandOutlineView(view, currentDirectory);
        }
    }
}

qsizetype FileDisplayCollection::numberOfRows() const
{
    return displayCount();
}

QVariant FileDisplayCollection::objectValue(const QString& columnIdentifier, qsizetype row) const
{
    const FileDisplay* entry = displayObjectAtIndex(row);
    if (!entry)
        return QVariant();
    const Column column = columnOf(columnIdentifier);
    if (column == Column::Icon)
        return QVariant::fromValue(entry->isDirectory() ? CellIcon::Folder : CellIcon::Document);
    return cellText(*entry, column);
}

bool FileDisplayCollection::shouldEdit(const QString& columnIdentifier, qsizetype row)
{
    const FileDisplay* entry = displayObjectAtIndex(row);
    const Column column = columnOf(columnIdentifier);
    const QString text = entry ? cellText(*entry, column) : QString();
    qCDebug(lcModel, "aTableColumn = %s, rowIndex = %lld", qUtf8Printable(text), static_cast<long long>(row));
    m_identifierTagOnEdit = columnIdentifier;
    // A link is renamed under its own name, without the target part.
    m_columnValueOnEdit = entry && entry->isLink() && column == Column::Name ? entry->fileTitle() : text;
    return true;
}

std::optional<qsizetype> FileDisplayCollection::setObjectValue(const QString& value, const QString& columnIdentifier,
                                                               qsizetype row)
{
    if (value == m_columnValueOnEdit || !m_controller)
        return std::nullopt;
    m_controller->clientSetCurrentDirectory(m_fullPath);

    switch (columnOf(columnIdentifier)) {
    case Column::Name:
        if (m_controller->renameFile(*this, m_columnValueOnEdit, value))
            m_controller->setCurrentDirectory(m_fullPath);
        return std::nullopt;
    case Column::Mode: {
        if (value.size() != 3) {
            MyUtil::messageBoxInternational("Invalid mode format");
            return std::nullopt;
        }
        FileDisplay* rowEntry = displayObjectAtIndex(row);
        if (!rowEntry)
            return std::nullopt;
        const std::shared_ptr<FileDisplay> entry = rowEntry->shared_from_this();
        if (!m_controller->chmod(*this, entry->fileName(), value))
            return std::nullopt;
        entry->setFileMode(uint(std::max<qint64>(0, MyUtil::leadingInteger(value))));
        if (columnOf(m_sortKey) != Column::Mode)
            return std::nullopt;
        childrenSort();
        const auto sorted = std::find_if(m_sotedArray.begin(), m_sotedArray.end(),
                                         [&entry](const FileDisplay* r) { return r->fileName() == entry->fileName(); });
        if (sorted == m_sotedArray.end())
            return std::nullopt;
        return qsizetype(sorted - m_sotedArray.begin());
    }
    default:
        return std::nullopt;
    }
}

std::optional<FileDisplayCollection::SortIndicator>
FileDisplayCollection::didClickTableColumn(const QString& columnIdentifier)
{
    qCDebug(lcModel, "tableView:%s didClickTableColumn:%s", qUtf8Printable(m_fullPath),
            qUtf8Printable(columnIdentifier));
    if (columnOf(columnIdentifier) == Column::Icon)
        return std::nullopt;
    if (columnIdentifier != m_sortKey) {
        m_sortKey = columnIdentifier;
        m_ascending = true;
    } else {
        m_ascending = !m_ascending;
    }
    childrenSort();
    return SortIndicator { m_sortKey, m_ascending };
}

std::shared_ptr<FileDisplayCollection> FileDisplayCollection::sharedListing()
{
    return std::static_pointer_cast<FileDisplayCollection>(shared_from_this());
}

bool FileDisplayCollection::acceptDrop(const QMimeData& drop)
{
    return m_controller && m_controller->droppedFromFinder(drop, *this);
}
