#include "engine/Downloader.h"

#include "engine/RemoteSession.h"
#include "engine/SkipOverwrite.h"
#include "engine/TransferHost.h"
#include "model/FileDisplayCollection.h"
#include "protocol/ContentSink.h"
#include "util/MyUtil.h"
#include "util/PlumoException.h"
#include "util/Prompter.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>

namespace {

const QString kRetr = QStringLiteral("retr");

QString joined(const QString& parent, const QString& name)
{
    return parent.endsWith(u'/') ? QString(parent + name) : QString(parent + u'/' + name);
}

} // namespace

Downloader::Downloader(TransferHost& host, FileDisplayCollection& shown, SkipOverwrite& conflicts)
    : m_host(host)
    , m_shown(shown)
    , m_conflicts(conflicts)
{ }

bool Downloader::isSafeLocalName(const QString& name)
{
    return !name.isEmpty() && name != u"." && name != u".." && !name.contains(u'/') && !name.contains(QChar(0));
}

QString Downloader::localChild(const QString& parent, const FileDisplay& entry) const
{
    const QString name = entry.fileTitle();
    if (!isSafeLocalName(name)) {
        MyUtil::messageBox(MyUtil::format(MyUtil::localized("unsafe name refused: %@"), { entry.fileName() }));
        return {};
    }
    return joined(parent, name);
}

QString Downloader::directoryOf(const QString& path)
{
    return path.left(path.size() - QFileInfo(path).fileName().size());
}

void Downloader::showRetrieveFailed(const FileDisplay& entry) const
{
    MyUtil::messageBox(MyUtil::internationalFormat("retrieve failed", entry.fileName()));
}

void Downloader::retrieveFiles(const QList<FileDisplay*>& entries)
{
    PlumoClient& client = m_host.session().client();
    for (FileDisplay* entry : entries) {
        if (FileDisplayCollection* directory = entry->isDirectory() ? entry->asCollection() : nullptr) {
            client.setCurrentDirectory(directory->fullPath());
            bool saved = false;
            try {
                saved = saveDirectory(*directory, QString());
            } catch (const PlumoException&) {
                saved = false;
            }
            client.setCurrentDirectory(m_shown.fullPath());
            if (!saved) {
                showRetrieveFailed(*entry);
                return;
            }
        } else {
            client.setCurrentDirectory(m_host.session().tree().currentDirectory());
            try {
                retrieveFileContents(*entry, QString());
            } catch (const PlumoException&) {
                showRetrieveFailed(*entry);
                return;
            }
        }
        if (m_host.isCanceled())
            return;
    }
}

void Downloader::retrieveDroppedFile(const QList<FileDisplay*>& entries, const QString& destination)
{
    PlumoClient& client = m_host.session().client();
    for (FileDisplay* entry : entries) {
        const QString target = localChild(destination, *entry);
        if (target.isNull())
            break;
        if (FileDisplayCollection* directory = entry->isDirectory() ? entry->asCollection() : nullptr) {
            client.setCurrentDirectory(directory->fullPath());
            bool saved = false;
            try {
                saved = saveDirectory(*directory, target);
            } catch (const PlumoException&) {
                saved = false;
            }
            if (!saved)
                break;
        } else if (!m_conflicts.isSkipFile(target, false)) {
            m_host.setLastDirectory(destination);
            client.setCurrentDirectory(m_shown.fullPath());
            try {
                retrieveFileContents(*entry, target);
            } catch (const PlumoException&) {
                showRetrieveFailed(*entry);
                break;
            }
        }
        if (m_host.isCanceled())
            break;
    }
    if (client.isConnect())
        client.setCurrentDirectory(m_shown.fullPath());
}

Downloader::Fetch Downloader::fetchInto(const FileDisplay& entry, const QString& target)
{
    QFileInfo existing(target);
    if (existing.isDir() && !existing.isSymLink())
        return Fetch::SaveFailed;
    QSaveFile file(target);
    if (!file.open(QIODevice::WriteOnly))
        return Fetch::SaveFailed;
    FileSink sink(file);
    PlumoClient& client = m_host.session().client();
    if (!client.retr(entry.fileTitle(), sink)) {
        // Read before cancelling: cancelling marks the file as failed itself.
        const bool saveFailed = sink.hasFailed() || file.error() != QFileDevice::NoError;
        file.cancelWriting();
        return saveFailed ? Fetch::SaveFailed : Fetch::FetchFailed;
    }
    m_host.transferred(entry.fileTitle(), sink.size());
    if (m_host.isCanceled()) {
        file.cancelWriting();
        return Fetch::Canceled;
    }
    return file.commit() ? Fetch::Written : Fetch::SaveFailed;
}

