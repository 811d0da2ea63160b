#include "ui/ChmodDialog.h"

#include "session/ViewController.h"
#include "ui/FromZeroToSevenFormatter.h"
#include "util/MyUtil.h"

#include <QDialog>
#include <QFormLayout>
#include <QLineEdit>

ChmodDialog::ChmodDialog(MyDocument& document, ViewController& controller, QWidget* documentWindow)
    : MyBaseDialog(document, controller, documentWindow)
    , m_mode(new QLineEdit(panel()))
{
    m_mode->setObjectName(QStringLiteral("mode"));
    m_mode->setValidator(new FromZeroToSevenFormatter(m_mode));
    form()->addRow(MyUtil::localized("Mode:"), m_mode);
    panel()->setWindowTitle(MyUtil::localized("chmod"));
}

QDialog* ChmodDialog::sheet()
{
    m_mode->setText(controller().currentFileMode());
    focusTo(m_mode);
    return panel();
}

bool ChmodDialog::canOk()
{
    const QString mode = m_mode->text();
    bool valid = mode.size() == 3;
    for (const QChar c : mode)
        valid = valid && c >= u'0' && c <= u'7';
    if (valid)
        return true;
    MyUtil::messageBoxInternational("invalid mode string");
    focusTo(m_mode);
    return false;
}

void ChmodDialog::onOk()
{
    controller().chmodFileTo(m_mode->text());
}
