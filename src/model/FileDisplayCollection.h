#pragma once

#include "model/FileDisplay.h"

#include <QHash>
#include <QList>
#include <QVariant>

#include <memory>
#include <optional>
#include <vector>

class FileDisplayCollection;
class OutlineView;
class QMimeData;
class SessionController;

// Full path → listing, shared by every listing of one directory tree. It does not own the
// listings: an entry whose listing is gone reads as absent, and a listing removes its own entry
// when it is destroyed.
using PathRegistry = QHash<QString, std::weak_ptr<FileDisplayCollection>>;

// A remote directory: an entry of its parent listing and, at the same time, the listing of its own
// children. It keeps the children of the last listing (the objects of entries that survive a
// re-listing stay the same), the sorted rows that the file table shows (names beginning with "."
// are not rows), and it answers the file table's questions and edits.
class FileDisplayCollection final : public FileDisplay
{
    struct Token
    {
        explicit Token() = default;
    };

public:
    // What the "Icon" cell shows.
    enum class CellIcon { Folder, Document };
    // The sort indicator a header click leaves: the column that carries it and its direction.
    struct SortIndicator
    {
        QString column;
        bool ascending = true;
    };

    // An empty listing: no children, sort key "Name" ascending.
    static std::shared_ptr<FileDisplayCollection> create();

    // Made by create() or by a parent listing: a listing must be shared to be registered.
    explicit FileDisplayCollection(Token);
    FileDisplayCollection(Token, const ListingFields& listed, const FileDisplay* neighbour = nullptr);
    ~FileDisplayCollection() override;

    FileDisplayCollection* asCollection() override;
    const FileDisplayCollection* asCollection() const override;
    // This listing as its owners hold it: keeps it alive across a step that may relist its parent.
    std::shared_ptr<FileDisplayCollection> sharedListing();

    SessionController* controller() const { return m_controller; }
    void setController(SessionController* controller) { m_controller = controller; }
    QString fullPath() const { return m_fullPath; }
    // A link's target part (from " -> " on) is cut off: a link is reached under its own name.
    void setFullPath(const QString& path);
    // Registers this listing under its full path, replacing what was registered there.
    void setPathDictionary(std::shared_ptr<PathRegistry> registry);
    QString sortKey() const { return m_sortKey; }
    void setSortKey(const QString& key) { m_sortKey = key; }
    bool isAscending() const { return m_ascending; }
    void setAscending(bool ascending) { m_ascending = ascending; }
    QString identifierTagOnEdit() const { return m_identifierTagOnEdit; }
    void setIdentifierTagOnEdit(const QString& identifier) { m_identifierTagOnEdit = identifier; }
    QString columnValueOnEdit() const { return m_columnValueOnEdit; }
    void setColumnValueOnEdit(const QString& value) { m_columnValueOnEdit = value; }

    // All children in listing order, hidden ones included.
    qsizetype count() const override;
    FileDisplay* objectAtIndex(qsizetype index) const;
    // The table rows.
    qsizetype displayCount() const;
    FileDisplay* displayObjectAtIndex(qsizetype row) const;
    // The children that are directories, in listing order, hidden ones included.
    qsizetype directoryCount() const;
    FileDisplayCollection* directoryAtIndex(qsizetype index) const;

    // Re-listing: invalidate, then one addFileDisplay per line, then updateAll. Children that come
    // back keep their objects (refreshed in place when changed); a directory becomes a listing of
    // its own, registered under its path.
    void invalidate();
    void addFileDisplay(QStringView line);
    void updateAll();
    // Rebuilds the rows from the children and sorts them by this listing's key and direction.
    void childrenSort();
    // Removes the first child of that name, and its row.
    void removeObjectOfName(const QString& name);
    // Empties the children and the rows.
    void removeAllObjects();
    // Shows a directory just made on the server before the next listing: an empty listing added
    // at the end of the children and the rows, unless a child of that title exists.
    void addDummyDirectory(const QString& name);

    // The entry at a path below this listing ("/a/b" or "a/b"), among the children already known;
    // this listing itself for a path equal to its name. Null when there is none.
    FileDisplay* fileDisplay(QStringView path);
    FileDisplay* fileDisplay(const QList<QStringView>& components, qsizetype depth);
    // Whether a relative path exists below this listing; the directories on the way are listed
    // from the server again. isDir, when given, receives the found entry's directory flag.
    bool hasPath(const QString& path, bool* isDir = nullptr);
    bool internalHasPath(const QString& path, bool* isDir, const QString& internalPath);
    // Expands every listing, this one and its row directories, whose full path is a text prefix
    // of the current directory, and selects the one equal to it.
    void expandOutlineView(OutlineView& view, const QString& currentDirectory);

    // The file table's data source: rows, cell values (text, or a CellIcon for "Icon"; invalid
    // for a row that does not exist).
    qsizetype numberOfRows() const;
    QVariant objectValue(const QString& columnIdentifier, qsizetype row) const;
    // Records the start of an in-table edit; always true.
    bool shouldEdit(const QString& columnIdentifier, qsizetype row);
    // Applies an in-table edit of "Name" (rename) or "Mode" (permissions). Returns the row to
    // select alone when the edit re-sorted the rows.
    std::optional<qsizetype> setObjectValue(const QString& value, const QString& columnIdentifier, qsizetype row);
    // Sorts by a clicked column: a new column ascending, the current one in the other direction.
    // No result for "Icon", which is not a sort key.
    std::optional<SortIndicator> didClickTableColumn(const QString& columnIdentifier);
    // Local files dropped on the table: handed to the controller as an upload into this listing.
    bool acceptDrop(const QMimeData& drop);

private:
    QString childPath(QStringView name) const;
    std::shared_ptr<FileDisplayCollection> makeChild(std::shared_ptr<FileDisplayCollection> child) const;
    void rebuildDirectories() const;

    std::vector<std::shared_ptr<FileDisplay>> m_displays;
    // The previous children while a listing is read in, and their names. The names view into
    // the children's own texts, which stay put while the children wait here.
    std::vector<std::shared_ptr<FileDisplay>> m_invalidates;
    QHash<QStringView, size_t> m_invalidateNames;
    SessionController* m_controller = nullptr;
    QString m_fullPath;
    std::shared_ptr<PathRegistry> m_pathDictionary;
    QString m_identifierTagOnEdit;
    QString m_columnValueOnEdit;
    QString m_sortKey;
    bool m_ascending = true;
    // The rows: a subset of m_displays, which keeps them alive.
    std::vector<FileDisplay*> m_sotedArray;
    // The directory children, rebuilt on demand after the children changed.
    mutable std::vector<FileDisplayCollection*> m_directories;
    mutable bool m_directoriesValid = true;
};
