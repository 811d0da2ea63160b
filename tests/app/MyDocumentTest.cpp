#include "app/MyDocument.h"
#include "support/TestRegistry.h"
#include "util/MyUtil.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

namespace {

ConnectSettings labelled(const QString& description)
{
    ConnectSettings settings;
    settings.setDescription(description);
    return settings;
}

} // namespace

class MyDocumentTest : public QObject
{
    Q_OBJECT

private slots:
    void newDocumentStartsUnchanged()
    {
        MyDocument document;
        QCOMPARE(document.connectionSetting(), ConnectSettings());
        QCOMPARE(document.canRedoCnt(), 0u);
        QVERIFY(!document.isModified());
        QCOMPARE(document.lastDirectory(), MyUtil::documentDirectory());
    }

    void undoAndRedoKeepTheCount()
    {
        MyDocument document;
        QSignalSpy modified(&document, &MyDocument::modificationChanged);
        document.setConnectionSetting(labelled("one"));
        QVERIFY(document.isModified());
        document.setConnectionSetting(labelled("two"));
        QCOMPARE(document.canRedoCnt(), 0u);

        document.undoStack()->undo();
        QCOMPARE(document.connectionSetting().description(), QStringLiteral("one"));
        QCOMPARE(document.canRedoCnt(), 1u);
        document.undoStack()->undo();
        QCOMPARE(document.connectionSetting().description(), QString());
        QCOMPARE(document.canRedoCnt(), 2u);
        // Back where it started: unchanged again.
        QVERIFY(!document.isModified());

        document.undoStack()->redo();
        QCOMPARE(document.connectionSetting().description(), QStringLiteral("one"));
        QCOMPARE(document.canRedoCnt(), 1u);
        QVERIFY(document.isModified());

        // A new change after an undo makes redo impossible.
        document.setConnectionSetting(labelled("three"));
        QCOMPARE(document.canRedoCnt(), 0u);
        QVERIFY(!document.undoStack()->canRedo());
        QCOMPARE(modified.count(), 3);
    }

    void savingClearsTheHistory()
    {
        QTemporaryDir dir;
        MyDocument document;
        document.setConnectionSetting(labelled("one"));
        document.undoStack()->undo();
        document.undoStack()->redo();
        document.setConnectionSetting(labelled("two"));
        document.undoStack()->undo();
        QCOMPARE(document.canRedoCnt(), 1u);
        QVERIFY(document.writeToFile(dir.filePath("a.plumoxa")));
        QCOMPARE(document.canRedoCnt(), 0u);
        QVERIFY(!document.undoStack()->canUndo());
        QVERIFY(!document.undoStack()->canRedo());
        QVERIFY(!document.isModified());

        MyDocument opened;
        QVERIFY(opened.readFromFile(dir.filePath("a.plumoxa")));
        QCOMPARE(opened.connectionSetting().description(), QStringLiteral("one"));
        QVERIFY(!opened.isModified());
        QCOMPARE(opened.lastDirectory(), MyUtil::documentDirectory());
    }

    void failedSaveKeepsTheChange()
    {
        MyDocument document;
        document.setConnectionSetting(labelled("one"));
        QVERIFY(!document.writeToFile(QStringLiteral("/nonexistent/a.plumoxa")));
        QVERIFY(document.isModified());
        QVERIFY(document.undoStack()->canUndo());
    }
};

PLUMOXA_TEST(MyDocumentTest);
#include "MyDocumentTest.moc"
