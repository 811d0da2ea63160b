#pragma once

#include "ui/MyBaseDialog.h"

// The connection setting of the document: label, URL, user name, password and time-out. An
// accepted setting replaces the document's as one undoable change.
class SettingDialog final : public MyBaseDialog
{
    Q_OBJECT

public:
    SettingDialog(MyDocument& document, ViewController& controller, QWidget* documentWindow);

    QLineEdit* urlField() const { return m_url; }
    QLineEdit* userIdField() const { return m_userId; }
    QLineEdit* passwordField() const { return m_password; }
    QLineEdit* descriptionField() const { return m_description; }
    QLineEdit* timeoutField() const { return m_timeout; }

protected:
    QDialog* sheet() override;
    bool canOk() override;
    void onOk() override;

private:
    QLineEdit* m_url;
    QLineEdit* m_userId;
    QLineEdit* m_password;
    QLineEdit* m_description;
    QLineEdit* m_timeout;
};
