#include "RemoteCommands.h"

#include "CliApplication.h"
#include "CliTransferHost.h"
#include "ExitCode.h"
#include "TerminalPrompter.h"

#include "engine/Downloader.h"
#include "engine/SkipOverwrite.h"
#include "engine/Uploader.h"
#include "model/FileDisplayCollection.h"
#include "util/MyUtil.h"
#include "util/PlumoException.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>
#include <cstdio>

namespace {

FileDisplay* childNamed(const FileDisplayCollection& listing, QStringView name)
{
    for (qsizetype i = 0; i < listing.count(); ++i) {
        if (listing.objectAtIndex(i)->fileTitleView() == name)
            return listing.objectAtIndex(i);
    }
    return nullptr;
}

SkipOverwrite::Policy conflictPolicy(const CommandWords& words)
{
    if (words.has(QStringLiteral("--overwrite")))
        return SkipOverwrite::Policy::Overwrite;
    if (words.has(QStringLiteral("--skip-existing")))
        return SkipOverwrite::Policy::Skip;
    return TerminalPrompter::isInteractive() ? SkipOverwrite::Policy::Ask : SkipOverwrite::Policy::Refuse;
}

void writeOut(const QByteArray& bytes)
{
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stdout);
    std::fflush(stdout);
}

} // namespace

RemoteCommands::RemoteCommands(const ConnectSettings& settings, bool quiet)
    : m_settings(settings)
    , m_quiet(quiet)
    , m_session([this] { return m_settings; })
{ }

int RemoteCommands::connect()
{
    if (!m_session.connectSession()) {
        TerminalPrompter::printError(MyUtil::localized("connect failed") + u": " + m_settings.urlString());
        return kLoginFailed;
    }
    m_start = m_session.tree().currentDirectory();
    if (!m_start.startsWith(u'/'))
        m_start = QStringLiteral("/");
    return kDone;
}

QString RemoteCommands::absolutePath(const QString& start, const QString& path)
{
    const QString joined = path.startsWith(u'/') ? path : start + u'/' + path;
    QStringList parts;
    for (const QStringView part : QStringView(joined).split(u'/', Qt::SkipEmptyParts)) {
        if (part == u".")
            continue;
        if (part == u"..") {
            if (!parts.isEmpty())
                parts.removeLast();
            continue;
        }
        parts.append(part.toString());
    }
    return u'/' + parts.join(u'/');
}

QPair<QString, QString> RemoteCommands::splitPath(const QString& absolute)
{
    const qsizetype slash = absolute.lastIndexOf(u'/');
    return { slash == 0 ? QStringLiteral("/") : absolute.left(slash), absolute.mid(slash + 1) };
}

int RemoteCommands::failed(const char* key, const QString& name)
{
    TerminalPrompter::printError(MyUtil::localized(key) + u": " + name);
    return kRefused;
}

int RemoteCommands::usageError(const QString& text)
{
    TerminalPrompter::printError(text);
    return kUsage;
}

FileDisplay* RemoteCommands::entryAt(const QString& absolute)
{
    if (absolute == u"/")
        return m_session.tree().collection();
    const auto [parentPath, name] = splitPath(absolute);
    FileDisplayCollection* parent = m_session.listedDirectory(parentPath);
    if (!parent)
        return nullptr;
    // Fresh names: the tree may hold an older listing of the parent.
    if (!m_session.fullpathListFileDisplay(*parent) || !m_session.client().commandResult())
        return nullptr;
    return childNamed(*parent, name);
}

int RemoteCommands::run(const QString& command, const CommandWords& words)
{
    if (command == u"ls")
        return ls(words);
    if (command == u"get")
        return get(words);
    if (command == u"put")
        return put(words);
    return simple(command, words);
}

