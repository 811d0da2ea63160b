#include "model/FileDisplayCollection.h"
#include "support/TestRegistry.h"
#include "ui/DragOutMimeData.h"
#include "ui/FileDropTableView.h"
#include "ui/FileTableModel.h"

#include <QApplication>
#include <QDir>
#include <QDragEnterEvent>
#include <QFile>
#include <QFileInfo>
#include <QMouseEvent>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

namespace {

QString fileLine(const QString& name)
{
    return QStringLiteral("-rw-r--r-- 1 web staff 3 Jan  1 10:00 ") + name;
}

QString directoryLine(const QString& name)
{
    return QStringLiteral("drwxr-xr-x 2 web staff 4096 Jan  1 10:00 ") + name;
}

// A table showing a listing of these lines, sorted by name.
class Table
{
public:
    explicit Table(const QStringList& lines)
        : m_listing(FileDisplayCollection::create())
    {
        m_listing->setFullPath(QStringLiteral("/"));
        m_listing->invalidate();
        for (const QString& line : lines)
            m_listing->addFileDisplay(line);
        m_listing->updateAll();
        m_view.setFileModel(&m_model);
        m_view.setDataSource(m_listing);
        m_view.resize(400, 300);
        m_view.show();
    }

    FileDropTableView& view() { return m_view; }
    QWidget* viewport() { return m_view.viewport(); }
    QPoint rowPoint(int row) const { return m_view.visualRect(m_model.index(row, FileTableModel::Name)).center(); }
    // A point of the viewport below the last row.
    QPoint belowRows() const { return QPoint(20, m_view.viewport()->height() - 5); }

    void mouse(QEvent::Type type, QPoint at, Qt::MouseButtons buttons)
    {
        const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
        QMouseEvent event(type, at, m_view.viewport()->mapToGlobal(at), button, buttons, Qt::NoModifier);
        QApplication::sendEvent(m_view.viewport(), &event);
    }

private:
    std::shared_ptr<FileDisplayCollection> m_listing;
    FileTableModel m_model;
    FileDropTableView m_view;
};

// Writes the named files into the folder it is given, as a download would; records the folders.
struct FakeDownload
{
    QStringList folders;
    QStringList write;
    bool result = true;

    DragOutMimeData::Download callback()
    {
        return [this](const QString& folder) {
            folders.append(folder);
            for (const QString& name : write) {
                QFile file(QDir(folder).filePath(name));
                if (!file.open(QIODevice::WriteOnly) || file.write(name.toUtf8()) != name.size())
                    return false;
            }
            return result;
        };
    }
};

QList<QUrl> urlsIn(const QString& folder, const QStringList& names)
{
    QList<QUrl> urls;
    for (const QString& name : names)
        urls.append(QUrl::fromLocalFile(QDir(folder).filePath(name)));
    return urls;
}

} // namespace

class DragOutTest : public QObject
{
    Q_OBJECT

private slots:
    void dragStartsAfterTheDistanceFromARow_data()
    {
        QTest::addColumn<bool>("onRow");
        QTest::addColumn<int>("distance");
        QTest::addColumn<bool>("released");
        QTest::addColumn<bool>("starts");
        const int d = QApplication::startDragDistance();
        QTest::newRow("row, short of the distance") << true << d - 1 << false << false;
        QTest::newRow("row, the drag distance") << true << d << false << true;
        QTest::newRow("row, far") << true << 5 * d << false << true;
        QTest::newRow("row, far after the release") << true << 5 * d << true << false;
        QTest::newRow("below the rows, far") << false << 5 * d << false << false;
    }
    void dragStartsAfterTheDistanceFromARow()
    {
        QFETCH(bool, onRow);
        QFETCH(int, distance);
        QFETCH(bool, released);
        QFETCH(bool, starts);
        Table table({ fileLine("a.txt"), fileLine("b.txt"), fileLine("c.txt") });
        QSignalSpy started(&table.view(), &FileDropTableView::dragOutStarted);
        QStringList dragged;
        connect(&table.view(), &FileDropTableView::dragOutStarted, this,
                [&dragged](DragOutMimeData* data) { dragged = data->names(); });

        const QPoint press = onRow ? table.rowPoint(1) : table.belowRows();
        table.mouse(QEvent::MouseButtonPress, press, Qt::LeftButton);
        if (released)
            table.mouse(QEvent::MouseButtonRelease, press, Qt::NoButton);
        // Upwards, so that a move from below the rows stays in the viewport.
        table.mouse(QEvent::MouseMove, press - QPoint(0, distance), released ? Qt::NoButton : Qt::LeftButton);

        QCOMPARE(started.size(), starts ? 1 : 0);
        if (starts)
            QCOMPARE(dragged, QStringList { "b.txt" });
    }

