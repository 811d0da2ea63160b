#include "ui/SettingDialog.h"

#include "app/MyDocument.h"
#include "ui/NumberOnlyFormatter.h"
#include "util/MyUtil.h"

#include <QDialog>
#include <QFormLayout>
#include <QLineEdit>

SettingDialog::SettingDialog(MyDocument& document, ViewController& controller, QWidget* documentWindow)
    : MyBaseDialog(document, controller, documentWindow)
    , m_url(new QLineEdit(panel()))
    , m_userId(new QLineEdit(panel()))
    , m_password(new QLineEdit(panel()))
    , m_description(new QLineEdit(panel()))
    , m_timeout(new QLineEdit(panel()))
{
    m_url->setObjectName(QStringLiteral("url"));
    m_userId->setObjectName(QStringLiteral("userId"));
    m_password->setObjectName(QStringLiteral("password"));
    m_password->setEchoMode(QLineEdit::Password);
    m_description->setObjectName(QStringLiteral("description"));
    m_timeout->setObjectName(QStringLiteral("timeout"));
    m_timeout->setValidator(new NumberOnlyFormatter(m_timeout));
    m_url->setMinimumWidth(360);
    form()->addRow(MyUtil::localized("Description:"), m_description);
    form()->addRow(MyUtil::localized("URL:"), m_url);
    form()->addRow(MyUtil::localized("User name:"), m_userId);
    form()->addRow(MyUtil::localized("Password:"), m_password);
    form()->addRow(MyUtil::localized("Time-out (seconds):"), m_timeout);
    panel()->setWindowTitle(MyUtil::localized("Connection setting"));
}

QDialog* SettingDialog::sheet()
{
    const ConnectSettings& setting = document().connectionSetting();
    m_description->setText(setting.description());
    m_userId->setText(setting.userId());
    m_url->setText(setting.urlString());
    m_password->setText(setting.password());
    m_timeout->setText(QString::number(qint64(setting.timeout())));
    focusTo(m_description);
    return panel();
}

bool SettingDialog::canOk()
{
    const char* refusal = nullptr;
    if (!MyUtil::isValidHttpProtocol(m_url->text()))
        refusal = "Invalid URL";
    else if (MyUtil::trim(m_userId->text()).isEmpty())
        refusal = "Input user name";
    else if (MyUtil::trim(m_password->text()).isEmpty())
        refusal = "Input password";
    if (!refusal)
        return true;
    MyUtil::messageBoxInternational(refusal);
    // Whichever test failed, the address is where the user starts again.
    focusTo(m_url);
    return false;
}

void SettingDialog::onOk()
{
    ConnectSettings setting;
    setting.setDescription(m_description->text());
    setting.setUrl(m_url->text());
    setting.setUserId(m_userId->text());
    setting.setPassword(m_password->text());
    setting.setTimeout(m_timeout->text().toDouble());
    document().setConnectionSetting(setting);
}
