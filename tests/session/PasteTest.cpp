#include "SessionWindow.h"

#include "app/DocumentWindow.h"
#include "app/PlumoAppDelegate.h"
#include "session/CopySource.h"
#include "session/ViewController.h"
#include "support/ScriptedPrompter.h"
#include "support/TestFiles.h"
#include "support/TestRegistry.h"
#include "ui/FileDropTableView.h"

#include "ui_MyDocument.h"

#include <QDir>
#include <QFileInfo>
#include <QPushButton>
#include <QTest>

#include <cstring>

namespace {

QByteArray word(std::size_t value)
{
    return QByteArray(reinterpret_cast<const char*>(&value), sizeof value);
}

QString at(SessionWindow& session, const QString& path)
{
    return QDir(session.server().rootPath()).filePath(path);
}

// Two windows on two servers (each its own account); the source's root also holds s.txt and the
// tree sd/ (f.txt, sub/g.txt).
struct TwoWindows
{
    SessionWindow source;
    SessionWindow target;

    bool start()
    {
        TestFiles::writeFile(at(source, "s.txt"), "s");
        TestFiles::writeFile(at(source, "sd/f.txt"), "f");
        TestFiles::writeFile(at(source, "sd/sub/g.txt"), "g");
        return source.start() && target.start() && source.connect() && target.connect();
    }
    PlumoAppDelegate& app() { return *PlumoAppDelegate::instance(); }
};

} // namespace

class PasteTest : public QObject
{
    Q_OBJECT

private slots:
    void recordOfThreeEntries()
    {
        const QByteArray record = PlumoAppDelegate::copyRecord({ "/a/x.txt", "/b", "/é" }, false);
        QByteArray expected(1, '\0');
        expected += word(3) + word(8) + "/a/x.txt" + word(2) + "/b" + word(3) + "/\xc3\xa9";
        QCOMPARE(record, expected);
        bool isCut = true;
        QCOMPARE(PlumoAppDelegate::pathsOfRecord(record, &isCut), QStringList({ "/a/x.txt", "/b", "/é" }));
        QVERIFY(!isCut);
        QCOMPARE(PlumoAppDelegate::copyRecord({ "/y" }, true).at(0), '\1');
        // A record cut short names nothing.
        QVERIFY(PlumoAppDelegate::pathsOfRecord(record.left(record.size() - 1), &isCut).isEmpty());
    }

