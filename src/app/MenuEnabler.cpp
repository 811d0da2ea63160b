#include "app/MenuEnabler.h"

#include "app/MyDocument.h"
#include "app/PlumoAppDelegate.h"
#include "session/ViewController.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <QUrl>

MenuEnabler::MenuEnabler(QObject* parent)
    : QObject(parent)
{ }

void MenuEnabler::setCanExit(bool canExit)
{
    if (m_canExit == canExit)
        return;
    m_canExit = canExit;
    emit canExitChanged(canExit);
}

MenuState MenuEnabler::stateOf(const MyDocument* document)
{
    MenuState state;
    if (!document)
        return state;
    state.hasDocument = true;
    state.canRedoCnt = document->canRedoCnt();
    state.modified = document->isModified();
    if (ViewController* controller = document->controller()) {
        state.connected = controller->isConnected();
        state.busy = !controller->canClose();
        state.currentDirectory = controller->tree().currentDirectory();
        state.selectionCount = controller->fileSelectionCount();
    }
    if (const PlumoAppDelegate* app = PlumoAppDelegate::instance())
        state.copyCount = app->copyCount();
    if (const QMimeData* clipboard = QGuiApplication::clipboard()->mimeData())
        state.fileNamesOnClipboard = clipboard->hasUrls() && !clipboard->urls().isEmpty();
    return state;
}

bool MenuEnabler::cannotClose(const MenuState& state)
{
    return !state.hasDocument || state.busy;
}

bool MenuEnabler::cannotParentDirectory(const MenuState& state)
{
    if (!state.hasDocument || !state.connected)
        return true;
    if (state.currentDirectory == u"/")
        return true;
    return state.busy;
}

bool MenuEnabler::cannotPasteFromFinder(const MenuState& state)
{
    if (!state.hasDocument)
        return true;
    // A second operation must not start while one runs: it would drive the same client twice.
    if (state.connected)
        return !state.fileNamesOnClipboard || state.busy;
    return state.busy;
}

bool MenuEnabler::cannotPaste(const MenuState& state)
{
    if (!state.hasDocument)
        return true;
    if (state.connected && state.copyCount == 0)
        return true;
    return state.busy;
}

bool MenuEnabler::cannotMkdir(const MenuState& state)
{
    return !state.hasDocument || !state.connected || state.busy;
}

bool MenuEnabler::cannotAddFile(const MenuState& state)
{
    return !state.hasDocument || !state.connected || state.busy;
}

bool MenuEnabler::cannotCopy(const MenuState& state)
{
    return !state.hasDocument || !state.connected || state.selectionCount == 0 || state.busy;
}

bool MenuEnabler::cannotRetrieveFile(const MenuState& state)
{
    return !state.hasDocument || !state.connected || state.selectionCount == 0 || state.busy;
}

bool MenuEnabler::cannotRemove(const MenuState& state)
{
    return !state.hasDocument || state.selectionCount == 0 || state.busy;
}

bool MenuEnabler::cannotRename(const MenuState& state)
{
    return !state.hasDocument || state.selectionCount != 1 || state.busy;
}

bool MenuEnabler::cannotRedo(const MenuState& state)
{
    if (!state.hasDocument || state.canRedoCnt == 0)
        return true;
    return state.connected;
}

bool MenuEnabler::cannotUndo(const MenuState& state)
{
    if (!state.hasDocument || !state.modified)
        return true;
    return state.connected;
}
