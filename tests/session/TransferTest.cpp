#include "SessionWindow.h"

#include "app/DocumentWindow.h"
#include "app/MyDocument.h"
#include "session/ViewController.h"
#include "support/ScriptedPrompter.h"
#include "support/TestFiles.h"
#include "support/TestRegistry.h"
#include "ui/FileDropTableView.h"

#include "ui_MyDocument.h"

#include <QClipboard>
#include <QDir>
#include <QDropEvent>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMimeData>
#include <QProgressBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeView>

#include <atomic>

namespace {

// Scripts the conflict answers: 's' skip, 'o' overwrite; capitals apply to the rest.
void answerConflicts(ScriptedPrompter& prompter, const QString& answers)
{
    for (const QChar answer : answers)
        prompter.answerSkipOrOverwrite(answer.toLower() == u's', answer.isUpper());
}

QStringList conflicts(const ScriptedPrompter& prompter)
{
    return prompter.panels().filter(QStringLiteral("conflict:"));
}

QString remote(SessionWindow& session, const QString& path)
{
    return QDir(session.server().rootPath()).filePath(path);
}

// The names in a local folder, hidden ones included, sorted.
QStringList namesIn(const QString& folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
}

// What the window looks like while its operation waits for an answer, read on the GUI thread.
struct BusyLook
{
    bool read = false;
    bool connectEnabled = true;
    bool cancelEnabled = false;
    bool tableEnabled = true;
    bool closeButton = true;
    bool quitEnabled = true;
    bool closed = true;
    QString progress;
    QString bar;
};

BusyLook lookAt(SessionWindow& session)
{
    BusyLook look;
    QMetaObject::invokeMethod(
        &session.window(),
        [&] {
            Ui::MyDocument& ui = session.window().ui();
            look.read = true;
            look.connectEnabled = ui.connectButton->isEnabled();
            look.cancelEnabled = ui.cancelButton->isEnabled();
            look.tableEnabled = ui.fileView->isEnabled();
            look.closeButton = session.window().windowFlags().testFlag(Qt::WindowCloseButtonHint);
            session.window().updateMenus();
            look.quitEnabled = session.window().action(QStringLiteral("quitAction"))->isEnabled();
            look.closed = session.window().close();
            look.progress = ui.progress->text();
            look.bar = ui.progressBar->isVisible() ? ui.progressBar->format() : QString();
        },
        Qt::BlockingQueuedConnection);
    return look;
}

// A drag of local files entering the table, as the file manager's would; true when it is taken.
bool dragEnter(FileDropTableView& table, QMimeData& drag)
{
    QDragEnterEvent enter(table.viewport()->rect().center(), Qt::CopyAction, &drag, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(table.viewport(), &enter);
    return enter.isAccepted();
}

void clickCancel(SessionWindow& session)
{
    QMetaObject::invokeMethod(session.window().ui().cancelButton, &QPushButton::click, Qt::BlockingQueuedConnection);
}

} // namespace

class TransferTest : public QObject
{
    Q_OBJECT

private slots:
    void uploadMergesATreeAndAsksAtConflicts_data()
    {
        QTest::addColumn<QString>("answers");
        QTest::addColumn<int>("questions");
        QTest::addColumn<QByteArray>("z");
        QTest::addColumn<QByteArray>("y");

        // The local tree meets the remote a/b/z.txt first, then a/y.txt.
        QTest::newRow("skip, then overwrite") << "so" << 2 << QByteArray("zzz") << QByteArray("new y");
        QTest::newRow("overwrite, then skip") << "os" << 2 << QByteArray("new z") << QByteArray("yy");
        QTest::newRow("skip all") << "S" << 1 << QByteArray("zzz") << QByteArray("yy");
        QTest::newRow("overwrite all") << "O" << 1 << QByteArray("new z") << QByteArray("new y");
    }
    void uploadMergesATreeAndAsksAtConflicts()
    {
        QFETCH(QString, answers);
        QFETCH(int, questions);
        QFETCH(QByteArray, z);
        QFETCH(QByteArray, y);

        ScriptedPrompter prompter;
        SessionWindow session;
        QVERIFY(session.start());
        QVERIFY(session.connect());
        QTemporaryDir local;
        const QString tree = local.filePath("a");
        TestFiles::writeFile(tree + "/y.txt", "new y");
        TestFiles::writeFile(tree + "/new.txt", "n");
        TestFiles::writeFile(tree + "/.secret", "s");
        TestFiles::writeFile(tree + "/b/z.txt", "new z");
        TestFiles::writeFile(tree + "/b/.cache/deep.txt", "h");
        TestFiles::writeFile(tree + "/sub/deep.txt", "d");
        prompter.answerPath(tree);
        answerConflicts(prompter, answers);

        session.controller().addFile();
        QVERIFY(!session.controller().canClose());
        QVERIFY(session.waitIdle());

        session.verifyRestored();
        QCOMPARE(conflicts(prompter).size(), questions);
        QCOMPARE(conflicts(prompter).first(), QStringLiteral("conflict:z.txt"));
        QCOMPARE(TestFiles::readFile(remote(session, "a/b/z.txt")), z);
        QCOMPARE(TestFiles::readFile(remote(session, "a/y.txt")), y);
        QCOMPARE(TestFiles::readFile(remote(session, "a/new.txt")), QByteArray("n"));
        QCOMPARE(TestFiles::readFile(remote(session, "a/sub/deep.txt")), QByteArray("d"));
        // Hidden items stay home, at any depth.
        QVERIFY(!QFileInfo::exists(remote(session, "a/.secret")));
        QVERIFY(!QFileInfo::exists(remote(session, "a/b/.cache")));
        QVERIFY(prompter.messages().isEmpty());
        // The shown directory is listed again with the upload selected.
        QCOMPARE(session.controller().shownListing()->fullPath(), QStringLiteral("/"));
        const QList<int> selected = session.window().ui().fileView->selectedRows();
        QCOMPARE(selected, QList<int> { int(session.tableNames().indexOf("a")) });
    }

