#include "session/ServerCopy.h"

#include "engine/SkipOverwrite.h"
#include "model/FileDisplayCollection.h"
#include "protocol/ContentSink.h"
#include "session/GuiThread.h"
#include "session/ViewController.h"
#include "session/WindowTransfers.h"
#include "util/MyUtil.h"
#include "util/PlumoException.h"

#include <QTemporaryFile>

namespace {

[[noreturn]] void fail(const char* name, const QString& message)
{
    throw PlumoException(QString::fromLatin1(name), message);
}

[[noreturn]] void failWith(const char* name, const char* key)
{
    fail(name, MyUtil::localized(key));
}

// Lists a listing anew in its window and keeps it alive while the worker walks it.
std::shared_ptr<FileDisplayCollection> relisted(ViewController& window, FileDisplayCollection& listing)
{
    return onGuiThread(window, [&window, &listing] {
        auto keep = listing.sharedListing();
        window.fullpathListFileDisplay(listing);
        return keep;
    });
}

std::shared_ptr<FileDisplay> entryNamed(ViewController& window, FileDisplayCollection& listing, const QString& title)
{
    return onGuiThread(window, [&listing, &title] {
        FileDisplay* entry = listing.fileDisplay(title);
        return entry && entry != &listing ? entry->shared_from_this() : std::shared_ptr<FileDisplay>();
    });
}

} // namespace

ServerCopy::ServerCopy(WindowTransfers& host, ViewController& destination, SkipOverwrite& conflicts,
                       const QString& savedCurDir, bool isCut)
    : m_host(host)
    , m_destination(destination)
    , m_conflicts(conflicts)
    , m_savedCurDir(savedCurDir)
    , m_cut(isCut)
{ }

void ServerCopy::removeAtSource(ViewController& source, const FileDisplayCollection& directory, const QString& name,
                                bool isDirectory)
{
    if (!m_cut || m_host.isCanceled())
        return;
    PlumoClient& client = source.client();
    client.setCurrentDirectory(directory.fullPath());
    if (!(isDirectory ? client.rmd(name) : client.rm(name)))
        fail("recursiveCopyDirectory", MyUtil::internationalFormat("remove failed", name));
}

std::unique_ptr<QTemporaryFile> ServerCopy::fetch(PlumoClient& client, const QString& name)
{
    auto file = std::make_unique<QTemporaryFile>();
    if (!file->open())
        return nullptr;
    FileSink sink(*file);
    if (!client.retr(name, sink) || !file->flush())
        return nullptr;
    return file;
}

std::shared_ptr<FileDisplayCollection> ServerCopy::listedTarget()
{
    const std::shared_ptr<FileDisplayCollection> target = onGuiThread(m_destination, [this] {
        std::shared_ptr<FileDisplayCollection> listing = m_destination.findListing(m_savedCurDir);
        if (listing)
            m_destination.fullpathListFileDisplay(*listing);
        return listing;
    });
    if (!target)
        failWith("copyTo", "STOR failed");
    return target;
}

ServerCopy::Stored ServerCopy::storeFile(const QString& name, const QString& localPath)
{
    const std::shared_ptr<FileDisplayCollection> target
        = onGuiThread(m_destination, [this] { return m_destination.findListing(m_savedCurDir); });
    if (!target)
        failWith("copyTo", "STOR failed");
    if (entryNamed(m_destination, *target, name) && m_conflicts.isSkipRemoteFile(name)) {
        ++m_kept;
        return Stored::Skipped;
    }
    PlumoClient& client = m_destination.client();
    m_host.updateProgressTitle(name, client.currentDirectory(), "Storing:");
    client.setCurrentDirectory(m_savedCurDir);
    if (!client.storFile(name, localPath))
        failWith("copyTo", "STOR failed");
    return Stored::Copied;
}

