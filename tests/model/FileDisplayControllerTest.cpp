#include "model/FileDisplayController.h"
#include "FakeOutlineView.h"
#include "FakeSession.h"
#include "support/TestRegistry.h"

#include <QTest>

namespace {

// A connected session window whose tree knows "/" and "/abc":
//   /  ab/  abc/  .hidden/  e/  f  lib -> /usr/lib (a link to a directory)
//   /abc  d/
struct Window
{
    FileDisplayController tree;
    FakeSession session { tree };
    FileDisplayCollection& root = *tree.collection();

    Window()
    {
        tree.setController(&session);
        tree.setCurrentDirectory(QStringLiteral("/"));
        session.serve(QStringLiteral("/"),
                      { FakeSession::directoryLine(QStringLiteral("ab")),
                        FakeSession::directoryLine(QStringLiteral("abc")),
                        FakeSession::directoryLine(QStringLiteral(".hidden")),
                        FakeSession::directoryLine(QStringLiteral("e")), FakeSession::fileLine(QStringLiteral("f")),
                        FakeSession::fileLine(QStringLiteral("lib -> /usr/lib"), 8, QStringLiteral("Mar  3  2009"),
                                              QStringLiteral("Drwxrwxrwx")) });
        session.serve(QStringLiteral("/abc"), { FakeSession::directoryLine(QStringLiteral("d")) });
        session.serve(QStringLiteral("/ab"), { FakeSession::directoryLine(QStringLiteral("sub")) });
        session.serve(QStringLiteral("/e"), { FakeSession::fileLine(QStringLiteral("only-a-file")) });
        session.refresh(root);
        session.refresh(*listing("/abc"));
        session.clear();
    }

    FileDisplayCollection* listing(const char* path)
    {
        FileDisplay* entry = tree.retrieveFileDisplay(QString::fromUtf8(path));
        return entry ? entry->asCollection() : nullptr;
    }
};

} // namespace

class FileDisplayControllerTest : public QObject
{
    Q_OBJECT

private slots:
    void newTree()
    {
        FileDisplayController tree;
        QCOMPARE(tree.currentDirectory(), QLatin1String(""));
        QCOMPARE(tree.processPath(), QLatin1String(""));
        QCOMPARE(tree.collection()->fullPath(), QStringLiteral("/"));
        QCOMPARE(tree.collection()->fileName(), QString());
        tree.setCurrentDirectory(QStringLiteral("/"));
        QCOMPARE(tree.currentFileViewDataSource().get(), tree.collection());
    }

