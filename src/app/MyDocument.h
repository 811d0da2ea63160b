#pragma once

#include "document/ConnectSettings.h"

#include <QObject>
#include <QString>
#include <QUndoStack>

class ViewController;

// One account document: its connection setting, the undo history of setting changes, the file it
// lives in and the local folder the next file choice starts in. Only the setting is stored.
class MyDocument final : public QObject
{
    Q_OBJECT

public:
    explicit MyDocument(QObject* parent = nullptr);

    // Reads a file's bytes into the existing setting.
    void readFromData(const QByteArray& data);
    bool readFromFile(const QString& path, QString* errorString = nullptr);
    // Writes the document atomically; on success the undo history is cleared and the document is
    // unchanged. A failed write keeps both the file on disk and the history as they were.
    bool writeToFile(const QString& path, QString* errorString = nullptr);

    const ConnectSettings& connectionSetting() const { return m_connectionSetting; }
    // Replaces the setting as one undoable change.
    void setConnectionSetting(const ConnectSettings& setting);
    unsigned canRedoCnt() const { return m_canRedoCnt; }
    bool isModified() const { return !m_undoStack.isClean(); }
    QUndoStack* undoStack() { return &m_undoStack; }

    // The window's session, which registers itself when the window is set up; not owned.
    ViewController* controller() const { return m_controller; }
    void setController(ViewController* controller) { m_controller = controller; }

    // The file the document was opened from or last saved to; empty for a new document.
    QString fileName() const { return m_fileName; }
    void setFileName(const QString& fileName);
    // The name the window shows: the file's name, or "Untitled" (numbered when several are open).
    QString displayName() const;
    void setUntitledNumber(int number) { m_untitledNumber = number; }

    QString lastDirectory() const { return m_lastDirectory; }
    void setLastDirectory(const QString& directory) { m_lastDirectory = directory; }

    // The window's menu commands, passed on unchanged (sender included) to the controller.
    void changeDirectory(QObject* sender);
    void parentDirectory();
    void reloadMenu();
    void makeDirectoryMenu(QObject* sender);
    void removeFileMenu();
    void addFile();
    void retrieveFile();
    void pasteFromFinder();
    void copy();
    void cut();
    void paste();
    void chmodToMenu(QObject* sender);
    void renameToMenu(QObject* sender);

    enum class Change { New, Undo, Redo };
    // Keeps the redo count in step with the history (called by the setting's undo command).
    void setDirty(Change change);
    // Puts a setting in place without recording a change.
    void applyConnectionSetting(const ConnectSettings& setting);

signals:
    void connectionSettingChanged();
    void modificationChanged(bool modified);
    void fileNameChanged();

private:
    ViewController* m_controller = nullptr;
    ConnectSettings m_connectionSetting;
    unsigned m_canRedoCnt = 0;
    QString m_lastDirectory;
    QString m_fileName;
    int m_untitledNumber = 1;
    QUndoStack m_undoStack;
};
