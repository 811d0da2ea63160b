#pragma once

#include <QString>
#include <QtGlobal>

class FileDisplayCollection;
class RemoteSession;

// What an upload or a download asks of the window or terminal that runs it. The window runs
// transfers on a worker thread and answers the steps that touch the screen on its GUI thread.
class TransferHost
{
public:
    virtual ~TransferHost() = default;

    virtual RemoteSession& session() = 0;
    virtual bool isCanceled() const = 0;
    virtual void setCancel(bool cancel) = 0;
    // The progress text: the localised format key filled with the file name and the directory,
    // or the key's text alone when there is no file name.
    virtual void updateProgressTitle(const QString& fileName, const QString& directory, const char* formatKey) = 0;
    // The local folder the next file choice starts in.
    virtual QString lastDirectory() const = 0;
    virtual void setLastDirectory(const QString& directory) = 0;
    // Refreshes one listing from the server (the window also keeps its views in step).
    virtual bool fullpathListFileDisplay(FileDisplayCollection& listing) = 0;
    // Makes a directory just created known to its parent listing without listing it.
    virtual void addDummyDirectory(FileDisplayCollection& listing, const QString& name) = 0;
    // One file went over the wire: its remote name and size.
    virtual void transferred(const QString& name, qint64 bytes)
    {
        Q_UNUSED(name);
        Q_UNUSED(bytes);
    }
};
