#include "engine/Uploader.h"

#include "engine/RemoteSession.h"
#include "engine/SkipOverwrite.h"
#include "engine/TransferHost.h"
#include "model/FileDisplayCollection.h"
#include "util/MyUtil.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

Uploader::Uploader(TransferHost& host, FileDisplayCollection& target, SkipOverwrite& conflicts)
    : m_host(host)
    , m_target(target)
    , m_conflicts(conflicts)
{ }

bool Uploader::send(const QString& localPath, const QString& remoteName)
{
    PlumoClient& client = m_host.session().client();
    m_host.updateProgressTitle(remoteName, client.currentDirectory(), "Storing:");
    // Streamed from the file; one that cannot be read is still sent, empty.
    if (!client.storFile(remoteName, localPath))
        return false;
    m_host.transferred(remoteName, QFileInfo(localPath).size());
    return true;
}

bool Uploader::storeFile(const QString& localPath)
{
    const QString name = QFileInfo(localPath).fileName();
    bool isDir = false;
    if (m_target.hasPath(name, &isDir) && m_conflicts.isSkipRemoteFile(name))
        return true;
    // The names just tested are those of the target, whatever an earlier item left the client in.
    m_host.session().client().setCurrentDirectory(m_target.fullPath());
    return send(localPath, name);
}

bool Uploader::storeDirectory(const QString& localPath)
{
    return storeDirectoryRecursive(localPath, QFileInfo(localPath).fileName());
}

bool Uploader::storeDirectoryRecursive(const QString& localPath, const QString& relativePath)
{
    const int made = makeDirectory(relativePath);
    if (made < 0)
        return false;
    if (made == 0)
        return true;
    const QString canonical = QFileInfo(localPath).canonicalFilePath();
    if (m_walking.contains(canonical))
        return true;
    m_walking.append(canonical);
    const bool stored = storeChildren(localPath, relativePath);
    m_walking.removeLast();
    return stored;
}

bool Uploader::storeChildren(const QString& localPath, const QString& relativePath)
{
    const QDir dir(localPath);
    const QStringList items = dir.entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System, QDir::Name);
    for (const QString& item : items) {
        if (item.startsWith(u'.'))
            continue;
        const QString local = dir.filePath(item);
        const QString relative = relativePath + u'/' + item;
        if (MyUtil::isDirectory(local)) {
            if (!storeDirectoryRecursive(local, relative))
                return false;
        } else {
            FileDisplay* node = m_target.fileDisplay(relativePath);
            FileDisplayCollection* listing = node ? node->asCollection() : nullptr;
            if (!listing)
                return false;
            m_host.session().client().setCurrentDirectory(listing->fullPath());
            bool isDir = false;
            if (listing->hasPath(item, &isDir) && m_conflicts.isSkipRemoteFile(item))
                continue;
            if (!send(local, item)) {
                MyUtil::messageBoxInternational("STOR failed");
                return false;
            }
        }
        if (m_host.isCanceled())
            return true;
    }
    return true;
}

QPair<QString, QString> Uploader::remoteParts(const QString& relativePath) const
{
    const QString base = m_target.fullPath();
    const QString full = base.endsWith(u'/') ? QString(base + relativePath) : QString(base + u'/' + relativePath);
    const qsizetype slash = full.lastIndexOf(u'/');
    // An item directly under the root acts in "/": an empty directory is no absolute path, and
    // servers refuse it.
    return { slash == 0 ? QStringLiteral("/") : full.left(slash), full.mid(slash + 1) };
}

int Uploader::makeDirectory(const QString& relativePath)
{
    PlumoClient& client = m_host.session().client();
    if (FileDisplay* existing = m_target.fileDisplay(relativePath)) {
        if (FileDisplayCollection* listing = existing->asCollection(); listing && existing->isDirectory()) {
            // Merge into it: its names are needed for the conflict tests below.
            m_host.fullpathListFileDisplay(*listing);
            return 1;
        }
        if (m_conflicts.isSkipRemoteFile(relativePath))
            return 0;
        const auto [directory, name] = remoteParts(relativePath);
        client.setCurrentDirectory(directory);
        if (!client.rm(name))
            return -1;
    }
    const auto [directory, name] = remoteParts(relativePath);
    client.setCurrentDirectory(directory);
    if (!client.mkd(name))
        return -1;
    const qsizetype slash = relativePath.lastIndexOf(u'/');
    if (slash >= 0) {
        FileDisplay* parent = m_target.fileDisplay(relativePath.left(slash));
        if (FileDisplayCollection* listing = parent ? parent->asCollection() : nullptr)
            m_host.addDummyDirectory(*listing, name);
    } else {
        m_host.fullpathListFileDisplay(m_target);
    }
    return 1;
}
