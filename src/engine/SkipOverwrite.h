#pragma once

#include <QString>

// The skip-or-overwrite question of one operation: asked at each name conflict until the user
// ticks "apply to all", or answered by a policy given up front.
class SkipOverwrite
{
public:
    enum class Policy {
        Ask, // ask through the Prompter
        Skip, // keep every existing item
        Overwrite, // replace every existing item
        Refuse, // keep every existing item and count it as a failure
    };

    explicit SkipOverwrite(Policy policy = Policy::Ask);

    // A remote entry of that name exists in the target listing: true to leave it alone.
    bool isSkipRemoteFile(const QString& name);
    // Is something at a local target path to be kept? A directory wanted where one exists is
    // merged into without asking, unless the user's answer was to apply to all.
    bool isSkipFile(const QString& localPath, bool directoryWanted);
    // Conflicts refused under the Refuse policy.
    int refusedCount() const { return m_refused; }

private:
    bool answer(const QString& path);

    Policy m_policy;
    bool m_ask;
    bool m_skip;
    int m_refused = 0;
};
