#pragma once

#include "document/ConnectSettings.h"
#include "protocol/ListingReceiver.h"
#include "protocol/ResultTarget.h"

#include <QStringList>

// A result target that remembers what a client handed it, in order.
class RecordingTarget final : public ResultTarget, public ListingReceiver
{
public:
    ConnectSettings settings;
    QStringList directories; // "<null>" for an absent one
    QStringList events; // "path:/x", "line:...", "end"
    int disconnects = 0;

    ConnectSettings connectionSetting() const override { return settings; }
    void setCurrentDirectory(const QString& directory) override
    {
        directories.append(directory.isNull() ? QStringLiteral("<null>") : directory);
    }
    ListingReceiver* fileDisplayController() override { return this; }
    void disconnected() override { ++disconnects; }

    void setProcessPath(const QString& path) override { events.append(u"path:" + path); }
    void addFileDisplay(const QString& line) override { events.append(u"line:" + line); }
    void addFileDisplayEnd() override { events.append(QStringLiteral("end")); }
};
