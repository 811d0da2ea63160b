// The desktop window on one directory of 100,000 entries, against a real plumoxa-server on
// 127.0.0.1: opening the directory (its LIST and the table model's reset), the first paint of the
// table, showing the same directory again (the re-listing keeps the unchanged entries) and a
// header click sorting the rows by each column. Each figure is the median of a few runs; the last
// line of the output, "show <seconds> <peak KiB>", is read by scripts/bench.
//
//   QT_QPA_PLATFORM=offscreen plumoxa-window-bench [--entries 100000] [--runs 5]
#include "app/DocumentController.h"
#include "app/DocumentWindow.h"
#include "app/MyDocument.h"
#include "app/PlumoAppDelegate.h"
#include "document/ConnectSettings.h"
#include "model/FileDisplayCollection.h"
#include "session/ViewController.h"
#include "support/ServerFixture.h"
#include "ui/FileDropTableView.h"
#include "ui/FileTableModel.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDeadlineTimer>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QHeaderView>
#include <QTest>

#include <algorithm>
#include <cstdio>
#include <map>
#include <vector>

namespace {

constexpr double kGoalSeconds = 1.5;
constexpr int kPaintDeadlineMs = 30000;

// Milliseconds since the timer started.
double msSince(const QElapsedTimer& timer)
{
    return double(timer.nsecsElapsed()) / 1e6;
}

double median(std::vector<double> values)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    const size_t middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

QString loadAverage()
{
    QFile file(QStringLiteral("/proc/loadavg"));
    if (!file.open(QIODevice::ReadOnly))
        return QStringLiteral("?");
    const QList<QByteArray> fields = file.readAll().split(' ');
    return fields.size() >= 3 ? QString::fromLatin1(fields[0] + ' ' + fields[1] + ' ' + fields[2])
                              : QStringLiteral("?");
}

qint64 peakKib()
{
    QFile file(QStringLiteral("/proc/self/status"));
    if (!file.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : file.readAll().split('\n')) {
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').first().toLongLong();
    }
    return 0;
}

// The empty files "entry-000001.txt" ... of the benchmark's directory.
bool makeEntries(const QString& directory, int count)
{
    if (!QDir().mkpath(directory))
        return false;
    for (int i = 1; i <= count; ++i) {
        QFile file(directory + QStringLiteral("/entry-%1.txt").arg(i, 6, 10, QLatin1Char('0')));
        if (!file.open(QIODevice::WriteOnly))
            return false;
    }
    return true;
}

// Nanoseconds on one clock for the whole run.
qint64 now()
{
    static const QElapsedTimer started = [] {
        QElapsedTimer timer;
        timer.start();
        return timer;
    }();
    return started.nsecsElapsed();
}

// Notes when a widget's paint events begin.
class PaintWatch final : public QObject
{
public:
    explicit PaintWatch(QWidget& widget)
        : m_widget(widget)
    {
        m_widget.installEventFilter(this);
    }
    ~PaintWatch() override { m_widget.removeEventFilter(this); }
    Q_DISABLE_COPY_MOVE(PaintWatch)

    int paints() const { return m_paints; }
    qint64 lastPaintStart() const { return m_lastPaintStart; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched == &m_widget && event->type() == QEvent::Paint) {
            ++m_paints;
            m_lastPaintStart = now();
        }
        return false;
    }

private:
    QWidget& m_widget;
    int m_paints = 0;
    qint64 m_lastPaintStart = 0;
};

// Runs the event loop until the widget has been painted once more. Returns the milliseconds from
// the call to the end of that paint and, through paintOnly, those of the paint event itself.
double runUntilPainted(QWidget& widget, double* paintOnly)
{
    PaintWatch watch(widget);
    const qint64 start = now();
    const QDeadlineTimer deadline(kPaintDeadlineMs);
    while (watch.paints() == 0 && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents);
    const qint64 end = now();
    if (watch.paints() == 0)
        std::fprintf(stderr, "no paint within %d ms\n", kPaintDeadlineMs);
    if (paintOnly)
        *paintOnly = double(end - watch.lastPaintStart()) / 1e6;
    return double(end - start) / 1e6;
}

