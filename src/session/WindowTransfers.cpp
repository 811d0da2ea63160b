#include "session/WindowTransfers.h"

#include "app/MyDocument.h"
#include "app/PlumoAppDelegate.h"
#include "engine/Downloader.h"
#include "engine/Uploader.h"
#include "model/FileDisplayCollection.h"
#include "session/CopySource.h"
#include "session/ServerCopy.h"
#include "session/ViewController.h"
#include "ui/FileDropTableView.h"
#include "util/MyUtil.h"
#include "util/PlumoException.h"
#include "util/Prompter.h"

#include "ui_MyDocument.h"

#include <QClipboard>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLabel>
#include <QLocale>
#include <QMimeData>
#include <QProgressBar>
#include <QPushButton>
#include <QTreeView>
#include <QUrl>

QStringList WindowTransfers::localPaths(const QList<QUrl>& urls)
{
    QStringList paths;
    for (const QUrl& url : urls) {
        if (url.isLocalFile())
            paths.append(url.toLocalFile());
    }
    return paths;
}

WindowTransfers::WindowTransfers(ViewController& controller)
    : m_controller(controller)
    , m_controlDisabler([&controller] { emit controller.stateChanged(); })
{ }

WindowTransfers::~WindowTransfers() = default;

void WindowTransfers::awakeFromNib(Ui::MyDocument& ui, QWidget* window)
{
    m_window = window;
    m_connectButton = ui.connectButton;
    m_cancelButton = ui.cancelButton;
    m_progress = ui.progress;
    m_progressBar = ui.progressBar;
    m_cancelButton->setText(MyUtil::localized("Cancel"));
    m_cancelButton->setEnabled(false);
    m_progress->clear();
    m_progressBar->setVisible(false);
    connect(m_cancelButton, &QPushButton::clicked, this, &WindowTransfers::cancelButton);
}

bool WindowTransfers::start(SendRecvThread::Proc proc, std::any param0, std::any param1)
{
    // One operation at a time: a second one would drive the same client from two threads.
    if (isRunning())
        return false;
    longProcessStart();
    m_progressThread = std::make_unique<SendRecvThread>();
    m_progressThread->setParam0(std::move(param0));
    m_progressThread->setParam1(std::move(param1));
    m_progressThread->startThread(proc, m_controller);
    return true;
}

void WindowTransfers::longProcessStart()
{
    m_conflicts = std::make_unique<SkipOverwrite>();
    m_cancel = false;
    if (m_connectButton)
        m_controlDisabler.disableButton(m_connectButton);
    if (m_window)
        m_controlDisabler.disableWindowCloseStyle(m_window);
    m_controller.client().setTransferProgress([this](qint64 done, qint64 total) { transferProgress(done, total); });
    setCanClose(false);
}

bool WindowTransfers::lendClient(bool lent)
{
    if (lent) {
        if (isRunning())
            return false;
        if (m_connectButton)
            m_controlDisabler.disableButton(m_connectButton);
        setCanClose(false);
        // Its own cancel would stop nothing: the paste belongs to the other window.
        if (m_cancelButton)
            m_cancelButton->setEnabled(false);
        return true;
    }
    m_controlDisabler.resetAll();
    m_controller.reloadViews();
    setCanClose(true);
    m_controller.longProcessEnded();
    return true;
}

void WindowTransfers::setCanClose(bool canClose)
{
    if (m_cancelButton)
        m_cancelButton->setEnabled(!canClose);
    m_controlDisabler.setCanClose(canClose);
    if (FileDropTableView* table = m_controller.fileView())
        table->setEnabled(canClose);
    if (QTreeView* tree = m_controller.directoryView())
        tree->setEnabled(canClose);
}

void WindowTransfers::cancelButton()
{
    m_cancel = true;
}

void WindowTransfers::endSubProcess()
{
    QMetaObject::invokeMethod(this, &WindowTransfers::mainThreadEndSubProcess, Qt::QueuedConnection);
}

void WindowTransfers::mainThreadEndSubProcess()
{
    m_controller.client().setTransferProgress({});
    {
        QMutexLocker lock(&m_titleLock);
        m_progressTitle.clear();
    }
    if (m_progress)
        m_progress->clear();
    if (m_progressBar)
        m_progressBar->setVisible(false);
    m_controlDisabler.resetAll();
    m_controller.reloadViews();
    setCanClose(true);
    m_controller.longProcessEnded();
}

