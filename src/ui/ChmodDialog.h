#pragma once

#include "ui/MyBaseDialog.h"

// The permission mode of the selected entry as three octal digits.
class ChmodDialog final : public MyBaseDialog
{
    Q_OBJECT

public:
    ChmodDialog(MyDocument& document, ViewController& controller, QWidget* documentWindow);

    QLineEdit* modeField() const { return m_mode; }

protected:
    QDialog* sheet() override;
    bool canOk() override;
    void onOk() override;

private:
    QLineEdit* m_mode;
};
