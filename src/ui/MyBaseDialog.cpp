#include "ui/MyBaseDialog.h"

#include "util/MyUtil.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

MyBaseDialog::MyBaseDialog(MyDocument& document, ViewController& controller, QWidget* documentWindow)
    : m_document(document)
    , m_controller(controller)
    , m_documentWindow(documentWindow)
    , m_panel(new QDialog(documentWindow, Qt::Sheet))
{
    m_panel->setWindowModality(Qt::WindowModal);
    m_panel->setWindowTitle(QString::fromLatin1(MyUtil::kProductName));
    auto* layout = new QVBoxLayout(m_panel);
    m_form = new QFormLayout;
    layout->addLayout(m_form);
    auto* buttons = new QDialogButtonBox(m_panel);
    // "OK" reads the same in every language.
    QPushButton* ok = buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole);
    buttons->addButton(MyUtil::localized("Cancel"), QDialogButtonBox::RejectRole);
    ok->setDefault(true);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &MyBaseDialog::sheetOk);
    connect(buttons, &QDialogButtonBox::rejected, this, &MyBaseDialog::sheetCancel);
    // Escape and the window's close control cancel.
    connect(m_panel, &QDialog::rejected, this, [this] { m_sheet = nullptr; });
}

MyBaseDialog::~MyBaseDialog()
{
    delete m_panel;
}

QDialog* MyBaseDialog::panel() const
{
    return m_panel;
}

bool MyBaseDialog::isOpen() const
{
    return m_sheet && m_sheet->isVisible();
}

void MyBaseDialog::openDialog(QObject* sender)
{
    m_invoker = sender;
    m_sheet = sheet();
    if (m_sheet)
        m_sheet->open();
}

void MyBaseDialog::sheetOk()
{
    if (m_sheet && canOk())
        sheetDidEnd(1);
}

void MyBaseDialog::sheetCancel()
{
    if (m_sheet)
        sheetDidEnd(0);
}

void MyBaseDialog::sheetDidEnd(int returnCode)
{
    QDialog* shown = m_sheet;
    if (returnCode == 1)
        onOk();
    m_sheet = nullptr;
    if (shown)
        shown->hide();
}

QDialog* MyBaseDialog::sheet()
{
    return nullptr;
}

bool MyBaseDialog::canOk()
{
    return true;
}

void MyBaseDialog::onOk() { }

void MyBaseDialog::focusTo(QLineEdit* field)
{
    field->setFocus(Qt::OtherFocusReason);
    field->selectAll();
}
