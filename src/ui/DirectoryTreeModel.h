#pragma once

#include "model/FileDisplayController.h"

#include <QAbstractItemModel>
#include <QHash>
#include <QIcon>
#include <QSet>

#include <functional>

// Presents the directory tree to the outline view: the invisible top holds the root "/", every
// node's children are its subdirectories in listing order. A node whose subdirectories are not
// known yet is listed from the server when the view fetches its children (canFetchMore and
// fetchMore), never while the view merely counts them; the listing runs from the event loop
// right after the request, so it never lands inside another change of the model. Every change of a node's children is
// announced: beginRelisting/endRelisting around a re-listing, beginReset/endReset around changes
// of the whole tree.
class DirectoryTreeModel final : public QAbstractItemModel
{
    Q_OBJECT

public:
    // Lists a node's children from the server on the view's request.
    using ChildLister = std::function<void(FileDisplayCollection& node)>;

    explicit DirectoryTreeModel(FileDisplayController& tree, QObject* parent = nullptr);

    void setChildLister(ChildLister lister) { m_childLister = std::move(lister); }
    void setFolderIcon(const QIcon& icon) { m_folderIcon = icon; }

    FileDisplayCollection* node(const QModelIndex& index) const;
    // The index of a node of the tree; invalid when the tree does not hold that very node.
    QModelIndex indexOf(const FileDisplayCollection* node) const;

    void beginReset();
    void endReset();
    // Brackets the re-listing of one node: its children rows go, then the new ones come.
    void beginRelisting(FileDisplayCollection& node);
    void endRelisting(FileDisplayCollection& node);
    // The view closed the node: opening it again may list it again.
    void forgetFetched(const QModelIndex& index);
    // The view opened the node: one without known subdirectories is listed again.
    void nodeOpened(const QModelIndex& index);

    QModelIndex index(int row, int column, const QModelIndex& parent = {}) const override;
    QModelIndex parent(const QModelIndex& child) const override;
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    bool hasChildren(const QModelIndex& parent = {}) const override;
    bool canFetchMore(const QModelIndex& parent) const override;
    void fetchMore(const QModelIndex& parent) override;

private:
    struct Link
    {
        FileDisplayCollection* parent = nullptr;
        int row = 0;
    };
    Link linkOf(const FileDisplayCollection* node) const;
    int childCount(const FileDisplayCollection* node) const;
    void fetchPending(const QString& path);

    FileDisplayController& m_tree;
    ChildLister m_childLister;
    QIcon m_folderIcon;
    // The node being re-listed shows no children until its new ones are announced.
    const FileDisplayCollection* m_hidden = nullptr;
    int m_relistingDepth = 0;
    // Full paths of the nodes fetched since they were last opened, and of those about to be.
    QSet<QString> m_fetched;
    QSet<QString> m_pending;
    // Where each node handed out sits; forgotten whenever nodes may have come or gone.
    mutable QHash<const FileDisplayCollection*, Link> m_links;
};
