#include "session/ControlDisabler.h"

#include <QAbstractButton>
#include <QWidget>
#include <QWindow>

namespace {

// Changes the decorations of a shown window in place: QWidget::setWindowFlags would re-create the
// native window, which hides it and may move it.
void applyWindowFlags(QWidget& window, Qt::WindowFlags flags)
{
    window.overrideWindowFlags(flags);
    if (QWindow* handle = window.windowHandle())
        handle->setFlags(flags);
}

} // namespace

ControlDisabler::ControlDisabler(std::function<void()> canCloseChanged)
    : m_canCloseChanged(std::move(canCloseChanged))
{ }

void ControlDisabler::disableButton(QAbstractButton* button)
{
    m_buttons.append(button);
    button->setEnabled(false);
}

void ControlDisabler::disableWindowCloseStyle(QWidget* window)
{
    const Qt::WindowFlags flags = window->windowFlags();
    m_frames.append({ window, flags });
    // Hints only count with CustomizeWindowHint; keep every decoration but the close control.
    applyWindowFlags(
        *window,
        (flags | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinMaxButtonsHint)
            & ~Qt::WindowCloseButtonHint);
}

void ControlDisabler::resetAll()
{
    for (const QPointer<QAbstractButton>& button : std::as_const(m_buttons)) {
        if (button)
            button->setEnabled(true);
    }
    m_buttons.clear();
    for (const Frame& frame : std::as_const(m_frames)) {
        if (frame.window)
            applyWindowFlags(*frame.window, frame.flags);
    }
    m_frames.clear();
    setCanClose(true);
}

void ControlDisabler::setCanClose(bool canClose)
{
    m_canClose = canClose;
    if (m_canCloseChanged)
        m_canCloseChanged();
}
