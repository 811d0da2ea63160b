#include "app/PlumoAppDelegate.h"

#include "session/CopySource.h"
#include "session/ViewController.h"

#include <QApplication>
#include <QClipboard>
#include <QMimeData>
#include <QStyle>

#include <cstring>

namespace {

PlumoAppDelegate* g_instance = nullptr;

using Word = std::size_t;

void appendWord(QByteArray& record, Word value)
{
    record.append(reinterpret_cast<const char*>(&value), sizeof value);
}

bool readWord(const QByteArray& record, qsizetype& at, Word& value)
{
    if (record.size() - at < qsizetype(sizeof value))
        return false;
    std::memcpy(&value, record.constData() + at, sizeof value);
    at += qsizetype(sizeof value);
    return true;
}

// The theme's icon, or the style's own when the theme has none.
QIcon themeIcon(const char* name, QStyle::StandardPixmap fallback)
{
    return QIcon::fromTheme(QString::fromLatin1(name), QApplication::style()->standardIcon(fallback));
}

} // namespace

PlumoAppDelegate::PlumoAppDelegate()
    : m_folderImage(themeIcon("folder", QStyle::SP_DirIcon))
    , m_documentImage(themeIcon("text-x-generic", QStyle::SP_FileIcon))
{
    g_instance = this;
}

PlumoAppDelegate::~PlumoAppDelegate()
{
    if (g_instance == this)
        g_instance = nullptr;
}

PlumoAppDelegate* PlumoAppDelegate::instance()
{
    return g_instance;
}

const char* const PlumoAppDelegate::kCopyBufferType = "application/x-plumoxa-copy-buffer";

QByteArray PlumoAppDelegate::copyRecord(const QStringList& paths, bool isCut)
{
    QByteArray record(1, isCut ? '\1' : '\0');
    appendWord(record, Word(paths.size()));
    for (const QString& path : paths) {
        const QByteArray bytes = path.toUtf8();
        appendWord(record, Word(bytes.size()));
        record.append(bytes);
    }
    return record;
}

QStringList PlumoAppDelegate::pathsOfRecord(const QByteArray& record, bool* isCut)
{
    if (record.isEmpty())
        return {};
    qsizetype at = 1;
    Word count = 0;
    if (!readWord(record, at, count))
        return {};
    QStringList paths;
    for (Word i = 0; i < count; ++i) {
        Word length = 0;
        if (!readWord(record, at, length) || length > Word(record.size() - at))
            return {};
        paths.append(QString::fromUtf8(record.constData() + at, qsizetype(length)));
        at += qsizetype(length);
    }
    if (isCut)
        *isCut = record.at(0) == '\1';
    return paths;
}

QByteArray PlumoAppDelegate::clipboardRecord() const
{
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    const QString type = QString::fromLatin1(kCopyBufferType);
    return data && data->hasFormat(type) ? data->data(type) : QByteArray();
}

void PlumoAppDelegate::copyData(const QStringList& paths, bool isCut, ViewController* controller)
{
    auto* data = new QMimeData;
    data->setData(QString::fromLatin1(kCopyBufferType), copyRecord(paths, isCut));
    QGuiApplication::clipboard()->setMimeData(data);
    m_controller = controller;
}

QList<CopySource> PlumoAppDelegate::copyFileArray() const
{
    bool isCut = false;
    const QStringList paths = pathsOfRecord(clipboardRecord(), &isCut);
    QList<CopySource> sources;
    for (const QString& path : paths)
        sources.append(CopySource(path, isCut, m_controller));
    return sources;
}

int PlumoAppDelegate::copyCount() const
{
    return clipboardRecord().isEmpty() ? 0 : 1;
}

void PlumoAppDelegate::emptyCopy()
{
    m_controller = nullptr;
    // What another program put on the clipboard is the user's: only a buffer of ours is emptied.
    if (clipboardRecord().isEmpty())
        return;
    auto* data = new QMimeData;
    data->setData(QString::fromLatin1(kCopyBufferType), QByteArray());
    QGuiApplication::clipboard()->setMimeData(data);
}

void PlumoAppDelegate::controllerDisconnect(const ViewController* controller)
{
    if (!m_controller || m_controller == controller)
        emptyCopy();
}
