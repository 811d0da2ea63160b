#include "SessionWindow.h"

#include "app/DocumentWindow.h"
#include "session/ViewController.h"
#include "support/ScriptedPrompter.h"
#include "support/TestFiles.h"
#include "support/TestRegistry.h"
#include "ui/FileDropTableView.h"

#include "ui_MyDocument.h"

#include <QDir>
#include <QTest>

namespace {

QStringList selectedNames(const SessionWindow& session)
{
    QStringList names;
    const QStringList table = session.tableNames();
    for (const int row : session.window().ui().fileView->selectedRows())
        names.append(table.at(row));
    return names;
}

} // namespace

// Removing the selection: the walk, its failure and where the cursor goes afterwards.
class RemoteEditTest : public QObject
{
    Q_OBJECT

private slots:
    void removal_data()
    {
        QTest::addColumn<QString>("extra"); // a file added at the root, or nothing
        QTest::addColumn<QString>("gone"); // a directory of the fixture taken away first, or nothing
        QTest::addColumn<QStringList>("selected");
        QTest::addColumn<QStringList>("remaining");
        QTest::addColumn<QStringList>("selectedAfter");
        QTest::addColumn<QStringList>("messages");

        // "a" is not empty: removing it fails.
        QTest::newRow("a failure stops the walk")
            << "0.txt"
            << "" << QStringList { "0.txt", "a", "x.txt" } << QStringList { "a", "empty", "x.txt" }
            << QStringList { "a" } << QStringList { "remove failed" };
        QTest::newRow("the cursor lands on the new last row")
            << "0.txt"
            << "" << QStringList { "empty", "x.txt" } << QStringList { "0.txt", "a" } << QStringList { "a" }
            << QStringList();
        QTest::newRow("an emptied listing selects nothing")
            << ""
            << "a" << QStringList { "empty", "x.txt" } << QStringList() << QStringList() << QStringList();
    }
    void removal()
    {
        QFETCH(QString, extra);
        QFETCH(QString, gone);
        QFETCH(QStringList, selected);
        QFETCH(QStringList, remaining);
        QFETCH(QStringList, selectedAfter);
        QFETCH(QStringList, messages);

        ScriptedPrompter prompter;
        SessionWindow session;
        const QDir root(session.server().rootPath());
        if (!extra.isEmpty())
            TestFiles::writeFile(root.filePath(extra), "e");
        if (!gone.isEmpty())
            QVERIFY(QDir(root.filePath(gone)).removeRecursively());
        QVERIFY(session.start());
        QVERIFY(session.connect());
        QList<int> rows;
        for (const QString& name : selected)
            rows.append(int(session.tableNames().indexOf(name)));
        session.window().ui().fileView->selectRows(rows);
        prompter.answerYesNo(true);

        session.controller().removeFileMenu();

        QCOMPARE(prompter.messages(), messages);
        QCOMPARE(session.tableNames(), remaining);
        QCOMPARE(selectedNames(session), selectedAfter);
        // The table shows the server's state: what it lists is what is there.
        for (const QString& name : selected)
            QCOMPARE(root.exists(name), remaining.contains(name));
    }

    void editsToTheSameValueSendNothing()
    {
        ScriptedPrompter prompter;
        SessionWindow session;
        QVERIFY(session.start());
        QVERIFY(session.connect());
        session.window().ui().fileView->selectRows({ int(session.tableNames().indexOf("x.txt")) });
        ViewController& controller = session.controller();
        const int requests = session.requestCount();

        QVERIFY(controller.chmodFileTo(controller.currentFileMode()));
        QVERIFY(controller.renameFileTo(QStringLiteral("x.txt")));

        QCOMPARE(session.requestCount(), requests);
        QVERIFY(prompter.messages().isEmpty());
    }
};

PLUMOXA_TEST(RemoteEditTest);
#include "RemoteEditTest.moc"
