#include "model/FileDisplayCollection.h"
#include "FakeSession.h"
#include "model/FileDisplayController.h"
#include "support/ScriptedPrompter.h"
#include "support/TestRegistry.h"

#include <QMimeData>
#include <QTest>

namespace {

using Lines = QStringList;

const QString kLink = QStringLiteral("lib -> /usr/lib");

QString linkLine(const QString& name, const QString& mode = QStringLiteral("lrwxrwxrwx"))
{
    return FakeSession::fileLine(name, 8, QStringLiteral("Mar  3  2009"), mode);
}

QStringList rowNames(const FileDisplayCollection& listing)
{
    QStringList names;
    for (qsizetype row = 0; row < listing.displayCount(); ++row)
        names.append(listing.displayObjectAtIndex(row)->fileName());
    return names;
}

QStringList childNames(const FileDisplayCollection& listing)
{
    QStringList names;
    for (qsizetype i = 0; i < listing.count(); ++i)
        names.append(listing.objectAtIndex(i)->fileName());
    return names;
}

// A session window with its tree; the root lists what the test serves for "/".
struct Window
{
    FileDisplayController tree;
    FakeSession session { tree };
    FileDisplayCollection& root = *tree.collection();

    Window() { tree.setController(&session); }

    void list(const QString& path, const Lines& lines)
    {
        session.serve(path, lines);
        auto* listing = path == u"/" ? &root : tree.retrieveFileDisplay(path)->asCollection();
        QVERIFY(listing);
        QVERIFY(session.refresh(*listing));
        session.clear();
    }
};

} // namespace

class FileDisplayCollectionTest : public QObject
{
    Q_OBJECT

private slots:
    void newListingDefaults()
    {
        const auto listing = FileDisplayCollection::create();
        QVERIFY(listing->isDirectory());
        QCOMPARE(listing->sortKey(), QStringLiteral("Name"));
        QVERIFY(listing->isAscending());
        QCOMPARE(listing->count(), 0);
        QCOMPARE(listing->numberOfRows(), 0);
        QCOMPARE(listing->directoryCount(), 0);
    }

    void relistingKeepsObjects()
    {
        Window w;
        w.list(QStringLiteral("/"),
               { FakeSession::directoryLine(QStringLiteral("a")), FakeSession::directoryLine(QStringLiteral("d")),
                 FakeSession::fileLine(QStringLiteral("f")), FakeSession::fileLine(QStringLiteral("g")),
                 FakeSession::directoryLine(QStringLiteral("h")) });
        w.list(QStringLiteral("/a"), { FakeSession::fileLine(QStringLiteral("x")) });
        FileDisplay* a = w.root.fileDisplay(u"a");
        FileDisplay* x = a->asCollection()->objectAtIndex(0);
        FileDisplay* d = w.root.fileDisplay(u"d");
        FileDisplay* f = w.root.fileDisplay(u"f");
        a->asCollection()->setSortKey(QStringLiteral("Size"));

        w.list(QStringLiteral("/"),
               { FakeSession::directoryLine(QStringLiteral("a")),
                 FakeSession::directoryLine(QStringLiteral("d"), QStringLiteral("Feb  1 10:00")),
                 FakeSession::directoryLine(QStringLiteral("f")), FakeSession::fileLine(QStringLiteral("h")) });

        QCOMPARE(childNames(w.root), QStringList({ "a", "d", "f", "h" }));
        // Unchanged: the same object, with its children and its own sort order.
        QCOMPARE(w.root.fileDisplay(u"a"), a);
        QCOMPARE(a->asCollection()->objectAtIndex(0), x);
        QCOMPARE(a->asCollection()->sortKey(), QStringLiteral("Size"));
        // Changed: refreshed in place.
        QCOMPARE(w.root.fileDisplay(u"d"), d);
        QCOMPARE(d->fileDate(), QStringLiteral("Feb  1 10:00"));
        // File to directory: a new listing, registered under its path.
        FileDisplay* newF = w.root.fileDisplay(u"f");
        QVERIFY(newF != f);
        QVERIFY(newF->asCollection());
        QCOMPARE(newF->asCollection()->fullPath(), QStringLiteral("/f"));
        w.tree.setProcessPath(QStringLiteral("/f"));
        w.tree.addFileDisplay(FakeSession::fileLine(QStringLiteral("inside")));
        QCOMPARE(newF->asCollection()->count(), 1);
        // Directory to file: a plain entry; the old listing is gone from the registry.
        QVERIFY(!w.root.fileDisplay(u"h")->asCollection());
        w.tree.setCurrentDirectory(QStringLiteral("/h"));
        QVERIFY(!w.tree.currentFileViewDataSource());
        // Not listed again: gone.
        QVERIFY(!w.root.fileDisplay(u"g"));
    }

