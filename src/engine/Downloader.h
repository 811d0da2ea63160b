#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

class FileDisplay;
class FileDisplayCollection;
class SkipOverwrite;
class TransferHost;

// Fetches remote entries, files and whole directory trees, into local files and folders: one
// "RETR" per file, one "LIST" per directory, walked depth first. A file is written to a temporary
// file beside its target and renamed into place only when it was written whole.
class Downloader
{
public:
    Downloader(TransferHost& host, FileDisplayCollection& shown, SkipOverwrite& conflicts);

    // The selected entries of the shown listing, each to a place the user chooses.
    void retrieveFiles(const QList<FileDisplay*>& entries);
    // The selected entries of the shown listing into a local folder.
    void retrieveDroppedFile(const QList<FileDisplay*>& entries, const QString& destination);

    // One file to a path, or to a place the user chooses first when the path is null; throws
    // PlumoException("retr", reason) on failure.
    void retrieveFileContents(FileDisplay& entry, const QString& target);
    // Writes bytes held in memory the same way a fetched file is written.
    static bool saveFile(const QString& path, const QByteArray& content);
    static bool createDirectory(const QString& path);
    bool saveDirectory(FileDisplayCollection& listing, const QString& target);
    bool recursiveSaveDirectory(FileDisplayCollection& listing, const QString& parent);
    bool retrieveFile(FileDisplay& entry, const QString& parent);

    // A name as the server lists it may be used as one local path component only when it is
    // not empty, "." or "..", and holds no "/": anything else could reach outside the target.
    static bool isSafeLocalName(const QString& name);

private:
    enum class Fetch { Written, FetchFailed, SaveFailed, Canceled };
    // Fetches an entry of the client's current directory straight into a temporary file beside
    // target, which replaces target only when the whole file arrived and was written.
    Fetch fetchInto(const FileDisplay& entry, const QString& target);
    // The local path for an entry inside a folder, or null (after a message) for an unsafe name.
    QString localChild(const QString& parent, const FileDisplay& entry) const;
    // The folder part of a path, with its trailing "/".
    static QString directoryOf(const QString& path);
    void showRetrieveFailed(const FileDisplay& entry) const;

    TransferHost& m_host;
    FileDisplayCollection& m_shown;
    SkipOverwrite& m_conflicts;
};
