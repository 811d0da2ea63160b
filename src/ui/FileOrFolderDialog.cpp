#include "ui/FileOrFolderDialog.h"

#include <QFileInfo>

FileOrFolderDialog::FileOrFolderDialog(QWidget* parent, const QString& directory)
    : QFileDialog(parent, QString(), directory)
{
    setOption(QFileDialog::DontUseNativeDialog);
    setFileMode(QFileDialog::ExistingFile);
    setAcceptMode(QFileDialog::AcceptOpen);
}

QString FileOrFolderDialog::chosenPath() const
{
    if (result() != QDialog::Accepted)
        return {};
    const QStringList chosen = selectedFiles();
    return chosen.isEmpty() ? QString() : chosen.first();
}

void FileOrFolderDialog::accept()
{
    const QStringList chosen = selectedFiles();
    if (chosen.size() == 1 && QFileInfo(chosen.first()).isDir()) {
        QDialog::accept();
        return;
    }
    QFileDialog::accept();
}
