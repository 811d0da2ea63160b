#include "SessionWindow.h"

#include "app/DocumentWindow.h"
#include "session/DropDownload.h"
#include "session/ViewController.h"
#include "support/CannedResponder.h"
#include "support/FaultReplies.h"
#include "support/ScriptedPrompter.h"
#include "support/TestFiles.h"
#include "support/TestRegistry.h"
#include "ui/DragOutMimeData.h"
#include "ui/FileDropTableView.h"

#include "ui_MyDocument.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace { } // namespace

// A drag out of the window's table, dropped on a target that takes file names: the data's
// file names are asked for as a target would, and the selection is fetched from the server.
class DragOutDownloadTest : public QObject
{
    Q_OBJECT

private slots:
    void uriListFetchesTheSelection_data()
    {
        QTest::addColumn<QStringList>("selected");
        QTest::addColumn<QStringList>("goneFromServer");
        QTest::addColumn<QStringList>("offered");
        QTest::addColumn<int>("messages");
        QTest::newRow("a file and a folder tree")
            << QStringList { "a", "x.txt" } << QStringList {} << QStringList { "a", "x.txt" } << 0;
        QTest::newRow("a file gone from the server")
            << QStringList { "x.txt" } << QStringList { "x.txt" } << QStringList {} << 1;
    }
    void uriListFetchesTheSelection()
    {
        QFETCH(QStringList, selected);
        QFETCH(QStringList, goneFromServer);
        QFETCH(QStringList, offered);
        QFETCH(int, messages);

        ScriptedPrompter prompter;
        SessionWindow session;
        QVERIFY(session.start());
        QVERIFY(session.connect());
        session.selectNames(selected);
        const std::unique_ptr<DragOutMimeData> data = session.window().ui().fileView->dragOutData();
        QVERIFY(data);
        QCOMPARE(data->names(), selected);
        for (const QString& name : goneFromServer)
            QVERIFY(QFile::remove(QDir(session.server().rootPath()).filePath(name)));

        const QList<QUrl> urls = data->urls();

        QCOMPARE(urls.size(), offered.size());
        for (qsizetype i = 0; i < urls.size(); ++i) {
            QVERIFY(urls.at(i).isLocalFile());
            QCOMPARE(QFileInfo(urls.at(i).toLocalFile()).fileName(), offered.at(i));
            QVERIFY(urls.at(i).toLocalFile().startsWith(DragOutMimeData::stagingRoot() + u'/'));
        }
        if (offered.contains(u"x.txt"))
            QCOMPARE(TestFiles::readFile(urls.at(offered.indexOf(u"x.txt")).toLocalFile()), QByteArray("x"));
        if (offered.contains(u"a")) {
            const QDir a(urls.at(offered.indexOf(u"a")).toLocalFile());
            QCOMPARE(TestFiles::readFile(a.filePath("y.txt")), QByteArray("yy"));
            QCOMPARE(TestFiles::readFile(a.filePath("b/z.txt")), QByteArray("zzz"));
        }
        QCOMPARE(prompter.messages().size(), messages);
        QCOMPARE(session.controller().client().currentDirectory(), QStringLiteral("/"));
        session.verifyRestored();
    }

    void downloadWaitsNoLongerThanItsDeadline()
    {
        ScriptedPrompter prompter;
        // The file's reply comes in two pieces, far apart: longer than the download is waited for.
        CannedResponder responder;
        QVERIFY(responder.isListening());
        const QByteArray retr = CannedResponder::response(FaultReplies::retrReply("x"));
        responder.script(
            { CannedResponder::response(FaultReplies::listReply("CONN", "/", { FaultReplies::fileLine("x.txt", 1) })),
              CannedResponder::trickled(retr, retr.size() / 2 + 1, 1500) });
        SessionWindow session;
        QVERIFY(session.startOn(responder.url(), QStringLiteral("u"), QStringLiteral("p"), 30));
        QVERIFY(session.connect());
        session.selectNames({ "x.txt" });
        QTemporaryDir destination;

        QVERIFY(!DropDownload(session.controller(), std::chrono::milliseconds(100)).retrieveInto(destination.path()));
        QVERIFY(!session.controller().canClose());

        // It goes on to its end all the same.
        QVERIFY(session.waitIdle());
        QCOMPARE(TestFiles::readFile(destination.filePath("x.txt")), QByteArray("x"));
    }

    void noDownloadWhileAnOperationRuns()
    {
        ScriptedPrompter prompter;
        SessionWindow session;
        QVERIFY(session.start());
        QVERIFY(session.connect());
        session.selectNames({ "x.txt" });
        QTemporaryDir first;
        QTemporaryDir second;
        session.controller().retrieveDroppedFile(first.path());

        QVERIFY(!DropDownload(session.controller()).retrieveInto(second.path()));

        QVERIFY(session.waitIdle());
        QVERIFY(QFileInfo::exists(first.filePath("x.txt")));
        QVERIFY(!QFileInfo::exists(second.filePath("x.txt")));
    }
};

PLUMOXA_TEST(DragOutDownloadTest);
#include "DragOutDownloadTest.moc"