void WindowTransfers::updateProgressTitle(const QString& fileName, const QString& directory, const char* formatKey)
{
    // Names come from the server or the disk: control characters are shown escaped.
    const QString text = fileName.isNull()
        ? MyUtil::localized(formatKey)
        : MyUtil::format(MyUtil::localized(formatKey), { MyUtil::printable(fileName), MyUtil::printable(directory) });
    {
        QMutexLocker lock(&m_titleLock);
        m_progressTitle = text;
        m_progressName = MyUtil::printable(fileName);
    }
    m_bytesDone = 0;
    m_bytesTotal = 0;
    QMetaObject::invokeMethod(this, &WindowTransfers::mainThreadUpdateProgressTitle, Qt::QueuedConnection);
}

QString WindowTransfers::progressTitle() const
{
    QMutexLocker lock(&m_titleLock);
    return m_progressTitle;
}

void WindowTransfers::mainThreadUpdateProgressTitle()
{
    if (m_progress && isRunning())
        m_progress->setText(progressTitle());
}

void WindowTransfers::transferProgress(qint64 done, qint64 total)
{
    m_bytesDone = done;
    m_bytesTotal = total;
    // One update waits in the GUI thread's queue at most; it shows the latest figures.
    if (!m_progressPosted.exchange(true))
        QMetaObject::invokeMethod(this, &WindowTransfers::mainThreadShowTransferProgress, Qt::QueuedConnection);
}

void WindowTransfers::mainThreadShowTransferProgress()
{
    m_progressPosted = false;
    if (!m_progressBar || !isRunning())
        return;
    const qint64 done = m_bytesDone;
    const qint64 total = m_bytesTotal;
    QString name;
    {
        QMutexLocker lock(&m_titleLock);
        name = m_progressName;
    }
    const QLocale locale;
    // The bar names the file itself: the progress line's text may be a bare key.
    if (total > 0) {
        m_progressBar->setRange(0, 1000);
        m_progressBar->setValue(int(std::min<qint64>(1000, done * 1000 / total)));
        m_progressBar->setFormat(
            MyUtil::format(MyUtil::localized("%@: %@ of %@"),
                           { name, locale.formattedDataSize(done), locale.formattedDataSize(total) }));
    } else {
        // The size is not known yet: a busy bar with the bytes so far.
        m_progressBar->setRange(0, 0);
        m_progressBar->setFormat(MyUtil::format(MyUtil::localized("%@: %@"), { name, locale.formattedDataSize(done) }));
    }
    m_progressBar->setVisible(true);
}

RemoteSession& WindowTransfers::session()
{
    return m_controller;
}

QString WindowTransfers::lastDirectory() const
{
    return onGuiThread(*this, [this] { return m_controller.owner().lastDirectory(); });
}

void WindowTransfers::setLastDirectory(const QString& directory)
{
    onGuiThread(*this, [this, &directory] { m_controller.owner().setLastDirectory(directory); });
}

bool WindowTransfers::fullpathListFileDisplay(FileDisplayCollection& listing)
{
    return onGuiThread(*this, [this, &listing] { return m_controller.fullpathListFileDisplay(listing); });
}

void WindowTransfers::addDummyDirectory(FileDisplayCollection& listing, const QString& name)
{
    onGuiThread(*this, [this, &listing, &name] { m_controller.addDummyDirectory(listing, name); });
}

WindowTransfers::Selection WindowTransfers::selection() const
{
    return onGuiThread(*this, [this] {
        Selection selection;
        FileDisplayCollection* shown = m_controller.shownListing();
        if (!shown || !m_controller.fileView())
            return selection;
        selection.listing = shown->sharedListing();
        for (const int row : m_controller.fileView()->selectedRows()) {
            if (FileDisplay* entry = shown->displayObjectAtIndex(row))
                selection.entries.append(entry->shared_from_this());
        }
        return selection;
    });
}

