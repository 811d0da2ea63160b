#pragma once

#include <QList>
#include <QPointer>

#include <functional>

class QAbstractButton;
class QWidget;

// Disables the controls of a window while a long operation runs in it, remembers what it
// disabled, and gives it all back at the end. Its canClose flag is what the window and the
// application ask before they close or quit.
class ControlDisabler final
{
public:
    // canCloseChanged is called whenever the flag is set, so the application can recompute
    // whether it may quit.
    explicit ControlDisabler(std::function<void()> canCloseChanged);
    Q_DISABLE_COPY_MOVE(ControlDisabler)

    void disableButton(QAbstractButton* button);
    // Takes the close control off the window's title bar.
    void disableWindowCloseStyle(QWidget* window);
    // Restores everything recorded, empties the records, and makes the window closable again.
    void resetAll();

    bool canClose() const { return m_canClose; }
    void setCanClose(bool canClose);

private:
    struct Frame
    {
        QPointer<QWidget> window;
        Qt::WindowFlags flags;
    };

    QList<QPointer<QAbstractButton>> m_buttons;
    QList<Frame> m_frames;
    bool m_canClose = true;
    std::function<void()> m_canCloseChanged;
};
