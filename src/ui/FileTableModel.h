#pragma once

#include "model/FileDisplayCollection.h"

#include <QAbstractTableModel>
#include <QIcon>

#include <memory>
#include <optional>

// Presents the shown listing to the file table: one row per table row of the listing, the columns
// "Icon", "Name", "Owner", "Group", "Date", "Size" and "Mode". Every change of the rows is
// announced: a new data source, a re-listing (beginChange/endChange around it) and a sort.
class FileTableModel final : public QAbstractTableModel
{
    Q_OBJECT

public:
    enum Column { Icon, Name, Owner, Group, Date, Size, Mode, ColumnCount };

    explicit FileTableModel(QObject* parent = nullptr);

    static QString columnIdentifier(int column);
    // The column of an identifier, -1 for none.
    static int columnOf(const QString& identifier);

    void setIcons(const QIcon& folder, const QIcon& document);

    FileDisplayCollection* dataSource() const { return m_listing.get(); }
    std::shared_ptr<FileDisplayCollection> sharedDataSource() const { return m_listing; }
    // A different listing (or none) replaces the rows; the same one again changes nothing.
    void setDataSource(std::shared_ptr<FileDisplayCollection> listing);
    // Brackets a change of the shown listing's rows made elsewhere (a re-listing).
    void beginChange();
    void endChange();

    // An entry's cells changed in place (the rows stay).
    void refreshCells();

    FileDisplay* entryAt(int row) const;
    // Records the start of an in-table edit of that cell.
    void shouldEdit(const QModelIndex& index);
    // A header click: sorts the rows by that column (the same column again flips the
    // direction); no result for "Icon".
    std::optional<FileDisplayCollection::SortIndicator> sortByColumn(int column);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;

signals:
    // An edit re-sorted the rows: this row is to be selected alone.
    void rowToSelect(int row);

private:
    std::shared_ptr<FileDisplayCollection> m_listing;
    QIcon m_folderIcon;
    QIcon m_documentIcon;
};