    void firstConflictOfEachOperationIsAsked()
    {
        ScriptedPrompter prompter;
        SessionWindow session;
        QVERIFY(session.start());
        QVERIFY(session.connect());
        QTemporaryDir local;
        TestFiles::writeFile(local.filePath("x.txt"), "new x");

        for (const QString& answer : { QStringLiteral("S"), QStringLiteral("o") }) {
            prompter.clear();
            prompter.answerPath(local.filePath("x.txt"));
            answerConflicts(prompter, answer);
            session.controller().addFile();
            QVERIFY(session.waitIdle());
            QCOMPARE(conflicts(prompter), QStringList { "conflict:x.txt" });
        }
        QCOMPARE(TestFiles::readFile(remote(session, "x.txt")), QByteArray("new x"));
    }

    void folderOverARemoteFile_data()
    {
        QTest::addColumn<QString>("answer");
        QTest::newRow("skip sends nothing for the tree") << "s";
        QTest::newRow("overwrite removes the file") << "o";
    }
    void folderOverARemoteFile()
    {
        QFETCH(QString, answer);
        ScriptedPrompter prompter;
        SessionWindow session;
        QVERIFY(session.start());
        QVERIFY(session.connect());
        QTemporaryDir local;
        TestFiles::writeFile(local.filePath("x.txt/inner.txt"), "i");
        prompter.answerPath(local.filePath("x.txt"));
        answerConflicts(prompter, answer);

        session.controller().addFile();
        QVERIFY(session.waitIdle());

        QCOMPARE(conflicts(prompter), QStringList { "conflict:x.txt" });
        if (answer == u"s") {
            QCOMPARE(TestFiles::readFile(remote(session, "x.txt")), QByteArray("x"));
            QVERIFY(!session.server().log().contains(QStringLiteral("cmd=MKD")));
        } else {
            QVERIFY(QFileInfo(remote(session, "x.txt")).isDir());
            QCOMPARE(TestFiles::readFile(remote(session, "x.txt/inner.txt")), QByteArray("i"));
        }
        session.verifyRestored();
    }

    void cancelStopsAfterTheCurrentFileAndTheWindowIsBusyMeanwhile()
    {
        ScriptedPrompter prompter;
        SessionWindow session;
        TestFiles::writeFile(remote(session, "a/0.txt"), "old");
        QVERIFY(session.start());
        QVERIFY(session.connect());
        QTemporaryDir local;
        for (const char* name : { "0.txt", "1.txt", "2.txt" })
            TestFiles::writeFile(local.filePath(QStringLiteral("a/") + name), "new");
        prompter.answerPath(local.filePath("a"));
        prompter.answerSkipOrOverwrite(false);
        BusyLook look;
        prompter.onConflict([&](const QString&) {
            look = lookAt(session);
            clickCancel(session);
        });

        session.controller().addFile();
        QVERIFY(session.waitIdle());

        QVERIFY(look.read);
        QVERIFY(!look.connectEnabled);
        QVERIFY(look.cancelEnabled);
        QVERIFY(!look.tableEnabled);
        QVERIFY(!look.closeButton);
        QVERIFY(!look.quitEnabled);
        QVERIFY(!look.closed);
        // The answered file goes up; the cancel is honoured right after it.
        QCOMPARE(TestFiles::readFile(remote(session, "a/0.txt")), QByteArray("new"));
        QVERIFY(!QFileInfo::exists(remote(session, "a/1.txt")));
        QVERIFY(!QFileInfo::exists(remote(session, "a/2.txt")));
        session.verifyRestored();
        QVERIFY(session.window().action(QStringLiteral("quitAction"))->isEnabled());
        QVERIFY(session.window().isVisible());
    }

