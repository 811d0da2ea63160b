#include "session/CopySource.h"

#include "app/PlumoAppDelegate.h"
#include "model/FileDisplayCollection.h"
#include "session/GuiThread.h"
#include "session/ServerCopy.h"
#include "session/ViewController.h"
#include "session/WindowTransfers.h"
#include "util/MyUtil.h"
#include "util/PlumoException.h"

#include <QTemporaryFile>

namespace {

[[noreturn]] void fail(const QString& message)
{
    throw PlumoException(QStringLiteral("copyTo"), message);
}

} // namespace

CopySource::CopySource(const QString& fullPath, bool isCut, ViewController* sourceController)
    : m_cut(isCut)
    , m_srcController(sourceController)
{
    const qsizetype slash = fullPath.lastIndexOf(u'/');
    m_directory = slash <= 0 ? QStringLiteral("/") : fullPath.left(slash);
    m_fileName = fullPath.mid(slash + 1);
}

QString CopySource::fullPath() const
{
    return m_directory.endsWith(u'/') ? QString(m_directory + m_fileName) : QString(m_directory + u'/' + m_fileName);
}

void CopySource::copyTo(ServerCopy& destination) const
{
    ViewController* source = m_srcController;
    if (!source)
        fail(MyUtil::localized("source file not found"));
    ViewController& target = destination.destination();
    const bool otherWindow = source != &target;
    PlumoClient& client = source->client();
    const QString clientDirectory = client.currentDirectory();
    const QString treeDirectory = onGuiThread(*source, [source] { return source->tree().currentDirectory(); });
    // The paste drives the source window's client: that window starts nothing meanwhile.
    if (otherWindow && !onGuiThread(*source, [source] { return source->transfers().lendClient(true); }))
        fail(MyUtil::localized("the source window is busy"));
    const auto restore = [&] {
        client.setCurrentDirectory(clientDirectory);
        if (!otherWindow)
            return;
        onGuiThread(*source, [source, &treeDirectory] {
            if (const auto listing = source->findListing(treeDirectory))
                source->silentDirectorySelectionHasChanged(*listing);
            source->transfers().lendClient(false);
        });
    };
    try {
        copyEntry(destination, *source);
        if (m_cut) {
            onGuiThread(target, [] {
                if (PlumoAppDelegate* app = PlumoAppDelegate::instance())
                    app->emptyCopy();
            });
        }
    } catch (...) {
        restore();
        throw;
    }
    restore();
}

void CopySource::copyEntry(ServerCopy& destination, ViewController& source) const
{
    WindowTransfers& host = destination.host();
    PlumoClient& client = source.client();
    // Looked up anew: the entry may have gone since it was copied.
    const std::shared_ptr<FileDisplay> entry = onGuiThread(source, [this, &source] {
        FileDisplayCollection* directory = source.listedDirectory(m_directory);
        if (!directory || !source.fullpathListFileDisplay(*directory))
            return std::shared_ptr<FileDisplay>();
        FileDisplay* found = directory->fileDisplay(m_fileName);
        return found && found != directory ? found->shared_from_this() : std::shared_ptr<FileDisplay>();
    });
    if (!entry)
        fail(MyUtil::localized("source file not found"));

    bool whole = false;
    if (FileDisplayCollection* directory = entry->isDirectory() ? entry->asCollection() : nullptr) {
        // Into itself, the copy would go on copying what it has just made.
        const QString target = destination.savedCurDir();
        if (&source == &destination.destination() && (target == fullPath() || target.startsWith(fullPath() + u'/')))
            fail(MyUtil::localized("cannot paste a folder into itself"));
        whole = destination.copyDirectory(*directory, source);
    } else {
        host.updateProgressTitle(m_fileName, m_directory, "Fetching:");
        client.setCurrentDirectory(m_directory);
        const std::unique_ptr<QTemporaryFile> content = ServerCopy::fetch(client, m_fileName);
        if (!content)
            fail(MyUtil::localized("RETR failed"));
        if (!host.isCanceled())
            whole = destination.storeFile(m_fileName, content->fileName()) == ServerCopy::Stored::Copied;
    }
    // A cut entry goes only when all of it arrived: a skipped one would otherwise exist nowhere.
    if (m_cut && whole && !host.isCanceled()) {
        client.setCurrentDirectory(m_directory);
        const bool removed = entry->isDirectory() ? client.rmd(m_fileName) : client.rm(m_fileName);
        if (!removed)
            fail(MyUtil::internationalFormat("remove failed", m_fileName));
    }
}
