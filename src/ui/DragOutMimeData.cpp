#include "ui/DragOutMimeData.h"

#include "ui/UiLog.h"

#include <QDir>
#include <QFileInfo>
#include <QHostInfo>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QVariant>

QString DragOutMimeData::uriListType()
{
    return QStringLiteral("text/uri-list");
}

QString DragOutMimeData::directSaveType()
{
    return QStringLiteral("XdndDirectSave0");
}

DragOutMimeData::DragOutMimeData(QStringList names, Download download)
    : m_names(std::move(names))
    , m_download(std::move(download))
{ }

QString DragOutMimeData::proposedName() const
{
    return m_names.value(0);
}

void DragOutMimeData::offerDirectSave(DestinationUri destination)
{
    m_destinationUri = std::move(destination);
}

QStringList DragOutMimeData::formats() const
{
    QStringList types { uriListType() };
    if (m_destinationUri)
        types.append(directSaveType());
    return types;
}

bool DragOutMimeData::hasFormat(const QString& mimeType) const
{
    return formats().contains(mimeType);
}

QString DragOutMimeData::directSaveFolder(const QByteArray& uri)
{
    // Some targets count the terminating zero of the text into the property.
    QByteArray text = uri;
    while (text.endsWith('\0'))
        text.chop(1);
    const QUrl url = QUrl::fromEncoded(text.trimmed(), QUrl::StrictMode);
    if (!url.isValid() || url.scheme() != u"file")
        return {};
    const QString host = url.host();
    if (!host.isEmpty() && host != u"localhost" && host.compare(QHostInfo::localHostName(), Qt::CaseInsensitive) != 0)
        return {};
    const QString path = url.path();
    if (!QDir::isAbsolutePath(path) || path.endsWith(u'/'))
        return {};
    return QDir::cleanPath(QFileInfo(path).path());
}

QString DragOutMimeData::stagingRoot()
{
    static const QTemporaryDir root(QDir(QStandardPaths::writableLocation(QStandardPaths::TempLocation))
                                        .filePath(QStringLiteral("plumoxa-XXXXXX")));
    return root.isValid() ? root.path() : QString();
}

QVariant DragOutMimeData::retrieveData(const QString& mimeType, QMetaType type) const
{
    if (mimeType == uriListType()) {
        QVariantList urls;
        for (const QUrl& url : stagedUrls())
            urls.append(url);
        return urls;
    }
    if (mimeType == directSaveType() && m_destinationUri)
        return directSave();
    return QMimeData::retrieveData(mimeType, type);
}

QList<QUrl> DragOutMimeData::stagedUrls() const
{
    if (m_staged || m_fetching)
        return m_stagedUrls;
    const QString root = stagingRoot();
    if (root.isNull())
        return {};
    // A fresh folder per drop: an earlier drop's files never meet this one's names.
    QTemporaryDir staging(QDir(root).filePath(QStringLiteral("drop-XXXXXX")));
    if (!staging.isValid())
        return {};
    staging.setAutoRemove(false);
    qCDebug(lcUi) << "Staging a drag out in" << staging.path();
    m_fetching = true;
    const bool done = m_download && m_download(staging.path());
    m_fetching = false;
    m_staged = true;
    if (!done)
        return {};
    // Only what arrived is handed on: an entry the download skipped or failed is not offered.
    const QDir folder(staging.path());
    for (const QString& name : m_names) {
        const QFileInfo item(folder.filePath(name));
        if (item.exists() || item.isSymLink())
            m_stagedUrls.append(QUrl::fromLocalFile(item.filePath()));
    }
    return m_stagedUrls;
}

QByteArray DragOutMimeData::directSave() const
{
    if (!m_directSaveAnswer.isEmpty() || m_fetching)
        return m_directSaveAnswer;
    const QByteArray uri = m_destinationUri();
    const QString folder = directSaveFolder(uri);
    qCDebug(lcUi) << "Direct save to" << uri << "folder" << folder;
    if (folder.isNull())
        return QByteArrayLiteral("F");
    m_fetching = true;
    const bool done = m_download && m_download(folder);
    m_fetching = false;
    m_directSaveAnswer = done ? QByteArrayLiteral("S") : QByteArrayLiteral("E");
    return m_directSaveAnswer;
}
