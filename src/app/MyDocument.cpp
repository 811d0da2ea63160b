#include "app/MyDocument.h"

#include "app/ReplaceSettingCommand.h"
#include "document/DocumentFile.h"
#include "session/ViewController.h"
#include "util/MyUtil.h"

#include <QFileInfo>

MyDocument::MyDocument(QObject* parent)
    : QObject(parent)
    , m_lastDirectory(MyUtil::documentDirectory())
{
    connect(&m_undoStack, &QUndoStack::cleanChanged, this, [this](bool clean) { emit modificationChanged(!clean); });
}

void MyDocument::readFromData(const QByteArray& data)
{
    DocumentFile::parseXml(data, m_connectionSetting);
    emit connectionSettingChanged();
}

bool MyDocument::readFromFile(const QString& path, QString* errorString)
{
    if (!DocumentFile::read(path, m_connectionSetting, errorString))
        return false;
    emit connectionSettingChanged();
    return true;
}

bool MyDocument::writeToFile(const QString& path, QString* errorString)
{
    if (!DocumentFile::write(path, m_connectionSetting, errorString))
        return false;
    // Nothing before a save can be undone after it.
    m_undoStack.clear();
    m_canRedoCnt = 0;
    return true;
}

void MyDocument::setConnectionSetting(const ConnectSettings& setting)
{
    m_undoStack.push(new ReplaceSettingCommand(*this, m_connectionSetting, setting));
}

void MyDocument::applyConnectionSetting(const ConnectSettings& setting)
{
    m_connectionSetting = setting;
    emit connectionSettingChanged();
}

void MyDocument::setDirty(Change change)
{
    switch (change) {
    case Change::Undo:
        ++m_canRedoCnt;
        break;
    case Change::Redo:
        if (m_canRedoCnt > 0)
            --m_canRedoCnt;
        break;
    case Change::New:
        m_canRedoCnt = 0;
        break;
    }
}

void MyDocument::setFileName(const QString& fileName)
{
    m_fileName = fileName;
    emit fileNameChanged();
}

QString MyDocument::displayName() const
{
    if (!m_fileName.isEmpty())
        return QFileInfo(m_fileName).completeBaseName();
    const QString untitled = MyUtil::localized("Untitled");
    return m_untitledNumber > 1 ? untitled + u' ' + QString::number(m_untitledNumber) : untitled;
}

void MyDocument::changeDirectory(QObject* sender)
{
    if (m_controller)
        m_controller->changeDirectory(sender);
}

void MyDocument::parentDirectory()
{
    if (m_controller)
        m_controller->parentDirectory();
}

void MyDocument::reloadMenu()
{
    if (m_controller)
        m_controller->reloadMenu();
}

void MyDocument::makeDirectoryMenu(QObject* sender)
{
    if (m_controller)
        m_controller->makeDirectoryMenu(sender);
}

void MyDocument::removeFileMenu()
{
    if (m_controller)
        m_controller->removeFileMenu();
}

void MyDocument::addFile()
{
    if (m_controller)
        m_controller->addFile();
}

void MyDocument::retrieveFile()
{
    if (m_controller)
        m_controller->retrieveFile();
}

void MyDocument::pasteFromFinder()
{
    if (m_controller)
        m_controller->pasteFromFinder();
}

void MyDocument::copy()
{
    if (m_controller)
        m_controller->copy();
}

void MyDocument::cut()
{
    if (m_controller)
        m_controller->cut();
}

void MyDocument::paste()
{
    if (m_controller)
        m_controller->paste();
}

void MyDocument::chmodToMenu(QObject* sender)
{
    if (m_controller)
        m_controller->chmodToMenu(sender);
}

void MyDocument::renameToMenu(QObject* sender)
{
    if (m_controller)
        m_controller->renameToMenu(sender);
}