    void rowsAreEmptyWhileReading()
    {
        Window w;
        const Lines lines = { FakeSession::fileLine(QStringLiteral("b")), FakeSession::fileLine(QStringLiteral("a")) };
        w.list(QStringLiteral("/"), lines);
        QCOMPARE(rowNames(w.root), QStringList({ "a", "b" }));
        w.root.invalidate();
        QCOMPARE(w.root.numberOfRows(), 0);
        QCOMPARE(w.root.count(), 0);
        for (const QString& line : lines)
            w.root.addFileDisplay(line);
        QCOMPARE(w.root.numberOfRows(), 0);
        w.root.updateAll();
        QCOMPARE(rowNames(w.root), QStringList({ "a", "b" }));
    }

    void linesWithoutEntryAreSkipped()
    {
        Window w;
        w.list(QStringLiteral("/"),
               { QStringLiteral("total 12"), FakeSession::fileLine(QStringLiteral("a")),
                 QStringLiteral("-rw-r--r-- 1 web staff 1 Feb  9  2021"), QString() });
        QCOMPARE(childNames(w.root), QStringList({ "a" }));
    }

    void hiddenEntriesAreNoRows()
    {
        Window w;
        w.list(QStringLiteral("/"),
               { FakeSession::fileLine(QStringLiteral(".profile")),
                 FakeSession::directoryLine(QStringLiteral(".cache")), FakeSession::fileLine(QStringLiteral("c")),
                 FakeSession::directoryLine(QStringLiteral("b")) });
        QCOMPARE(rowNames(w.root), QStringList({ "b", "c" }));
        QCOMPARE(w.root.count(), 4);
        QCOMPARE(w.root.directoryCount(), 2);
        QCOMPARE(w.root.directoryAtIndex(0)->fileName(), QStringLiteral(".cache"));
        QCOMPARE(w.root.directoryAtIndex(1)->fileName(), QStringLiteral("b"));
        QVERIFY(!w.root.directoryAtIndex(2));
        QVERIFY(!w.root.displayObjectAtIndex(2));
    }

