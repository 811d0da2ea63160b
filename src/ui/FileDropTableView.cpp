#include "ui/FileDropTableView.h"

#include "engine/Downloader.h"
#include "model/FileDisplayCollection.h"
#include "ui/FileNameFormatter.h"
#include "ui/FileTableModel.h"
#include "ui/UiLog.h"
#ifdef PLUMOXA_XDND_DIRECT_SAVE
#include "ui/XdndDirectSave.h"
#endif

#include <QApplication>
#include <QDrag>
#include <QDragEnterEvent>
#include <QFileInfo>
#include <QHeaderView>
#include <QLineEdit>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QStyledItemDelegate>
#include <QTimer>

#include <algorithm>

namespace {

// Cell editors: a name takes no part of a path, a mode only octal digits.
class CellDelegate final : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        QWidget* editor = QStyledItemDelegate::createEditor(parent, option, index);
        if (auto* line = qobject_cast<QLineEdit*>(editor); line && index.column() == FileTableModel::Name)
            line->setValidator(new FileNameFormatter(line));
        return editor;
    }
};

} // namespace

FileDropTableView::FileDropTableView(QWidget* parent)
    : QTableView(parent)
{
    setSelectionBehavior(SelectRows);
    setSelectionMode(ExtendedSelection);
    setEditTriggers(SelectedClicked | EditKeyPressed);
    setShowGrid(false);
    setWordWrap(false);
    setItemDelegate(new CellDelegate(this));
    verticalHeader()->hide();
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    horizontalHeader()->setSectionsClickable(true);
    horizontalHeader()->setSortIndicatorShown(true);
    horizontalHeader()->setHighlightSections(false);
    // A new listing sorts by name, ascending.
    horizontalHeader()->setSortIndicator(FileTableModel::Name, Qt::AscendingOrder);
    connect(horizontalHeader(), &QHeaderView::sectionClicked, this, &FileDropTableView::headerClicked);
    setAcceptDrops(true);
    viewport()->setAcceptDrops(true);
    setDropIndicatorShown(false);
}

void FileDropTableView::setFileModel(FileTableModel* model)
{
    m_model = model;
    setModel(model);
}

void FileDropTableView::setDataSource(std::shared_ptr<FileDisplayCollection> listing)
{
    if (!m_model)
        return;
    const bool changed = listing.get() != m_model->dataSource();
    m_model->setDataSource(std::move(listing));
    if (changed)
        showSortIndicator();
}

void FileDropTableView::clearColumnImages()
{
    horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);
}

void FileDropTableView::showSortIndicator()
{
    clearColumnImages();
    const FileDisplayCollection* listing = m_model ? m_model->dataSource() : nullptr;
    if (!listing)
        return;
    const int column = FileTableModel::columnOf(listing->sortKey());
    if (column > FileTableModel::Icon)
        horizontalHeader()->setSortIndicator(column, listing->isAscending() ? Qt::AscendingOrder : Qt::DescendingOrder);
}

void FileDropTableView::headerClicked(int section)
{
    if (m_model)
        m_model->sortByColumn(section);
    // The header flips its own indicator on a click; the listing's sort is the one to show.
    showSortIndicator();
}

std::optional<QList<int>> FileDropTableView::clickSelection(const QList<int>& selected, int row,
                                                            Qt::KeyboardModifiers modifiers)
{
    if (row < 0)
        return QList<int>();
    if (selected.contains(row))
        return std::nullopt;
    QList<int> rows;
    if (modifiers & Qt::ShiftModifier) {
        if (selected.isEmpty())
            return QList<int> { row };
        const int first = selected.first();
        const int last = selected.last();
        if (row > first && row < last) {
            for (int r = first; r <= row; ++r)
                rows.append(r);
            for (const int r : selected) {
                if (r > row)
                    rows.append(r);
            }
        } else if (row > last) {
            rows = selected;
            for (int r = last + 1; r <= row; ++r)
                rows.append(r);
        } else {
            for (int r = row; r < first; ++r)
                rows.append(r);
            rows += selected;
        }
    } else if (modifiers & Qt::ControlModifier) {
        rows = selected;
        rows.append(row);
    } else {
        rows.append(row);
    }
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    return rows;
}