    void progressShowsTheFileWithControlCharactersEscaped()
    {
        ScriptedPrompter prompter;
        SessionWindow session;
        QVERIFY(session.start());
        QVERIFY(session.connect());
        QTemporaryDir local;
        TestFiles::writeFile(local.filePath("a/e\x1b[2Jx.txt"), QByteArray(64 * 1024, 'e'));
        TestFiles::writeFile(local.filePath("a/y.txt"), "new y");
        prompter.answerPath(local.filePath("a"));
        prompter.answerSkipOrOverwrite(true);
        BusyLook look;
        prompter.onConflict([&](const QString&) { look = lookAt(session); });

        session.controller().addFile();
        QVERIFY(session.waitIdle());

        // The progress text is the key's own text in English; the bar names the file.
        QCOMPARE(look.progress, QStringLiteral("Storing:"));
        QVERIFY2(look.bar.startsWith(QStringLiteral("e\\x1b[2Jx.txt: ")), qPrintable(look.bar));
        session.verifyRestored();
    }

    void retrieveAsksASavePanelPerEntry()
    {
        ScriptedPrompter prompter;
        SessionWindow session;
        for (const char* name : { "p1.txt", "p2.txt", "p3.txt" })
            TestFiles::writeFile(remote(session, QString::fromLatin1(name)), name);
        QVERIFY(session.start());
        QVERIFY(session.connect());
        QTemporaryDir local;
        prompter.answerPath(local.filePath("p1.txt"));
        prompter.answerPath(QString());
        prompter.answerPath(local.filePath("third.txt"));
        session.selectNames({ "p1.txt", "p2.txt", "p3.txt" });

        session.controller().retrieveFile();
        QVERIFY(session.waitIdle());

        const QStringList panels = prompter.panels();
        QCOMPARE(panels.size(), 3);
        QVERIFY(panels.at(0).startsWith(QStringLiteral("save:")) && panels.at(0).endsWith(QStringLiteral("|p1.txt")));
        // The next panel starts where the last file went.
        const QString folder = QDir(local.path()).absolutePath() + u'/';
        QCOMPARE(panels.at(1), u"save:" + folder + u"|p2.txt");
        QCOMPARE(panels.at(2), u"save:" + folder + u"|p3.txt");
        QCOMPARE(namesIn(local.path()), QStringList({ "p1.txt", "third.txt" }));
        QCOMPARE(TestFiles::readFile(local.filePath("third.txt")), QByteArray("p3.txt"));
        QVERIFY(prompter.messages().isEmpty());
        session.verifyRestored();
    }

    void droppedFolderDownload_data()
    {
        QTest::addColumn<QString>("existing"); // "", "folder" or "file"
        QTest::addColumn<QString>("answers");
        QTest::addColumn<QStringList>("names");

        const QStringList tree { "b", "c", "y.txt" };
        QTest::newRow("new folder") << ""
                                    << "" << tree;
        QTest::newRow("merged into a folder") << "folder"
                                              << "" << QStringList { "b", "c", "keep.txt", "y.txt" };
        QTest::newRow("a file replaced by the folder") << "file"
                                                       << "o" << tree;
        QTest::newRow("a file kept") << "file"
                                     << "s" << QStringList();
    }
    void droppedFolderDownload()
    {
        QFETCH(QString, existing);
        QFETCH(QString, answers);
        QFETCH(QStringList, names);

        ScriptedPrompter prompter;
        SessionWindow session;
        QVERIFY(session.start());
        QVERIFY(session.connect());
        QTemporaryDir destination;
        const QString target = destination.filePath("a");
        if (existing == u"folder")
            TestFiles::writeFile(target + "/keep.txt", "k");
        else if (existing == u"file")
            TestFiles::writeFile(target, "a file");
        answerConflicts(prompter, answers);
        session.selectNames({ "a" });

        session.controller().retrieveDroppedFile(destination.path());
        QVERIFY(session.waitIdle());

        QCOMPARE(conflicts(prompter).size(), answers.size());
        if (names.isEmpty()) {
            QCOMPARE(TestFiles::readFile(target), QByteArray("a file"));
        } else {
            QCOMPARE(namesIn(target), names);
            QCOMPARE(TestFiles::readFile(target + "/b/z.txt"), QByteArray("zzz"));
        }
        QCOMPARE(session.controller().client().currentDirectory(), QStringLiteral("/"));
        QVERIFY(prompter.messages().isEmpty());
        session.verifyRestored();
    }

