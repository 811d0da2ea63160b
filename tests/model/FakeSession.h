#pragma once

#include "model/SessionController.h"

#include <QHash>
#include <QStringList>

class FileDisplayController;

// A session window for model tests: answers listings from canned lines, fed through the tree as
// the protocol client does, and records every call it receives as one line of text.
class FakeSession final : public SessionController
{
public:
    explicit FakeSession(FileDisplayController& tree);

    // The lines the server lists for a path; listing a path that was never served fails.
    void serve(const QString& path, const QStringList& lines);
    void setRenameResult(bool ok) { m_renameResult = ok; }
    void setChmodResult(bool ok) { m_chmodResult = ok; }
    void setDropResult(bool ok) { m_dropResult = ok; }

    QStringList calls() const { return m_calls; }
    QStringList listed() const { return m_listed; }
    void clear();

    // Lists a listing the way the window does: previous children, the server's lines, the rest.
    bool refresh(FileDisplayCollection& listing);

    // Listing lines as a long Unix listing writes them.
    static QString directoryLine(const QString& name, const QString& date = QStringLiteral("Jan 15 12:34"));
    static QString fileLine(const QString& name, quint64 size = 10,
                            const QString& date = QStringLiteral("Jan 15  2008"),
                            const QString& mode = QStringLiteral("-rw-r--r--"));

    void clientSetCurrentDirectory(const QString& path) override;
    bool clientList(const QString& path) override;
    bool chmod(FileDisplayCollection& listing, const QString& fileName, const QString& mode) override;
    bool renameFile(FileDisplayCollection& listing, const QString& from, const QString& to) override;
    void setCurrentDirectory(const QString& path) override;
    void directorySelectionHasChanged(FileDisplayCollection& listing) override;
    bool droppedFromFinder(const QMimeData& drop, FileDisplayCollection& listing) override;

private:
    FileDisplayController& m_tree;
    QHash<QString, QStringList> m_served;
    QStringList m_calls;
    QStringList m_listed;
    bool m_renameResult = true;
    bool m_chmodResult = true;
    bool m_dropResult = true;
};