    void sourcesSplitAtTheLastSlash_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("directory");
        QTest::addColumn<QString>("name");
        QTest::newRow("nested") << "/data/a.txt"
                                << "/data"
                                << "a.txt";
        QTest::newRow("at the root") << "/a.txt"
                                     << "/"
                                     << "a.txt";
    }
    void sourcesSplitAtTheLastSlash()
    {
        QFETCH(QString, path);
        QFETCH(QString, directory);
        QFETCH(QString, name);
        const CopySource source(path, false, nullptr);
        QCOMPARE(source.directory(), directory);
        QCOMPARE(source.fileName(), name);
        QCOMPARE(source.fullPath(), path);
    }

    void theBufferFollowsItsSourceWindow()
    {
        ScriptedPrompter prompter;
        TwoWindows windows;
        QVERIFY(windows.start());
        windows.source.selectNames({ "s.txt", "sd", "x.txt" });
        windows.source.controller().copy();
        QCOMPARE(windows.app().copyCount(), 1);
        const QList<CopySource> sources = windows.app().copyFileArray();
        QCOMPARE(sources.size(), 3);
        QCOMPARE(sources.at(1).fullPath(), QStringLiteral("/sd"));
        QCOMPARE(sources.at(1).sourceController(), &windows.source.controller());
        windows.target.window().updateMenus();
        QVERIFY(windows.target.window().action(QStringLiteral("pasteAction"))->isEnabled());

        // Another window disconnecting leaves it; its own source disconnecting empties it.
        windows.target.controller().connectButton();
        QCOMPARE(windows.app().copyCount(), 1);
        windows.source.controller().connectButton();
        QCOMPARE(windows.app().copyCount(), 0);
        QVERIFY(windows.app().copyFileArray().isEmpty());
    }

    void pasteBetweenServers_data()
    {
        QTest::addColumn<QString>("entry");
        QTest::addColumn<bool>("cut");
        QTest::addColumn<QString>("existing"); // what the target holds first: "", "sd/" (a folder) or "sd" (a file)
        QTest::addColumn<QStringList>("arrived"); // paths at the target afterwards
        QTest::addColumn<bool>("sourceKept");

        const QStringList tree { "sd/f.txt", "sd/sub/g.txt" };
        QTest::newRow("copy a file") << "s.txt" << false << "" << QStringList { "s.txt" } << true;
        QTest::newRow("cut a file") << "s.txt" << true << "" << QStringList { "s.txt" } << false;
        QTest::newRow("copy a tree") << "sd" << false << "" << tree << true;
        QTest::newRow("cut a tree") << "sd" << true << "" << tree << false;
        QTest::newRow("merge into a folder") << "sd" << false << "sd/" << tree + QStringList { "sd/old.txt" } << true;
        QTest::newRow("a folder replaces a file") << "sd" << true << "sd" << tree << false;
        QTest::newRow("a file replaces a folder") << "sd" << false << "sd/f.txt/" << tree << true;
    }
    void pasteBetweenServers()
    {
        QFETCH(QString, entry);
        QFETCH(bool, cut);
        QFETCH(QString, existing);
        QFETCH(QStringList, arrived);
        QFETCH(bool, sourceKept);

        ScriptedPrompter prompter;
        TwoWindows windows;
        if (existing == u"sd/")
            TestFiles::writeFile(at(windows.target, "sd/old.txt"), "o");
        else if (existing == u"sd")
            TestFiles::writeFile(at(windows.target, "sd"), "a file");
        else if (existing.endsWith(u'/'))
            QVERIFY(QDir().mkpath(at(windows.target, existing)));
        QVERIFY(windows.start());
        prompter.answerSkipOrOverwrite(false, true);
        windows.source.selectNames({ entry });
        if (cut)
            windows.source.controller().cut();
        else
            windows.source.controller().copy();

        windows.target.controller().paste();
        QVERIFY(windows.target.waitIdle());

        QVERIFY2(prompter.messages().isEmpty(), qPrintable(prompter.messages().join(u'|')));
        const QHash<QString, QByteArray> contents {
            { "s.txt", "s" }, { "sd/f.txt", "f" }, { "sd/sub/g.txt", "g" }, { "sd/old.txt", "o" }
        };
        for (const QString& path : arrived)
            QCOMPARE(TestFiles::readFile(at(windows.target, path)), contents.value(path));
        QCOMPARE(QFileInfo::exists(at(windows.source, entry)), sourceKept);
        QCOMPARE(prompter.panels().size(), existing.isEmpty() ? 0 : 1);
        // A cut is pasted once.
        QCOMPARE(windows.app().copyCount(), cut ? 0 : 1);
        QVERIFY(windows.target.tableNames().contains(entry));
        windows.target.verifyRestored();
        windows.source.verifyRestored();
        QVERIFY(windows.source.controller().isConnected());
    }

    void aCutKeepsWhatWasSkipped()
    {
        ScriptedPrompter prompter;
        TwoWindows windows;
        TestFiles::writeFile(at(windows.target, "sd/f.txt"), "theirs");
        QVERIFY(windows.start());
        // The folder that exists there is merged into; its file that exists there is skipped.
        prompter.answerSkipOrOverwrite(false);
        prompter.answerSkipOrOverwrite(true);
        windows.source.selectNames({ "sd" });
        windows.source.controller().cut();

        windows.target.controller().paste();
        QVERIFY(windows.target.waitIdle());

        QCOMPARE(prompter.messages(), QStringList { "1 skipped entries were kept at the source" });
        QCOMPARE(TestFiles::readFile(at(windows.target, "sd/f.txt")), QByteArray("theirs"));
        QCOMPARE(TestFiles::readFile(at(windows.target, "sd/sub/g.txt")), QByteArray("g"));
        // The skipped file and its folder stay; what was moved is gone from the source.
        QCOMPARE(TestFiles::readFile(at(windows.source, "sd/f.txt")), QByteArray("f"));
        QVERIFY(!QFileInfo::exists(at(windows.source, "sd/sub")));
    }

    void aSourceRemovedBeforeThePaste()
    {
        ScriptedPrompter prompter;
        TwoWindows windows;
        QVERIFY(windows.start());
        windows.source.selectNames({ "s.txt", "x.txt" });
        windows.source.controller().copy();
        QVERIFY(QFile::remove(at(windows.source, "s.txt")));

        windows.target.controller().paste();
        QVERIFY(windows.target.waitIdle());

        QCOMPARE(prompter.messages(), QStringList { "source file not found" });
        QVERIFY(!QFileInfo::exists(at(windows.target, "s.txt")));
        // Nothing after the missing entry is pasted.
        QCOMPARE(TestFiles::readFile(at(windows.target, "x.txt")), QByteArray("x"));
        QVERIFY(!windows.target.server().log().contains(QStringLiteral("cmd=\"STOR\"")));
        windows.source.verifyRestored();
    }

    void theSourceWindowIsHeldWhileThePasteReadsFromIt()
    {
        ScriptedPrompter prompter;
        TwoWindows windows;
        TestFiles::writeFile(at(windows.target, "s.txt"), "theirs");
        QVERIFY(windows.start());
        windows.source.selectNames({ "s.txt" });
        windows.source.controller().copy();
        bool read = false;
        bool connectEnabled = true;
        bool canClose = true;
        prompter.answerSkipOrOverwrite(false);
        prompter.onConflict([&](const QString&) {
            QMetaObject::invokeMethod(
                &windows.source.window(),
                [&] {
                    read = true;
                    connectEnabled = windows.source.window().ui().connectButton->isEnabled();
                    canClose = windows.source.controller().canClose();
                },
                Qt::BlockingQueuedConnection);
        });

        windows.target.controller().paste();
        QVERIFY(windows.target.waitIdle());

        QVERIFY(read);
        QVERIFY(!connectEnabled);
        QVERIFY(!canClose);
        QCOMPARE(TestFiles::readFile(at(windows.target, "s.txt")), QByteArray("s"));
        windows.source.verifyRestored();
    }

    void pasteWithinOneWindow()
    {
        ScriptedPrompter prompter;
        SessionWindow session;
        QVERIFY(session.start());
        QVERIFY(session.connect());
        session.selectNames({ "x.txt", "a" });
        session.controller().copy();
        FileDisplay* empty = session.controller().findDirectory(QStringLiteral("/empty"));
        QVERIFY(empty && empty->asCollection());
        session.controller().directoryDoubleClicked(*empty->asCollection());

        session.controller().paste();
        QVERIFY(session.waitIdle());

        QVERIFY(prompter.messages().isEmpty());
        QCOMPARE(TestFiles::readFile(at(session, "empty/x.txt")), QByteArray("x"));
        QCOMPARE(TestFiles::readFile(at(session, "empty/a/b/z.txt")), QByteArray("zzz"));
        QCOMPARE(session.controller().shownListing()->fullPath(), QStringLiteral("/empty"));
        QCOMPARE(session.tableNames(), QStringList({ "a", "x.txt" }));
        session.verifyRestored();

        // A folder pasted into itself would never end.
        FileDisplay* a = session.controller().findDirectory(QStringLiteral("/empty/a"));
        QVERIFY(a && a->asCollection());
        session.controller().directoryDoubleClicked(*a->asCollection());
        session.selectNames({ "b" });
        session.controller().copy();
        FileDisplay* b = session.controller().findDirectory(QStringLiteral("/empty/a/b"));
        session.controller().directoryDoubleClicked(*b->asCollection());
        session.controller().paste();
        QVERIFY(session.waitIdle());
        QCOMPARE(prompter.messages(), QStringList { "cannot paste a folder into itself" });
    }
};

PLUMOXA_TEST(PasteTest);
#include "PasteTest.moc"
