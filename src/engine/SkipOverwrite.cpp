#include "engine/SkipOverwrite.h"

#include "util/Prompter.h"

#include <QFileInfo>

SkipOverwrite::SkipOverwrite(Policy policy)
    : m_policy(policy)
    , m_ask(policy == Policy::Ask)
    , m_skip(policy != Policy::Overwrite)
{ }

bool SkipOverwrite::answer(const QString& path)
{
    if (m_policy == Policy::Refuse) {
        ++m_refused;
        return true;
    }
    if (m_ask) {
        const Prompter::SkipOrOverwrite reply = Prompter::instance().askSkipOrOverwrite(path);
        m_skip = reply.skip;
        m_ask = !reply.applyToAll;
    }
    return m_skip;
}

bool SkipOverwrite::isSkipRemoteFile(const QString& name)
{
    return answer(name);
}

bool SkipOverwrite::isSkipFile(const QString& localPath, bool directoryWanted)
{
    const QFileInfo existing(localPath);
    if (!existing.exists() && !existing.isSymLink())
        return false;
    // An existing directory is merged into, except after an "apply to all" answer, which stands
    // for every existing item.
    if (directoryWanted && existing.isDir() && (m_ask || m_policy != Policy::Ask))
        return false;
    return answer(localPath);
}
