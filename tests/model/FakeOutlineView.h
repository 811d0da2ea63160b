#pragma once

#include "model/OutlineView.h"

#include <QStringList>

// An outline view for model tests: records what it was asked to expand and select.
class FakeOutlineView final : public OutlineView
{
public:
    void expandItem(FileDisplayCollection& item) override;
    void selectItem(FileDisplayCollection& item) override;

    QStringList events() const { return m_events; }

private:
    QStringList m_events;
};
