#include "app/DemoServer.h"
#include "app/DocumentController.h"
#include "app/DocumentWindow.h"
#include "app/MyDocument.h"
#include "app/PlumoAppDelegate.h"
#include "session/ViewController.h"
#include "support/ScriptedPrompter.h"
#include "support/TestRegistry.h"
#include "ui/FileDropTableView.h"

#include "ui_MyDocument.h"

#include <QAction>
#include <QDir>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTranslator>

namespace {

ConnectSettings labelled(const QString& description)
{
    ConnectSettings setting;
    setting.setDescription(description);
    setting.setUrl(QStringLiteral("http://example.com/plumoxa"));
    return setting;
}

} // namespace

class DocumentFrameworkTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void saveAndOpenRoundTrip()
    {
        ScriptedPrompter prompter;
        QTemporaryDir dir;
        PlumoAppDelegate delegate;
        DocumentController framework(delegate.menuEnabler());
        framework.clearRecentFiles();
        DocumentWindow* window = framework.newDocument();
        QVERIFY(window->windowTitle().startsWith(QStringLiteral("Untitled[*]")));
        QVERIFY(!window->isWindowModified());

        window->document().setConnectionSetting(labelled(QStringLiteral("office")));
        QVERIFY(window->isWindowModified());
        QVERIFY(window->action(QStringLiteral("undoAction"))->isEnabled());

        // Save asks where; a name without extension gets ours.
        prompter.answerPath(dir.filePath(QStringLiteral("office")));
        QVERIFY(framework.saveDocument(*window));
        const QString saved = QDir(dir.path()).canonicalPath() + QStringLiteral("/office.plumoxa");
        QCOMPARE(window->document().fileName(), saved);
        QVERIFY(!window->isWindowModified());
        QVERIFY(window->windowTitle().startsWith(QStringLiteral("office[*]")));
        QVERIFY(!window->action(QStringLiteral("undoAction"))->isEnabled());
        QCOMPARE(framework.recentFiles(), QStringList({ saved }));

        // Opening the open file brings its window forward instead of a second one.
        QCOMPARE(framework.openDocument(saved), window);
        QCOMPARE(framework.windows().size(), 1);

        window->close();
        QTRY_COMPARE(framework.windows().size(), 0);
        DocumentWindow* opened = framework.openDocument(saved);
        QVERIFY(opened);
        QCOMPARE(opened->document().connectionSetting().description(), QStringLiteral("office"));
        QVERIFY(!opened->isWindowModified());
        QVERIFY(prompter.messages().isEmpty());
    }

    void openingAMissingFileSaysSo()
    {
        ScriptedPrompter prompter;
        PlumoAppDelegate delegate;
        DocumentController framework(delegate.menuEnabler());
        QVERIFY(!framework.openDocument(QStringLiteral("/nonexistent/a.plumoxa")));
        QCOMPARE(prompter.messages().size(), 1);
        QVERIFY(framework.windows().isEmpty());
    }

    void undoAndRedoFollowTheRules()
    {
        ScriptedPrompter prompter;
        PlumoAppDelegate delegate;
        DocumentController framework(delegate.menuEnabler());
        DocumentWindow* window = framework.newDocument();
        QAction* undo = window->action(QStringLiteral("undoAction"));
        QAction* redo = window->action(QStringLiteral("redoAction"));
        QVERIFY(!undo->isEnabled());
        QVERIFY(!redo->isEnabled());
        window->document().setConnectionSetting(labelled(QStringLiteral("one")));
        QVERIFY(undo->isEnabled());
        undo->trigger();
        QCOMPARE(window->document().connectionSetting(), ConnectSettings());
        QVERIFY(!window->isWindowModified());
        QVERIFY(redo->isEnabled());
        redo->trigger();
        QCOMPARE(window->document().connectionSetting().description(), QStringLiteral("one"));
        QVERIFY(window->isWindowModified());

        // A window that is busy may not close, and the application may not quit.
        window->controller().setCanClose(false);
        QVERIFY(!window->action(QStringLiteral("closeAction"))->isEnabled());
        QVERIFY(!window->action(QStringLiteral("quitAction"))->isEnabled());
        QVERIFY(!window->close());
        window->controller().setCanClose(true);
        QVERIFY(window->action(QStringLiteral("quitAction"))->isEnabled());
        // Closing a changed document offers to save it; No discards.
        QVERIFY(window->close());
        QCOMPARE(prompter.questions().size(), 1);
    }

    void japaneseTranslationCoversTheKeys_data()
    {
        QTest::addColumn<QString>("key");
        for (const char* key : { "Connect", "Disconnect", "No connect settings", "connect failed", "LIST failed",
                                 "Invalid URL", "Input user name", "Input password", "specify file name",
                                 "specify directory name", "invalid path name", "invalid mode string", "dir not found",
                                 "Yes", "No", "ren", "mkdir", "%@ [%d files]", "Invalid mode format" })
            QTest::newRow(key) << QString::fromLatin1(key);
    }

    void japaneseTranslationCoversTheKeys()
    {
        QFETCH(QString, key);
        QTranslator translator;
        QVERIFY(translator.load(QStringLiteral(":/i18n/plumoxa_ja.qm")));
        const QString text = translator.translate("Plumoxa", key.toUtf8().constData());
        QVERIFY(!text.isEmpty());
        QVERIFY(text != key);
    }

    void demoStartsShowsItsListingAndCleansUp()
    {
        ScriptedPrompter prompter;
        QString root;
        {
            DemoServer demo;
            QVERIFY(demo.start(DemoServer::defaultServerPath()));
            root = demo.rootPath();
            QVERIFY(QDir(root).exists());
            PlumoAppDelegate delegate;
            DocumentController framework(delegate.menuEnabler());
            DocumentWindow* window = framework.newDocument();
            window->document().applyConnectionSetting(demo.setting());
            window->controller().connectButton();
            QVERIFY(window->controller().isConnected());
            QCOMPARE(window->ui().fileView->model()->rowCount(), 5);
            QCOMPARE(window->controller().statusText(), QStringLiteral("/ [5 files]"));
            QVERIFY(!window->isWindowModified());
        }
        QVERIFY(!QDir(root).exists());
        QVERIFY(prompter.messages().isEmpty());
    }
};

PLUMOXA_TEST(DocumentFrameworkTest);
#include "DocumentFrameworkTest.moc"