// The figures of every run, by step, in the order they were first recorded.
class Figures
{
public:
    void add(const QString& step, double ms)
    {
        if (!m_values.count(step))
            m_order.push_back(step);
        m_values[step].push_back(ms);
    }
    double medianOf(const QString& step) const
    {
        const auto found = m_values.find(step);
        return found == m_values.end() ? 0 : median(found->second);
    }
    void print() const
    {
        std::printf("| step | median | runs |\n|---|---|---|\n");
        for (const QString& step : m_order) {
            QStringList runs;
            for (const double value : m_values.at(step))
                runs.append(QString::number(value, 'f', 1));
            std::printf("| %s | %.1f ms | %s |\n", qPrintable(step), medianOf(step), qPrintable(runs.join(u", ")));
        }
    }

private:
    std::vector<QString> m_order;
    std::map<QString, std::vector<double>> m_values;
};

class WindowBench
{
public:
    WindowBench(int entries, int runs)
        : m_entries(entries)
        , m_runs(runs)
        , m_framework(m_delegate.menuEnabler())
    { }
    ~WindowBench() { delete m_window; }
    Q_DISABLE_COPY_MOVE(WindowBench)

    bool start();
    bool run();
    const Figures& figures() const { return m_figures; }
    QString showStep() const { return m_showStep; }
    QString paintStep() const { return m_paintStep; }

private:
    bool connect();
    FileDisplayCollection* directory(const QString& path) const;
    // Double-clicks the big directory and times it, with the model reset inside it.
    double openBig(const QString& step);
    void clickHeader(int column);

    int m_entries;
    int m_runs;
    PlumoAppDelegate m_delegate;
    ServerFixture m_server;
    DocumentController m_framework;
    DocumentWindow* m_window = nullptr;
    Figures m_figures;
    QString m_showStep;
    QString m_paintStep;
};

bool WindowBench::start()
{
    if (!makeEntries(m_server.rootPath() + QStringLiteral("/many"), m_entries) || !m_server.start())
        return false;
    m_window = m_framework.newDocument();
    ConnectSettings setting;
    setting.setUrl(m_server.url());
    setting.setUserId(m_server.user());
    setting.setPassword(m_server.password());
    setting.setTimeout(120);
    m_window->document().applyConnectionSetting(setting);
    return QTest::qWaitForWindowExposed(m_window);
}

bool WindowBench::connect()
{
    ViewController& controller = m_window->controller();
    controller.connectButton();
    QCoreApplication::processEvents();
    return controller.isConnected() && controller.shownListing();
}

FileDisplayCollection* WindowBench::directory(const QString& path) const
{
    FileDisplay* found = m_window->controller().findDirectory(path);
    return found ? found->asCollection() : nullptr;
}

double WindowBench::openBig(const QString& step)
{
    ViewController& controller = m_window->controller();
    FileTableModel& model = controller.tableModel();
    FileDisplayCollection* big = directory(QStringLiteral("/many"));
    if (!big)
        return -1;
    QElapsedTimer resetTimer;
    double reset = 0;
    const auto aboutToReset
        = QObject::connect(&model, &QAbstractItemModel::modelAboutToBeReset, [&resetTimer] { resetTimer.start(); });
    const auto wasReset
        = QObject::connect(&model, &QAbstractItemModel::modelReset, [&] { reset += msSince(resetTimer); });
    QElapsedTimer timer;
    timer.start();
    controller.directoryDoubleClicked(*big);
    const double ms = msSince(timer);
    QObject::disconnect(aboutToReset);
    QObject::disconnect(wasReset);
    m_figures.add(step, ms);
    m_figures.add(step + QStringLiteral(": of which the table model's resets"), reset);
    return model.rowCount() == m_entries ? ms : -1;
}

void WindowBench::clickHeader(int column)
{
    QHeaderView* header = m_window->controller().fileView()->horizontalHeader();
    const int x = header->sectionViewportPosition(column) + std::min(header->sectionSize(column) / 2, 10);
    QTest::mouseClick(header->viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(x, header->height() / 2));
}

