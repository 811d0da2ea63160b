#include "ui/XdndDirectSave.h"
#include "model/FileDisplayCollection.h"
#include "support/TestRegistry.h"
#include "ui/FileDropTableView.h"
#include "ui/FileTableModel.h"

#include <QApplication>
#include <QDrag>
#include <QMouseEvent>
#include <QTest>
#include <QTimer>
#include <QWidget>

#include <xcb/xcb.h>

#include <cstdlib>

namespace {

xcb_atom_t atom(xcb_connection_t* xcb, const char* name)
{
    xcb_intern_atom_reply_t* reply
        = xcb_intern_atom_reply(xcb, xcb_intern_atom(xcb, 0, uint16_t(qstrlen(name)), name), nullptr);
    const xcb_atom_t result = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
    std::free(reply);
    return result;
}

// The property as another client reads it: its type's name and its bytes.
QPair<QByteArray, QByteArray> readProperty(xcb_connection_t* xcb, xcb_window_t window)
{
    xcb_get_property_reply_t* reply = xcb_get_property_reply(
        xcb, xcb_get_property(xcb, 0, window, atom(xcb, "XdndDirectSave0"), XCB_GET_PROPERTY_TYPE_ANY, 0, 1024),
        nullptr);
    QPair<QByteArray, QByteArray> result;
    if (reply && reply->type != XCB_ATOM_NONE) {
        xcb_get_atom_name_reply_t* name = xcb_get_atom_name_reply(xcb, xcb_get_atom_name(xcb, reply->type), nullptr);
        if (name)
            result.first = QByteArray(xcb_get_atom_name_name(name), xcb_get_atom_name_name_length(name));
        std::free(name);
        result.second
            = QByteArray(static_cast<const char*>(xcb_get_property_value(reply)), xcb_get_property_value_length(reply));
    }
    std::free(reply);
    return result;
}

xcb_window_t selectionOwner(xcb_connection_t* xcb)
{
    xcb_get_selection_owner_reply_t* reply
        = xcb_get_selection_owner_reply(xcb, xcb_get_selection_owner(xcb, atom(xcb, "XdndSelection")), nullptr);
    const xcb_window_t owner = reply ? reply->owner : xcb_window_t(XCB_NONE);
    std::free(reply);
    return owner;
}

} // namespace

// The X11 side of a direct save against a real X server (run under the xcb platform, for
// example with xvfb-run and QT_QPA_PLATFORM=xcb); the drop target is a client of its own.
class XdndDirectSaveTest : public QObject
{
    Q_OBJECT

private slots:
    void proposedNameAndDestinationGoThroughTheSourceWindow()
    {
        if (QGuiApplication::platformName() != u"xcb")
            QSKIP("needs the xcb platform and an X server");
        QWidget source;
        source.show();
        QVERIFY(QTest::qWaitForWindowExposed(&source));
        xcb_connection_t* own = qGuiApp->nativeInterface<QNativeInterface::QX11Application>()->connection();
        const auto window = xcb_window_t(source.winId());
        // As a running drag does: the source window owns the drag selection.
        xcb_set_selection_owner(own, window, atom(own, "XdndSelection"), XCB_CURRENT_TIME);
        xcb_flush(own);
        xcb_connection_t* target = xcb_connect(nullptr, nullptr);
        QVERIFY(target && !xcb_connection_has_error(target));

        auto directSave = XdndDirectSave::create();
        QVERIFY(directSave);
        QVERIFY(directSave->propose(QStringLiteral("ä b.txt")));
        QCOMPARE(readProperty(target, window), qMakePair(QByteArray("text/plain"), QString("ä b.txt").toUtf8()));
        QCOMPARE(directSave->destinationUri(), QString("ä b.txt").toUtf8());

        const QByteArray uri("file:///tmp/drop/%C3%A4%20b.txt");
        xcb_change_property(target, XCB_PROP_MODE_REPLACE, window, atom(target, "XdndDirectSave0"),
                            atom(target, "text/plain"), 8, uint32_t(uri.size()), uri.constData());
        xcb_flush(target);
        QTRY_COMPARE_WITH_TIMEOUT(directSave->destinationUri(), uri, 5000);

        directSave.reset();
        QTRY_COMPARE_WITH_TIMEOUT(readProperty(target, window).second, QByteArray(), 5000);
        xcb_disconnect(target);
    }

    void aDragOutProposesTheFirstNameWhileItRuns()
    {
        if (QGuiApplication::platformName() != u"xcb")
            QSKIP("needs the xcb platform and an X server");
        const auto listing = FileDisplayCollection::create();
        listing->setFullPath(QStringLiteral("/"));
        listing->invalidate();
        listing->addFileDisplay(u"-rw-r--r-- 1 web staff 3 Jan  1 10:00 a b.txt");
        listing->addFileDisplay(u"-rw-r--r-- 1 web staff 3 Jan  1 10:00 c.txt");
        listing->updateAll();
        FileTableModel model;
        FileDropTableView view;
        view.setFileModel(&model);
        view.setDataSource(listing);
        view.resize(400, 300);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        view.selectRows({ 0, 1 });
        xcb_connection_t* target = xcb_connect(nullptr, nullptr);
        QVERIFY(target && !xcb_connection_has_error(target));

        QPair<QByteArray, QByteArray> proposed;
        QStringList types;
        connect(&view, &FileDropTableView::dragOutStarted, this, [&](DragOutMimeData* data) {
            types = data->formats();
            // Looked at from the target's side while the drag's loop runs, then given up.
            QTimer::singleShot(200, this, [&] {
                proposed = readProperty(target, selectionOwner(target));
                QDrag::cancel();
            });
        });
        const QPoint press = view.visualRect(model.index(1, FileTableModel::Name)).center();
        QMouseEvent down(QEvent::MouseButtonPress, press, view.viewport()->mapToGlobal(press), Qt::LeftButton,
                         Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(view.viewport(), &down);
        const QPoint to = press + QPoint(4 * QApplication::startDragDistance(), 0);
        QMouseEvent move(QEvent::MouseMove, to, view.viewport()->mapToGlobal(to), Qt::NoButton, Qt::LeftButton,
                         Qt::NoModifier);
        QApplication::sendEvent(view.viewport(), &move);

        QCOMPARE(types, QStringList({ "text/uri-list", "XdndDirectSave0" }));
        QCOMPARE(proposed, qMakePair(QByteArray("text/plain"), QByteArray("a b.txt")));
        xcb_disconnect(target);
    }
};

PLUMOXA_TEST(XdndDirectSaveTest);
#include "XdndDirectSaveTest.moc"
