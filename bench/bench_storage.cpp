// The workspace on many stored selections, in the process: start-up (open the file,
// read the list's first page, number and show the first window), new windows, saves,
// the first page of a search, and long scripts. The sample files are made once
// (see sample_database.h):
//   FLOWSEL_BENCH_DIR=/var/tmp/flowsel-bench build/bench/bench_storage
#include "adapters/sqlite/selection_database.h"
#include "apps/common/event_writer.h"
#include "apps/common/script_runner.h"
#include "core/ports/platform.h"
#include "sample_database.h"
#include "workspace/workspace.h"

#include <QElapsedTimer>
#include <QSqlQuery>

#include <array>
#include <benchmark/benchmark.h>

namespace {

constexpr int kMillion = 1000000;
const QString kToday = QStringLiteral("20261210");

void startUp(benchmark::State& state)
{
    const QString path = sampleDatabase(static_cast<int>(state.range(0)));
    SilentPlatform ui;
    long rssKb = 0;
    for (auto _ : state) {
        SelectionDatabase db;
        db.open(path);
        Workspace ws(ui, kToday, db);
        ws.showMainWindow();
        ws.activate();
        benchmark::DoNotOptimize(ws.list().rowCount());
        rssKb = processStatusKb("VmRSS:");
    }
    state.counters["rows"] = static_cast<double>(state.range(0));
    state.counters["rss_MB"] = rssKb / 1024.0;
    state.counters["peak_rss_MB"] = processStatusKb("VmHWM:") / 1024.0;
}
BENCHMARK(startUp)->Arg(0)->Arg(100000)->Arg(kMillion)->Unit(benchmark::kMillisecond)->Iterations(5);

// One "new selection": the window numbered by the day's highest number (the last day
// of the sample file holds a hundred), then closed again outside the timing.
void newWindow(benchmark::State& state)
{
    const QString path = sampleDatabase(static_cast<int>(state.range(0)));
    SilentPlatform ui;
    SelectionDatabase db;
    db.open(path);
    Workspace ws(ui, kToday, db);
    ws.showMainWindow();
    ws.activate();
    for (auto _ : state) {
        SelectionWindow& w = ws.newSelection();
        benchmark::DoNotOptimize(w.form().text(Field::SelectionNo));
        state.PauseTiming();
        ws.close(&w);
        state.ResumeTiming();
    }
    state.counters["rows"] = static_cast<double>(state.range(0));
}
BENCHMARK(newWindow)->Arg(0)->Arg(kMillion)->Unit(benchmark::kMicrosecond);

// Runs the script once an iteration on a workspace freshly opened on the store at
// `path` (its first window shown); only the script's run is timed. Returns the
// nanoseconds the runs took in all.
qint64 timedScriptRuns(benchmark::State& state, const QString& path, const QString& script)
{
    qint64 elapsedNs = 0;
    for (auto _ : state) {
        state.PauseTiming();
        SelectionDatabase db;
        db.open(path);
        EventWriter events([](const QString&) {});
        auto ws = std::make_unique<Workspace>(events, kToday, db);
        ws->showMainWindow();
        ws->activate();
        ScriptRunner runner(*ws, events);
        QElapsedTimer clock;
        clock.start();
        state.ResumeTiming();
        benchmark::DoNotOptimize(runner.run(script));
        state.PauseTiming();
        elapsedNs += clock.nsecsElapsed();
        ws.reset();
        state.ResumeTiming();
    }
    return elapsedNs;
}

// 5,000 `new` lines in one script, every window left open: past the day's 999th
// number each window looks for a free number, and once the day is full it says so.
void newLines(benchmark::State& state)
{
    const QString path = sampleDatabase(static_cast<int>(state.range(0)));
    const int lines = static_cast<int>(state.range(1));
    QString script;
    for (int i = 0; i < lines; ++i)
        script += QStringLiteral("new\n");
    const qint64 elapsedNs = timedScriptRuns(state, path, script);
    state.counters["rows"] = static_cast<double>(state.range(0));
    state.counters["per_line_us"] = elapsedNs / 1000.0 / static_cast<double>(state.iterations() * lines);
}
BENCHMARK(newLines)->Args({0, 5000})->Args({kMillion, 5000})->Unit(benchmark::kMillisecond)->Iterations(3);

// "保存": the existence check and the insert, the row at the top of the list.
void saveOne(benchmark::State& state)
{
    const QString path = sampleDatabase(static_cast<int>(state.range(0)));
    SilentPlatform ui;
    SelectionDatabase db;
    db.open(path);
    Workspace ws(ui, kToday, db);
    saveRepeatedly(state, ws, QStringLiteral("2030121"));
    state.counters["rows"] = static_cast<double>(state.range(0));
    state.counters["list_rows"] = ws.list().rowCount();
    QSqlQuery(db.connection()).exec(QStringLiteral("delete from 选型输出 where 选型编号 like '2030121%'"));
}
BENCHMARK(saveOne)->Arg(0)->Arg(kMillion)->Unit(benchmark::kMillisecond)->Iterations(200);

// Typing a search: the list read again from the top, its first page.
const std::array<const char*, 8> kSearches = {
    "",                            // every row
    "20261210",                    // a day's numbers, the newest
    "2018",                        // a year's numbers, eight years down the list
    "vrna-80b",                    // a model code, lower case
    "氧气",                        // a medium
    "旋进",                        // a product name
    "PWX-150B-0.5/1.6--20/60-1.5", // a whole model code
    "no such text",                // found nowhere: every row is looked at
};

void searchFirstPage(benchmark::State& state)
{
    const QString path = sampleDatabase(static_cast<int>(state.range(0)));
    const QString text = QString::fromUtf8(kSearches[static_cast<size_t>(state.range(1))]);
    SilentPlatform ui;
    SelectionDatabase db;
    db.open(path);
    Workspace ws(ui, kToday, db);
    ws.showMainWindow();
    for (auto _ : state) {
        ws.search(text);
        benchmark::DoNotOptimize(ws.list().rowCount());
    }
    state.SetLabel(text.isEmpty() ? std::string("(empty)") : text.toStdString());
    state.counters["found"] = ws.list().rowCount();
}
BENCHMARK(searchFirstPage)
    ->ArgsProduct({{kMillion}, {0, 1, 2, 3, 4, 5, 6, 7}})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(10);

// A script of many selections in one window: flows typed, "计算工况流量" (SGERG-88
// at both corners) and "选型", each time with other flows.
QString selectionsScript(int selections)
{
    QString script = QStringLiteral("paste PabsMax 600\npaste Hs 38\n");
    for (int i = 0; i < selections; ++i) {
        const int qmin = 10 + i % 40;
        script += QStringLiteral("paste StdFlowMin %1\npaste StdFlowMax %2\nclick 计算工况流量\nclick 选型\n")
                      .arg(qmin)
                      .arg(qmin * 10 + i % 7);
    }
    return script;
}

void selectionsInOneWindow(benchmark::State& state)
{
    const int selections = static_cast<int>(state.range(0));
    const QString script = selectionsScript(selections);
    const qint64 elapsedNs = timedScriptRuns(state, SelectionDatabase::memoryPath(), script);
    state.counters["per_selection_us"] = elapsedNs / 1000.0 / static_cast<double>(state.iterations() * selections);
}
BENCHMARK(selectionsInOneWindow)->Arg(5000)->Unit(benchmark::kMillisecond)->Iterations(5);

// A long script of `new` and `close` pairs through the headless runner: the time per
// pair and the memory must not grow with the windows created before.
void newClosePairs(benchmark::State& state)
{
    const int pairs = static_cast<int>(state.range(0));
    const QString script = newCloseScript(pairs);
    long growthKb = 0;
    for (auto _ : state) {
        SelectionDatabase db;
        db.open(SelectionDatabase::memoryPath());
        EventWriter events([](const QString&) {});
        Workspace ws(events, kToday, db);
        ws.activate();
        ScriptRunner runner(ws, events);
        growthKb = rssGrowthKb([&] { benchmark::DoNotOptimize(runner.run(script)); });
    }
    reportPairs(state, pairs, growthKb);
}
BENCHMARK(newClosePairs)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace
