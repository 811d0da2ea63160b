#include "session/SendRecvThread.h"

#include "model/FileDisplayCollection.h"
#include "session/SessionLog.h"
#include "session/ViewController.h"
#include "session/WindowTransfers.h"
#include "ui/WidgetPrompter.h"

#include <QStringList>

#include <exception>
#include <memory>

SendRecvThread::~SendRecvThread()
{
    if (m_thread.joinable())
        m_thread.join();
}

void SendRecvThread::startThread(quintptr proc, ViewController& controller)
{
    m_proc = proc;
    m_controller = &controller;
    m_thread = std::thread([this] { threadProc(); });
}

void SendRecvThread::threadProc()
{
    WindowTransfers& transfers = m_controller->transfers();
    // The operation's questions and panels belong to its window.
    WidgetPrompter::setThreadWindow(m_controller->mainWindow());
    try {
        switch (m_proc) {
        case kRetrieveFile:
            transfers.retrieveFileSubThread();
            break;
        case kRetrieveDroppedFile:
            transfers.retrieveDroppedFileSubThread(std::any_cast<QString>(m_param0));
            break;
        case kAddFile:
            transfers.addFileSubThread();
            break;
        case kPaste:
            transfers.pasteSubThread();
            break;
        case kPasteFromFinder:
            transfers.pasteFromFinderSubThread();
            break;
        case kDroppedFromFinder:
            transfers.droppedFromFinderSubThread(std::any_cast<QStringList>(m_param0),
                                                 std::any_cast<std::shared_ptr<FileDisplayCollection>>(m_param1));
            break;
        default:
            break;
        }
    } catch (const std::exception& error) {
        // The operations report their own failures; what escapes them only ends the operation.
        qCDebug(lcSession, "long operation ended by an exception: %s", error.what());
    } catch (...) {
        qCDebug(lcSession, "long operation ended by an exception");
    }
    transfers.endSubProcess();
}
