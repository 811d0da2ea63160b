#pragma once

#include <QString>

class FileDisplayCollection;
class QMimeData;

// What the remote file model asks of the session window that owns it: commands on the window's
// protocol client, the remote edits started in the file table, and navigation. The window's
// controller implements it; listings and the tree hold it without owning it.
class SessionController
{
public:
    virtual ~SessionController() = default;

    // The directory that the protocol client's next commands act in.
    virtual void clientSetCurrentDirectory(const QString& path) = 0;
    // Lists a directory on the server through the protocol client ("LIST"); before this returns,
    // every line of the reply has been delivered through the directory tree into the listing
    // registered under that path. True when the client reported success.
    virtual bool clientList(const QString& path) = 0;

    // Changes the permissions of an entry of the listing; mode is the three-character text.
    virtual bool chmod(FileDisplayCollection& listing, const QString& fileName, const QString& mode) = 0;
    // Renames an entry of the listing (names without a link's target part).
    virtual bool renameFile(FileDisplayCollection& listing, const QString& from, const QString& to) = 0;
    // Makes a directory the tree's current directory.
    virtual void setCurrentDirectory(const QString& path) = 0;
    // The user picked a directory in the tree: list it and show it in the file table.
    virtual void directorySelectionHasChanged(FileDisplayCollection& listing) = 0;
    // Local files dropped on the file table while it shows the listing: upload them into it.
    virtual bool droppedFromFinder(const QMimeData& drop, FileDisplayCollection& listing) = 0;
};
