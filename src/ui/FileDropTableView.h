#pragma once

#include "ui/DragOutMimeData.h"

#include <QList>
#include <QPoint>
#include <QTableView>

#include <memory>
#include <optional>

class FileDisplayCollection;
class FileTableModel;
class QMimeData;

// The file table of a session window. A press follows its own selection rule (a press on a
// selected row never breaks the selection), a double click on a directory opens it, Escape
// abandons a cell edit (the cell editors' own handling), and the header shows the sort of the listing shown.
// Local files dragged in from the desktop are handed to the shown listing as an upload; while
// such a drag is over the table, a frame shows that it would be taken. A press on a row followed
// by a drag drags the selected entries out, to be downloaded where they are dropped; such a drag
// is never taken by a table of ours.
class FileDropTableView final : public QTableView
{
    Q_OBJECT

public:
    explicit FileDropTableView(QWidget* parent = nullptr);
    using QTableView::edit;

    // The table's model; the view does not own it.
    void setFileModel(FileTableModel* model);
    FileTableModel* fileModel() const { return m_model; }
    // Shows a listing (or none); the sort indicator follows a new listing.
    void setDataSource(std::shared_ptr<FileDisplayCollection> listing);

    void clearColumnImages();
    // The indicator of the shown listing's sort key and direction.
    void showSortIndicator();

    // The rows selected after a press on row with these modifiers, given the selected rows in
    // ascending order; no result when the selection stays as it is. Shift wins over Control; a
    // press below the last row (row -1) selects nothing.
    static std::optional<QList<int>> clickSelection(const QList<int>& selected, int row,
                                                    Qt::KeyboardModifiers modifiers);
    // Replaces the selection with these rows in one step.
    void selectRows(const QList<int>& rows);
    QList<int> selectedRows() const;

    // A drag is taken when every local file it names exists (a drag naming none counts too).
    static bool acceptableObject(const QMimeData& drag);
    // Downloads the selection into a local folder when a drag out is dropped.
    void setDropDownload(DragOutMimeData::Download download);
    // What a drag out of the selection offers: the entries whose names are safe as one local path
    // component (the others could only be refused at the drop); null when none is left.
    std::unique_ptr<DragOutMimeData> dragOutData() const;
    bool isInDragging() const { return m_bInDragging; }
    void setInDragging(bool inDragging);

signals:
    void directoryDoubleClicked(FileDisplayCollection* directory);
    // A drag out begins with this data, which belongs to the drag.
    void dragOutStarted(DragOutMimeData* data);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    bool edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dragLeaveEvent(QDragLeaveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void headerClicked(int section);
    void startDragOut(int row);

    FileTableModel* m_model = nullptr;
    bool m_bInDragging = false;
    DragOutMimeData::Download m_dropDownload;
    // The row of the press that a drag may follow (-1: none) and where it was pressed.
    int m_pressRow = -1;
    QPoint m_pressPoint;
};
