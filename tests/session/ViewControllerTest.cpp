#include "SessionWindow.h"

#include "app/DocumentWindow.h"
#include "app/MyDocument.h"
#include "session/ViewController.h"
#include "support/ScriptedPrompter.h"
#include "support/TestRegistry.h"
#include "ui/ChangeDirectoryDialog.h"
#include "ui/FileDropTableView.h"

#include "ui_MyDocument.h"

#include <QAbstractItemModelTester>
#include <QDialog>
#include <QDir>
#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTreeView>

namespace {

QModelIndex treeIndex(const SessionWindow& session, const QString& path)
{
    FileDisplay* node = session.controller().tree().retrieveFileDisplay(path);
    return node && node->asCollection() ? session.controller().treeModel().indexOf(node->asCollection())
                                        : QModelIndex();
}

int tableRow(const SessionWindow& session, const QString& name)
{
    return int(session.tableNames().indexOf(name));
}

} // namespace

class ViewControllerTest : public QObject
{
    Q_OBJECT

private slots:
    void connectShowsTheStartDirectory()
    {
        ScriptedPrompter prompter;
        SessionWindow session;
        QVERIFY(session.start());
        Ui::MyDocument& ui = session.window().ui();
        QCOMPARE(ui.connectButton->text(), QStringLiteral("Connect"));
        QVERIFY(ui.settingButton->isEnabled());
        QVERIFY(session.connect());

        QCOMPARE(ui.connectButton->text(), QStringLiteral("Disconnect"));
        QVERIFY(!ui.settingButton->isEnabled());
        QCOMPARE(session.tableNames(), QStringList({ "a", "empty", "x.txt" }));
        QCOMPARE(ui.statusField->text(), QStringLiteral("/ [3 files]"));
        QCOMPARE(session.controller().tree().currentDirectory(), QStringLiteral("/"));
        // The tree shows the root open, hidden directories included.
        const QStringList rows = session.visibleTreeRows();
        QCOMPARE(rows.first(), QStringLiteral("/"));
        QVERIFY(rows.contains(QStringLiteral("a")));
        QVERIFY(rows.contains(QStringLiteral(".hidden")));
        QVERIFY(prompter.messages().isEmpty());
    }

    void disconnectSendsNothing()
    {
        ScriptedPrompter prompter;
        SessionWindow session;
        QVERIFY(session.start());
        QVERIFY(session.connect());
        const int requests = session.requestCount();

        session.controller().connectButton();
        Ui::MyDocument& ui = session.window().ui();
        QVERIFY(!session.controller().isConnected());
        QCOMPARE(session.requestCount(), requests);
        QCOMPARE(ui.connectButton->text(), QStringLiteral("Connect"));
        QVERIFY(ui.settingButton->isEnabled());
        QVERIFY(!session.controller().shownListing());
        QCOMPARE(ui.fileView->model()->rowCount(), 0);
        QCOMPARE(session.controller().tree().currentDirectory(), QStringLiteral("/"));
        QCOMPARE(session.visibleTreeRows(), QStringList({ "/" }));
        QCOMPARE(ui.statusField->text(), QString());
    }

    void emptyUrlSendsNothing()
    {
        ScriptedPrompter prompter;
        SessionWindow session;
        QVERIFY(session.start());
        session.window().document().applyConnectionSetting(ConnectSettings());
        session.controller().connectButton();
        QCOMPARE(prompter.messages(), QStringList({ "No connect settings" }));
        QCOMPARE(session.requestCount(), 0);
        QCOMPARE(session.window().ui().connectButton->text(), QStringLiteral("Connect"));
        QVERIFY(!session.controller().isConnected());
    }

    void failedLoginStaysDisconnected()
    {
        ScriptedPrompter prompter;
        SessionWindow session;
        QVERIFY(session.start());
        ConnectSettings setting = session.window().document().connectionSetting();
        setting.setPassword(QStringLiteral("wrong"));
        session.window().document().applyConnectionSetting(setting);
        session.controller().connectButton();
        QCOMPARE(prompter.messages(), QStringList({ "connect failed" }));
        QVERIFY(!session.controller().isConnected());
        QVERIFY(!session.controller().shownListing());
        QCOMPARE(session.window().ui().connectButton->text(), QStringLiteral("Connect"));
        QCOMPARE(session.visibleTreeRows(), QStringList({ "/" }));
    }

