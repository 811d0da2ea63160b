#include "app/DocumentWindow.h"

#include "app/DocumentController.h"
#include "app/MenuEnabler.h"
#include "app/MyDocument.h"
#include "session/ViewController.h"
#include "ui/RenameDialog.h"
#include "ui/SettingDialog.h"
#include "util/MyUtil.h"

#include "ui_MyDocument.h"

#include <QClipboard>
#include <QCloseEvent>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMenuBar>
#include <QPushButton>

DocumentWindow::DocumentWindow(DocumentController& framework, std::unique_ptr<MyDocument> document)
    : m_framework(framework)
    , m_ui(std::make_unique<Ui::MyDocument>())
    , m_document(std::move(document))
{
    setAttribute(Qt::WA_DeleteOnClose);
    m_ui->setupUi(this);
    m_controller = std::make_unique<ViewController>(*m_document);
    m_controller->awakeFromNib(*m_ui, this);
    buildMenus();

    connect(m_document.get(), &MyDocument::modificationChanged, this, [this] {
        updateTitle();
        updateMenus();
    });
    connect(m_document.get(), &MyDocument::fileNameChanged, this, &DocumentWindow::updateTitle);
    connect(m_document->undoStack(), &QUndoStack::indexChanged, this, &DocumentWindow::updateMenus);
    connect(m_controller.get(), &ViewController::stateChanged, this, &DocumentWindow::updateMenus);
    connect(&m_framework.menuEnabler(), &MenuEnabler::canExitChanged, this, &DocumentWindow::updateMenus);
    connect(QGuiApplication::clipboard(), &QClipboard::dataChanged, this, &DocumentWindow::updateMenus);
    updateTitle();
    updateMenus();
}

DocumentWindow::~DocumentWindow()
{
    m_framework.windowDestroyed(this);
    // The session disconnects while the controls still exist, and tells nobody about it; the
    // document's last signals (its history empties as it goes) no longer reach this window.
    m_controller->disconnect();
    m_document->disconnect(this);
    m_document->undoStack()->disconnect(this);
    m_controller.reset();
}

QAction* DocumentWindow::addCommand(QMenu* menu, const char* key, const char* name, const QKeySequence& shortcut)
{
    QAction* action = menu->addAction(MyUtil::localized(key));
    action->setObjectName(QString::fromLatin1(name));
    if (!shortcut.isEmpty())
        action->setShortcut(shortcut);
    return action;
}

QAction* DocumentWindow::action(const QString& name) const
{
    return findChild<QAction*>(name);
}

void DocumentWindow::buildMenus()
{
    ViewController* controller = m_controller.get();

    QMenu* file = menuBar()->addMenu(MyUtil::localized("&File"));
    connect(addCommand(file, "New", "newAction", QKeySequence::New), &QAction::triggered, &m_framework,
            &DocumentController::newDocument);
    connect(addCommand(file, "Open...", "openAction", QKeySequence::Open), &QAction::triggered, &m_framework,
            &DocumentController::openDocumentMenu);
    m_recentMenu = file->addMenu(MyUtil::localized("Open Recent"));
    m_recentMenu->setObjectName(QStringLiteral("recentMenu"));
    connect(m_recentMenu, &QMenu::aboutToShow, this, &DocumentWindow::fillRecentMenu);
    fillRecentMenu();
    file->addSeparator();
    connect(addCommand(file, "Close", "closeAction", QKeySequence::Close), &QAction::triggered, this, &QWidget::close);
    connect(addCommand(file, "Save", "saveAction", QKeySequence::Save), &QAction::triggered, this,
            [this] { m_framework.saveDocument(*this); });
    connect(addCommand(file, "Save As...", "saveAsAction", QKeySequence(QStringLiteral("Shift+Ctrl+S"))),
            &QAction::triggered, this, [this] { m_framework.saveDocumentAs(*this); });
    file->addSeparator();
    QAction* quit = addCommand(file, "Quit", "quitAction", QKeySequence(QStringLiteral("Ctrl+Q")));
    quit->setMenuRole(QAction::QuitRole);
    connect(quit, &QAction::triggered, &m_framework, &DocumentController::quit);

    QMenu* edit = menuBar()->addMenu(MyUtil::localized("&Edit"));
    connect(addCommand(edit, "Undo", "undoAction", QKeySequence(QStringLiteral("Ctrl+Z"))), &QAction::triggered,
            m_document->undoStack(), &QUndoStack::undo);
    connect(addCommand(edit, "Redo", "redoAction", QKeySequence(QStringLiteral("Shift+Ctrl+Z"))), &QAction::triggered,
            m_document->undoStack(), &QUndoStack::redo);
    edit->addSeparator();
    connect(addCommand(edit, "Cut", "cutAction", QKeySequence::Cut), &QAction::triggered, m_document.get(),
            &MyDocument::cut);
    connect(addCommand(edit, "Copy", "copyAction", QKeySequence::Copy), &QAction::triggered, m_document.get(),
            &MyDocument::copy);
    connect(addCommand(edit, "Paste", "pasteAction", QKeySequence::Paste), &QAction::triggered, m_document.get(),
            &MyDocument::paste);
    connect(addCommand(edit, "Paste from File Manager", "pasteFromFinderAction",
                       QKeySequence(QStringLiteral("Shift+Ctrl+V"))),
            &QAction::triggered, m_document.get(), &MyDocument::pasteFromFinder);

    QMenu* server = menuBar()->addMenu(MyUtil::localized("&Server"));
    connect(addCommand(server, "Connect", "connectAction"), &QAction::triggered, controller,
            &ViewController::connectButton);
    QAction* setting = addCommand(server, "Setting...", "settingAction");
    connect(setting, &QAction::triggered, this,
            [this, setting] { m_controller->settingDialog()->openDialog(setting); });
    server->addSeparator();
    // The directory commands reach the controller through the document.
    MyDocument* document = m_document.get();
    connect(addCommand(server, "Reload", "reloadAction", QKeySequence(Qt::Key_F5)), &QAction::triggered, document,
            &MyDocument::reloadMenu);
    connect(addCommand(server, "Parent Directory", "parentDirectoryAction", QKeySequence(Qt::ALT | Qt::Key_Up)),
            &QAction::triggered, document, &MyDocument::parentDirectory);
    QAction* changeDirectory = addCommand(server, "Go to Directory...", "changeDirectoryAction");
    connect(changeDirectory, &QAction::triggered, document,
            [document, changeDirectory] { document->changeDirectory(changeDirectory); });
    server->addSeparator();
    connect(addCommand(server, "Upload...", "addFileAction", QKeySequence(QStringLiteral("Ctrl+U"))),
            &QAction::triggered, document, &MyDocument::addFile);
    connect(addCommand(server, "Download...", "retrieveFileAction", QKeySequence(QStringLiteral("Ctrl+D"))),
            &QAction::triggered, document, &MyDocument::retrieveFile);
    server->addSeparator();
    QAction* makeDirectory = addCommand(server, "New Directory...", "makeDirectoryAction");
    connect(makeDirectory, &QAction::triggered, document,
            [document, makeDirectory] { document->makeDirectoryMenu(makeDirectory); });
    QAction* rename = addCommand(server, "Rename...", "renameAction", QKeySequence(Qt::Key_F2));
    connect(rename, &QAction::triggered, document, [document, rename] { document->renameToMenu(rename); });
    QAction* chmod = addCommand(server, "Change Mode...", "chmodAction");
    connect(chmod, &QAction::triggered, document, [document, chmod] { document->chmodToMenu(chmod); });
    connect(addCommand(server, "Remove", "removeAction", QKeySequence(Qt::Key_Delete)), &QAction::triggered, document,
            &MyDocument::removeFileMenu);

    for (QMenu* menu : { file, edit, server })
        connect(menu, &QMenu::aboutToShow, this, &DocumentWindow::updateMenus);
}

