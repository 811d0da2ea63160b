#include "document/DocumentFile.h"

#include "util/MyUtil.h"

#include <QFile>
#include <QSaveFile>

void DocumentFile::parseXml(const QByteArray& data, ConnectSettings& settings)
{
    DocumentFile target(settings);
    XmlDelegater delegater;
    delegater.setTarget(&target);
    delegater.parse(data);
}

bool DocumentFile::addElement(const QStringList& elementPath, const QHash<QString, QString>& attributes)
{
    if (elementPath.isEmpty())
        return false;
    if (elementPath.first() != u"plumoxa")
        return false;
    if (elementPath.size() != 2 || elementPath.at(1) != u"settings")
        return true;
    return m_settings.parse(elementPath, attributes);
}

QString DocumentFile::documentText(const ConnectSettings& settings)
{
    return settings.formatTemplate(MyUtil::templateString(QStringLiteral("root")));
}

bool DocumentFile::write(const QString& path, const ConnectSettings& settings, QString* errorString)
{
    QSaveFile file(path);
    const QByteArray bytes = documentText(settings).toUtf8();
    // The scrambled password can be unscrambled on this machine: only the owner may read it.
    const bool written = file.open(QIODevice::WriteOnly) && file.setPermissions(QFile::ReadOwner | QFile::WriteOwner)
        && file.write(bytes) == bytes.size() && file.commit();
    if (!written && errorString)
        *errorString = file.errorString();
    return written;
}

bool DocumentFile::read(const QString& path, ConnectSettings& settings, QString* errorString)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (errorString)
            *errorString = file.errorString();
        return false;
    }
    parseXml(file.readAll(), settings);
    return true;
}