    void dropsFromTheFileManager()
    {
        ScriptedPrompter prompter;
        SessionWindow session;
        QVERIFY(session.start());
        QVERIFY(session.connect());
        QTemporaryDir local;
        TestFiles::writeFile(local.filePath("t/inner.txt"), "i");
        TestFiles::writeFile(local.filePath("after.txt"), "f");
        FileDropTableView* table = session.window().ui().fileView;

        // A drag naming a file that is gone is refused, without the frame.
        QMimeData stale;
        stale.setUrls(
            { QUrl::fromLocalFile(local.filePath("after.txt")), QUrl::fromLocalFile(local.filePath("gone.txt")) });
        QVERIFY(!dragEnter(*table, stale));
        QVERIFY(!table->isInDragging());

        QMimeData drag;
        drag.setUrls({ QUrl::fromLocalFile(local.filePath("t")), QUrl::fromLocalFile(local.filePath("after.txt")) });
        QVERIFY(dragEnter(*table, drag));
        QVERIFY(table->isInDragging());
        QDropEvent drop(table->viewport()->rect().center(), Qt::CopyAction, &drag, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(table->viewport(), &drop);
        QVERIFY(drop.isAccepted());
        QVERIFY(!table->isInDragging());
        QVERIFY(session.waitIdle());

        // The file after the folder lands in the shown directory, not in the folder's last one.
        QVERIFY2(prompter.messages().isEmpty(), qPrintable(prompter.messages().join(u',') + session.server().log()));
        QCOMPARE(TestFiles::readFile(remote(session, "t/inner.txt")), QByteArray("i"));
        QCOMPARE(TestFiles::readFile(remote(session, "after.txt")), QByteArray("f"));
        QVERIFY(session.tableNames().contains(QStringLiteral("after.txt")));
        QCOMPARE(session.window().ui().fileView->selectedRows().size(), 2);
        session.verifyRestored();
    }

    void pasteOfFileNamesUploadsThem()
    {
        ScriptedPrompter prompter;
        SessionWindow session;
        QVERIFY(session.start());
        QVERIFY(session.connect());
        QTemporaryDir local;
        TestFiles::writeFile(local.filePath("pasted.txt"), "p");
        auto* names = new QMimeData;
        names->setUrls({ QUrl::fromLocalFile(local.filePath("pasted.txt")) });
        QGuiApplication::clipboard()->setMimeData(names);
        session.window().updateMenus();
        QVERIFY(session.window().action(QStringLiteral("pasteFromFinderAction"))->isEnabled());

        session.window().action(QStringLiteral("pasteFromFinderAction"))->trigger();
        QVERIFY(session.waitIdle());

        QCOMPARE(TestFiles::readFile(remote(session, "pasted.txt")), QByteArray("p"));
        QVERIFY(session.tableNames().contains(QStringLiteral("pasted.txt")));
        QGuiApplication::clipboard()->clear();
        session.verifyRestored();
    }

    void anEscapingExceptionStillRestoresTheWindow()
    {
        ScriptedPrompter prompter;
        SessionWindow session;
        QVERIFY(session.start());
        QVERIFY(session.connect());
        // A parameter of the wrong kind makes the worker throw before the operation begins.
        QVERIFY(session.controller().transfers().start(SendRecvThread::kRetrieveDroppedFile, 42));
        QVERIFY(session.waitIdle());
        session.verifyRestored();
        QVERIFY(session.controller().isConnected());
    }

    void aSecondOperationDoesNotStartWhileOneRuns()
    {
        ScriptedPrompter prompter;
        SessionWindow session;
        QVERIFY(session.start());
        QVERIFY(session.connect());
        QTemporaryDir local;
        TestFiles::writeFile(local.filePath("x.txt"), "new x");
        prompter.answerPath(local.filePath("x.txt"));
        std::atomic<bool> secondStarted = true;
        prompter.onConflict([&](const QString&) {
            QMetaObject::invokeMethod(
                &session.window(),
                [&] { secondStarted = session.controller().transfers().start(SendRecvThread::kAddFile); },
                Qt::BlockingQueuedConnection);
        });

        session.controller().addFile();
        QVERIFY(session.waitIdle());
        QVERIFY(!secondStarted);
        QCOMPARE(prompter.panels().filter(QStringLiteral("open:")).size(), 1);
    }
};

PLUMOXA_TEST(TransferTest);
#include "TransferTest.moc"