    void failedListingLeavesNoDataSource()
    {
        ScriptedPrompter prompter;
        SessionWindow session;
        QVERIFY(session.start());
        QVERIFY(session.connect());
        QVERIFY(QDir(session.server().rootPath()).rename(QStringLiteral("a"), QStringLiteral("gone")));
        FileDisplay* a = session.controller().tree().retrieveFileDisplay(QStringLiteral("/a"));
        QVERIFY(a);
        session.controller().directorySelectionHasChanged(*a->asCollection());
        QCOMPARE(prompter.messages(), QStringList({ "LIST failed" }));
        QVERIFY(!session.controller().shownListing());
        QCOMPARE(session.window().ui().fileView->model()->rowCount(), 0);
        QVERIFY(session.controller().isConnected());
        QCOMPARE(session.window().ui().statusField->text(), QStringLiteral("/a [0 files]"));
    }

    void treeClickShowsTheDirectory()
    {
        ScriptedPrompter prompter;
        SessionWindow session;
        QVERIFY(session.start());
        QVERIFY(session.connect());
        QTreeView* tree = session.window().ui().directoryView;
        const QModelIndex a = treeIndex(session, QStringLiteral("/a"));
        QVERIFY(a.isValid());
        QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, tree->visualRect(a).center());
        QCOMPARE(session.controller().tree().currentDirectory(), QStringLiteral("/a"));
        QCOMPARE(session.tableNames(), QStringList({ "b", "c", "y.txt" }));
        QCOMPARE(session.window().ui().statusField->text(), QStringLiteral("/a [3 files]"));
        QCOMPARE(session.controller().fileSelectionCount(), 1);
    }

    void doubleClickOpensDirectoriesOnly()
    {
        ScriptedPrompter prompter;
        SessionWindow session;
        QVERIFY(session.start());
        QVERIFY(session.connect());
        FileDropTableView* table = session.window().ui().fileView;
        const auto rowCenter = [&](const QString& name) {
            return table->visualRect(table->model()->index(tableRow(session, name), 1)).center();
        };
        const int requests = session.requestCount();
        QTest::mouseDClick(table->viewport(), Qt::LeftButton, {}, rowCenter(QStringLiteral("x.txt")));
        QCOMPARE(session.requestCount(), requests);
        QCOMPARE(session.controller().tree().currentDirectory(), QStringLiteral("/"));

        QTest::mouseDClick(table->viewport(), Qt::LeftButton, {}, rowCenter(QStringLiteral("a")));
        QCOMPARE(session.controller().tree().currentDirectory(), QStringLiteral("/a"));
        QCOMPARE(session.tableNames(), QStringList({ "b", "c", "y.txt" }));
        // The tree follows: /a is open and selected.
        const QModelIndex a = treeIndex(session, QStringLiteral("/a"));
        QVERIFY(session.window().ui().directoryView->isExpanded(a));
        QCOMPARE(session.window().ui().directoryView->selectionModel()->selectedIndexes(), QModelIndexList({ a }));
    }

    void parentDirectory_data()
    {
        QTest::addColumn<QString>("from");
        QTest::addColumn<QString>("expected");
        QTest::newRow("two levels") << "/a/b"
                                    << "/a";
        QTest::newRow("one level") << "/a"
                                   << "/";
        QTest::newRow("root") << "/"
                              << "/";
    }

    void parentDirectory()
    {
        QFETCH(QString, from);
        QFETCH(QString, expected);
        ScriptedPrompter prompter;
        SessionWindow session;
        QVERIFY(session.start());
        QVERIFY(session.connect());
        ViewController& controller = session.controller();
        FileDisplayCollection* node = controller.tree().collection();
        for (const QString& name : from.split(u'/', Qt::SkipEmptyParts)) {
            node = node->fileDisplay(name)->asCollection();
            controller.directoryDoubleClicked(*node);
        }
        QCOMPARE(controller.tree().currentDirectory(), from);
        controller.parentDirectory();
        QCOMPARE(controller.tree().currentDirectory(), expected);
        QCOMPARE(controller.shownListing()->fullPath(), expected);
        QVERIFY(prompter.messages().isEmpty());
    }

    void changeDirectoryDialog_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("expected"); // empty: refused
        QTest::newRow("known directory") << "/a"
                                         << "/a";
        QTest::newRow("trailing slash") << "/a/"
                                        << "/a";
        QTest::newRow("root") << "/"
                              << "/";
        QTest::newRow("never listed") << "/a/b"
                                      << "";
        QTest::newRow("a file") << "/x.txt"
                                << "";
        QTest::newRow("missing") << "/nope"
                                 << "";
    }

    void changeDirectoryDialog()
    {
        QFETCH(QString, typed);
        QFETCH(QString, expected);
        ScriptedPrompter prompter;
        SessionWindow session;
        QVERIFY(session.start());
        QVERIFY(session.connect());
        ViewController& controller = session.controller();
        controller.directoryDoubleClicked(
            *controller.tree().retrieveFileDisplay(QStringLiteral("/empty"))->asCollection());
        controller.changeDirectory();
        ChangeDirectoryDialog* dialog = controller.cdDialog();
        QVERIFY(dialog->isOpen());
        QCOMPARE(dialog->directoryField()->text(), QStringLiteral("/empty"));
        dialog->directoryField()->setText(typed);
        dialog->sheetOk();
        if (expected.isEmpty()) {
            QCOMPARE(prompter.messages(), QStringList({ "dir not found" }));
            QVERIFY(dialog->isOpen());
            QCOMPARE(dialog->panel()->focusWidget(), dialog->directoryField());
            QCOMPARE(dialog->directoryField()->selectedText(), typed);
            QCOMPARE(controller.tree().currentDirectory(), QStringLiteral("/empty"));
            dialog->sheetCancel();
        } else {
            QVERIFY(prompter.messages().isEmpty());
            QCOMPARE(controller.tree().currentDirectory(), expected);
            QCOMPARE(controller.shownListing()->fullPath(), expected);
        }
        QVERIFY(!dialog->isOpen());
    }

    void treeListsUnknownNodesWhenOpened()
    {
        ScriptedPrompter prompter;
        SessionWindow session;
        QVERIFY(session.start());
        QVERIFY(session.connect());
        QTreeView* tree = session.window().ui().directoryView;
        const auto listings = [&](const char* dir) {
            return int(session.server().log().count(u"cmd=\"LIST\" dir=\"" + QLatin1String(dir) + u'"'));
        };
        // Counting the children of an unknown node lists nothing.
        const QModelIndex a = treeIndex(session, QStringLiteral("/a"));
        QCOMPARE(tree->model()->rowCount(a), 0);
        QCOMPARE(listings("/a"), 0);

        tree->expand(a);
        QTRY_COMPARE_WITH_TIMEOUT(listings("/a"), 1, 10000);
        QCOMPARE(tree->model()->rowCount(a), 2);
        QVERIFY(session.visibleTreeRows().contains(QStringLiteral("b")));
        // Known subdirectories: opened again, not listed again.
        tree->collapse(a);
        tree->expand(a);
        QCoreApplication::processEvents();
        QCOMPARE(listings("/a"), 1);
        // The window still works in the shown directory.
        QCOMPARE(session.controller().tree().currentDirectory(), QStringLiteral("/"));
        QCOMPARE(session.controller().client().currentDirectory(), QStringLiteral("/"));
        QCOMPARE(session.tableNames(), QStringList({ "a", "empty", "x.txt" }));

        // A node without subdirectories is listed again each time it is opened.
        const QModelIndex empty = treeIndex(session, QStringLiteral("/empty"));
        tree->expand(empty);
        QTRY_COMPARE_WITH_TIMEOUT(listings("/empty"), 1, 10000);
        tree->collapse(empty);
        tree->expand(empty);
        QTRY_COMPARE_WITH_TIMEOUT(listings("/empty"), 2, 10000);
    }

    void modelsStayConsistentThroughASession()
    {
        ScriptedPrompter prompter;
        SessionWindow session;
        QVERIFY(session.start());
        ViewController& controller = session.controller();
        QAbstractItemModelTester tableTester(&controller.tableModel(),
                                             QAbstractItemModelTester::FailureReportingMode::QtTest);
        QAbstractItemModelTester treeTester(&controller.treeModel(),
                                            QAbstractItemModelTester::FailureReportingMode::QtTest);
        QVERIFY(session.connect());
        QTreeView* tree = session.window().ui().directoryView;
        tree->expandAll();
        QTRY_VERIFY_WITH_TIMEOUT(controller.tree().retrieveFileDisplay(QStringLiteral("/a/b")), 10000);
        controller.directoryDoubleClicked(
            *controller.tree().retrieveFileDisplay(QStringLiteral("/a/b"))->asCollection());
        QCOMPARE(session.tableNames(), QStringList({ "z.txt" }));
        controller.parentDirectory();
        controller.reloadMenu();
        controller.tableModel().sortByColumn(FileTableModel::Size);
        controller.connectButton();
        QVERIFY(!controller.isConnected());
        QVERIFY(!QTest::currentTestFailed());
    }

    void statusAndModeOfTheSelection()
    {
        ScriptedPrompter prompter;
        SessionWindow session;
        QVERIFY(QFile::setPermissions(session.server().rootPath() + QStringLiteral("/x.txt"),
                                      QFile::ReadGroup | QFile::ReadOther));
        QVERIFY(session.start());
        QVERIFY(session.connect());
        ViewController& controller = session.controller();
        controller.setFileCursorPosition(tableRow(session, QStringLiteral("x.txt")));
        QCOMPARE(controller.currentFileMode(), QStringLiteral("044"));
        QCOMPARE(controller.currentFileName(), QStringLiteral("x.txt"));
        QCOMPARE(controller.fileSelectionCount(), 1);
    }

    void headerClicksSortWithTheIndicator()
    {
        ScriptedPrompter prompter;
        SessionWindow session;
        QVERIFY(session.start());
        QVERIFY(session.connect());
        FileDropTableView* table = session.window().ui().fileView;
        QHeaderView* header = table->horizontalHeader();
        QCOMPARE(header->sortIndicatorSection(), int(FileTableModel::Name));
        QCOMPARE(header->sortIndicatorOrder(), Qt::AscendingOrder);

        const auto click = [&](int column) {
            QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                              QPoint(header->sectionViewportPosition(column) + 5, header->height() / 2));
        };
        click(FileTableModel::Name);
        QCOMPARE(header->sortIndicatorOrder(), Qt::DescendingOrder);
        QCOMPARE(session.tableNames(), QStringList({ "x.txt", "empty", "a" }));
        click(FileTableModel::Icon);
        QCOMPARE(header->sortIndicatorSection(), int(FileTableModel::Name));
        QCOMPARE(header->sortIndicatorOrder(), Qt::DescendingOrder);

        // Each directory keeps its own sort; the indicator follows the table.
        ViewController& controller = session.controller();
        controller.directoryDoubleClicked(*controller.tree().retrieveFileDisplay(QStringLiteral("/a"))->asCollection());
        QCOMPARE(header->sortIndicatorSection(), int(FileTableModel::Name));
        QCOMPARE(header->sortIndicatorOrder(), Qt::AscendingOrder);
        click(FileTableModel::Size);
        QCOMPARE(header->sortIndicatorSection(), int(FileTableModel::Size));
        QCOMPARE(header->sortIndicatorOrder(), Qt::AscendingOrder);
        controller.parentDirectory();
        QCOMPARE(header->sortIndicatorSection(), int(FileTableModel::Name));
        QCOMPARE(header->sortIndicatorOrder(), Qt::DescendingOrder);
    }

    void removeAsksFirst_data()
    {
        QTest::addColumn<bool>("yes");
        QTest::newRow("declined") << false;
        QTest::newRow("accepted") << true;
    }

    void removeAsksFirst()
    {
        QFETCH(bool, yes);
        ScriptedPrompter prompter;
        SessionWindow session;
        QVERIFY(session.start());
        QVERIFY(session.connect());
        ViewController& controller = session.controller();
        session.window().ui().fileView->selectRows(
            { tableRow(session, QStringLiteral("empty")), tableRow(session, QStringLiteral("x.txt")) });
        QCOMPARE(controller.fileSelectionCount(), 2);
        const int requests = session.requestCount();
        prompter.answerYesNo(yes);
        controller.removeFileMenu();
        QCOMPARE(prompter.questions(), QStringList({ "are you remove" }));
        const QDir root(session.server().rootPath());
        if (!yes) {
            QCOMPARE(session.requestCount(), requests);
            QCOMPARE(session.tableNames(), QStringList({ "a", "empty", "x.txt" }));
            return;
        }
        QVERIFY(prompter.messages().isEmpty());
        QCOMPARE(session.tableNames(), QStringList({ "a" }));
        QVERIFY(!root.exists(QStringLiteral("empty")));
        QVERIFY(!root.exists(QStringLiteral("x.txt")));
        QCOMPARE(controller.currentFileName(), QStringLiteral("a"));
    }

    void selectAddedFiles_data()
    {
        QTest::addColumn<QStringList>("paths");
        QTest::addColumn<QStringList>("selected");
        QTest::newRow("two of three") << QStringList { "/home/u/x.txt", "/tmp/a", "/tmp/none" }
                                      << QStringList { "a", "x.txt" };
        QTest::newRow("none in the listing") << QStringList { "/tmp/none" } << QStringList {};
    }

    void selectAddedFiles()
    {
        QFETCH(QStringList, paths);
        QFETCH(QStringList, selected);
        ScriptedPrompter prompter;
        SessionWindow session;
        QVERIFY(session.start());
        QVERIFY(session.connect());
        session.controller().selectAddedFiles(paths);
        QStringList names;
        for (const int row : session.window().ui().fileView->selectedRows())
            names.append(session.tableNames().at(row));
        QCOMPARE(names, selected);
    }

    void modeCellEdit_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QString>("message");
        QTest::addColumn<bool>("sent");
        QTest::newRow("new mode") << "600"
                                  << "600"
                                  << "" << true;
        QTest::newRow("two digits") << "75"
                                    << "644"
                                    << "Invalid mode format" << false;
        QTest::newRow("unchanged") << "644"
                                   << "644"
                                   << "" << false;
    }

    void modeCellEdit()
    {
        QFETCH(QString, typed);
        QFETCH(QString, shown);
        QFETCH(QString, message);
        QFETCH(bool, sent);
        ScriptedPrompter prompter;
        SessionWindow session;
        const QString path = session.server().rootPath() + QStringLiteral("/x.txt");
        QVERIFY(
            QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther));
        QVERIFY(session.start());
        QVERIFY(session.connect());
        FileDropTableView* table = session.window().ui().fileView;
        const QModelIndex mode
            = table->model()->index(tableRow(session, QStringLiteral("x.txt")), FileTableModel::Mode);
        const int requests = session.requestCount();
        table->setCurrentIndex(mode);
        table->edit(mode);
        auto* editor = table->findChild<QLineEdit*>();
        QVERIFY(editor);
        QCOMPARE(editor->text(), QStringLiteral("644"));
        editor->setText(typed);
        // The editor hands its text over from the event loop.
        QSignalSpy closed(table->itemDelegate(), &QAbstractItemDelegate::closeEditor);
        QTest::keyClick(editor, Qt::Key_Return);
        QTRY_COMPARE(closed.count(), 1);
        QCOMPARE(mode.data().toString(), shown);
        QCOMPARE(prompter.messages(), message.isEmpty() ? QStringList() : QStringList({ message }));
        QCOMPARE(session.requestCount(), sent ? requests + 1 : requests);
        QCOMPARE(QFileInfo(path).permissions().testFlag(QFile::ReadGroup), !sent);
    }

    void menusFollowTheWindow()
    {
        ScriptedPrompter prompter;
        SessionWindow session;
        QVERIFY(session.start());
        DocumentWindow& window = session.window();
        const auto enabled = [&](const char* name) { return window.action(QString::fromLatin1(name))->isEnabled(); };
        QVERIFY(!enabled("parentDirectoryAction"));
        QVERIFY(!enabled("makeDirectoryAction"));
        QVERIFY(enabled("settingAction"));
        QVERIFY(session.connect());
        QVERIFY(!enabled("parentDirectoryAction"));
        QVERIFY(enabled("makeDirectoryAction"));
        QVERIFY(!enabled("settingAction"));
        QVERIFY(!enabled("removeAction"));
        ViewController& controller = session.controller();
        controller.directoryDoubleClicked(*controller.tree().retrieveFileDisplay(QStringLiteral("/a"))->asCollection());
        QVERIFY(enabled("parentDirectoryAction"));
        // Opening a directory selects its first row.
        QVERIFY(enabled("removeAction"));
        QVERIFY(enabled("renameAction"));
        window.ui().fileView->selectRows({ 0, 1 });
        QVERIFY(enabled("removeAction"));
        QVERIFY(!enabled("renameAction"));
        QCOMPARE(window.action(QStringLiteral("connectAction"))->text(), QStringLiteral("Disconnect"));
        // The commands reach the session through the document.
        window.action(QStringLiteral("changeDirectoryAction"))->trigger();
        QVERIFY(controller.cdDialog()->isOpen());
        QCOMPARE(controller.cdDialog()->invoker(), window.action(QStringLiteral("changeDirectoryAction")));
        controller.cdDialog()->sheetCancel();
        window.action(QStringLiteral("parentDirectoryAction"))->trigger();
        QCOMPARE(controller.tree().currentDirectory(), QStringLiteral("/"));
        QVERIFY(!enabled("parentDirectoryAction"));
    }

    void linkNamesAreEditedWithoutTheirTarget()
    {
        ScriptedPrompter prompter;
        SessionWindow session;
        QVERIFY(QFile::link(QStringLiteral("x.txt"), session.server().rootPath() + QStringLiteral("/link")));
        QVERIFY(session.start());
        QVERIFY(session.connect());
        FileDropTableView* table = session.window().ui().fileView;
        int row = -1;
        for (int r = 0; r < table->model()->rowCount(); ++r) {
            if (table->model()->index(r, FileTableModel::Name).data().toString().startsWith(QStringLiteral("link -> ")))
                row = r;
        }
        QVERIFY(row >= 0);
        const QModelIndex name = table->model()->index(row, FileTableModel::Name);
        table->setCurrentIndex(name);
        table->edit(name);
        auto* editor = table->findChild<QLineEdit*>();
        QVERIFY(editor);
        QCOMPARE(editor->text(), QStringLiteral("link"));
        QTest::keyClick(editor, Qt::Key_Escape);
    }

    void escapeAbandonsACellEdit()
    {
        ScriptedPrompter prompter;
        SessionWindow session;
        QVERIFY(session.start());
        QVERIFY(session.connect());
        FileDropTableView* table = session.window().ui().fileView;
        const QModelIndex name
            = table->model()->index(tableRow(session, QStringLiteral("x.txt")), FileTableModel::Name);
        const int requests = session.requestCount();
        table->setCurrentIndex(name);
        table->edit(name);
        auto* editor = table->findChild<QLineEdit*>();
        QVERIFY(editor);
        QCOMPARE(editor->text(), QStringLiteral("x.txt"));
        editor->setText(QStringLiteral("renamed.txt"));
        QTest::keyClick(editor, Qt::Key_Escape);
        QTRY_VERIFY(!table->findChild<QLineEdit*>() || !table->findChild<QLineEdit*>()->isVisible());
        QCOMPARE(session.requestCount(), requests);
        QCOMPARE(session.tableNames(), QStringList({ "a", "empty", "x.txt" }));
    }

    void cellEditRenames()
    {
        ScriptedPrompter prompter;
        SessionWindow session;
        QVERIFY(session.start());
        QVERIFY(session.connect());
        FileDropTableView* table = session.window().ui().fileView;
        const QModelIndex name
            = table->model()->index(tableRow(session, QStringLiteral("x.txt")), FileTableModel::Name);
        table->setCurrentIndex(name);
        table->edit(name);
        auto* editor = table->findChild<QLineEdit*>();
        QVERIFY(editor);
        editor->setText(QStringLiteral("b.txt"));
        QTest::keyClick(editor, Qt::Key_Return);
        QTRY_COMPARE(session.tableNames(), QStringList({ "a", "b.txt", "empty" }));
        QVERIFY(QFile::exists(session.server().rootPath() + QStringLiteral("/b.txt")));
        QCOMPARE(session.controller().currentFileName(), QStringLiteral("b.txt"));
        QVERIFY(prompter.messages().isEmpty());
    }
};

PLUMOXA_TEST(ViewControllerTest);
#include "ViewControllerTest.moc"