void DocumentWindow::fillRecentMenu()
{
    m_recentMenu->clear();
    const QStringList recent = m_framework.recentFiles();
    for (const QString& path : recent) {
        QAction* open = m_recentMenu->addAction(QFileInfo(path).fileName());
        open->setToolTip(path);
        connect(open, &QAction::triggered, &m_framework, [this, path] { m_framework.openDocument(path); });
    }
    if (!recent.isEmpty())
        m_recentMenu->addSeparator();
    QAction* clear = m_recentMenu->addAction(MyUtil::localized("Clear Menu"));
    clear->setEnabled(!recent.isEmpty());
    connect(clear, &QAction::triggered, &m_framework, &DocumentController::clearRecentFiles);
}

void DocumentWindow::updateTitle()
{
    setWindowTitle(m_document->displayName() + QStringLiteral("[*] \u2014 ")
                   + QString::fromLatin1(MyUtil::kProductName));
    setWindowModified(m_document->isModified());
}

void DocumentWindow::updateMenus()
{
    const MenuState state = MenuEnabler::stateOf(m_document.get());
    const struct
    {
        const char* name;
        bool disabled;
    } rules[] = {
        { "quitAction", m_framework.menuEnabler().cannotExit() },
        { "closeAction", MenuEnabler::cannotClose(state) },
        { "parentDirectoryAction", MenuEnabler::cannotParentDirectory(state) },
        { "pasteFromFinderAction", MenuEnabler::cannotPasteFromFinder(state) },
        { "pasteAction", MenuEnabler::cannotPaste(state) },
        { "copyAction", MenuEnabler::cannotCopy(state) },
        { "cutAction", MenuEnabler::cannotCopy(state) },
        { "addFileAction", MenuEnabler::cannotAddFile(state) },
        { "retrieveFileAction", MenuEnabler::cannotRetrieveFile(state) },
        { "makeDirectoryAction", MenuEnabler::cannotMkdir(state) },
        { "removeAction", MenuEnabler::cannotRemove(state) },
        { "renameAction", MenuEnabler::cannotRename(state) },
        { "undoAction", MenuEnabler::cannotUndo(state) || !m_document->undoStack()->canUndo() },
        { "redoAction", MenuEnabler::cannotRedo(state) || !m_document->undoStack()->canRedo() },
    };
    for (const auto& rule : rules) {
        if (QAction* governed = action(QString::fromLatin1(rule.name)))
            governed->setEnabled(!rule.disabled);
    }
    if (QAction* connectAction = action(QStringLiteral("connectAction")))
        connectAction->setText(MyUtil::localized(state.connected ? "Disconnect" : "Connect"));
    if (QAction* setting = action(QStringLiteral("settingAction")))
        setting->setEnabled(!state.connected);
}

void DocumentWindow::closeEvent(QCloseEvent* event)
{
    if (!m_framework.mayClose(*this)) {
        event->ignore();
        return;
    }
    event->accept();
}
