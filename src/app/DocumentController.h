#pragma once

#include <QObject>
#include <QStringList>

class DocumentWindow;
class MenuEnabler;
class MyDocument;

// Our document framework: new, open, save, save as, close and quit, one window per document, the
// list of recently used files. Opening a file that is open already brings its window forward.
class DocumentController final : public QObject
{
    Q_OBJECT

public:
    static constexpr char kExtension[] = "plumoxa";

    explicit DocumentController(MenuEnabler& menuEnabler, QObject* parent = nullptr);
    ~DocumentController() override;

    MenuEnabler& menuEnabler() const { return m_menuEnabler; }

    DocumentWindow* newDocument();
    // The window of the document in that file: the open one, or a new one; null (after a
    // message) when the file cannot be read.
    DocumentWindow* openDocument(const QString& path);
    // Open...: asks for a file.
    void openDocumentMenu();
    // Save: to the document's file, or as a new one when it has none. False when nothing was
    // written.
    bool saveDocument(DocumentWindow& window);
    bool saveDocumentAs(DocumentWindow& window);
    // Whether the window may close now: not while a long operation runs in it; unsaved changes
    // are offered for saving first.
    bool mayClose(DocumentWindow& window);
    // Closes every window; false when one stays open (or quitting is not allowed now).
    bool quit();

    QList<DocumentWindow*> windows() const;
    DocumentWindow* windowOf(const QString& path) const;
    // The document of the frontmost document window, or null.
    MyDocument* currentDocument() const;

    QStringList recentFiles() const;
    void clearRecentFiles();

    // A window's busy state changed: quitting is allowed only while no window is busy.
    void updateCanExit();
    // The window is being destroyed: it is forgotten at once.
    void windowDestroyed(DocumentWindow* window);

signals:
    void recentFilesChanged();

private:
    DocumentWindow* show(DocumentWindow* window);
    void noteRecent(const QString& path);
    int nextUntitledNumber() const;

    MenuEnabler& m_menuEnabler;
    QList<DocumentWindow*> m_windows;
};
