#include "ui/RenameDialog.h"

#include "session/ViewController.h"
#include "ui/FileNameFormatter.h"
#include "util/MyUtil.h"

#include <QDialog>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>

RenameDialog::RenameDialog(MyDocument& document, ViewController& controller, QWidget* documentWindow)
    : MyBaseDialog(document, controller, documentWindow)
    , m_tile(new QLabel(panel()))
    , m_name(new QLineEdit(panel()))
{
    m_name->setObjectName(QStringLiteral("name"));
    m_name->setValidator(new FileNameFormatter(m_name));
    m_name->setMinimumWidth(300);
    form()->addRow(m_tile);
    form()->addRow(MyUtil::localized("Name:"), m_name);
}

QDialog* RenameDialog::sheet()
{
    const bool rename = m_process == kRename;
    m_tile->setText(MyUtil::localized(rename ? "ren" : "mkdir"));
    panel()->setWindowTitle(m_tile->text());
    m_name->setText(rename ? controller().currentFileName() : QString());
    focusTo(m_name);
    return panel();
}

bool RenameDialog::canOk()
{
    const QString name = m_name->text();
    const char* refusal = nullptr;
    if (name.isEmpty())
        refusal = m_process == kRename ? "specify file name" : "specify directory name";
    else if (!FileNameFormatter::isValidFileName(name))
        refusal = "invalid path name";
    if (!refusal)
        return true;
    MyUtil::messageBoxInternational(refusal);
    focusTo(m_name);
    return false;
}

void RenameDialog::onOk()
{
    if (m_process == kRename)
        controller().renameFileTo(m_name->text());
    else
        controller().mkd(m_name->text());
}