    void fileDisplay_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("found"); // full path of a listing or name of a file; null for none
        QTest::newRow("absolute") << QStringLiteral("/a/b") << QStringLiteral("/a/b");
        QTest::newRow("relative") << QStringLiteral("a/b") << QStringLiteral("/a/b");
        QTest::newRow("file below") << QStringLiteral("/a/b/c") << QStringLiteral("c");
        QTest::newRow("trailing slash") << QStringLiteral("/a/b/") << QString();
        QTest::newRow("empty path is the root") << QString() << QStringLiteral("/");
        QTest::newRow("hidden") << QStringLiteral("/.cache") << QStringLiteral("/.cache");
        QTest::newRow("link by its title") << QStringLiteral("/lib/x") << QStringLiteral("x");
        QTest::newRow("link by its whole name") << QStringLiteral("lib -> /usr/lib") << QString();
        QTest::newRow("below a file") << QStringLiteral("/f/x") << QString();
        QTest::newRow("unknown") << QStringLiteral("/zz") << QString();
        QTest::newRow("double slash") << QStringLiteral("//a") << QString();
    }
    void fileDisplay()
    {
        QFETCH(QString, path);
        QFETCH(QString, found);
        Window w;
        w.list(QStringLiteral("/"),
               { FakeSession::directoryLine(QStringLiteral("a")), FakeSession::directoryLine(QStringLiteral(".cache")),
                 linkLine(kLink, QStringLiteral("Drwxrwxrwx")), FakeSession::fileLine(QStringLiteral("f")) });
        w.list(QStringLiteral("/a"), { FakeSession::directoryLine(QStringLiteral("b")) });
        w.list(QStringLiteral("/a/b"), { FakeSession::fileLine(QStringLiteral("c")) });
        w.list(QStringLiteral("/lib"), { FakeSession::fileLine(QStringLiteral("x")) });

        const FileDisplay* result = w.root.fileDisplay(path);
        if (found.isNull()) {
            QVERIFY(!result);
            return;
        }
        QVERIFY(result);
        QCOMPARE(result->asCollection() ? result->asCollection()->fullPath() : result->fileName(), found);
    }

    void hasPath_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<bool>("exists");
        QTest::addColumn<bool>("isDirectory");
        QTest::addColumn<QStringList>("listed");
        QTest::newRow("child") << QStringLiteral("a") << true << true << QStringList();
        QTest::newRow("file below") << QStringLiteral("a/b") << true << false << QStringList({ "/a" });
        QTest::newRow("text prefix descends into siblings")
            << QStringLiteral("abc/x") << true << false << QStringList({ "/a", "/ab", "/abc" });
        QTest::newRow("two levels") << QStringLiteral("abc/y/z") << true << false
                                    << QStringList({ "/a", "/ab", "/abc", "/abc/y" });
        QTest::newRow("directory below") << QStringLiteral("abc/y") << true << true
                                         << QStringList({ "/a", "/ab", "/abc" });
        QTest::newRow("missing") << QStringLiteral("zzz") << false << false << QStringList();
        QTest::newRow("missing below") << QStringLiteral("a/q") << false << false << QStringList({ "/a" });
    }
    void hasPath()
    {
        QFETCH(QString, path);
        QFETCH(bool, exists);
        QFETCH(QStringList, listed);
        Window w;
        w.list(QStringLiteral("/"),
               { FakeSession::directoryLine(QStringLiteral("a")), FakeSession::directoryLine(QStringLiteral("ab")),
                 FakeSession::directoryLine(QStringLiteral("abc")) });
        w.session.serve(QStringLiteral("/a"), { FakeSession::fileLine(QStringLiteral("b")) });
        w.session.serve(QStringLiteral("/ab"), {});
        w.session.serve(
            QStringLiteral("/abc"),
            { FakeSession::fileLine(QStringLiteral("x")), FakeSession::directoryLine(QStringLiteral("y")) });
        w.session.serve(QStringLiteral("/abc/y"), { FakeSession::fileLine(QStringLiteral("z")) });

        bool isDirectory = false;
        QCOMPARE(w.root.hasPath(path, &isDirectory), exists);
        if (exists)
            QTEST(isDirectory, "isDirectory");
        QCOMPARE(w.session.listed(), listed);
    }

    void addDummyDirectory()
    {
        Window w;
        w.list(QStringLiteral("/"),
               { FakeSession::directoryLine(QStringLiteral("b")), FakeSession::fileLine(QStringLiteral("c")),
                 linkLine(kLink) });
        w.root.addDummyDirectory(QStringLiteral("a"));
        QCOMPARE(rowNames(w.root), QStringList({ "b", "c", kLink, "a" }));
        FileDisplayCollection* dummy = w.root.fileDisplay(u"a")->asCollection();
        QVERIFY(dummy);
        QCOMPARE(dummy->fullPath(), QStringLiteral("/a"));
        QCOMPARE(dummy->controller(), &w.session);
        QVERIFY(dummy->fileDate().isEmpty());
        w.tree.setCurrentDirectory(QStringLiteral("/a"));
        QCOMPARE(w.tree.currentFileViewDataSource().get(), dummy);

        // An existing name, or a link's title, changes nothing.
        w.root.addDummyDirectory(QStringLiteral("c"));
        w.root.addDummyDirectory(QStringLiteral("lib"));
        w.root.addDummyDirectory(QStringLiteral("a"));
        QCOMPARE(w.root.count(), 4);

        // Without a date it sorts first by date.
        w.root.setSortKey(QStringLiteral("Date"));
        w.root.childrenSort();
        QCOMPARE(rowNames(w.root).first(), QStringLiteral("a"));

        // The next listing refreshes it in place.
        w.list(QStringLiteral("/"),
               { FakeSession::directoryLine(QStringLiteral("a")), FakeSession::directoryLine(QStringLiteral("b")) });
        QCOMPARE(w.root.fileDisplay(u"a"), dummy);
        QCOMPARE(dummy->fileDate(), QStringLiteral("Jan 15 12:34"));
    }

    void removeObjectOfName()
    {
        Window w;
        w.list(QStringLiteral("/"),
               { FakeSession::fileLine(QStringLiteral("a")), FakeSession::directoryLine(QStringLiteral("b")),
                 FakeSession::fileLine(QStringLiteral("c")) });
        w.root.removeObjectOfName(QStringLiteral("b"));
        QCOMPARE(childNames(w.root), QStringList({ "a", "c" }));
        QCOMPARE(rowNames(w.root), QStringList({ "a", "c" }));
        QCOMPARE(w.root.directoryCount(), 0);
        w.root.removeObjectOfName(QStringLiteral("zz"));
        QCOMPARE(w.root.count(), 2);
    }

    void objectValue_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<QString>("column");
        QTest::addColumn<QVariant>("value");
        const QString file = QStringLiteral("----r--r-- 1 web staff 4294967296 Jan 15 12:34 big");
        QTest::newRow("Icon of a directory")
            << FakeSession::directoryLine(QStringLiteral("d")) << QStringLiteral("Icon")
            << QVariant::fromValue(FileDisplayCollection::CellIcon::Folder);
        QTest::newRow("Icon of a link to a directory")
            << linkLine(kLink, QStringLiteral("Drwxrwxrwx")) << QStringLiteral("Icon")
            << QVariant::fromValue(FileDisplayCollection::CellIcon::Folder);
        QTest::newRow("Icon of a file") << file << QStringLiteral("Icon")
                                        << QVariant::fromValue(FileDisplayCollection::CellIcon::Document);
        QTest::newRow("Name of a link") << linkLine(kLink) << QStringLiteral("Name") << QVariant(kLink);
        QTest::newRow("Owner") << file << QStringLiteral("Owner") << QVariant(QStringLiteral("web"));
        QTest::newRow("Group") << file << QStringLiteral("Group") << QVariant(QStringLiteral("staff"));
        QTest::newRow("Date as listed") << file << QStringLiteral("Date") << QVariant(QStringLiteral("Jan 15 12:34"));
        QTest::newRow("Size of 4 GiB") << file << QStringLiteral("Size") << QVariant(QStringLiteral("4294967296"));
        QTest::newRow("Mode in three digits") << file << QStringLiteral("Mode") << QVariant(QStringLiteral("044"));
        QTest::newRow("other column") << file << QStringLiteral("Comment") << QVariant(QString());
    }
    void objectValue()
    {
        QFETCH(QString, line);
        QFETCH(QString, column);
        Window w;
        w.list(QStringLiteral("/"), { line });
        QTEST(w.root.objectValue(column, 0), "value");
        QVERIFY(!w.root.objectValue(column, 1).isValid());
        QVERIFY(!w.root.objectValue(column, -1).isValid());
    }

    void edit_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<QString>("column");
        QTest::addColumn<QString>("value");
        QTest::addColumn<bool>("accepted");
        QTest::addColumn<QStringList>("calls");
        QTest::addColumn<QStringList>("messages");
        QTest::addColumn<uint>("mode");

        const QString file = FakeSession::fileLine(QStringLiteral("old.txt"));
        const QString name = QStringLiteral("Name");
        const QString mode = QStringLiteral("Mode");
        const QString toDir = QStringLiteral("clientSetCurrentDirectory /");
        QTest::newRow("rename") << file << name << QStringLiteral("new.txt") << true
                                << QStringList({ toDir, "renameFile / old.txt new.txt", "setCurrentDirectory /" })
                                << QStringList() << 644u;
        QTest::newRow("rename refused") << file << name << QStringLiteral("new.txt") << false
                                        << QStringList({ toDir, "renameFile / old.txt new.txt" }) << QStringList()
                                        << 644u;
        QTest::newRow("rename a link from its title")
            << linkLine(kLink) << name << QStringLiteral("lib2") << true
            << QStringList({ toDir, "renameFile / lib lib2", "setCurrentDirectory /" }) << QStringList() << 777u;
        QTest::newRow("same name sends nothing")
            << file << name << QStringLiteral("old.txt") << true << QStringList() << QStringList() << 644u;
        QTest::newRow("link title unchanged sends nothing")
            << linkLine(kLink) << name << QStringLiteral("lib") << true << QStringList() << QStringList() << 777u;
        QTest::newRow("mode") << file << mode << QStringLiteral("700") << true
                              << QStringList({ toDir, "chmod / old.txt 700" }) << QStringList() << 700u;
        QTest::newRow("mode of a link names it with its target")
            << linkLine(kLink) << mode << QStringLiteral("755") << true
            << QStringList({ toDir, "chmod / lib -> /usr/lib 755" }) << QStringList() << 755u;
        QTest::newRow("mode refused") << file << mode << QStringLiteral("700") << false
                                      << QStringList({ toDir, "chmod / old.txt 700" }) << QStringList() << 644u;
        QTest::newRow("mode of two digits") << file << mode << QStringLiteral("75") << true << QStringList({ toDir })
                                            << QStringList({ "Invalid mode format" }) << 644u;
        QTest::newRow("mode of four digits") << file << mode << QStringLiteral("0755") << true << QStringList({ toDir })
                                             << QStringList({ "Invalid mode format" }) << 644u;
        QTest::newRow("same mode sends nothing")
            << file << mode << QStringLiteral("644") << true << QStringList() << QStringList() << 644u;
        QTest::newRow("other column changes nothing") << file << QStringLiteral("Owner") << QStringLiteral("root")
                                                      << true << QStringList({ toDir }) << QStringList() << 644u;
    }
    void edit()
    {
        QFETCH(QString, line);
        QFETCH(QString, column);
        QFETCH(QString, value);
        QFETCH(bool, accepted);
        ScriptedPrompter prompter;
        Window w;
        w.list(QStringLiteral("/"), { line });
        w.session.setRenameResult(accepted);
        w.session.setChmodResult(accepted);

        QVERIFY(w.root.shouldEdit(column, 0));
        QCOMPARE(w.root.identifierTagOnEdit(), column);
        QCOMPARE(w.root.setObjectValue(value, column, 0), std::nullopt);
        QTEST(w.session.calls(), "calls");
        QTEST(prompter.messages(), "messages");
        QTEST(w.root.displayObjectAtIndex(0)->fileMode(), "mode");
    }

    void modeEditResortsByMode()
    {
        Window w;
        w.list(QStringLiteral("/"),
               { FakeSession::fileLine(QStringLiteral("a"), 1, QStringLiteral("Jan  1  2020"),
                                       QStringLiteral("-rw-------")),
                 FakeSession::fileLine(QStringLiteral("b")),
                 FakeSession::fileLine(QStringLiteral("c"), 1, QStringLiteral("Jan  1  2020"),
                                       QStringLiteral("-rwxr-xr-x")) });
        QVERIFY(w.root.didClickTableColumn(QStringLiteral("Mode")));
        QCOMPARE(rowNames(w.root), QStringList({ "a", "b", "c" }));
        w.root.shouldEdit(QStringLiteral("Mode"), 0);
        QCOMPARE(w.root.columnValueOnEdit(), QStringLiteral("600"));
        QCOMPARE(w.root.setObjectValue(QStringLiteral("777"), QStringLiteral("Mode"), 0), qsizetype(2));
        QCOMPARE(rowNames(w.root), QStringList({ "b", "c", "a" }));
    }

    void headerClick_data()
    {
        QTest::addColumn<QStringList>("clicks");
        QTest::addColumn<QString>("indicator"); // null: the last click changed nothing
        QTest::addColumn<bool>("ascending");
        QTest::addColumn<QStringList>("rows");
        QTest::newRow("new column ascending")
            << QStringList({ "Size" }) << QStringLiteral("Size") << true << QStringList({ "b", "c", "a" });
        QTest::newRow("second click descending")
            << QStringList({ "Size", "Size" }) << QStringLiteral("Size") << false << QStringList({ "a", "c", "b" });
        QTest::newRow("third click ascending again")
            << QStringList({ "Size", "Size", "Size" }) << QStringLiteral("Size") << true
            << QStringList({ "b", "c", "a" });
        QTest::newRow("current key flips")
            << QStringList({ "Name" }) << QStringLiteral("Name") << false << QStringList({ "c", "b", "a" });
        QTest::newRow("another column starts ascending")
            << QStringList({ "Size", "Size", "Date" }) << QStringLiteral("Date") << true
            << QStringList({ "c", "a", "b" });
        QTest::newRow("Icon is no sort key")
            << QStringList({ "Icon" }) << QString() << true << QStringList({ "a", "b", "c" });
    }
    void headerClick()
    {
        QFETCH(QStringList, clicks);
        QFETCH(QString, indicator);
        QFETCH(bool, ascending);
        Window w;
        w.list(QStringLiteral("/"),
               { FakeSession::fileLine(QStringLiteral("a"), 300, QStringLiteral("Jan  1  2020")),
                 FakeSession::fileLine(QStringLiteral("b"), 100, QStringLiteral("Jan  1  2021")),
                 FakeSession::fileLine(QStringLiteral("c"), 200, QStringLiteral("Jan  1  2019")) });
        std::optional<FileDisplayCollection::SortIndicator> shown;
        for (const QString& column : clicks)
            shown = w.root.didClickTableColumn(column);
        if (indicator.isNull()) {
            QVERIFY(!shown);
            QCOMPARE(w.root.sortKey(), QStringLiteral("Name"));
        } else {
            QVERIFY(shown);
            QCOMPARE(shown->column, indicator);
            QCOMPARE(shown->ascending, ascending);
            QCOMPARE(w.root.sortKey(), indicator);
        }
        QCOMPARE(w.root.isAscending(), ascending);
        QTEST(rowNames(w.root), "rows");
    }

    void dropGoesToTheController_data()
    {
        QTest::addColumn<bool>("accepted");
        QTest::newRow("accepted") << true;
        QTest::newRow("refused") << false;
    }
    void dropGoesToTheController()
    {
        QFETCH(bool, accepted);
        Window w;
        w.list(QStringLiteral("/"), { FakeSession::directoryLine(QStringLiteral("up")) });
        w.session.setDropResult(accepted);
        QMimeData drop;
        drop.setText(QStringLiteral("files"));
        QCOMPARE(w.root.fileDisplay(u"up")->asCollection()->acceptDrop(drop), accepted);
        QCOMPARE(w.session.calls(), QStringList({ "droppedFromFinder /up files" }));
    }
};

PLUMOXA_TEST(FileDisplayCollectionTest);

#include "FileDisplayCollectionTest.moc"
