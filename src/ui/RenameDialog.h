#pragma once

#include "ui/MyBaseDialog.h"

class QLabel;

// A new name: for the selected entry (process 1, rename) or for a new directory (any other).
class RenameDialog final : public MyBaseDialog
{
    Q_OBJECT

public:
    static constexpr unsigned kRename = 1;
    static constexpr unsigned kMakeDirectory = 2;

    RenameDialog(MyDocument& document, ViewController& controller, QWidget* documentWindow);

    unsigned process() const { return m_process; }
    void setProcess(unsigned process) { m_process = process; }

    QLabel* titleLabel() const { return m_tile; }
    QLineEdit* nameField() const { return m_name; }

protected:
    QDialog* sheet() override;
    bool canOk() override;
    void onOk() override;

private:
    unsigned m_process = 0;
    QLabel* m_tile;
    QLineEdit* m_name;
};
