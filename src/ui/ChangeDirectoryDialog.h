#pragma once

#include "ui/MyBaseDialog.h"

#include <QString>

class FileDisplayCollection;

// Goes to a directory that the tree already holds, typed as its full path.
class ChangeDirectoryDialog final : public MyBaseDialog
{
    Q_OBJECT

public:
    ChangeDirectoryDialog(MyDocument& document, ViewController& controller, QWidget* documentWindow);

    QString currentDirectory() const { return m_currentDirectry; }
    void setCurrentDirectory(const QString& directory) { m_currentDirectry = directory; }

    QLineEdit* directoryField() const { return m_dirName; }
    // The directory the typed path names (one trailing "/" is ignored), or null.
    FileDisplayCollection* fileDisplay() const;

protected:
    QDialog* sheet() override;
    bool canOk() override;
    void onOk() override;

private:
    QLineEdit* m_dirName;
    QString m_currentDirectry;
};