int RemoteCommands::ls(const CommandWords& words)
{
    const QString path = absolutePath(m_start, words.operands.value(0));
    FileDisplay* entry = entryAt(path);
    FileDisplayCollection* listing = entry && entry->isDirectory() ? entry->asCollection() : nullptr;
    QList<FileDisplay*> entries;
    if (listing) {
        if (!m_session.fullpathListFileDisplay(*listing) || !m_session.client().commandResult())
            return failed("LIST failed", path);
        const bool all = words.has(QStringLiteral("-a"));
        for (qsizetype i = 0; i < listing->count(); ++i) {
            FileDisplay* child = listing->objectAtIndex(i);
            if (all || !child->fileName().startsWith(u'.'))
                entries.append(child);
        }
        std::sort(entries.begin(), entries.end(),
                  [](const FileDisplay* a, const FileDisplay* b) { return a->fileName() < b->fileName(); });
    } else if (entry) {
        entries.append(entry);
    } else {
        return failed("LIST failed", path);
    }

    const bool tsv = words.has(QStringLiteral("--tsv"));
    const bool longForm = words.has(QStringLiteral("-l"));
    QByteArray out;
    out.reserve(entries.size() * (tsv || longForm ? 80 : 24));
    if (!tsv && !longForm) {
        for (const FileDisplay* child : entries) {
            out += MyUtil::printable(child->fileTitle()).toUtf8();
            if (child->isDirectory())
                out += '/';
            out += '\n';
        }
        writeOut(out);
        return kDone;
    }
    QList<QStringList> rows;
    rows.reserve(entries.size());
    for (const FileDisplay* child : entries)
        rows.append({ child->fileModeString(), MyUtil::printable(child->fileOwner()),
                      MyUtil::printable(child->fileGroup()), QString::number(child->fileSize()),
                      MyUtil::printable(child->fileDate()), MyUtil::printable(child->fileName()) });
    QList<qsizetype> widths(6, 0);
    if (longForm) {
        for (const QStringList& row : rows) {
            for (int column = 0; column < 5; ++column)
                widths[column] = std::max(widths[column], row.at(column).size());
        }
    }
    for (const QStringList& row : rows) {
        for (int column = 0; column < 6; ++column) {
            QString cell = row.at(column);
            if (longForm && column < 5)
                cell = column == 3 ? cell.rightJustified(widths[column]) : cell.leftJustified(widths[column]);
            out += cell.toUtf8();
            out += column == 5 ? '\n' : (tsv ? '\t' : ' ');
        }
    }
    writeOut(out);
    return kDone;
}

int RemoteCommands::get(const CommandWords& words)
{
    if (words.operands.isEmpty() || words.operands.size() > 2)
        return usageError(QStringLiteral("usage: get [-r] REMOTE_PATH [LOCAL_PATH]"));
    const QString path = absolutePath(m_start, words.operands.at(0));
    FileDisplay* entry = entryAt(path);
    if (!entry)
        return failed("RETR failed", path);
    FileDisplayCollection* directory = entry->isDirectory() ? entry->asCollection() : nullptr;
    if (directory && !words.has(QStringLiteral("-r")))
        return usageError(path + QStringLiteral(" is a directory (use -r)"));

    QString target = words.operands.value(1);
    if (target.isEmpty() || QFileInfo(target).isDir()) {
        const QString folder = target.isEmpty() ? QDir::currentPath() : target;
        if (!Downloader::isSafeLocalName(entry->fileTitle()))
            return failed("RETR failed", entry->fileName());
        target = QDir(folder).filePath(entry->fileTitle());
    }

    CliTransferHost host(m_session, !m_quiet && TerminalPrompter::isInteractive());
    SkipOverwrite conflicts(conflictPolicy(words));
    const auto parent = directory ? directory->fullPath() : splitPath(path).first;
    FileDisplayCollection* shown = directory ? directory : m_session.listedDirectory(parent);
    if (!shown)
        return failed("LIST failed", parent);
    Downloader downloader(host, *shown, conflicts);
    m_session.client().setCurrentDirectory(directory ? directory->fullPath() : parent);
    int status = kDone;
    if (directory) {
        if (!downloader.saveDirectory(*directory, target))
            status = kRefused;
    } else if (!conflicts.isSkipFile(target, false)) {
        try {
            downloader.retrieveFileContents(*entry, target);
        } catch (const PlumoException& failure) {
            status = failed(failure.reason().toUtf8().constData(), entry->fileName());
        }
    }
    if (conflicts.refusedCount() > 0) {
        TerminalPrompter::printError(QStringLiteral("%1 existing item(s) kept; use --overwrite or --skip-existing")
                                         .arg(conflicts.refusedCount()));
        status = kRefused;
    }
    if (host.isCanceled())
        status = kRefused;
    return status;
}

