// Listing lines: parsing, a whole LIST reply scanned, re-listing a directory, sorting its rows.
#include "model/FileDisplay.h"
#include "model/FileDisplayCollection.h"
#include "model/FileDisplayController.h"
#include "protocol/XmlResponseScanner.h"

#include <benchmark/benchmark.h>

#include <QStringList>

namespace {

constexpr int kEntries = 100000;

QStringList listingLines(int count)
{
    static const char* months[]
        = { "Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec" };
    QStringList lines;
    lines.reserve(count);
    for (int i = 0; i < count; ++i) {
        const bool dir = i % 10 == 0;
        lines.append(
            QStringLiteral("%1rw-r--r--   1 web%2 staff  %3 %4 %5 %6 file-%7.%8")
                .arg(dir ? u'd' : u'-')
                .arg(i % 7)
                .arg(qint64(i) * 7919 % 100000000, 9)
                .arg(QLatin1StringView(months[i % 12]))
                .arg(i % 28 + 1, 2)
                .arg(i % 3 == 0
                         ? QStringLiteral(" 2019")
                         : QStringLiteral("%1:%2").arg(i % 24, 2, 10, QChar(u'0')).arg(i % 60, 2, 10, QChar(u'0')))
                .arg(i)
                .arg(dir ? QStringLiteral("d") : QStringLiteral("txt")));
    }
    return lines;
}

const QStringList& lines()
{
    static const QStringList all = listingLines(kEntries);
    return all;
}

void parseListingLines(benchmark::State& state)
{
    for (auto _ : state) {
        for (const QString& line : lines())
            benchmark::DoNotOptimize(FileDisplay::parseListingLine(line));
    }
    state.SetItemsProcessed(state.iterations() * lines().size());
}
BENCHMARK(parseListingLines)->Unit(benchmark::kMillisecond);

void scanListReply(benchmark::State& state)
{
    QString reply = QStringLiteral("<login_result>TRUE</login_result><command>LIST</command><command_result>TRUE"
                                   "</command_result><current_dir>/d</current_dir><result_count>1</result_count>"
                                   "<list path=\"/d\">");
    for (const QString& line : lines())
        reply += u"<path>" + line + u"</path>\n";
    reply += u"</list>";
    for (auto _ : state) {
        XmlResponseScanner scanner(reply, nullptr);
        benchmark::DoNotOptimize(scanner.scan());
    }
    state.SetItemsProcessed(state.iterations() * lines().size());
}
BENCHMARK(scanListReply)->Unit(benchmark::kMillisecond);

// A directory listed once, then listed again unchanged (the common refresh).
void relistDirectory(benchmark::State& state)
{
    FileDisplayController tree;
    tree.setProcessPath(QStringLiteral("/"));
    for (const QString& line : lines())
        tree.addFileDisplay(line);
    FileDisplayCollection& root = *tree.collection();
    root.updateAll();
    for (auto _ : state) {
        root.invalidate();
        tree.setProcessPath(QStringLiteral("/"));
        for (const QString& line : lines())
            tree.addFileDisplay(line);
        root.updateAll();
    }
    state.SetItemsProcessed(state.iterations() * lines().size());
}
BENCHMARK(relistDirectory)->Unit(benchmark::kMillisecond);

void sortRows(benchmark::State& state, const char* key)
{
    FileDisplayController tree;
    tree.setProcessPath(QStringLiteral("/"));
    for (const QString& line : lines())
        tree.addFileDisplay(line);
    FileDisplayCollection& root = *tree.collection();
    root.setSortKey(QString::fromLatin1(key));
    bool ascending = true;
    for (auto _ : state) {
        root.setAscending(ascending = !ascending);
        root.childrenSort();
    }
    state.SetItemsProcessed(state.iterations() * root.displayCount());
}
BENCHMARK_CAPTURE(sortRows, Name, "Name")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(sortRows, Owner, "Owner")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(sortRows, Date, "Date")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(sortRows, Size, "Size")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(sortRows, Mode, "Mode")->Unit(benchmark::kMillisecond);

} // namespace
