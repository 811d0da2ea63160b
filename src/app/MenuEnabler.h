#pragma once

#include <QObject>
#include <QString>

class MyDocument;

// What the menu rules read of the frontmost document, its window and the desktop.
struct MenuState
{
    bool hasDocument = false;
    bool connected = false;
    // A long operation runs in the window.
    bool busy = false;
    QString currentDirectory;
    int selectionCount = 0;
    // The clipboard holds a list of local file names, and it is not empty.
    bool fileNamesOnClipboard = false;
    qsizetype copyCount = 0;
    unsigned canRedoCnt = 0;
    bool modified = false;
};

// The rules that decide which menu commands are disabled (true = disabled). Every rule is computed
// afresh from the state it is given; whether the application may quit is the only stored state.
class MenuEnabler final : public QObject
{
    Q_OBJECT

public:
    explicit MenuEnabler(QObject* parent = nullptr);

    bool canExit() const { return m_canExit; }
    void setCanExit(bool canExit);
    bool cannotExit() const { return !m_canExit; }

    // The state of a document's window (none gives a state without a document).
    static MenuState stateOf(const MyDocument* document);

    static bool cannotClose(const MenuState& state);
    static bool cannotParentDirectory(const MenuState& state);
    static bool cannotPasteFromFinder(const MenuState& state);
    static bool cannotPaste(const MenuState& state);
    static bool cannotMkdir(const MenuState& state);
    static bool cannotAddFile(const MenuState& state);
    static bool cannotCopy(const MenuState& state);
    static bool cannotRetrieveFile(const MenuState& state);
    static bool cannotRemove(const MenuState& state);
    static bool cannotRename(const MenuState& state);
    static bool cannotRedo(const MenuState& state);
    static bool cannotUndo(const MenuState& state);

signals:
    void canExitChanged(bool canExit);

private:
    bool m_canExit = true;
};
