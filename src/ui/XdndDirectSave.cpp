#include "ui/XdndDirectSave.h"

#include "ui/UiLog.h"

#include <QGuiApplication>

#include <xcb/xcb.h>

#include <cstdlib>

namespace {

xcb_connection_t* connection()
{
    if (!qGuiApp || QGuiApplication::platformName() != u"xcb")
        return nullptr;
    const auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    return x11 ? x11->connection() : nullptr;
}

xcb_atom_t internAtom(xcb_connection_t* xcb, const char* name)
{
    const xcb_intern_atom_cookie_t cookie = xcb_intern_atom(xcb, 0, uint16_t(qstrlen(name)), name);
    xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(xcb, cookie, nullptr);
    const xcb_atom_t atom = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
    std::free(reply);
    return atom;
}

// A destination URI is a path with a host name: a few kilobytes at most.
constexpr uint32_t kMaxPropertyWords = 4096;

} // namespace

std::unique_ptr<XdndDirectSave> XdndDirectSave::create()
{
    xcb_connection_t* xcb = connection();
    if (!xcb)
        return nullptr;
    const xcb_atom_t property = internAtom(xcb, "XdndDirectSave0");
    const xcb_atom_t textPlain = internAtom(xcb, "text/plain");
    const xcb_atom_t selection = internAtom(xcb, "XdndSelection");
    if (property == XCB_ATOM_NONE || textPlain == XCB_ATOM_NONE || selection == XCB_ATOM_NONE)
        return nullptr;
    return std::unique_ptr<XdndDirectSave>(new XdndDirectSave(property, textPlain, selection));
}

XdndDirectSave::XdndDirectSave(quint32 property, quint32 textPlain, quint32 selection)
    : m_property(property)
    , m_textPlain(textPlain)
    , m_selection(selection)
{ }

XdndDirectSave::~XdndDirectSave()
{
    // The connection is looked up again: the drag may end with the application.
    xcb_connection_t* xcb = connection();
    if (!xcb || !m_window)
        return;
    xcb_delete_property(xcb, m_window, m_property);
    xcb_flush(xcb);
}

bool XdndDirectSave::propose(const QString& fileName)
{
    xcb_connection_t* xcb = connection();
    if (!xcb)
        return false;
    const xcb_get_selection_owner_cookie_t cookie = xcb_get_selection_owner(xcb, m_selection);
    xcb_get_selection_owner_reply_t* owner = xcb_get_selection_owner_reply(xcb, cookie, nullptr);
    m_window = owner ? owner->owner : 0;
    std::free(owner);
    if (!m_window) {
        qCDebug(lcUi) << "Direct save: the drag has no source window";
        return false;
    }
    const QByteArray name = fileName.toUtf8();
    xcb_change_property(xcb, XCB_PROP_MODE_REPLACE, m_window, m_property, m_textPlain, 8, uint32_t(name.size()),
                        name.constData());
    xcb_flush(xcb);
    qCDebug(lcUi) << "Direct save proposed" << fileName << "on window" << m_window;
    return true;
}

QByteArray XdndDirectSave::destinationUri() const
{
    xcb_connection_t* xcb = connection();
    if (!xcb || !m_window)
        return {};
    const xcb_get_property_cookie_t cookie
        = xcb_get_property(xcb, 0, m_window, m_property, XCB_GET_PROPERTY_TYPE_ANY, 0, kMaxPropertyWords);
    xcb_get_property_reply_t* reply = xcb_get_property_reply(xcb, cookie, nullptr);
    QByteArray uri;
    if (reply && reply->format == 8)
        uri = QByteArray(static_cast<const char*>(xcb_get_property_value(reply)), xcb_get_property_value_length(reply));
    std::free(reply);
    return uri;
}
