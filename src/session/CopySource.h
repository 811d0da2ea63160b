#pragma once

#include <QPointer>
#include <QString>

class ServerCopy;
class ViewController;

// One entry of the copy buffer as a paste reads it back: where it lives in which window, and
// whether it was cut. Copying it runs on the pasting window's worker thread and drives the
// source window's client.
class CopySource final
{
public:
    // fullPath is split at its last "/".
    CopySource(const QString& fullPath, bool isCut, ViewController* sourceController);

    QString directory() const { return m_directory; }
    QString fileName() const { return m_fileName; }
    QString fullPath() const;
    bool isCut() const { return m_cut; }
    ViewController* sourceController() const { return m_srcController; }

    // Copies the entry into the paste's target directory, then removes a cut entry that was
    // copied whole. Throws PlumoException("copyTo", message) on failure.
    void copyTo(ServerCopy& destination) const;

private:
    // Copies a file or a tree, then removes a cut entry that arrived whole.
    void copyEntry(ServerCopy& destination, ViewController& source) const;

    QString m_directory;
    QString m_fileName;
    bool m_cut = false;
    QPointer<ViewController> m_srcController;
};
