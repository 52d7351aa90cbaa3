// Start-up of the desktop program with many stored selections: the database opened,
// the main window built and shown with its list filled, the first selection window
// shown. Run headless: QT_QPA_PLATFORM=offscreen build/bench/bench_desktop
#include "apps/cli/event_writer.h"
#include "apps/cli/script_runner.h"
#include "apps/desktop/desktop.h"
#include "apps/desktop/gui_script_actions.h"
#include "apps/desktop/main_window.h"
#include "sample_database.h"
#include "adapters/sqlite/selection_database.h"
#include "apps/desktop/widget_platform.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QTreeView>

namespace {

void desktopStartUp(benchmark::State& state)
{
    const QString path = sampleDatabase(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        SelectionDatabase db;
        db.open(path);
        MainWindow window(db, QStringLiteral("20261210"));
        window.resize(1364, 859);
        window.show();
        QCoreApplication::processEvents();
        window.workspace().activate();
        QCoreApplication::processEvents();
        benchmark::DoNotOptimize(window.workspace().list().rowCount());
        state.PauseTiming();
        window.close();
        state.ResumeTiming();
    }
    state.counters["rows"] = static_cast<double>(state.range(0));
    state.counters["peak_rss_MB"] = processStatusKb("VmHWM:") / 1024.0;
}
BENCHMARK(desktopStartUp)->Arg(0)->Arg(100000)->Unit(benchmark::kMillisecond)->Iterations(3);

// Scrolling through the list: the view asks the model for the visible rows only.
void listScroll(benchmark::State& state)
{
    const QString path = sampleDatabase(100000);
    SelectionDatabase db;
    db.open(path);
    MainWindow window(db, QStringLiteral("20261210"));
    window.resize(1364, 859);
    window.show();
    QCoreApplication::processEvents();
    QTreeView* list = window.recordList();
    int row = 0;
    for (auto _ : state) {
        row = (row + 997) % 100000;
        list->scrollTo(list->model()->index(row, 0));
        list->viewport()->repaint();
    }
}
BENCHMARK(listScroll)->Unit(benchmark::kMillisecond);

// `new` and `close` pairs through the desktop's script runner, on the real widgets:
// closed windows must be freed as the run goes, so time grows linearly and memory
// stays flat.
void desktopNewClosePairs(benchmark::State& state)
{
    const int pairs = static_cast<int>(state.range(0));
    const QString script = newCloseScript(pairs);
    long growthKb = 0;
    for (auto _ : state) {
        SelectionDatabase db;
        db.open(SelectionDatabase::memoryPath());
        MainWindow window(db, QStringLiteral("20261210"));
        window.show();
        QCoreApplication::processEvents();
        window.workspace().activate();
        EventWriter events([](const QString&) {});
        GuiScriptActions actions(window);
        ScriptRunner runner(window.workspace(), events, &actions);
        growthKb = rssGrowthKb([&] { benchmark::DoNotOptimize(runner.run(script)); });
        state.PauseTiming();
        window.close();
        state.ResumeTiming();
    }
    reportPairs(state, pairs, growthKb);
}
BENCHMARK(desktopNewClosePairs)->Arg(100)->Arg(1000)->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    prepareDesktop(app);
    WidgetPlatform::setScripted(true);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