bool WindowTransfers::storePaths(const QStringList& paths, FileDisplayCollection& listing, bool report,
                                 QStringList* added)
{
    Uploader uploader(*this, listing, *m_conflicts);
    for (const QString& path : paths) {
        if (added)
            added->append(path);
        const QFileInfo item(path);
        if (!item.exists() && !item.isSymLink())
            continue;
        const bool stored = MyUtil::isDirectory(path) ? uploader.storeDirectory(path) : uploader.storeFile(path);
        if (!stored) {
            if (report)
                MyUtil::messageBoxInternational("STOR failed");
            return false;
        }
        if (isCanceled())
            break;
    }
    return true;
}

void WindowTransfers::showUploaded(const std::shared_ptr<FileDisplayCollection>& listing, const QStringList& added)
{
    onGuiThread(*this, [this, &listing, &added] {
        if (!m_controller.isConnected())
            return;
        m_controller.directorySelectionHasChanged(*listing);
        m_controller.resetDirectoryView();
        m_controller.selectAddedFiles(added);
    });
}

void WindowTransfers::addFileSubThread()
{
    const QString path = Prompter::instance().chooseOpenPath(lastDirectory());
    if (path.isEmpty())
        return;
    const std::shared_ptr<FileDisplayCollection> listing = onGuiThread(*this, [this] {
        std::shared_ptr<FileDisplayCollection> shown;
        if (FileDisplayCollection* current = m_controller.shownListing()) {
            shown = current->sharedListing();
            m_controller.silentDirectorySelectionHasChanged(*current);
        }
        return shown;
    });
    if (!listing)
        return;
    storePaths({ path }, *listing, true, nullptr);
    showUploaded(listing, { path });
}

void WindowTransfers::droppedFromFinderSubThread(const QStringList& paths,
                                                 const std::shared_ptr<FileDisplayCollection>& listing)
{
    QStringList added;
    storePaths(paths, *listing, true, &added);
    showUploaded(listing, added);
}

void WindowTransfers::pasteFromFinderSubThread()
{
    const auto [listing, paths] = onGuiThread(*this, [this] {
        std::pair<std::shared_ptr<FileDisplayCollection>, QStringList> taken;
        if (FileDisplayCollection* shown = m_controller.shownListing())
            taken.first = shown->sharedListing();
        if (const QMimeData* clipboard = QGuiApplication::clipboard()->mimeData())
            taken.second = localPaths(clipboard->urls());
        return taken;
    });
    if (!listing)
        return;
    // A failure has been reported by the step that failed; the paste adds no message of its own.
    storePaths(paths, *listing, false, nullptr);
    showUploaded(listing, paths);
}

QList<FileDisplay*> WindowTransfers::Selection::entryList() const
{
    QList<FileDisplay*> list;
    for (const auto& entry : entries)
        list.append(entry.get());
    return list;
}

void WindowTransfers::retrieveFileSubThread()
{
    const Selection selected = selection();
    if (selected.listing)
        Downloader(*this, *selected.listing, *m_conflicts).retrieveFiles(selected.entryList());
}

void WindowTransfers::retrieveDroppedFileSubThread(const QString& destination)
{
    const Selection selected = selection();
    if (selected.listing)
        Downloader(*this, *selected.listing, *m_conflicts).retrieveDroppedFile(selected.entryList(), destination);
}

void WindowTransfers::pasteSubThread()
{
    const auto [listing, sources] = onGuiThread(*this, [this] {
        std::pair<std::shared_ptr<FileDisplayCollection>, QList<CopySource>> taken;
        if (FileDisplayCollection* shown = m_controller.shownListing())
            taken.first = shown->sharedListing();
        if (const PlumoAppDelegate* app = PlumoAppDelegate::instance())
            taken.second = app->copyFileArray();
        return taken;
    });
    if (!listing)
        return;
    // One record holds copies or cuts, never both.
    const bool isCut = !sources.isEmpty() && sources.first().isCut();
    ServerCopy copy(*this, m_controller, *m_conflicts, listing->fullPath(), isCut);
    QStringList pasted;
    try {
        for (const CopySource& source : sources) {
            pasted.append(source.fullPath());
            source.copyTo(copy);
            if (isCanceled())
                break;
        }
    } catch (const PlumoException& error) {
        MyUtil::messageBox(error.reason());
        return;
    }
    if (isCut && copy.keptCount() > 0)
        MyUtil::messageBox(MyUtil::format(MyUtil::localized("%d skipped entries were kept at the source"),
                                          { QString::number(copy.keptCount()) }));
    showUploaded(listing, pasted);
}
