#pragma once

class FileDisplayCollection;

// What the directory tree needs of the view that shows it: expanding a node and selecting one.
class OutlineView
{
public:
    virtual ~OutlineView() = default;

    virtual void expandItem(FileDisplayCollection& item) = 0;
    // Selects the item's row alone, replacing the selection.
    virtual void selectItem(FileDisplayCollection& item) = 0;
};
