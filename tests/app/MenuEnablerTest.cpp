#include "app/MenuEnabler.h"
#include "support/TestRegistry.h"

#include <QTest>

namespace {

enum Rule { Close, ParentDirectory, PasteFromFinder, Paste, Mkdir, AddFile, RetrieveFile, Remove, Rename, Redo, Undo };

bool disabled(Rule rule, const MenuState& state)
{
    switch (rule) {
    case Close:
        return MenuEnabler::cannotClose(state);
    case ParentDirectory:
        return MenuEnabler::cannotParentDirectory(state);
    case PasteFromFinder:
        return MenuEnabler::cannotPasteFromFinder(state);
    case Paste:
        return MenuEnabler::cannotPaste(state);
    case Mkdir:
        return MenuEnabler::cannotMkdir(state);
    case AddFile:
        return MenuEnabler::cannotAddFile(state);
    case RetrieveFile:
        return MenuEnabler::cannotRetrieveFile(state);
    case Remove:
        return MenuEnabler::cannotRemove(state);
    case Rename:
        return MenuEnabler::cannotRename(state);
    case Redo:
        return MenuEnabler::cannotRedo(state);
    case Undo:
        return MenuEnabler::cannotUndo(state);
    }
    return true;
}

MenuState window(bool connected, bool busy, const QString& directory = QStringLiteral("/a"))
{
    MenuState state;
    state.hasDocument = true;
    state.connected = connected;
    state.busy = busy;
    state.currentDirectory = directory;
    return state;
}

} // namespace

Q_DECLARE_METATYPE(MenuState)

class MenuEnablerTest : public QObject
{
    Q_OBJECT

private slots:
    void rules_data()
    {
        QTest::addColumn<int>("rule");
        QTest::addColumn<MenuState>("state");
        QTest::addColumn<bool>("disabled");

        const MenuState none;
        for (const Rule rule : { Close, ParentDirectory, PasteFromFinder, Paste, Mkdir, AddFile, RetrieveFile, Remove,
                                 Rename, Redo, Undo })
            QTest::addRow("no document, rule %d", int(rule)) << int(rule) << none << true;

        QTest::newRow("close when idle") << int(Close) << window(true, false) << false;
        QTest::newRow("close when busy") << int(Close) << window(false, true) << true;
        QTest::newRow("parent at the root") << int(ParentDirectory) << window(true, false, "/") << true;
        QTest::newRow("parent in /a") << int(ParentDirectory) << window(true, false) << false;
        QTest::newRow("parent when busy") << int(ParentDirectory) << window(true, true) << true;
        QTest::newRow("parent when disconnected") << int(ParentDirectory) << window(false, false) << true;

        MenuState namesBusy = window(true, true);
        namesBusy.fileNamesOnClipboard = true;
        // A second operation would drive the window's client from two threads at once.
        QTest::newRow("desktop paste, connected and busy, names") << int(PasteFromFinder) << namesBusy << true;
        namesBusy.busy = false;
        QTest::newRow("desktop paste, connected, names") << int(PasteFromFinder) << namesBusy << false;
        QTest::newRow("desktop paste, connected, no names") << int(PasteFromFinder) << window(true, false) << true;
        QTest::newRow("desktop paste, disconnected, idle") << int(PasteFromFinder) << window(false, false) << false;
        QTest::newRow("desktop paste, disconnected, busy") << int(PasteFromFinder) << window(false, true) << true;

        MenuState copied = window(true, true);
        copied.copyCount = 2;
        QTest::newRow("paste, connected, empty buffer") << int(Paste) << window(true, false) << true;
        QTest::newRow("paste, connected and busy, a buffer") << int(Paste) << copied << true;
        copied.busy = false;
        QTest::newRow("paste, connected, a buffer") << int(Paste) << copied << false;
        QTest::newRow("paste, disconnected, idle") << int(Paste) << window(false, false) << false;

        QTest::newRow("mkdir, disconnected") << int(Mkdir) << window(false, false) << true;
        QTest::newRow("mkdir, connected") << int(Mkdir) << window(true, false) << false;
        QTest::newRow("mkdir, busy") << int(Mkdir) << window(true, true) << true;

        QTest::newRow("upload, disconnected") << int(AddFile) << window(false, false) << true;
        QTest::newRow("upload, connected") << int(AddFile) << window(true, false) << false;
        QTest::newRow("upload, busy") << int(AddFile) << window(true, true) << true;

        MenuState two = window(true, false);
        two.selectionCount = 2;
        QTest::newRow("remove, nothing selected") << int(Remove) << window(true, false) << true;
        QTest::newRow("remove, two rows") << int(Remove) << two << false;
        QTest::newRow("rename, two rows") << int(Rename) << two << true;
        QTest::newRow("download, nothing selected") << int(RetrieveFile) << window(true, false) << true;
        QTest::newRow("download, two rows") << int(RetrieveFile) << two << false;
        two.busy = true;
        QTest::newRow("download, two rows, busy") << int(RetrieveFile) << two << true;
        two.busy = false;
        MenuState one = two;
        one.selectionCount = 1;
        QTest::newRow("rename, one row") << int(Rename) << one << false;
        one.busy = true;
        QTest::newRow("rename, one row, busy") << int(Rename) << one << true;

        MenuState undone = window(false, false);
        undone.canRedoCnt = 1;
        undone.modified = true;
        QTest::newRow("redo, nothing undone") << int(Redo) << window(false, false) << true;
        QTest::newRow("redo, disconnected") << int(Redo) << undone << false;
        QTest::newRow("undo, changed, disconnected") << int(Undo) << undone << false;
        undone.connected = true;
        QTest::newRow("redo, connected") << int(Redo) << undone << true;
        QTest::newRow("undo, changed, connected") << int(Undo) << undone << true;
        QTest::newRow("undo, unchanged") << int(Undo) << window(false, false) << true;
    }

    void rules()
    {
        QFETCH(int, rule);
        QFETCH(MenuState, state);
        QFETCH(bool, disabled);
        QCOMPARE(::disabled(Rule(rule), state), disabled);
    }

    void quitFollowsCanExit()
    {
        MenuEnabler enabler;
        QVERIFY(!enabler.cannotExit());
        enabler.setCanExit(false);
        QVERIFY(enabler.cannotExit());
    }
};

PLUMOXA_TEST(MenuEnablerTest);
#include "MenuEnablerTest.moc"
