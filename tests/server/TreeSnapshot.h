#pragma once

#include <QString>
#include <QStringList>

// A description of everything under a directory (each entry's relative path, kind, permission
// bits, size, link target and a digest of its content), for asserting that a request changed
// nothing on disk.
class TreeSnapshot
{
public:
    static QStringList take(const QString& directory);
};