QList<int> FileDropTableView::selectedRows() const
{
    QList<int> rows;
    if (!selectionModel())
        return rows;
    for (const QModelIndex& index : selectionModel()->selectedRows())
        rows.append(index.row());
    std::sort(rows.begin(), rows.end());
    return rows;
}

void FileDropTableView::selectRows(const QList<int>& rows)
{
    if (!selectionModel() || !model())
        return;
    QItemSelection selection;
    const int lastColumn = model()->columnCount() - 1;
    for (const int row : rows) {
        if (row >= 0 && row < model()->rowCount())
            selection.select(model()->index(row, 0), model()->index(row, lastColumn));
    }
    selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    if (!rows.isEmpty() && rows.first() >= 0 && rows.first() < model()->rowCount())
        selectionModel()->setCurrentIndex(model()->index(rows.first(), FileTableModel::Name),
                                          QItemSelectionModel::NoUpdate);
}

void FileDropTableView::mousePressEvent(QMouseEvent* event)
{
    m_pressRow = -1;
    if (event->button() != Qt::LeftButton) {
        QTableView::mousePressEvent(event);
        return;
    }
    const QModelIndex index = indexAt(event->position().toPoint());
    const int row = index.isValid() ? index.row() : -1;
    m_pressRow = row;
    m_pressPoint = event->position().toPoint();
    const QList<int> selected = selectedRows();
    const Qt::KeyboardModifiers modifiers = event->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier);
    // A plain press on the one selected row is the platform's: a second press there edits.
    if (modifiers == Qt::NoModifier && selected.size() == 1 && selected.first() == row) {
        QTableView::mousePressEvent(event);
        return;
    }
    setFocus(Qt::MouseFocusReason);
    if (const auto rows = clickSelection(selected, row, modifiers))
        selectRows(*rows);
    if (index.isValid())
        selectionModel()->setCurrentIndex(index, QItemSelectionModel::NoUpdate);
}

void FileDropTableView::mouseDoubleClickEvent(QMouseEvent* event)
{
    m_pressRow = -1;
    if (event->button() != Qt::LeftButton || !m_model)
        return;
    const QModelIndex index = indexAt(event->position().toPoint());
    FileDisplay* entry = index.isValid() ? m_model->entryAt(index.row()) : nullptr;
    if (entry && entry->asCollection())
        emit directoryDoubleClicked(entry->asCollection());
}

void FileDropTableView::mouseMoveEvent(QMouseEvent* event)
{
    // After a press on a row, moving with the button held is a drag out or nothing: it never
    // stretches the selection.
    if (m_pressRow >= 0 && (event->buttons() & Qt::LeftButton)) {
        if ((event->position().toPoint() - m_pressPoint).manhattanLength() >= QApplication::startDragDistance()) {
            const int row = m_pressRow;
            m_pressRow = -1;
            startDragOut(row);
        }
        return;
    }
    QTableView::mouseMoveEvent(event);
}

void FileDropTableView::mouseReleaseEvent(QMouseEvent* event)
{
    m_pressRow = -1;
    QTableView::mouseReleaseEvent(event);
}

void FileDropTableView::setDropDownload(DragOutMimeData::Download download)
{
    m_dropDownload = std::move(download);
}

std::unique_ptr<DragOutMimeData> FileDropTableView::dragOutData() const
{
    if (!m_model)
        return nullptr;
    QStringList names;
    for (const int row : selectedRows()) {
        const FileDisplay* entry = m_model->entryAt(row);
        if (!entry)
            continue;
        const QString name = entry->fileTitle();
        if (Downloader::isSafeLocalName(name))
            names.append(name);
        else
            qCDebug(lcUi) << "Not dragged out, unsafe as a local name:" << entry->fileName();
    }
    if (names.isEmpty())
        return nullptr;
    return std::make_unique<DragOutMimeData>(names, m_dropDownload);
}

