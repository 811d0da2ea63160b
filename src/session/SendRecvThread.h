#pragma once

#include <QtGlobal>

#include <any>
#include <thread>

class ViewController;

// The launcher of one long operation of a window: runs the operation's body on a worker thread of
// its own and, however the body ends, hands the end of the operation back to the window's GUI
// thread. The window keeps the launcher of its last operation; replacing or destroying it waits
// for that worker, which has nothing left to do by then.
class SendRecvThread final
{
public:
    enum Proc : quintptr {
        kRetrieveFile = 1,
        kRetrieveDroppedFile = 2, // param0: the local destination folder (QString)
        kAddFile = 3,
        kPaste = 4,
        kPasteFromFinder = 5,
        kDroppedFromFinder = 6, // param0: the dropped local paths (QStringList); param1: the target listing
    };

    SendRecvThread() = default;
    ~SendRecvThread();
    Q_DISABLE_COPY_MOVE(SendRecvThread)

    void setParam0(std::any param) { m_param0 = std::move(param); }
    void setParam1(std::any param) { m_param1 = std::move(param); }

    void startThread(quintptr proc, ViewController& controller);

private:
    void threadProc();

    ViewController* m_controller = nullptr;
    quintptr m_proc = 0;
    std::any m_param0;
    std::any m_param1;
    std::thread m_thread;
};
