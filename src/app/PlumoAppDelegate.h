#pragma once

#include "app/MenuEnabler.h"

#include <QIcon>
#include <QList>
#include <QPointer>
#include <QStringList>

class CopySource;
class ViewController;

// The application's one delegate: the menu rules, the two icons of the file table and the copy
// buffer that carries entries from one window to another. Made once by main (or a test) and
// reachable through instance() while it lives. Used on the GUI thread.
//
// The copy buffer lives on the clipboard under a private type: a cut flag byte, then the entry
// count and each entry's length as unsigned machine words in the machine's byte order, each
// length followed by the entry's full remote path in UTF-8. An empty buffer is the type with no
// bytes.
class PlumoAppDelegate final
{
public:
    PlumoAppDelegate();
    ~PlumoAppDelegate();
    Q_DISABLE_COPY_MOVE(PlumoAppDelegate)

    // The delegate alive now, or null.
    static PlumoAppDelegate* instance();

    const QIcon& folderImage() const { return m_folderImage; }
    const QIcon& documentImage() const { return m_documentImage; }
    MenuEnabler& menuEnabler() { return m_menuEnabler; }

    static const char* const kCopyBufferType;
    static QByteArray copyRecord(const QStringList& paths, bool isCut);
    // The paths and cut flag of a record; nothing for an empty or malformed one.
    static QStringList pathsOfRecord(const QByteArray& record, bool* isCut);

    // Puts the full paths of entries of controller's window into the buffer.
    void copyData(const QStringList& paths, bool isCut, ViewController* controller);
    QList<CopySource> copyFileArray() const;
    // 1 when the buffer holds entries, else 0.
    int copyCount() const;
    void emptyCopy();
    // The window controller disconnects: a buffer taken from it (or from no known window) goes.
    void controllerDisconnect(const ViewController* controller);

private:
    QByteArray clipboardRecord() const;

    QIcon m_folderImage;
    QIcon m_documentImage;
    MenuEnabler m_menuEnabler;
    QPointer<ViewController> m_controller;
};
