#pragma once

#include <QMainWindow>

#include <memory>

class DocumentController;
class MyDocument;
class QMenu;
class ViewController;

namespace Ui {
class MyDocument;
}

// The window of one document: the layout "MyDocument", the session controller it creates, and
// the menus, whose commands go to the document framework, the document's history or the
// controller. The title names the document and marks unsaved changes.
class DocumentWindow final : public QMainWindow
{
    Q_OBJECT

public:
    DocumentWindow(DocumentController& framework, std::unique_ptr<MyDocument> document);
    ~DocumentWindow() override;

    MyDocument& document() const { return *m_document; }
    ViewController& controller() const { return *m_controller; }
    Ui::MyDocument& ui() const { return *m_ui; }

    // A governed menu command by its object name ("parentDirectoryAction", ...), or null.
    QAction* action(const QString& name) const;
    // Recomputes the enabled state of every governed command.
    void updateMenus();
    void updateTitle();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    QAction* addCommand(QMenu* menu, const char* key, const char* name, const QKeySequence& shortcut = {});
    void buildMenus();
    void fillRecentMenu();

    DocumentController& m_framework;
    std::unique_ptr<Ui::MyDocument> m_ui;
    std::unique_ptr<MyDocument> m_document;
    std::unique_ptr<ViewController> m_controller;
    QMenu* m_recentMenu = nullptr;
};
