#include "ui/ChangeDirectoryDialog.h"

#include "session/ViewController.h"
#include "util/MyUtil.h"

#include <QDialog>
#include <QFormLayout>
#include <QLineEdit>

ChangeDirectoryDialog::ChangeDirectoryDialog(MyDocument& document, ViewController& controller, QWidget* documentWindow)
    : MyBaseDialog(document, controller, documentWindow)
    , m_dirName(new QLineEdit(panel()))
{
    m_dirName->setObjectName(QStringLiteral("directory"));
    m_dirName->setMinimumWidth(300);
    form()->addRow(MyUtil::localized("Directory:"), m_dirName);
    panel()->setWindowTitle(MyUtil::localized("Go to directory"));
}

QDialog* ChangeDirectoryDialog::sheet()
{
    m_dirName->setText(m_currentDirectry);
    focusTo(m_dirName);
    return panel();
}

FileDisplayCollection* ChangeDirectoryDialog::fileDisplay() const
{
    QString path = m_dirName->text();
    if (!path.isEmpty() && path != u"/" && path.endsWith(u'/'))
        path.chop(1);
    FileDisplay* found = controller().tree().retrieveFileDisplay(path);
    return found ? found->asCollection() : nullptr;
}

bool ChangeDirectoryDialog::canOk()
{
    if (fileDisplay())
        return true;
    MyUtil::messageBoxInternational("dir not found");
    focusTo(m_dirName);
    return false;
}

void ChangeDirectoryDialog::onOk()
{
    if (FileDisplayCollection* directory = fileDisplay())
        controller().directoryDoubleClicked(*directory);
}
