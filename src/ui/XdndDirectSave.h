#pragma once

#include <QByteArray>
#include <QString>

#include <memory>

// The X11 side of a direct save (the XdndDirectSave0 protocol): the proposed file name set on the
// window that is the source of the running drag, and the destination URI that the drop target
// writes back there before it asks for the "XdndDirectSave0" data. The property goes with this
// object.
class XdndDirectSave final
{
public:
    // Null unless the application runs on the xcb platform.
    static std::unique_ptr<XdndDirectSave> create();
    ~XdndDirectSave();
    XdndDirectSave(const XdndDirectSave&) = delete;
    XdndDirectSave& operator=(const XdndDirectSave&) = delete;

    // Puts the name on the owner of the drag selection, which exists once the drag has started.
    bool propose(const QString& fileName);
    // The property as the target left it: the destination URI, or the proposed name while the
    // target has written nothing.
    QByteArray destinationUri() const;

private:
    XdndDirectSave(quint32 property, quint32 textPlain, quint32 selection);

    quint32 m_property;
    quint32 m_textPlain;
    quint32 m_selection;
    quint32 m_window = 0;
};
