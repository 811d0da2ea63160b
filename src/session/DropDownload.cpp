#include "session/DropDownload.h"

#include "session/SessionLog.h"
#include "session/ViewController.h"

#include <QEventLoop>
#include <QTimer>

DropDownload::DropDownload(ViewController& controller, std::chrono::milliseconds deadline)
    : m_controller(&controller)
    , m_deadline(deadline)
{ }

bool DropDownload::retrieveInto(const QString& folder) const
{
    // The window may have closed since the drag began; one operation runs at a time.
    if (!m_controller || !m_controller->canClose())
        return false;
    QEventLoop loop;
    QObject::connect(m_controller.data(), &ViewController::stateChanged, &loop, [this, &loop] {
        if (!m_controller || m_controller->canClose())
            loop.quit();
    });
    QObject::connect(m_controller.data(), &QObject::destroyed, &loop, &QEventLoop::quit);
    m_controller->retrieveDroppedFile(folder);
    // The operation starts at once or not at all: the window is busy from here to its end.
    if (m_controller->canClose())
        return false;
    QTimer deadline;
    deadline.setSingleShot(true);
    QObject::connect(&deadline, &QTimer::timeout, &loop, &QEventLoop::quit);
    deadline.start(m_deadline);
    loop.exec();
    const bool ended = m_controller && m_controller->canClose();
    if (!ended)
        qCDebug(lcSession) << "Drop download into" << folder << "still runs past its deadline";
    return ended;
}
