#pragma once

#include <QString>

// Where the listing blocks of a reply go: the directory tree of a session.
class ListingReceiver
{
public:
    virtual ~ListingReceiver() = default;

    // The directory whose lines follow, exactly as the server names it.
    virtual void setProcessPath(const QString& path) = 0;
    // One listing line for that directory, unchanged.
    virtual void addFileDisplay(const QString& line) = 0;
    // The directory's listing is complete (after a "CONN" block only).
    virtual void addFileDisplayEnd() = 0;
};
