#pragma once

#include <QByteArray>
#include <QList>
#include <QMimeData>
#include <QString>
#include <QStringList>
#include <QUrl>

#include <functional>

// What a drag of remote entries out of a file table offers. The entries are fetched only when the
// drop target asks for them:
// - "text/uri-list": the entries are downloaded into a fresh staging folder under the
//   application's temporary folder, and the target receives the local files there to copy;
// - "XdndDirectSave0" (when offered): the target has written the folder it drops on back to the
//   drag's source window, and the entries are downloaded straight into that folder; the answer is
//   "S" (done), "E" (failed, already reported to the user) or "F" (no local folder given).
// Either download runs once per drag however often the target asks.
class DragOutMimeData final : public QMimeData
{
    Q_OBJECT

public:
    // Downloads the dragged entries into a local folder and answers whether that went through.
    using Download = std::function<bool(const QString& folder)>;
    // The destination URI the drop target wrote back for a direct save, or empty.
    using DestinationUri = std::function<QByteArray()>;

    static QString uriListType();
    static QString directSaveType();

    // names: the entries' local names, all safe as one path component.
    DragOutMimeData(QStringList names, Download download);

    QStringList names() const { return m_names; }
    // The name proposed for a direct save: the first entry's.
    QString proposedName() const;
    // Adds the direct-save type; destination reads the target's answer at the drop.
    void offerDirectSave(DestinationUri destination);

    QStringList formats() const override;
    bool hasFormat(const QString& mimeType) const override;

    // The local folder of a direct-save destination URI ("file://host/folder/name"), or null when
    // it names no file of this machine.
    static QString directSaveFolder(const QByteArray& uri);
    // The folder under which each drop gets its fresh staging folder; removed when the
    // application ends.
    static QString stagingRoot();

protected:
    QVariant retrieveData(const QString& mimeType, QMetaType type) const override;

private:
    QList<QUrl> stagedUrls() const;
    QByteArray directSave() const;

    QStringList m_names;
    Download m_download;
    DestinationUri m_destinationUri;
    // The target may ask again (or while the download runs, from a nested event loop): the
    // first answer stands.
    mutable bool m_fetching = false;
    mutable bool m_staged = false;
    mutable QList<QUrl> m_stagedUrls;
    mutable QByteArray m_directSaveAnswer;
};
