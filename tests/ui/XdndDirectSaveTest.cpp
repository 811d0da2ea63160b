#include "ui/XdndDirectSave.h"
#include "support/TestRegistry.h"

#include <QGuiApplication>
#include <QTest>
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
};

PLUMOXA_TEST(XdndDirectSaveTest);
#include "XdndDirectSaveTest.moc"
