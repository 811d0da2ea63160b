#include "ui/WidgetPrompter.h"

#include "ui/FileOrFolderDialog.h"
#include "util/MyUtil.h"

#include <QApplication>
#include <QCheckBox>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QThread>

namespace {

thread_local QPointer<QWidget> t_threadWindow;

// Runs the question on the GUI thread, with the window it belongs to (the calling thread's, or
// the active one); a worker waits for it there.
template<typename Answer, typename Ask> Answer onGuiThread(Ask ask)
{
    const QPointer<QWidget> owner = t_threadWindow;
    const auto askIn = [&owner, &ask] {
        QWidget* window = owner ? owner.data() : QApplication::activeWindow();
        return ask(window, Qt::WindowModality(owner ? Qt::WindowModal : Qt::ApplicationModal));
    };
    if (QThread::currentThread() == qApp->thread())
        return askIn();
    Answer answer {};
    QMetaObject::invokeMethod(
        qApp, [&answer, &askIn] { answer = askIn(); }, Qt::BlockingQueuedConnection);
    return answer;
}

} // namespace

void WidgetPrompter::setThreadWindow(QWidget* window)
{
    t_threadWindow = window;
}

void WidgetPrompter::messageBox(const QString& message, const QString& title)
{
    onGuiThread<bool>([&](QWidget* window, Qt::WindowModality modality) {
        QMessageBox box(window);
        box.setWindowModality(modality);
        box.setIcon(QMessageBox::Information);
        box.setWindowTitle(QString::fromLatin1(MyUtil::kProductName));
        box.setText(MyUtil::printable(title, true));
        box.setInformativeText(MyUtil::printable(message, true));
        // The single button reads "OK" in every language.
        box.addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
        box.exec();
        return true;
    });
}

bool WidgetPrompter::askYesNo(const QString& question, const QString& title)
{
    return onGuiThread<bool>([&](QWidget* window, Qt::WindowModality modality) {
        QMessageBox box(window);
        box.setWindowModality(modality);
        box.setIcon(QMessageBox::Question);
        box.setWindowTitle(QString::fromLatin1(MyUtil::kProductName));
        box.setText(MyUtil::printable(title, true));
        box.setInformativeText(MyUtil::printable(question, true));
        QPushButton* yes = box.addButton(MyUtil::localized("Yes"), QMessageBox::YesRole);
        box.addButton(MyUtil::localized("No"), QMessageBox::NoRole);
        box.setDefaultButton(yes);
        box.exec();
        return box.clickedButton() == yes;
    });
}

Prompter::SkipOrOverwrite WidgetPrompter::askSkipOrOverwrite(const QString& path)
{
    return onGuiThread<SkipOrOverwrite>([&](QWidget* window, Qt::WindowModality modality) {
        QMessageBox box(window);
        box.setWindowModality(modality);
        box.setIcon(QMessageBox::Question);
        box.setWindowTitle(QString::fromLatin1(MyUtil::kProductName));
        box.setText(MyUtil::internationalFormat("same path exist", MyUtil::printable(path)));
        QPushButton* skip = box.addButton(MyUtil::localized("Skip"), QMessageBox::RejectRole);
        QPushButton* overwrite = box.addButton(MyUtil::localized("Overwrite"), QMessageBox::AcceptRole);
        box.setDefaultButton(skip);
        auto* same = new QCheckBox(MyUtil::localized("Do the same for the rest"), &box);
        box.setCheckBox(same);
        box.exec();
        // Only an explicit Overwrite replaces anything; closing the box skips.
        return SkipOrOverwrite { box.clickedButton() != overwrite, same->isChecked() };
    });
}

QString WidgetPrompter::chooseOpenPath(const QString& directory)
{
    return onGuiThread<QString>([&](QWidget* window, Qt::WindowModality modality) {
        FileOrFolderDialog dialog(window, directory);
        dialog.setWindowModality(modality);
        dialog.exec();
        return dialog.chosenPath();
    });
}

QString WidgetPrompter::chooseSavePath(const QString& directory, const QString& proposedName)
{
    return onGuiThread<QString>([&](QWidget* window, Qt::WindowModality modality) {
        const QString start = proposedName.isEmpty() ? directory : directory + u'/' + proposedName;
        QFileDialog dialog(window, QString(), start);
        dialog.setWindowModality(modality);
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setFileMode(QFileDialog::AnyFile);
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
            return QString();
        return dialog.selectedFiles().first();
    });
}
