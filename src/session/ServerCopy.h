#pragma once

#include <QString>

#include <memory>

class FileDisplayCollection;
class PlumoClient;
class QTemporaryFile;
class SkipOverwrite;
class ViewController;
class WindowTransfers;

// The pasting window's side of a copy between windows: it stores into the paste's target
// directory and below it, asking skip or overwrite where a name exists. Every file goes through a
// temporary local file, fetched from the source as it arrives and sent from there, so a copy needs
// no memory in proportion to a file. Runs on the pasting window's worker thread; failures throw
// PlumoException with the message to show. A cut moves: each file is removed at the source once
// it arrived, each directory once everything in it did, so what the user skipped stays there.
class ServerCopy final
{
public:
    ServerCopy(WindowTransfers& host, ViewController& destination, SkipOverwrite& conflicts, const QString& savedCurDir,
               bool isCut);
    Q_DISABLE_COPY_MOVE(ServerCopy)

    WindowTransfers& host() const { return m_host; }
    ViewController& destination() const { return m_destination; }
    QString savedCurDir() const { return m_savedCurDir; }

    enum class Stored { Copied, Skipped };
    // A fetched file into the paste target under name.
    Stored storeFile(const QString& name, const QString& localPath);
    // A directory of the source tree into the paste target; true when every entry below it was
    // copied (under a cut, also removed at the source, so that the directory itself can go).
    bool copyDirectory(FileDisplayCollection& sourceDirectory, ViewController& source);
    // Entries left alone at the user's answer: a cut keeps them at the source.
    int keptCount() const { return m_kept; }

    // A file of the client's current directory into a temporary file; null when it failed.
    static std::unique_ptr<QTemporaryFile> fetch(PlumoClient& client, const QString& name);

private:
    bool recursiveCopyDirectory(FileDisplayCollection& target, const QString& relativePath,
                                FileDisplayCollection& sourceDirectory, ViewController& source);
    // The paste target's listing, listed anew.
    std::shared_ptr<FileDisplayCollection> listedTarget();
    // Under a cut, removes an entry of a source directory that was copied whole.
    void removeAtSource(ViewController& source, const FileDisplayCollection& directory, const QString& name,
                        bool isDirectory);

    WindowTransfers& m_host;
    ViewController& m_destination;
    SkipOverwrite& m_conflicts;
    QString m_savedCurDir;
    bool m_cut = false;
    int m_kept = 0;
};