void Downloader::retrieveFileContents(FileDisplay& entry, const QString& target)
{
    PlumoClient& client = m_host.session().client();
    const QString title = entry.fileTitle();
    QString path = target;
    if (path.isNull()) {
        // Asked before the fetch, so that the file can be written as it arrives.
        path = Prompter::instance().chooseSavePath(m_host.lastDirectory(), title);
        if (path.isNull())
            return; // the user chose not to save: no failure
    }
    m_host.updateProgressTitle(title, client.currentDirectory(), "Fetching:");
    switch (fetchInto(entry, path)) {
    case Fetch::FetchFailed:
        throw PlumoException(kRetr, QStringLiteral("RETR failed"));
    case Fetch::SaveFailed:
        throw PlumoException(kRetr, QStringLiteral("file save failed"));
    case Fetch::Canceled:
        return;
    case Fetch::Written:
        break;
    }
    m_host.updateProgressTitle(title, path, "Saving:");
    m_host.setLastDirectory(directoryOf(path));
}

bool Downloader::saveFile(const QString& path, const QByteArray& content)
{
    // Written beside the target and renamed into place: an interrupted write never leaves a
    // half-written file under the target's name, and an existing file stays until then.
    QFileInfo existing(path);
    if (existing.isDir() && !existing.isSymLink())
        return false;
    QSaveFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(content) == content.size() && file.commit();
}

bool Downloader::createDirectory(const QString& path)
{
    const QFileInfo existing(path);
    if (existing.isDir())
        return true;
    if ((existing.exists() || existing.isSymLink()) && !QFile::remove(path))
        return false;
    return QDir().mkdir(path);
}

bool Downloader::saveDirectory(FileDisplayCollection& listing, const QString& target)
{
    if (!m_host.fullpathListFileDisplay(listing) || !m_host.session().client().commandResult()) {
        MyUtil::messageBoxInternational("LIST failed");
        return false;
    }
    QString path = target;
    if (!path.isNull()) {
        if (m_conflicts.isSkipFile(path, true))
            return true;
        if (!createDirectory(path))
            return false;
    } else {
        path = Prompter::instance().chooseSavePath(m_host.lastDirectory(), listing.fileTitle());
        if (path.isNull())
            return true;
        if (!createDirectory(path))
            return false;
        m_host.setLastDirectory(directoryOf(path));
    }
    PlumoClient& client = m_host.session().client();
    for (qsizetype row = 0; row < listing.displayCount(); ++row) {
        FileDisplay* entry = listing.displayObjectAtIndex(row);
        if (FileDisplayCollection* directory = entry->isDirectory() ? entry->asCollection() : nullptr) {
            client.setCurrentDirectory(directory->fullPath());
            if (!recursiveSaveDirectory(*directory, path))
                return false;
            client.setCurrentDirectory(listing.fullPath());
        } else if (!retrieveFile(*entry, path)) {
            return false;
        }
        if (m_host.isCanceled())
            return true;
    }
    return true;
}

bool Downloader::recursiveSaveDirectory(FileDisplayCollection& listing, const QString& parent)
{
    if (!m_host.fullpathListFileDisplay(listing) || !m_host.session().client().commandResult()) {
        MyUtil::messageBoxInternational("LIST failed");
        return false;
    }
    const QString target = localChild(parent, listing);
    if (target.isNull())
        return false;
    if (m_conflicts.isSkipFile(target, true))
        return true;
    if (!createDirectory(target))
        return false;
    PlumoClient& client = m_host.session().client();
    for (qsizetype row = 0; row < listing.displayCount(); ++row) {
        FileDisplay* entry = listing.displayObjectAtIndex(row);
        if (FileDisplayCollection* directory = entry->isDirectory() ? entry->asCollection() : nullptr) {
            if (!recursiveSaveDirectory(*directory, target))
                return false;
            client.setCurrentDirectory(listing.fullPath());
        } else if (!retrieveFile(*entry, target)) {
            return false;
        }
        if (m_host.isCanceled())
            return true;
    }
    return true;
}

bool Downloader::retrieveFile(FileDisplay& entry, const QString& parent)
{
    m_host.setCancel(false);
    const QString target = localChild(parent, entry);
    if (target.isNull())
        return false;
    if (m_conflicts.isSkipFile(target, false))
        return true;
    const QString title = entry.fileTitle();
    m_host.updateProgressTitle(title, m_host.session().client().currentDirectory(), "Fetching:");
    switch (fetchInto(entry, target)) {
    case Fetch::FetchFailed:
        MyUtil::messageBoxInternational("RETR failed");
        return false;
    case Fetch::SaveFailed:
        MyUtil::messageBoxInternational("file save failed");
        return false;
    case Fetch::Canceled:
    case Fetch::Written:
        break;
    }
    m_host.updateProgressTitle(title, parent, "Saving:");
    return true;
}
