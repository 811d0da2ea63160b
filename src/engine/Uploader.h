#pragma once

#include <QPair>
#include <QString>
#include <QStringList>

class FileDisplayCollection;
class SkipOverwrite;
class TransferHost;

// Puts local files and folder trees into a remote directory (the target listing) and below it:
// one "STOR" per file, one "MKD" per folder. Hidden local items (names starting with ".") are not
// uploaded. Remote targets below the listing are named by relative paths such as "A/sub".
class Uploader
{
public:
    Uploader(TransferHost& host, FileDisplayCollection& target, SkipOverwrite& conflicts);

    // True also when the file was skipped.
    bool storeFile(const QString& localPath);
    bool storeDirectory(const QString& localPath);
    bool storeDirectoryRecursive(const QString& localPath, const QString& relativePath);
    // 1: the remote directory exists now; 0: skipped (a remote non-directory stays); -1: failed.
    int makeDirectory(const QString& relativePath);

private:
    bool send(const QString& localPath, const QString& remoteName);
    bool storeChildren(const QString& localPath, const QString& relativePath);
    // The remote full path of a relative one, split into its directory and its name.
    QPair<QString, QString> remoteParts(const QString& relativePath) const;

    TransferHost& m_host;
    // Canonical local folders being walked: a link back to one of them is not followed again.
    QStringList m_walking;
    FileDisplayCollection& m_target;
    SkipOverwrite& m_conflicts;
};
