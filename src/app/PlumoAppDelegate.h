#pragma once

#include "app/MenuEnabler.h"

#include <QIcon>

// The application's one delegate: the menu rules and the two icons of the file table. Made once
// by main (or a test) and reachable through instance() while it lives.
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

private:
    QIcon m_folderImage;
    QIcon m_documentImage;
    MenuEnabler m_menuEnabler;
};
