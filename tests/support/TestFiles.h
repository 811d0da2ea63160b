#pragma once

#include <QByteArray>
#include <QString>

// Local files for a test's fixtures.
namespace TestFiles {

// Writes content at path, making the folders on the way; a failure fails the calling test.
void writeFile(const QString& path, const QByteArray& content);
// The file's bytes, or "<missing>" when it cannot be read.
QByteArray readFile(const QString& path);

} // namespace TestFiles
