#pragma once

#include <QByteArray>
#include <QString>

// The command a client is about to send: what the request is built from. Names in the
// parameters are relative to currentDirectory.
struct PendingCommand
{
    QString commandWord;
    QString param0; // null when the command has none
    QString param1;
    unsigned paramCount = 0; // selects the form body's shape; ignored for "STOR"
    QString currentDirectory;
    QByteArray content; // the file's bytes, "STOR" only
    QString contentFile; // or the local file whose bytes are sent, streamed as they are read
};
