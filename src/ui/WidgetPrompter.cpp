#include "ui/WidgetPrompter.h"

#include "util/MyUtil.h"

#include <QApplication>
#include <QCheckBox>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QThread>

namespace {

// Runs the question on the GUI thread; a worker waits for it there.
template<typename Answer, typename Ask> Answer onGuiThread(Ask ask)
{
    if (QThread::currentThread() == qApp->thread())
        return ask();
    Answer answer {};
    QMetaObject::invokeMethod(
        qApp, [&answer, &ask] { answer = ask(); }, Qt::BlockingQueuedConnection);
    return answer;
}

QWidget* frontWindow()
{
    return QApplication::activeWindow();
}

} // namespace

void WidgetPrompter::messageBox(const QString& message, const QString& title)
{
    onGuiThread<bool>([&] {
        QMessageBox box(frontWindow());
        box.setIcon(QMessageBox::Information);
        box.setWindowTitle(QString::fromLatin1(MyUtil::kProductName));
        box.setText(title);
        box.setInformativeText(message);
        // The single button reads "OK" in every language.
        box.addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
        box.exec();
        return true;
    });
}

bool WidgetPrompter::askYesNo(const QString& question, const QString& title)
{
    return onGuiThread<bool>([&] {
        QMessageBox box(frontWindow());
        box.setIcon(QMessageBox::Question);
        box.setWindowTitle(QString::fromLatin1(MyUtil::kProductName));
        box.setText(title);
        box.setInformativeText(question);
        QPushButton* yes = box.addButton(MyUtil::localized("Yes"), QMessageBox::YesRole);
        box.addButton(MyUtil::localized("No"), QMessageBox::NoRole);
        box.setDefaultButton(yes);
        box.exec();
        return box.clickedButton() == yes;
    });
}

Prompter::SkipOrOverwrite WidgetPrompter::askSkipOrOverwrite(const QString& path)
{
    return onGuiThread<SkipOrOverwrite>([&] {
        QMessageBox box(frontWindow());
        box.setIcon(QMessageBox::Question);
        box.setWindowTitle(QString::fromLatin1(MyUtil::kProductName));
        box.setText(MyUtil::internationalFormat("same path exist", path));
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
    return onGuiThread<QString>([&] { return QFileDialog::getOpenFileName(frontWindow(), QString(), directory); });
}

QString WidgetPrompter::chooseSavePath(const QString& directory, const QString& proposedName)
{
    return onGuiThread<QString>([&] {
        const QString start = proposedName.isEmpty() ? directory : directory + u'/' + proposedName;
        return QFileDialog::getSaveFileName(frontWindow(), QString(), start);
    });
}
