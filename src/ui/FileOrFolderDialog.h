#pragma once

#include <QFileDialog>

// An open panel that chooses one existing file or one folder: Open on a selected folder chooses
// it, a double click enters it. The platform's native dialogs choose either files or folders,
// never both, so this one is Qt's own.
class FileOrFolderDialog final : public QFileDialog
{
    Q_OBJECT

public:
    FileOrFolderDialog(QWidget* parent, const QString& directory);

    // The chosen path, or null when the panel was cancelled.
    QString chosenPath() const;

public slots:
    void accept() override;
};
