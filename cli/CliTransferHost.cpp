#include "CliTransferHost.h"

#include "engine/RemoteSession.h"
#include "util/MyUtil.h"

#include <csignal>
#include <cstdio>

namespace {

std::atomic<bool> g_interrupted = false;

extern "C" void onInterrupt(int)
{
    // A second Ctrl-C ends the program as usual.
    g_interrupted = true;
    std::signal(SIGINT, SIG_DFL);
}

QString humanBytes(double bytes)
{
    const char* units[] = { "B", "KiB", "MiB", "GiB", "TiB" };
    int unit = 0;
    while (bytes >= 1024 && unit < 4) {
        bytes /= 1024;
        ++unit;
    }
    return QString::number(bytes, 'f', unit == 0 ? 0 : 1) + u' ' + QLatin1StringView(units[unit]);
}

} // namespace

CliTransferHost::CliTransferHost(RemoteSession& session, bool showProgress)
    : m_session(session)
    , m_showProgress(showProgress)
{
    m_clock.start();
}

void CliTransferHost::catchInterrupt()
{
    std::signal(SIGINT, onInterrupt);
}

bool CliTransferHost::isCanceled() const
{
    return g_interrupted;
}

void CliTransferHost::setCancel(bool cancel)
{
    // Only the user cancels here; the walks' own resets must not swallow a Ctrl-C.
    if (cancel)
        g_interrupted = true;
}

void CliTransferHost::updateProgressTitle(const QString&, const QString&, const char* formatKey)
{
    // A file's clock starts when it goes on the wire.
    if (qstrcmp(formatKey, "Saving:") != 0)
        m_clock.restart();
}

bool CliTransferHost::fullpathListFileDisplay(FileDisplayCollection& listing)
{
    return m_session.fullpathListFileDisplay(listing);
}

void CliTransferHost::transferred(const QString& name, qint64 bytes)
{
    if (!m_showProgress)
        return;
    const double seconds = std::max<qint64>(m_clock.elapsed(), 1) / 1000.0;
    std::fprintf(stderr, "%s  %lld bytes  %s/s\n", MyUtil::printable(name).toLocal8Bit().constData(),
                 static_cast<long long>(bytes), humanBytes(bytes / seconds).toLocal8Bit().constData());
    std::fflush(stderr);
}

void CliTransferHost::addDummyDirectory(FileDisplayCollection& listing, const QString& name)
{
    listing.addDummyDirectory(name);
}
