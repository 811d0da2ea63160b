#pragma once

#include <QObject>
#include <QPointer>
#include <QWidget>

class MyDocument;
class QDialog;
class QFormLayout;
class QLineEdit;
class ViewController;

// The protocol of the small input dialogs of a document window: a panel modal for that window
// only, filled afresh each time it opens (sheet), whose OK is accepted only when the input passes
// (canOk) and then acted on (onOk) while the panel is still up, after which it is hidden. Cancel
// hides it without acting. The same object serves every opening.
class MyBaseDialog : public QObject
{
    Q_OBJECT

public:
    MyBaseDialog(MyDocument& document, ViewController& controller, QWidget* documentWindow);
    ~MyBaseDialog() override;

    // Remembers the control that opened the dialog and shows the panel.
    void openDialog(QObject* sender = nullptr);
    // The OK button: ends the dialog with code 1 when the input passes, else keeps it open.
    void sheetOk();
    // The Cancel button (and Escape): ends the dialog with code 0.
    void sheetCancel();

    // The panel the dialog shows (it belongs to the document window).
    QDialog* panel() const;
    bool isOpen() const;
    QObject* invoker() const { return m_invoker; }

    // Puts the keyboard focus into a field with its whole text selected, so typing replaces it.
    static void focusTo(QLineEdit* field);

protected:
    // Fills the panel from the current data and gives it; null shows nothing.
    virtual QDialog* sheet();
    virtual bool canOk();
    virtual void onOk();

    QFormLayout* form() const { return m_form; }
    MyDocument& document() const { return m_document; }
    ViewController& controller() const { return m_controller; }
    QWidget* documentWindow() const { return m_documentWindow; }

private:
    void sheetDidEnd(int returnCode);

    MyDocument& m_document;
    ViewController& m_controller;
    QPointer<QWidget> m_documentWindow;
    QPointer<QDialog> m_panel;
    QFormLayout* m_form = nullptr;
    QDialog* m_sheet = nullptr;
    QPointer<QObject> m_invoker;
};