    void pressOnASelectedRowDragsTheWholeSelection()
    {
        Table table({ fileLine("a.txt"), fileLine("b.txt"), directoryLine("d"), fileLine("e.txt") });
        table.view().selectRows({ 0, 2, 3 });
        QStringList dragged;
        connect(&table.view(), &FileDropTableView::dragOutStarted, this,
                [&dragged](DragOutMimeData* data) { dragged = data->names(); });

        const QPoint press = table.rowPoint(2);
        table.mouse(QEvent::MouseButtonPress, press, Qt::LeftButton);
        table.mouse(QEvent::MouseMove, press + QPoint(3 * QApplication::startDragDistance(), 0), Qt::LeftButton);

        QCOMPARE(dragged, QStringList({ "a.txt", "d", "e.txt" }));
        QCOMPARE(table.view().selectedRows(), QList<int>({ 0, 2, 3 }));
    }

    void offeredData_data()
    {
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<QList<int>>("selected");
        QTest::addColumn<QStringList>("names");
        QTest::newRow("files and a folder") << QStringList { fileLine("a.txt"), directoryLine("d"), fileLine("z") }
                                            << QList<int> { 0, 1, 2 } << QStringList { "a.txt", "d", "z" };
        QTest::newRow("a link under its own name")
            << QStringList { QStringLiteral("lrwxrwxrwx 1 web staff 3 Jan  1 10:00 l -> /etc"), fileLine("m") }
            << QList<int> { 0 } << QStringList { "l" };
        QTest::newRow("unsafe names left out")
            << QStringList { fileLine("ok"), fileLine("a/b") } << QList<int> { 0, 1 } << QStringList { "ok" };
        QTest::newRow("only unsafe names: nothing to drag")
            << QStringList { fileLine("a/b"), fileLine("ok") } << QList<int> { 0 } << QStringList {};
        QTest::newRow("nothing selected") << QStringList { fileLine("a") } << QList<int> {} << QStringList {};
    }
    void offeredData()
    {
        QFETCH(QStringList, lines);
        QFETCH(QList<int>, selected);
        QFETCH(QStringList, names);
        Table table(lines);
        table.view().selectRows(selected);
        FakeDownload download;
        table.view().setDropDownload(download.callback());

        const std::unique_ptr<DragOutMimeData> data = table.view().dragOutData();

        QCOMPARE(bool(data), !names.isEmpty());
        if (!data)
            return;
        QCOMPARE(data->names(), names);
        QCOMPARE(data->proposedName(), names.first());
        // No X11 direct save on the offscreen platform; building the data downloads nothing.
        QCOMPARE(data->formats(), QStringList { "text/uri-list" });
        QVERIFY(data->hasFormat("text/uri-list"));
        QVERIFY(!data->hasFormat("XdndDirectSave0"));
        QVERIFY(download.folders.isEmpty());
    }

    void uriListDownloadsOnceIntoAFreshStagingFolder_data()
    {
        QTest::addColumn<QStringList>("names");
        QTest::addColumn<QStringList>("written");
        QTest::addColumn<bool>("result");
        QTest::addColumn<QStringList>("offered");
        QTest::newRow("all arrive") << QStringList { "a.txt", "b c.txt" } << QStringList { "a.txt", "b c.txt" } << true
                                    << QStringList { "a.txt", "b c.txt" };
        QTest::newRow("one did not arrive")
            << QStringList { "a.txt", "b.txt" } << QStringList { "b.txt" } << true << QStringList { "b.txt" };
        QTest::newRow("download failed") << QStringList { "a.txt" } << QStringList { "a.txt" } << false
                                         << QStringList {};
    }
    void uriListDownloadsOnceIntoAFreshStagingFolder()
    {
        QFETCH(QStringList, names);
        QFETCH(QStringList, written);
        QFETCH(bool, result);
        QFETCH(QStringList, offered);
        FakeDownload download;
        download.write = written;
        download.result = result;
        DragOutMimeData data(names, download.callback());

        const QList<QUrl> urls = data.urls();

        QCOMPARE(download.folders.size(), 1);
        const QString staging = download.folders.first();
        QVERIFY(staging.startsWith(DragOutMimeData::stagingRoot() + u'/'));
        QVERIFY(
            DragOutMimeData::stagingRoot().startsWith(QStandardPaths::writableLocation(QStandardPaths::TempLocation)));
        QCOMPARE(urls, urlsIn(staging, offered));
        // Asked again (as targets do while the pointer moves, then at the drop): the same answer.
        QCOMPARE(data.urls(), urls);
        QByteArray encoded;
        for (const QUrl& url : urls)
            encoded += url.toEncoded() + "\r\n";
        QCOMPARE(data.data("text/uri-list"), encoded);
        QCOMPARE(download.folders.size(), 1);
    }