bool ServerCopy::copyDirectory(FileDisplayCollection& sourceDirectory, ViewController& source)
{
    const QString sourcePath = sourceDirectory.fullPath();
    const QString name = sourceDirectory.fileTitle();
    // Listed in its own window, so its entries are known; the node is taken again afterwards.
    const std::shared_ptr<FileDisplayCollection> sourceNode
        = onGuiThread(source, [&source, &sourceDirectory, &sourcePath] {
              source.silentDirectorySelectionHasChanged(sourceDirectory);
              return source.findListing(sourcePath);
          });
    if (!sourceNode)
        failWith("copyDirectory", "LIST failed");

    const std::shared_ptr<FileDisplayCollection> targetNode = listedTarget();
    FileDisplayCollection& target = *targetNode;
    PlumoClient& client = m_destination.client();
    const std::shared_ptr<FileDisplay> existing = entryNamed(m_destination, target, name);
    if (existing) {
        if (m_conflicts.isSkipRemoteFile(name)) {
            ++m_kept;
            return false;
        }
        if (!existing->isDirectory()) {
            client.setCurrentDirectory(m_savedCurDir);
            if (!client.rm(name))
                fail("copyDirectory", MyUtil::internationalFormat("remove failed", name));
        }
    }
    if (!existing || !existing->isDirectory()) {
        client.setCurrentDirectory(m_savedCurDir);
        if (!client.mkd(name))
            failWith("copyDirectory", "MKD failed");
    }
    relisted(m_destination, target);
    const std::shared_ptr<FileDisplay> made = entryNamed(m_destination, target, name);
    FileDisplayCollection* directory = made && made->isDirectory() ? made->asCollection() : nullptr;
    if (!directory)
        failWith("copyDirectory", "LIST failed");
    return recursiveCopyDirectory(*directory, name, *sourceNode, source);
}

bool ServerCopy::recursiveCopyDirectory(FileDisplayCollection& target, const QString& relativePath,
                                        FileDisplayCollection& sourceDirectory, ViewController& source)
{
    bool whole = true;
    PlumoClient& client = m_destination.client();
    for (qsizetype index = 0;; ++index) {
        const std::shared_ptr<FileDisplay> entry = onGuiThread(source, [&sourceDirectory, index] {
            FileDisplay* at
                = index < sourceDirectory.displayCount() ? sourceDirectory.displayObjectAtIndex(index) : nullptr;
            return at ? at->shared_from_this() : std::shared_ptr<FileDisplay>();
        });
        if (!entry)
            break;
        const QString title = entry->fileTitle();
        relisted(m_destination, target);
        std::shared_ptr<FileDisplay> existing = entryNamed(m_destination, target, title);
        if (FileDisplayCollection* sourceChild = entry->isDirectory() ? entry->asCollection() : nullptr) {
            const QString childPath = relativePath + u'/' + title;
            if (existing && m_conflicts.isSkipRemoteFile(childPath)) {
                ++m_kept;
                whole = false;
                continue;
            }
            if (existing && !existing->isDirectory()) {
                client.setCurrentDirectory(target.fullPath());
                if (!client.rm(title))
                    fail("recursiveCopyDirectory", MyUtil::internationalFormat("remove failed", title));
                existing.reset();
            }
            if (!existing) {
                client.setCurrentDirectory(target.fullPath());
                if (!client.mkd(title))
                    failWith("recursiveCopyDirectory", "MKD failed");
                relisted(m_destination, target);
                existing = entryNamed(m_destination, target, title);
            }
            FileDisplayCollection* targetChild
                = existing && existing->isDirectory() ? existing->asCollection() : nullptr;
            if (!targetChild)
                failWith("recursiveCopyDirectory", "MKD failed");
            relisted(source, *sourceChild);
            if (recursiveCopyDirectory(*targetChild, childPath, *sourceChild, source))
                removeAtSource(source, sourceDirectory, title, true);
            else
                whole = false;
        } else {
            if (existing
                && m_conflicts.isSkipRemoteFile(MyUtil::format(QStringLiteral("%@/%@"), { relativePath, title }))) {
                ++m_kept;
                whole = false;
                continue;
            }
            if (existing && existing->isDirectory()) {
                client.setCurrentDirectory(target.fullPath());
                if (!client.rmd(title))
                    fail("recursiveCopyDirectory", MyUtil::internationalFormat("remove failed", title));
            }
            PlumoClient& sourceClient = source.client();
            m_host.updateProgressTitle(title, sourceDirectory.fullPath(), "Fetching:");
            sourceClient.setCurrentDirectory(sourceDirectory.fullPath());
            const std::unique_ptr<QTemporaryFile> content = fetch(sourceClient, title);
            if (!content)
                failWith("recursiveCopyDirectory", "RETR failed");
            m_host.updateProgressTitle(title, target.fullPath(), "Storing:");
            client.setCurrentDirectory(target.fullPath());
            if (!client.storFile(title, content->fileName()))
                failWith("recursiveCopyDirectory", "STOR failed");
            removeAtSource(source, sourceDirectory, title, false);
        }
        if (m_host.isCanceled())
            return false;
    }
    return whole;
}
