#include "ui/WidgetPrompter.h"
#include "support/TestRegistry.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QThread>
#include <QTimer>

#include <functional>

#include <atomic>
#include <memory>

namespace {

QMessageBox* shownBox()
{
    return qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
}

QStringList buttonTexts(const QMessageBox* box)
{
    QStringList texts;
    for (const QAbstractButton* button : box->buttons())
        texts.append(button->text());
    texts.sort();
    return texts;
}

QAbstractButton* buttonNamed(const QMessageBox* box, const QString& text)
{
    for (QAbstractButton* button : box->buttons()) {
        if (button->text() == text)
            return button;
    }
    return nullptr;
}

// The box runs its own event loop on the GUI thread: it is answered from a timer of that loop.
class Answerer
{
public:
    explicit Answerer(std::function<void(QMessageBox*)> answer)
        : m_answer(std::move(answer))
    {
        QObject::connect(&m_timer, &QTimer::timeout, [this] {
            if (QMessageBox* box = shownBox()) {
                m_timer.stop();
                m_answer(box);
            }
        });
        m_timer.start(10);
    }

private:
    std::function<void(QMessageBox*)> m_answer;
    QTimer m_timer;
};

} // namespace

class WidgetPrompterTest : public QObject
{
    Q_OBJECT

private slots:
    void messageFromAWorker()
    {
        WidgetPrompter prompter;
        QString text;
        QString informative;
        QStringList buttons;
        const Answerer answerer([&](QMessageBox* box) {
            text = box->text();
            informative = box->informativeText();
            buttons = buttonTexts(box);
            buttonNamed(box, QStringLiteral("OK"))->click();
        });
        std::unique_ptr<QThread> worker(QThread::create(
            [&prompter] { prompter.messageBox(QStringLiteral("100% done"), QStringLiteral("Plumoxa")); }));
        worker->start();
        QTRY_VERIFY_WITH_TIMEOUT(worker->isFinished(), 10000);
        QCOMPARE(text, QStringLiteral("Plumoxa"));
        QCOMPARE(informative, QStringLiteral("100% done"));
        QCOMPARE(buttons, QStringList({ "OK" }));
    }

    void question_data()
    {
        QTest::addColumn<QString>("press");
        QTest::addColumn<bool>("answer");
        QTest::newRow("yes") << "Yes" << true;
        QTest::newRow("no") << "No" << false;
    }

    void question()
    {
        QFETCH(QString, press);
        QFETCH(bool, answer);
        WidgetPrompter prompter;
        QStringList buttons;
        bool yesIsDefault = false;
        const Answerer answerer([&](QMessageBox* box) {
            buttons = buttonTexts(box);
            yesIsDefault = box->defaultButton() == buttonNamed(box, QStringLiteral("Yes"));
            buttonNamed(box, press)->click();
        });
        std::atomic<int> result { -1 };
        std::unique_ptr<QThread> worker(QThread::create(
            [&] { result = prompter.askYesNo(QStringLiteral("are you remove"), QStringLiteral("Plumoxa")) ? 1 : 0; }));
        worker->start();
        QTRY_VERIFY_WITH_TIMEOUT(worker->isFinished(), 10000);
        QCOMPARE(buttons, QStringList({ "No", "Yes" }));
        QVERIFY(yesIsDefault);
        QCOMPARE(result.load(), answer ? 1 : 0);
    }

    void closingTheConflictQuestionSkips()
    {
        WidgetPrompter prompter;
        const Answerer answerer([](QMessageBox* box) { box->reject(); });
        std::atomic<int> skipped { -1 };
        std::unique_ptr<QThread> worker(
            QThread::create([&] { skipped = prompter.askSkipOrOverwrite(QStringLiteral("/a/x.txt")).skip ? 1 : 0; }));
        worker->start();
        QTRY_VERIFY_WITH_TIMEOUT(worker->isFinished(), 10000);
        QCOMPARE(skipped.load(), 1);
    }
};

PLUMOXA_TEST(WidgetPrompterTest);
#include "WidgetPrompterTest.moc"
