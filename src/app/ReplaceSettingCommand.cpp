#include "app/ReplaceSettingCommand.h"

#include "app/MyDocument.h"

#include <QCoreApplication>

ReplaceSettingCommand::ReplaceSettingCommand(MyDocument& document, ConnectSettings previous, ConnectSettings next)
    : QUndoCommand(QCoreApplication::translate("Plumoxa", "Change Setting"))
    , m_document(document)
    , m_previous(std::move(previous))
    , m_next(std::move(next))
{ }

void ReplaceSettingCommand::undo()
{
    m_document.applyConnectionSetting(m_previous);
    m_document.setDirty(MyDocument::Change::Undo);
}

void ReplaceSettingCommand::redo()
{
    m_document.applyConnectionSetting(m_next);
    m_document.setDirty(m_done ? MyDocument::Change::Redo : MyDocument::Change::New);
    m_done = true;
}
