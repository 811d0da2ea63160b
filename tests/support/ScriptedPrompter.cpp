#include "support/ScriptedPrompter.h"

ScriptedPrompter::ScriptedPrompter()
{
    m_previous = Prompter::install(std::unique_ptr<Prompter>(this));
}

ScriptedPrompter::~ScriptedPrompter()
{
    // Hand the slot back; the returned pointer is this object, which is being destroyed already.
    Prompter::install(std::move(m_previous)).release();
}

void ScriptedPrompter::messageBox(const QString& message, const QString& title)
{
    Q_UNUSED(title);
    QMutexLocker lock(&m_mutex);
    m_messages.append(message);
}

bool ScriptedPrompter::askYesNo(const QString& question, const QString& title)
{
    Q_UNUSED(title);
    QMutexLocker lock(&m_mutex);
    m_questions.append(question);
    return m_yesNoAnswers.isEmpty() ? false : m_yesNoAnswers.dequeue();
}

Prompter::SkipOrOverwrite ScriptedPrompter::askSkipOrOverwrite(const QString& path)
{
    std::function<void(const QString&)> hook;
    {
        QMutexLocker lock(&m_mutex);
        hook = m_conflictHook;
    }
    if (hook)
        hook(path);
    QMutexLocker lock(&m_mutex);
    m_panels.append(u"conflict:" + path);
    return m_conflictAnswers.isEmpty() ? SkipOrOverwrite {} : m_conflictAnswers.dequeue();
}

QString ScriptedPrompter::chooseOpenPath(const QString& directory)
{
    QMutexLocker lock(&m_mutex);
    m_panels.append(u"open:" + directory);
    return m_paths.isEmpty() ? QString() : m_paths.dequeue();
}

QString ScriptedPrompter::chooseSavePath(const QString& directory, const QString& proposedName)
{
    QMutexLocker lock(&m_mutex);
    m_panels.append(u"save:" + directory + u'|' + proposedName);
    return m_paths.isEmpty() ? QString() : m_paths.dequeue();
}

void ScriptedPrompter::answerSkipOrOverwrite(bool skip, bool applyToAll)
{
    QMutexLocker lock(&m_mutex);
    m_conflictAnswers.enqueue({ skip, applyToAll });
}

void ScriptedPrompter::onConflict(std::function<void(const QString&)> hook)
{
    QMutexLocker lock(&m_mutex);
    m_conflictHook = std::move(hook);
}

void ScriptedPrompter::answerPath(const QString& path)
{
    QMutexLocker lock(&m_mutex);
    m_paths.enqueue(path);
}

QStringList ScriptedPrompter::panels() const
{
    QMutexLocker lock(&m_mutex);
    return m_panels;
}

void ScriptedPrompter::answerYesNo(bool yes)
{
    QMutexLocker lock(&m_mutex);
    m_yesNoAnswers.enqueue(yes);
}

QStringList ScriptedPrompter::messages() const
{
    QMutexLocker lock(&m_mutex);
    return m_messages;
}

QStringList ScriptedPrompter::questions() const
{
    QMutexLocker lock(&m_mutex);
    return m_questions;
}

void ScriptedPrompter::clear()
{
    QMutexLocker lock(&m_mutex);
    m_messages.clear();
    m_questions.clear();
    m_yesNoAnswers.clear();
    m_conflictAnswers.clear();
    m_paths.clear();
    m_panels.clear();
}
