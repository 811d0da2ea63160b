#pragma once

#include "document/ConnectSettings.h"

#include <QUndoCommand>

class MyDocument;

// One accepted setting dialog: undo puts the previous setting back, redo the newer one.
class ReplaceSettingCommand final : public QUndoCommand
{
public:
    ReplaceSettingCommand(MyDocument& document, ConnectSettings previous, ConnectSettings next);

    void undo() override;
    void redo() override;

private:
    MyDocument& m_document;
    ConnectSettings m_previous;
    ConnectSettings m_next;
    bool m_done = false; // the first redo is the change itself
};
