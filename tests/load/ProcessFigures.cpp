#include "ProcessFigures.h"

#include <QDir>
#include <QFile>

ProcessFigures ProcessFigures::of(qint64 pid)
{
    ProcessFigures figures;
    const QString base = QStringLiteral("/proc/%1/").arg(pid);
    QFile status(base + u"status");
    if (!status.open(QIODevice::ReadOnly))
        return figures;
    figures.descriptors
        = int(QDir(base + u"fd").entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System).size());
    for (const QByteArray& line : status.readAll().split('\n')) {
        const QList<QByteArray> parts = line.simplified().split(' ');
        if (parts.size() < 2)
            continue;
        if (parts.first() == "Threads:")
            figures.threads = parts.at(1).toInt();
        else if (parts.first() == "VmRSS:")
            figures.residentKiB = parts.at(1).toLongLong();
    }
    return figures;
}

qint64 ProcessFigures::findProcess(const QString& commandLineText)
{
    const QByteArray needle = commandLineText.toLocal8Bit();
    const QStringList entries = QDir(QStringLiteral("/proc")).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString& entry : entries) {
        bool isPid = false;
        const qint64 pid = entry.toLongLong(&isPid);
        if (!isPid)
            continue;
        QFile commandLine(QStringLiteral("/proc/%1/cmdline").arg(pid));
        if (commandLine.open(QIODevice::ReadOnly) && commandLine.readAll().contains(needle))
            return pid;
    }
    return -1;
}

QString ProcessFigures::toString() const
{
    return QStringLiteral("%1 descriptors, %2 threads, %3 KiB resident").arg(descriptors).arg(threads).arg(residentKiB);
}