int RemoteCommands::put(const CommandWords& words)
{
    if (words.operands.isEmpty())
        return usageError(QStringLiteral("usage: put [-r] LOCAL_PATH... [REMOTE_DIR]"));
    QStringList locals = words.operands;
    const QString remote = locals.size() >= 2 ? locals.takeLast() : QString();
    for (const QString& local : locals) {
        if (!QFileInfo::exists(local))
            return failed("STOR failed", local + QStringLiteral(": no such file or folder"));
        if (MyUtil::isDirectory(local) && !words.has(QStringLiteral("-r")))
            return usageError(local + QStringLiteral(" is a folder (use -r)"));
    }
    const QString path = absolutePath(m_start, remote);
    FileDisplay* entry = entryAt(path);
    FileDisplayCollection* target = entry && entry->isDirectory() ? entry->asCollection() : nullptr;
    if (!target || !m_session.fullpathListFileDisplay(*target) || !m_session.client().commandResult())
        return failed("LIST failed", path);

    CliTransferHost host(m_session, !m_quiet && TerminalPrompter::isInteractive());
    SkipOverwrite conflicts(conflictPolicy(words));
    Uploader uploader(host, *target, conflicts);
    int status = kDone;
    for (const QString& local : locals) {
        const QString clean = QDir::cleanPath(QFileInfo(local).absoluteFilePath());
        const bool stored = MyUtil::isDirectory(clean) ? uploader.storeDirectory(clean) : uploader.storeFile(clean);
        if (!stored) {
            status = failed("STOR failed", local);
            break;
        }
        if (host.isCanceled()) {
            status = kRefused;
            break;
        }
    }
    if (conflicts.refusedCount() > 0) {
        TerminalPrompter::printError(QStringLiteral("%1 existing item(s) kept; use --overwrite or --skip-existing")
                                         .arg(conflicts.refusedCount()));
        status = kRefused;
    }
    return status;
}

int RemoteCommands::simple(const QString& command, const CommandWords& words)
{
    const QStringList& operands = words.operands;
    PlumoClient& client = m_session.client();
    const auto inParent = [&](const QString& given) {
        const auto [parent, name] = splitPath(absolutePath(m_start, given));
        client.setCurrentDirectory(parent);
        return name;
    };
    if (command == u"mkdir" && operands.size() == 1)
        return client.mkd(inParent(operands.at(0))) ? kDone : failed("MKD failed", operands.at(0));
    if (command == u"rmdir" && operands.size() == 1)
        return client.rmd(inParent(operands.at(0))) ? kDone : failed("remove failed", operands.at(0));
    if (command == u"rm" && !operands.isEmpty()) {
        int status = kDone;
        for (const QString& operand : operands) {
            if (!client.rm(inParent(operand)))
                status = failed("remove failed", operand);
        }
        return status;
    }
    if (command == u"chmod" && operands.size() == 2)
        return client.chmod(inParent(operands.at(1)), operands.at(0)) ? kDone : failed("CHMOD failed", operands.at(1));
    if (command == u"mv" && operands.size() == 2) {
        if (!Downloader::isSafeLocalName(operands.at(1)))
            return usageError(QStringLiteral("the new name must be a plain name"));
        return client.renameFileFrom(inParent(operands.at(0)), operands.at(1)) ? kDone
                                                                               : failed("REN failed", operands.at(0));
    }
    return usageError(CliApplication::commandUsage(command));
}