    void retrieveFileDisplay_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("found"); // full path of the listing found; null for none
        QTest::newRow("root") << QStringLiteral("/") << QStringLiteral("/");
        QTest::newRow("empty path is the root") << QString() << QStringLiteral("/");
        QTest::newRow("known child") << QStringLiteral("/abc") << QStringLiteral("/abc");
        QTest::newRow("known grandchild") << QStringLiteral("/abc/d") << QStringLiteral("/abc/d");
        QTest::newRow("link under its own name") << QStringLiteral("/lib") << QStringLiteral("/lib");
        QTest::newRow("unknown") << QStringLiteral("/zz") << QString();
        QTest::newRow("not listed yet") << QStringLiteral("/ab/sub") << QString();
    }
    void retrieveFileDisplay()
    {
        QFETCH(QString, path);
        QFETCH(QString, found);
        Window w;
        FileDisplay* entry = w.tree.retrieveFileDisplay(path);
        if (found.isNull()) {
            QVERIFY(!entry);
            return;
        }
        QVERIFY(entry && entry->asCollection());
        QCOMPARE(entry->asCollection()->fullPath(), found);
    }

    void linesGoToTheProcessPath()
    {
        Window w;
        w.tree.setProcessPath(QStringLiteral("/e"));
        w.tree.addFileDisplay(FakeSession::fileLine(QStringLiteral("b")));
        w.tree.addFileDisplay(FakeSession::fileLine(QStringLiteral("a")));
        FileDisplayCollection* e = w.listing("/e");
        QCOMPARE(e->count(), 2);
        QCOMPARE(e->numberOfRows(), 0);
        w.tree.addFileDisplayEnd();
        QCOMPARE(e->displayObjectAtIndex(0)->fileName(), QStringLiteral("a"));
        w.tree.updateAll();
        QCOMPARE(w.tree.processPath(), QLatin1String(""));
    }

    void linesForAnUnknownPathAreDropped_data()
    {
        QTest::addColumn<QString>("path");
        QTest::newRow("unknown") << QStringLiteral("/zz");
        QTest::newRow("trailing slash") << QStringLiteral("/abc/");
        QTest::newRow("relative") << QStringLiteral("abc");
        QTest::newRow("none") << QString();
    }
    void linesForAnUnknownPathAreDropped()
    {
        QFETCH(QString, path);
        Window w;
        w.tree.setProcessPath(path);
        w.tree.addFileDisplay(FakeSession::fileLine(QStringLiteral("stray")));
        w.tree.addFileDisplayEnd();
        QCOMPARE(w.root.count(), 6);
        QCOMPARE(w.listing("/abc")->count(), 1);
        QVERIFY(!w.tree.retrieveFileDisplay(QStringLiteral("/stray")));
    }

    void childrenOfANode_data()
    {
        QTest::addColumn<QString>("currentDirectory");
        QTest::addColumn<QString>("item"); // null: the invisible top
        QTest::addColumn<qsizetype>("children");
        QTest::addColumn<QStringList>("calls");
        const QStringList none;
        QTest::newRow("top") << QStringLiteral("/") << QString() << qsizetype(1) << none;
        QTest::newRow("root on the way") << QStringLiteral("/") << QStringLiteral("/") << qsizetype(5) << none;
        QTest::newRow("subdirectories unknown: listed")
            << QStringLiteral("/") << QStringLiteral("/ab") << qsizetype(1)
            << QStringList({ "clientList /ab", "clientSetCurrentDirectory /" });
        QTest::newRow("no subdirectories: listed")
            << QStringLiteral("/abc") << QStringLiteral("/e") << qsizetype(0)
            << QStringList({ "clientList /e", "clientSetCurrentDirectory /abc" });
        QTest::newRow("subdirectories known") << QStringLiteral("/") << QStringLiteral("/abc") << qsizetype(1) << none;
        QTest::newRow("current directory") << QStringLiteral("/e") << QStringLiteral("/e") << qsizetype(0) << none;
        QTest::newRow("ancestor of the current directory")
            << QStringLiteral("/e/x") << QStringLiteral("/e") << qsizetype(0) << none;
        QTest::newRow("text prefix of the current directory")
            << QStringLiteral("/abc") << QStringLiteral("/ab") << qsizetype(0) << none;
    }
    void childrenOfANode()
    {
        QFETCH(QString, currentDirectory);
        QFETCH(QString, item);
        Window w;
        w.tree.setCurrentDirectory(currentDirectory);
        FileDisplayCollection* node = item.isNull() ? nullptr : w.listing(item.toUtf8().constData());
        QVERIFY(item.isNull() || node);
        QTEST(w.tree.numberOfChildrenOfItem(node), "children");
        QTEST(w.session.calls(), "calls");
        QVERIFY(w.tree.isItemExpandable(node));
    }

    void nodeIsListedAgainOnlyWithoutSubdirectories()
    {
        Window w;
        FileDisplayCollection* ab = w.listing("/ab");
        FileDisplayCollection* e = w.listing("/e");
        for (int i = 0; i < 2; ++i) {
            QCOMPARE(w.tree.numberOfChildrenOfItem(ab), 1);
            QCOMPARE(w.tree.numberOfChildrenOfItem(e), 0);
        }
        QCOMPARE(w.session.listed(), QStringList({ "/ab", "/e", "/e" }));
        // Listing a node keeps its object: the outline's items stay valid.
        QCOMPARE(w.listing("/ab"), ab);
        QCOMPARE(w.tree.childOfItem(0, ab)->fullPath(), QStringLiteral("/ab/sub"));
    }

    void childAndTextOfANode()
    {
        Window w;
        QCOMPARE(w.tree.childOfItem(0, nullptr), &w.root);
        QStringList children;
        for (qsizetype i = 0; i < w.tree.numberOfChildrenOfItem(&w.root); ++i)
            children.append(w.tree.objectValueForItem(w.tree.childOfItem(i, &w.root)));
        QCOMPARE(children, QStringList({ "ab", "abc", ".hidden", "e", "lib -> /usr/lib" }));
        QVERIFY(!w.tree.childOfItem(5, &w.root));
        QCOMPARE(w.tree.objectValueForItem(&w.root), QStringLiteral("/"));
    }

    void selectingANodeShowsIt()
    {
        Window w;
        QVERIFY(w.tree.shouldSelectItem(w.listing("/abc")));
        QCOMPARE(w.session.calls(), QStringList({ "directorySelectionHasChanged /abc while showing /" }));
        QCOMPARE(w.tree.currentDirectory(), QStringLiteral("/abc"));
        QCOMPARE(w.tree.currentFileViewDataSource().get(), w.listing("/abc"));
    }

    void expandOutlineView_data()
    {
        QTest::addColumn<QString>("currentDirectory");
        QTest::addColumn<QStringList>("events");
        QTest::newRow("root") << QStringLiteral("/") << QStringList({ "expand /", "select /" });
        QTest::newRow("child, and its text prefix sibling")
            << QStringLiteral("/abc") << QStringList({ "expand /", "expand /ab", "expand /abc", "select /abc" });
        QTest::newRow("grandchild") << QStringLiteral(
            "/abc/d") << QStringList({ "expand /", "expand /ab", "expand /abc", "expand /abc/d", "select /abc/d" });
        QTest::newRow("hidden directories are not visited")
            << QStringLiteral("/.hidden") << QStringList({ "expand /" });
        QTest::newRow("link under its own path")
            << QStringLiteral("/lib") << QStringList({ "expand /", "expand /lib", "select /lib" });
        QTest::newRow("no current directory") << QString() << QStringList();
    }
    void expandOutlineView()
    {
        QFETCH(QString, currentDirectory);
        Window w;
        w.tree.setCurrentDirectory(currentDirectory);
        FakeOutlineView view;
        w.tree.expandOutlineView(view);
        QTEST(view.events(), "events");
        QVERIFY(w.session.calls().isEmpty());
    }

    void disconnectLeavesABareRoot()
    {
        Window w;
        const std::shared_ptr<FileDisplayCollection> shown = w.tree.currentFileViewDataSource();
        w.tree.removeAllObjects();
        w.tree.setCurrentDirectory(QStringLiteral("/"));
        QCOMPARE(w.tree.currentFileViewDataSource().get(), &w.root);
        QCOMPARE(w.root.count(), 0);
        QCOMPARE(w.root.numberOfRows(), 0);
        QCOMPARE(w.root.directoryCount(), 0);
        w.tree.setProcessPath(QStringLiteral("/abc"));
        w.tree.addFileDisplay(FakeSession::fileLine(QStringLiteral("late")));
        QVERIFY(!w.tree.retrieveFileDisplay(QStringLiteral("/abc")));
        // The root can be listed again.
        w.session.refresh(w.root);
        QCOMPARE(w.root.count(), 6);
    }

    void aListingThatIsGoneIsNoLongerRegistered()
    {
        Window w;
        std::shared_ptr<FileDisplayCollection> held
            = std::static_pointer_cast<FileDisplayCollection>(w.listing("/abc")->shared_from_this());
        w.session.serve(QStringLiteral("/"), { FakeSession::directoryLine(QStringLiteral("e")) });
        w.session.refresh(w.root);
        w.tree.setCurrentDirectory(QStringLiteral("/abc"));
        // A view that still shows it can read it.
        QCOMPARE(held->count(), 1);
        QCOMPARE(held->displayObjectAtIndex(0)->fileName(), QStringLiteral("d"));
        held.reset();
        QVERIFY(!w.tree.currentFileViewDataSource());
        w.tree.setProcessPath(QStringLiteral("/abc/d"));
        w.tree.addFileDisplay(FakeSession::fileLine(QStringLiteral("late")));
        w.tree.addFileDisplayEnd();
        QVERIFY(!w.tree.retrieveFileDisplay(QStringLiteral("/abc")));
    }
};

PLUMOXA_TEST(FileDisplayControllerTest);

#include "FileDisplayControllerTest.moc"
