#pragma once

#include <QString>
#include <QtGlobal>

// What /proc says about a running process: open descriptors, threads and resident memory.
struct ProcessFigures
{
    int descriptors = -1;
    int threads = -1;
    qint64 residentKiB = -1;

    // The figures of a process now; all -1 when it cannot be read.
    static ProcessFigures of(qint64 pid);
    // The process whose command line holds the given text (the server's root path), or -1.
    static qint64 findProcess(const QString& commandLineText);

    QString toString() const;
};
