#include "FakeSession.h"

#include "model/FileDisplayController.h"

#include <QMimeData>

FakeSession::FakeSession(FileDisplayController& tree)
    : m_tree(tree)
{ }

void FakeSession::serve(const QString& path, const QStringList& lines)
{
    m_served.insert(path, lines);
}

void FakeSession::clear()
{
    m_calls.clear();
    m_listed.clear();
}

bool FakeSession::refresh(FileDisplayCollection& listing)
{
    listing.invalidate();
    const bool ok = clientList(listing.fullPath());
    if (ok)
        listing.updateAll();
    return ok;
}

QString FakeSession::directoryLine(const QString& name, const QString& date)
{
    return QStringLiteral("drwxr-xr-x   2 web staff     4096 ") + date + u' ' + name;
}

QString FakeSession::fileLine(const QString& name, quint64 size, const QString& date, const QString& mode)
{
    return mode + QStringLiteral(" 1 web staff ") + QString::number(size) + u' ' + date + u' ' + name;
}

void FakeSession::clientSetCurrentDirectory(const QString& path)
{
    m_calls.append(QStringLiteral("clientSetCurrentDirectory ") + path);
}

bool FakeSession::clientList(const QString& path)
{
    m_calls.append(QStringLiteral("clientList ") + path);
    m_listed.append(path);
    const auto served = m_served.constFind(path);
    if (served == m_served.constEnd())
        return false;
    m_tree.setProcessPath(path);
    for (const QString& line : *served)
        m_tree.addFileDisplay(line);
    return true;
}

bool FakeSession::chmod(FileDisplayCollection& listing, const QString& fileName, const QString& mode)
{
    m_calls.append(QStringLiteral("chmod %1 %2 %3").arg(listing.fullPath(), fileName, mode));
    return m_chmodResult;
}

bool FakeSession::renameFile(FileDisplayCollection& listing, const QString& from, const QString& to)
{
    m_calls.append(QStringLiteral("renameFile %1 %2 %3").arg(listing.fullPath(), from, to));
    return m_renameResult;
}

void FakeSession::setCurrentDirectory(const QString& path)
{
    m_calls.append(QStringLiteral("setCurrentDirectory ") + path);
}

void FakeSession::directorySelectionHasChanged(FileDisplayCollection& listing)
{
    m_calls.append(QStringLiteral("directorySelectionHasChanged %1 while showing %2")
                       .arg(listing.fullPath(), m_tree.currentDirectory()));
}

bool FakeSession::droppedFromFinder(const QMimeData& drop, FileDisplayCollection& listing)
{
    m_calls.append(QStringLiteral("droppedFromFinder %1 %2").arg(listing.fullPath(), drop.text()));
    return m_dropResult;
}
