#include "app/DocumentController.h"

#include "app/DocumentWindow.h"
#include "app/MenuEnabler.h"
#include "app/MyDocument.h"
#include "session/ViewController.h"
#include "util/MyUtil.h"
#include "util/Prompter.h"

#include <QApplication>
#include <QFileInfo>
#include <QSettings>

namespace {

constexpr char kRecentKey[] = "recentFiles";
constexpr int kRecentLimit = 10;

QString canonical(const QString& path)
{
    const QFileInfo info(path);
    const QString resolved = info.canonicalFilePath();
    return resolved.isEmpty() ? info.absoluteFilePath() : resolved;
}

} // namespace

DocumentController::DocumentController(MenuEnabler& menuEnabler, QObject* parent)
    : QObject(parent)
    , m_menuEnabler(menuEnabler)
{ }

DocumentController::~DocumentController()
{
    // Each window leaves the list as it goes.
    while (!m_windows.isEmpty())
        delete m_windows.last();
}

QList<DocumentWindow*> DocumentController::windows() const
{
    return m_windows;
}

void DocumentController::windowDestroyed(DocumentWindow* window)
{
    m_windows.removeAll(window);
    updateCanExit();
}

int DocumentController::nextUntitledNumber() const
{
    int number = 1;
    for (DocumentWindow* window : windows()) {
        if (window->document().fileName().isEmpty())
            ++number;
    }
    return number;
}

DocumentWindow* DocumentController::show(DocumentWindow* window)
{
    m_windows.append(window);
    connect(&window->controller(), &ViewController::stateChanged, this, &DocumentController::updateCanExit);
    window->show();
    window->raise();
    window->activateWindow();
    return window;
}

DocumentWindow* DocumentController::newDocument()
{
    auto document = std::make_unique<MyDocument>();
    document->setUntitledNumber(nextUntitledNumber());
    return show(new DocumentWindow(*this, std::move(document)));
}

DocumentWindow* DocumentController::windowOf(const QString& path) const
{
    const QString wanted = canonical(path);
    for (DocumentWindow* window : windows()) {
        const QString fileName = window->document().fileName();
        if (!fileName.isEmpty() && canonical(fileName) == wanted)
            return window;
    }
    return nullptr;
}

DocumentWindow* DocumentController::openDocument(const QString& path)
{
    if (DocumentWindow* open = windowOf(path)) {
        open->show();
        open->raise();
        open->activateWindow();
        return open;
    }
    auto document = std::make_unique<MyDocument>();
    if (!document->readFromFile(path)) {
        MyUtil::messageBox(MyUtil::internationalFormat("The document %@ could not be opened.", path));
        return nullptr;
    }
    document->setFileName(canonical(path));
    noteRecent(document->fileName());
    return show(new DocumentWindow(*this, std::move(document)));
}

void DocumentController::openDocumentMenu()
{
    MyDocument* current = currentDocument();
    const QString start = current ? current->lastDirectory() : MyUtil::documentDirectory();
    const QString path = Prompter::instance().chooseOpenPath(start);
    if (!path.isEmpty())
        openDocument(path);
}

bool DocumentController::saveDocument(DocumentWindow& window)
{
    MyDocument& document = window.document();
    if (document.fileName().isEmpty())
        return saveDocumentAs(window);
    QString error;
    if (!document.writeToFile(document.fileName(), &error)) {
        MyUtil::messageBox(MyUtil::internationalFormat("The document %@ could not be saved.", document.fileName()));
        return false;
    }
    window.updateMenus();
    return true;
}

bool DocumentController::saveDocumentAs(DocumentWindow& window)
{
    MyDocument& document = window.document();
    const QString start
        = document.fileName().isEmpty() ? MyUtil::documentDirectory() : QFileInfo(document.fileName()).absolutePath();
    QString path = Prompter::instance().chooseSavePath(start, document.displayName() + u'.' + kExtension);
    if (path.isEmpty())
        return false;
    if (QFileInfo(path).suffix().isEmpty())
        path += u'.' + QString::fromLatin1(kExtension);
    QString error;
    if (!document.writeToFile(path, &error)) {
        MyUtil::messageBox(MyUtil::internationalFormat("The document %@ could not be saved.", path));
        return false;
    }
    document.setFileName(canonical(path));
    noteRecent(document.fileName());
    window.updateMenus();
    return true;
}

bool DocumentController::mayClose(DocumentWindow& window)
{
    if (!window.controller().canClose())
        return false;
    MyDocument& document = window.document();
    if (!document.isModified())
        return true;
    const QString question = MyUtil::internationalFormat("Save the changes to %@?", document.displayName());
    if (MyUtil::askYesNo(question) == 1)
        return saveDocument(window);
    return true;
}

bool DocumentController::quit()
{
    if (m_menuEnabler.cannotExit())
        return false;
    for (DocumentWindow* window : windows()) {
        if (!window->close())
            return false;
    }
    return true;
}

MyDocument* DocumentController::currentDocument() const
{
    if (auto* active = qobject_cast<DocumentWindow*>(QApplication::activeWindow()))
        return &active->document();
    const QList<DocumentWindow*> open = windows();
    return open.isEmpty() ? nullptr : &open.last()->document();
}

QStringList DocumentController::recentFiles() const
{
    return QSettings().value(QLatin1String(kRecentKey)).toStringList();
}

void DocumentController::noteRecent(const QString& path)
{
    QStringList recent = recentFiles();
    recent.removeAll(path);
    recent.prepend(path);
    while (recent.size() > kRecentLimit)
        recent.removeLast();
    QSettings().setValue(QLatin1String(kRecentKey), recent);
    emit recentFilesChanged();
}

void DocumentController::clearRecentFiles()
{
    QSettings().remove(QLatin1String(kRecentKey));
    emit recentFilesChanged();
}

void DocumentController::updateCanExit()
{
    bool busy = false;
    for (DocumentWindow* window : windows())
        busy = busy || !window->controller().canClose();
    m_menuEnabler.setCanExit(!busy);
}
