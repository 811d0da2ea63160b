#pragma once

#include "engine/SkipOverwrite.h"
#include "engine/TransferHost.h"
#include "session/ControlDisabler.h"
#include "session/GuiThread.h"
#include "session/SendRecvThread.h"

#include <QMutex>
#include <QObject>
#include <QPointer>
#include <QStringList>

#include <any>
#include <atomic>
#include <memory>

class FileDisplay;
class FileDisplayCollection;
class QLabel;
class QProgressBar;
class QPushButton;
class QUrl;
class ViewController;

namespace Ui {
class MyDocument;
}

// The long operations of one window: uploads and downloads run on a worker thread while the
// window stays responsive, with its controls disabled, a progress line and bar, a cancel button,
// and the skip-or-overwrite question at each name conflict. The worker never touches a widget or
// the model that the views show: every such step (a listing, a panel, a question, a selection) is
// handed to the GUI thread, and the worker waits for it.
class WindowTransfers final : public QObject, public TransferHost
{
    Q_OBJECT

public:
    explicit WindowTransfers(ViewController& controller);
    ~WindowTransfers() override;

    void awakeFromNib(Ui::MyDocument& ui, QWidget* window);

    // GUI thread. Starts an operation unless one runs already (then nothing happens: false).
    bool start(SendRecvThread::Proc proc, std::any param0 = {}, std::any param1 = {});
    bool isRunning() const { return !m_controlDisabler.canClose(); }
    // YES: the window is idle; NO: an operation runs (the cancel button, table and tree follow).
    void setCanClose(bool canClose);
    // The local files among the URLs of a drag or of the clipboard.
    static QStringList localPaths(const QList<QUrl>& urls);
    // Another window's paste drives this window's client: lent, the window starts nothing and
    // cannot close; false when an operation of its own runs.
    bool lendClient(bool lent);
    ControlDisabler& controlDisabler() { return m_controlDisabler; }
    QString progressTitle() const;
    void cancelButton();

    // The operations' bodies, on the worker thread.
    void addFileSubThread();
    void droppedFromFinderSubThread(const QStringList& paths, const std::shared_ptr<FileDisplayCollection>& listing);
    void pasteFromFinderSubThread();
    void retrieveFileSubThread();
    void retrieveDroppedFileSubThread(const QString& destination);
    // The copy buffer into the shown directory.
    void pasteSubThread();
    // The worker's last step: the window is restored on the GUI thread, without waiting.
    void endSubProcess();

    // TransferHost, called by the worker.
    RemoteSession& session() override;
    bool isCanceled() const override { return m_cancel; }
    void setCancel(bool cancel) override { m_cancel = cancel; }
    void updateProgressTitle(const QString& fileName, const QString& directory, const char* formatKey) override;
    QString lastDirectory() const override;
    void setLastDirectory(const QString& directory) override;
    bool fullpathListFileDisplay(FileDisplayCollection& listing) override;
    void addDummyDirectory(FileDisplayCollection& listing, const QString& name) override;

private:
    void longProcessStart();
    void mainThreadEndSubProcess();
    void mainThreadUpdateProgressTitle();
    // Bytes done and total of the file under way, from the exchange thread.
    void transferProgress(qint64 done, qint64 total);
    void mainThreadShowTransferProgress();
    // The shown listing and its selected entries, kept alive for the operation.
    struct Selection
    {
        std::shared_ptr<FileDisplayCollection> listing;
        QList<std::shared_ptr<FileDisplay>> entries;
        QList<FileDisplay*> entryList() const;
    };
    Selection selection() const;
    // Uploads local paths into a listing; false after a failure (reported when report is set).
    bool storePaths(const QStringList& paths, FileDisplayCollection& listing, bool report, QStringList* added);
    // After an upload: the listing again from the server, the added names selected.
    void showUploaded(const std::shared_ptr<FileDisplayCollection>& listing, const QStringList& added);

    ViewController& m_controller;
    QPointer<QWidget> m_window;
    QPushButton* m_connectButton = nullptr;
    QPushButton* m_cancelButton = nullptr;
    QLabel* m_progress = nullptr;
    QProgressBar* m_progressBar = nullptr;
    ControlDisabler m_controlDisabler;
    std::unique_ptr<SendRecvThread> m_progressThread;
    // The question at name conflicts, new for each operation, so its first conflict is always asked.
    std::unique_ptr<SkipOverwrite> m_conflicts;
    std::atomic<bool> m_cancel = false;
    mutable QMutex m_titleLock;
    QString m_progressTitle;
    QString m_progressName; // the file under way, shown escaped
    std::atomic<qint64> m_bytesDone = 0;
    std::atomic<qint64> m_bytesTotal = 0;
    std::atomic<bool> m_progressPosted = false;
};