    void eachDropStagesInItsOwnFolder()
    {
        FakeDownload download;
        download.write = { "a.txt" };
        DragOutMimeData first({ "a.txt" }, download.callback());
        DragOutMimeData second({ "a.txt" }, download.callback());
        QCOMPARE(first.urls().size(), 1);
        QCOMPARE(second.urls().size(), 1);
        QCOMPARE(download.folders.size(), 2);
        QVERIFY(download.folders.at(0) != download.folders.at(1));
    }

    void directSave_data()
    {
        QTest::addColumn<QByteArray>("uri");
        QTest::addColumn<bool>("result");
        QTest::addColumn<QString>("folder");
        QTest::addColumn<QByteArray>("answer");
        QTest::newRow("local file") << QByteArray("file:///home/u/Desktop/a.txt") << true << "/home/u/Desktop"
                                    << QByteArray("S");
        QTest::newRow("localhost") << QByteArray("file://localhost/tmp/x/a.txt") << true << "/tmp/x" << QByteArray("S");
        QTest::newRow("escaped, zero-terminated")
            << QByteArray("file:///tmp/with%20space/a.txt\0", 31) << true << "/tmp/with space" << QByteArray("S");
        QTest::newRow("download failed") << QByteArray("file:///tmp/a.txt") << false << "/tmp" << QByteArray("E");
        QTest::newRow("another host") << QByteArray("file://elsewhere.invalid/tmp/a.txt") << true << ""
                                      << QByteArray("F");
        QTest::newRow("not written back") << QByteArray("a.txt") << true << "" << QByteArray("F");
        QTest::newRow("not a file URI") << QByteArray("http://host/a.txt") << true << "" << QByteArray("F");
    }
    void directSave()
    {
        QFETCH(QByteArray, uri);
        QFETCH(bool, result);
        QFETCH(QString, folder);
        QFETCH(QByteArray, answer);
        FakeDownload download;
        download.result = result;
        DragOutMimeData data({ "a.txt" }, download.callback());
        data.offerDirectSave([uri] { return uri; });

        QCOMPARE(data.formats(), QStringList({ "text/uri-list", "XdndDirectSave0" }));
        QCOMPARE(data.data("XdndDirectSave0"), answer);
        QCOMPARE(download.folders, folder.isEmpty() ? QStringList() : QStringList { folder });
        // The answer stands for the rest of the drag.
        QCOMPARE(data.data("XdndDirectSave0"), answer);
        QCOMPARE(download.folders.size(), folder.isEmpty() ? 0 : 1);
    }

    void ownDragIsNotTakenByATable_data()
    {
        QTest::addColumn<bool>("ours");
        QTest::addColumn<bool>("taken");
        QTest::newRow("a drag out of a table of ours") << true << false;
        QTest::newRow("existing files from the desktop") << false << true;
    }
    void ownDragIsNotTakenByATable()
    {
        QFETCH(bool, ours);
        QFETCH(bool, taken);
        QTemporaryDir local;
        QFile file(local.filePath("a.txt"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.close();
        FakeDownload download;
        download.write = { "a.txt" };
        std::unique_ptr<QMimeData> drag;
        if (ours) {
            drag = std::make_unique<DragOutMimeData>(QStringList { "a.txt" }, download.callback());
        } else {
            drag = std::make_unique<QMimeData>();
            drag->setUrls({ QUrl::fromLocalFile(file.fileName()) });
        }
        Table table({ fileLine("x") });

        QDragEnterEvent enter(table.rowPoint(0), Qt::CopyAction, drag.get(), Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(table.viewport(), &enter);

        QCOMPARE(enter.isAccepted(), taken);
        QCOMPARE(table.view().isInDragging(), taken);
        // Looking at our own drag did not start its download.
        QVERIFY(download.folders.isEmpty());
    }
};

PLUMOXA_TEST(DragOutTest);
#include "DragOutTest.moc"