void FileDropTableView::startDragOut(int row)
{
    std::unique_ptr<DragOutMimeData> data = dragOutData();
    if (!data)
        return;
    auto* drag = new QDrag(this);
#ifdef PLUMOXA_XDND_DIRECT_SAVE
    if (std::shared_ptr<XdndDirectSave> directSave = XdndDirectSave::create()) {
        data->offerDirectSave([directSave] { return directSave->destinationUri(); });
        // The drag's source window owns the drag selection once the drag runs.
        QTimer::singleShot(0, drag, [directSave, name = data->proposedName()] { directSave->propose(name); });
    }
#endif
    // The pressed entry's icon, left of the pointer.
    const QIcon icon = qvariant_cast<QIcon>(m_model->index(row, FileTableModel::Icon).data(Qt::DecorationRole));
    if (!icon.isNull()) {
        drag->setPixmap(icon.pixmap(16, 16));
        drag->setHotSpot(QPoint(28, 10));
    }
    DragOutMimeData* offered = data.get();
    drag->setMimeData(data.release());
    emit dragOutStarted(offered);
    drag->exec(Qt::CopyAction, Qt::CopyAction);
}

bool FileDropTableView::edit(const QModelIndex& index, EditTrigger trigger, QEvent* event)
{
    const bool editing = QTableView::edit(index, trigger, event);
    if (editing && m_model)
        m_model->shouldEdit(index);
    return editing;
}

bool FileDropTableView::acceptableObject(const QMimeData& drag)
{
    const QList<QUrl> urls = drag.urls();
    return std::all_of(urls.cbegin(), urls.cend(), [](const QUrl& url) {
        if (!url.isLocalFile())
            return true;
        const QFileInfo item(url.toLocalFile());
        return item.exists() || item.isSymLink();
    });
}

void FileDropTableView::setInDragging(bool inDragging)
{
    m_bInDragging = inDragging;
    viewport()->update();
}

void FileDropTableView::dragEnterEvent(QDragEnterEvent* event)
{
    // Entries dragged out of a window of ours are downloads, never uploads into a table. The data
    // is looked at before its file names: asking a drag out for them would start its download.
    if (event->source() || !event->mimeData() || qobject_cast<const DragOutMimeData*>(event->mimeData())
        || !acceptableObject(*event->mimeData())) {
        event->ignore();
        return;
    }
    setInDragging(true);
    event->setDropAction(Qt::CopyAction);
    event->accept();
}

void FileDropTableView::dragMoveEvent(QDragMoveEvent* event)
{
    if (!m_bInDragging) {
        event->ignore();
        return;
    }
    event->setDropAction(Qt::CopyAction);
    event->accept();
}

void FileDropTableView::dragLeaveEvent(QDragLeaveEvent* event)
{
    setInDragging(false);
    event->accept();
}

void FileDropTableView::dropEvent(QDropEvent* event)
{
    // The frame goes with the drag: a drop ends it as leaving does.
    const bool acceptable = m_bInDragging;
    setInDragging(false);
    FileDisplayCollection* listing = m_model ? m_model->dataSource() : nullptr;
    if (!acceptable || !listing || !event->mimeData() || !listing->acceptDrop(*event->mimeData())) {
        event->ignore();
        return;
    }
    event->setDropAction(Qt::CopyAction);
    event->accept();
}

void FileDropTableView::paintEvent(QPaintEvent* event)
{
    QTableView::paintEvent(event);
    if (!m_bInDragging)
        return;
    QPainter painter(viewport());
    QPen pen(palette().color(QPalette::Highlight));
    pen.setWidth(2);
    painter.setPen(pen);
    painter.drawRect(viewport()->rect().adjusted(1, 1, -1, -1));
}
