#include "FakeOutlineView.h"

#include "model/FileDisplayCollection.h"

void FakeOutlineView::expandItem(FileDisplayCollection& item)
{
    m_events.append(QStringLiteral("expand ") + item.fullPath());
}

void FakeOutlineView::selectItem(FileDisplayCollection& item)
{
    m_events.append(QStringLiteral("select ") + item.fullPath());
}