bool WindowBench::run()
{
    ViewController& controller = m_window->controller();
    FileDropTableView& table = *controller.fileView();
    QWidget& viewport = *table.viewport();
    const QString count = QString::number(m_entries);
    m_showStep = QStringLiteral("double click on /many: LIST of %1 entries, model reset").arg(count);
    m_paintStep = QStringLiteral("first paint (event loop: layout and paint of the window)");

    for (int run = 0; run < m_runs; ++run) {
        // A fresh session: the directory is listed for the first time, its paint follows through
        // the event loop.
        if (!connect() || openBig(m_showStep) < 0)
            return false;
        double paintEvent = 0;
        m_figures.add(m_paintStep, runUntilPainted(viewport, &paintEvent));
        m_figures.add(m_paintStep + QStringLiteral(": of which the viewport's paint event"), paintEvent);
        controller.connectButton();
        QCoreApplication::processEvents();

        // Again fresh, painted at once by grabbing the viewport.
        if (!connect() || openBig(m_showStep) < 0)
            return false;
        QElapsedTimer timer;
        timer.start();
        const QPixmap grabbed = viewport.grab();
        m_figures.add(QStringLiteral("first paint (grab() of the viewport right after the reset)"), msSince(timer));
        runUntilPainted(viewport, nullptr);

        // Away to the root and back: the re-listing keeps the unchanged entries.
        FileDisplayCollection* root = directory(QStringLiteral("/"));
        if (!root)
            return false;
        controller.directoryDoubleClicked(*root);
        runUntilPainted(viewport, nullptr);
        const QString again = QStringLiteral("double click on /many again (from /): LIST, unchanged entries kept");
        if (openBig(again) < 0)
            return false;
        m_figures.add(again + QStringLiteral(": its paint (event loop)"), runUntilPainted(viewport, nullptr));

        // The header: each sort key once (Name, the current key, turns descending).
        for (int column = FileTableModel::Name; column < FileTableModel::ColumnCount; ++column) {
            timer.start();
            clickHeader(column);
            const double click = msSince(timer);
            const double paint = runUntilPainted(viewport, nullptr);
            // The click must have reached the header: the listing is sorted by that column now.
            const FileDisplayCollection* shown = controller.shownListing();
            if (!shown || shown->sortKey() != FileTableModel::columnIdentifier(column))
                return false;
            const QString step = QStringLiteral("header click on \"%1\": sort %2 rows, model reset")
                                     .arg(FileTableModel::columnIdentifier(column), count);
            m_figures.add(step, click);
            m_figures.add(step + QStringLiteral(": its paint (event loop)"), paint);
        }
        controller.connectButton();
        QCoreApplication::processEvents();
    }
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QCommandLineParser parser;
    parser.addHelpOption();
    const QCommandLineOption entriesOption(QStringLiteral("entries"), QStringLiteral("Entries of the directory."),
                                           QStringLiteral("count"), QStringLiteral("100000"));
    const QCommandLineOption runsOption(QStringLiteral("runs"), QStringLiteral("Runs of every step."),
                                        QStringLiteral("count"), QStringLiteral("5"));
    parser.addOptions({ entriesOption, runsOption });
    parser.process(app);
    const int entries = std::max(1, parser.value(entriesOption).toInt());
    const int runs = std::max(1, parser.value(runsOption).toInt());

    const QString loadBefore = loadAverage();
    WindowBench bench(entries, runs);
    if (!bench.start()) {
        std::fprintf(stderr, "the server or the window did not start\n");
        return 1;
    }
    if (!bench.run()) {
        std::fprintf(stderr, "a step failed: the directory was not listed in full, or not sorted\n");
        return 1;
    }
    const Figures& figures = bench.figures();
    figures.print();
    const double show = figures.medianOf(bench.showStep()) + figures.medianOf(bench.paintStep());
    std::printf("\n%d entries shown (double click and first paint): %.2f s, goal %.2f s; load average %s before, "
                "%s after; peak memory %.1f MiB\n",
                entries, show / 1000, kGoalSeconds, qPrintable(loadBefore), qPrintable(loadAverage()),
                double(peakKib()) / 1024);
    std::printf("show %.3f %lld\n", show / 1000, static_cast<long long>(peakKib()));
    return 0;
}
