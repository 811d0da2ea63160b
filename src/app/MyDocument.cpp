#include "app/MyDocument.h"

#include "app/ReplaceSettingCommand.h"
#include "document/DocumentFile.h"
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
