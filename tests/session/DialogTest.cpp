#include "SessionWindow.h"

#include "app/DocumentWindow.h"
#include "app/MyDocument.h"
#include "session/ViewController.h"
#include "support/ScriptedPrompter.h"
#include "support/TestRegistry.h"
#include "ui/ChmodDialog.h"
#include "ui/RenameDialog.h"
#include "ui/SettingDialog.h"

#include <QDialog>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QTest>

namespace {

int tableRow(const SessionWindow& session, const QString& name)
{
    return int(session.tableNames().indexOf(name));
}

// The field's whole text is selected and the field has the dialog's focus.
bool focusedWithTextSelected(const QDialog* panel, const QLineEdit* field)
{
    return panel->focusWidget() == field && field->selectedText() == field->text();
}

} // namespace

class DialogTest : public QObject
{
    Q_OBJECT

private slots:
    void settingDialog_data()
    {
        QTest::addColumn<QString>("url");
        QTest::addColumn<QString>("user");
        QTest::addColumn<QString>("password");
        QTest::addColumn<QString>("timeout");
        QTest::addColumn<QString>("message"); // empty: accepted
        QTest::addColumn<double>("storedTimeout");
        QTest::newRow("accepted") << "http://example.com/plumoxa"
                                  << "u1"
                                  << "secret"
                                  << "60"
                                  << "" << 60.0;
        QTest::newRow("leading space in url") << " http://example.com/p"
                                              << "u1"
                                              << "secret"
                                              << "60"
                                              << "Invalid URL" << 0.0;
        QTest::newRow("other scheme") << "ftp://example.com/p"
                                      << "u1"
                                      << "secret"
                                      << "60"
                                      << "Invalid URL" << 0.0;
        QTest::newRow("blank user") << "http://example.com/p"
                                    << " \t "
                                    << "secret"
                                    << "60"
                                    << "Input user name" << 0.0;
        QTest::newRow("blank password") << "https://example.com/p"
                                        << "u1"
                                        << "\u3000"
                                        << "60"
                                        << "Input password" << 0.0;
        QTest::newRow("user with trailing space") << "http://example.com/p"
                                                  << "u1 "
                                                  << "secret"
                                                  << "60"
                                                  << "" << 60.0;
        QTest::newRow("empty time-out") << "http://example.com/p"
                                        << "u1"
                                        << "secret"
                                        << ""
                                        << "" << 0.0;
    }

    void settingDialog()
    {
        QFETCH(QString, url);
        QFETCH(QString, user);
        QFETCH(QString, password);
        QFETCH(QString, timeout);
        QFETCH(QString, message);
        QFETCH(double, storedTimeout);
        ScriptedPrompter prompter;
        SessionWindow session;
        QVERIFY(session.start());
        MyDocument& document = session.window().document();
        const ConnectSettings before = document.connectionSetting();
        SettingDialog* dialog = session.controller().settingDialog();
        dialog->openDialog();
        QVERIFY(dialog->isOpen());
        QCOMPARE(dialog->urlField()->text(), before.urlString());
        QCOMPARE(dialog->timeoutField()->text(), QStringLiteral("20"));
        QVERIFY(focusedWithTextSelected(dialog->panel(), dialog->descriptionField()));

        dialog->descriptionField()->setText(QStringLiteral("office"));
        dialog->urlField()->setText(url);
        dialog->userIdField()->setText(user);
        dialog->passwordField()->setText(password);
        dialog->timeoutField()->setText(timeout);
        dialog->sheetOk();
        if (!message.isEmpty()) {
            QCOMPARE(prompter.messages(), QStringList({ message }));
            QVERIFY(dialog->isOpen());
            QVERIFY(focusedWithTextSelected(dialog->panel(), dialog->urlField()));
            QCOMPARE(document.connectionSetting(), before);
            QVERIFY(!document.isModified());
            return;
        }
        QVERIFY(prompter.messages().isEmpty());
        QVERIFY(!dialog->isOpen());
        const ConnectSettings stored = document.connectionSetting();
        QCOMPARE(stored.description(), QStringLiteral("office"));
        QCOMPARE(stored.urlString(), url);
        QCOMPARE(stored.userId(), user);
        QCOMPARE(stored.password(), password);
        QCOMPARE(stored.timeout(), storedTimeout);
        QVERIFY(document.isModified());
        QVERIFY(session.window().isWindowModified());
        // The change is one step of the history.
        document.undoStack()->undo();
        QCOMPARE(document.connectionSetting(), before);
        QVERIFY(!document.isModified());
    }

    void cancelKeepsTheSetting()
    {
        ScriptedPrompter prompter;
        SessionWindow session;
        QVERIFY(session.start());
        SettingDialog* dialog = session.controller().settingDialog();
        dialog->openDialog();
        dialog->urlField()->setText(QStringLiteral("http://elsewhere/"));
        dialog->sheetCancel();
        QVERIFY(!dialog->isOpen());
        QCOMPARE(session.window().document().connectionSetting().urlString(), session.server().url());
        QVERIFY(!session.window().document().isModified());
    }

