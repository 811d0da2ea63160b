#include "engine/RemoteSession.h"

namespace {

// The child of that name (as shown, without a link's target), among all children.
FileDisplay* childNamed(const FileDisplayCollection& listing, QStringView name)
{
    for (qsizetype i = 0; i < listing.count(); ++i) {
        FileDisplay* child = listing.objectAtIndex(i);
        if (child->fileTitleView() == name)
            return child;
    }
    return nullptr;
}

} // namespace

RemoteSession::RemoteSession(SettingsSource settings)
    : m_settings(std::move(settings))
    , m_client(this)
{
    m_tree.setController(this);
}

RemoteSession::~RemoteSession() = default;

bool RemoteSession::connectSession()
{
    return m_client.connect(true);
}

void RemoteSession::disconnectSession()
{
    m_tree.setCurrentDirectory(QStringLiteral("/"));
    m_client.connect(false);
    m_tree.removeAllObjects();
}

bool RemoteSession::fullpathListFileDisplay(FileDisplayCollection& listing)
{
    listing.invalidate();
    const bool listed = m_client.list(listing.fullPath());
    if (listed)
        listing.updateAll();
    return listed;
}

FileDisplayCollection* RemoteSession::listedDirectory(const QString& absolutePath)
{
    FileDisplayCollection* node = m_tree.collection();
    const auto components = QStringView(absolutePath).split(u'/', Qt::SkipEmptyParts);
    for (const QStringView component : components) {
        FileDisplay* child = childNamed(*node, component);
        if (!child) {
            // Not known yet: this step's listing may hold it.
            if (!fullpathListFileDisplay(*node) || !m_client.commandResult())
                return nullptr;
            child = childNamed(*node, component);
        }
        if (!child || !child->asCollection())
            return nullptr;
        node = child->asCollection();
    }
    return node;
}

ConnectSettings RemoteSession::connectionSetting() const
{
    return m_settings ? m_settings() : ConnectSettings();
}

void RemoteSession::setCurrentDirectory(const QString& path)
{
    if (!path.isNull())
        m_tree.setCurrentDirectory(path);
}

void RemoteSession::disconnected()
{
    disconnectSession();
}

void RemoteSession::clientSetCurrentDirectory(const QString& path)
{
    m_client.setCurrentDirectory(path);
}

bool RemoteSession::clientList(const QString& path)
{
    return m_client.list(path);
}

bool RemoteSession::chmod(FileDisplayCollection& listing, const QString& fileName, const QString& mode)
{
    m_client.setCurrentDirectory(listing.fullPath());
    return m_client.chmod(fileName, mode);
}

bool RemoteSession::renameFile(FileDisplayCollection& listing, const QString& from, const QString& to)
{
    m_client.setCurrentDirectory(listing.fullPath());
    return m_client.renameFileFrom(from, to);
}

void RemoteSession::directorySelectionHasChanged(FileDisplayCollection& listing)
{
    if (m_client.isConnect())
        fullpathListFileDisplay(listing);
}

bool RemoteSession::droppedFromFinder(const QMimeData&, FileDisplayCollection&)
{
    return false;
}
