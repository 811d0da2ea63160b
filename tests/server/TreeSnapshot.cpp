#include "TreeSnapshot.h"

#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

QStringList TreeSnapshot::take(const QString& directory)
{
    QStringList entries;
    QDirIterator it(directory, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    const QDir base(directory);
    while (it.hasNext()) {
        const QString path = it.next();
        const QFileInfo info(path);
        QString line = base.relativeFilePath(path) + QLatin1Char(' ') + QString::number(int(info.permissions()), 16);
        if (info.isSymLink()) {
            line += QLatin1String(" link ") + info.symLinkTarget();
        } else if (info.isDir()) {
            line += QLatin1String(" dir");
        } else {
            QFile file(path);
            QCryptographicHash hash(QCryptographicHash::Sha256);
            if (file.open(QIODevice::ReadOnly))
                hash.addData(&file);
            line += QLatin1String(" file ") + QString::number(info.size()) + QLatin1Char(' ')
                + QString::fromLatin1(hash.result().toHex());
        }
        entries.append(line);
    }
    entries.sort();
    return entries;
}