    void renameDialog_data()
    {
        QTest::addColumn<unsigned>("process");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("message"); // empty: accepted
        QTest::newRow("rename") << RenameDialog::kRename << "renamed.txt"
                                << "";
        QTest::newRow("rename to nothing") << RenameDialog::kRename << ""
                                           << "specify file name";
        QTest::newRow("new directory") << RenameDialog::kMakeDirectory << "fresh"
                                       << "";
        QTest::newRow("new directory without name") << RenameDialog::kMakeDirectory << ""
                                                    << "specify directory name";
        QTest::newRow("slash") << RenameDialog::kRename << "a/b"
                               << "invalid path name";
        QTest::newRow("asterisk") << RenameDialog::kMakeDirectory << "a*"
                                  << "invalid path name";
        QTest::newRow("question mark") << RenameDialog::kRename << "a?"
                                       << "invalid path name";
        QTest::newRow("semicolon") << RenameDialog::kRename << "a;b"
                                   << "invalid path name";
        QTest::newRow("arrow") << RenameDialog::kRename << "a->b"
                               << "invalid path name";
        QTest::newRow("hyphen and greater-than apart") << RenameDialog::kRename << "a-b>c"
                                                       << "";
    }

    void renameDialog()
    {
        QFETCH(unsigned, process);
        QFETCH(QString, name);
        QFETCH(QString, message);
        ScriptedPrompter prompter;
        SessionWindow session;
        QVERIFY(session.start());
        QVERIFY(session.connect());
        ViewController& controller = session.controller();
        controller.setFileCursorPosition(tableRow(session, QStringLiteral("x.txt")));
        if (process == RenameDialog::kRename)
            controller.renameToMenu();
        else
            controller.makeDirectoryMenu();
        RenameDialog* dialog = controller.renameDialog();
        QVERIFY(dialog->isOpen());
        QCOMPARE(dialog->titleLabel()->text(), QString::fromLatin1(process == RenameDialog::kRename ? "ren" : "mkdir"));
        QCOMPARE(dialog->nameField()->text(), process == RenameDialog::kRename ? QStringLiteral("x.txt") : QString());

        dialog->nameField()->setText(name);
        dialog->sheetOk();
        if (!message.isEmpty()) {
            QCOMPARE(prompter.messages(), QStringList({ message }));
            QVERIFY(dialog->isOpen());
            QVERIFY(focusedWithTextSelected(dialog->panel(), dialog->nameField()));
            dialog->sheetCancel();
            return;
        }
        QVERIFY(prompter.messages().isEmpty());
        QVERIFY(!dialog->isOpen());
        const QFileInfo made(session.server().rootPath() + u'/' + name);
        QVERIFY(made.exists());
        QCOMPARE(made.isDir(), process != RenameDialog::kRename);
        // The new or renamed entry is listed and selected.
        QVERIFY(session.tableNames().contains(name));
        QCOMPARE(controller.currentFileName(), name);
    }

    void chmodDialog_data()
    {
        QTest::addColumn<QString>("mode");
        QTest::addColumn<QString>("message"); // empty: accepted
        QTest::newRow("755") << "755"
                             << "";
        QTest::newRow("two digits") << "75"
                                    << "invalid mode string";
        QTest::newRow("four digits") << "7555"
                                     << "invalid mode string";
        QTest::newRow("an eight") << "758"
                                  << "invalid mode string";
        QTest::newRow("symbolic") << "rwx"
                                  << "invalid mode string";
    }

    void chmodDialog()
    {
        QFETCH(QString, mode);
        QFETCH(QString, message);
        ScriptedPrompter prompter;
        SessionWindow session;
        const QString path = session.server().rootPath() + QStringLiteral("/x.txt");
        QVERIFY(
            QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther));
        QVERIFY(session.start());
        QVERIFY(session.connect());
        ViewController& controller = session.controller();
        controller.setFileCursorPosition(tableRow(session, QStringLiteral("x.txt")));
        controller.chmodToMenu();
        ChmodDialog* dialog = controller.chmodDialog();
        QVERIFY(dialog->isOpen());
        QCOMPARE(dialog->modeField()->text(), QStringLiteral("644"));
        dialog->modeField()->setText(mode);
        dialog->sheetOk();
        if (!message.isEmpty()) {
            QCOMPARE(prompter.messages(), QStringList({ message }));
            QVERIFY(dialog->isOpen());
            QVERIFY(focusedWithTextSelected(dialog->panel(), dialog->modeField()));
            QCOMPARE(controller.currentFileMode(), QStringLiteral("644"));
            return;
        }
        QVERIFY(prompter.messages().isEmpty());
        QVERIFY(!dialog->isOpen());
        QCOMPARE(controller.currentFileMode(), mode);
        QVERIFY(QFileInfo(path).permissions().testFlag(QFile::ExeOwner));
    }
};

PLUMOXA_TEST(DialogTest);
#include "DialogTest.moc"
