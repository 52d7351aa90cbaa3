// Start-up with many stored selections (open the file, fill the main window's list,
// number and show the first window) and one save.
#include "apps/cli/event_writer.h"
#include "apps/cli/script_runner.h"
#include "core/ports/platform.h"
#include "sample_database.h"
#include "adapters/sqlite/selection_database.h"
#include "workspace/workspace.h"

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QSqlQuery>

namespace {

void startUp(benchmark::State& state)
{
    const QString path = sampleDatabase(static_cast<int>(state.range(0)));
    SilentPlatform ui;
    long rssKb = 0;
    for (auto _ : state) {
        SelectionDatabase db;
        db.open(path);
        Workspace ws(ui, QStringLiteral("20261210"), db);
        ws.showMainWindow();
        ws.activate();
        benchmark::DoNotOptimize(ws.list().rowCount());
        rssKb = processStatusKb("VmRSS:");
    }
    state.counters["rows"] = static_cast<double>(state.range(0));
    state.counters["rss_MB"] = rssKb / 1024.0;
    state.counters["peak_rss_MB"] = processStatusKb("VmHWM:") / 1024.0;
}
BENCHMARK(startUp)->Arg(10000)->Arg(50000)->Arg(100000)->Unit(benchmark::kMillisecond)->Iterations(3);

void saveOne(benchmark::State& state)
{
    const QString path = sampleDatabase(100000);
    SilentPlatform ui;
    SelectionDatabase db;
    db.open(path);
    Workspace ws(ui, QStringLiteral("20261210"), db);
    ws.showMainWindow();
    ws.activate();
    SelectionWindow& w = *ws.current();
    w.choose(Field::ZMode, 1); // Zn/Zg typed
    for (const auto& [field, text] : {std::pair {Field::StdFlowMin, "1"}, {Field::StdFlowMax, "15"},
                                      {Field::PabsMin, "101.325"}, {Field::PabsMax, "400"}, {Field::TempMin, "20"},
                                      {Field::TempMax, "20"}, {Field::ZnZgMin, "0.2533125"}})
        w.paste(field, QString::fromUtf8(text));
    w.clickComputeFlow();
    w.clickSelect();
    if (!w.context().pending) {
        state.SkipWithError("no selection to save");
        return;
    }
    int n = 0;
    for (auto _ : state) {
        state.PauseTiming();
        w.form().setText(Field::SelectionNo, QStringLiteral("2026121%1").arg(n++, 4, 10, QChar(u'0')));
        state.ResumeTiming();
        ws.save(w);
    }
    state.counters["stored"] = ws.list().rowCount();
    QSqlQuery(db.connection()).exec(QStringLiteral("delete from 选型输出 where 选型编号 like '2026121%'"));
}
BENCHMARK(saveOne)->Unit(benchmark::kMillisecond)->Iterations(20);

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
        Workspace ws(events, QStringLiteral("20261210"), db);
        ws.activate();
        ScriptRunner runner(ws, events);
        growthKb = rssGrowthKb([&] { benchmark::DoNotOptimize(runner.run(script)); });
    }
    reportPairs(state, pairs, growthKb);
}
BENCHMARK(newClosePairs)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
