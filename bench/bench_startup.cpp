// The two programs started as engineers start them, on an empty store and on a
// million stored selections: `flowsel-cli --db FILE run EMPTY` and
// `flowsel --db FILE --script EMPTY` (offscreen, to its first window), each a process
// of its own; the time is the process's CPU time (user + system), and peak_rss_MB its
// peak resident memory. Also a script of 5,000 selections in one window, whose cost
// per selection is its CPU time less that of the empty script.
//   FLOWSEL_BENCH_DIR=/var/tmp/flowsel-bench build/bench/bench_startup --benchmark_repetitions=5
#include "process_usage.h"
#include "sample_database.h"

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <benchmark/benchmark.h>
#include <string>
#include <vector>

namespace {

QString scriptFile(const QString& name, const QString& text)
{
    static QTemporaryDir dir;
    const QString path = dir.filePath(name);
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(text.toUtf8());
    return path;
}

QString emptyScript()
{
    return scriptFile(QStringLiteral("empty.flow"), QString());
}

std::vector<std::string> command(bool desktop, const QString& db, const QString& script)
{
    const std::string bin = FLOWSEL_BIN_DIR;
    if (desktop)
        return {bin + "/flowsel", "--db", db.toStdString(), "--today", "20261210", "--script", script.toStdString()};
    return {bin + "/flowsel-cli", "--db", db.toStdString(), "--today", "20261210", "run", script.toStdString()};
}

void measure(benchmark::State& state, const std::vector<std::string>& args)
{
    double peak = 0;
    for (auto _ : state) {
        const Usage u = runProcess(args);
        if (u.status < 0) {
            state.SkipWithError("the program did not run");
            return;
        }
        state.SetIterationTime(u.cpuSeconds);
        peak = std::max(peak, u.peakRssMb);
    }
    state.counters["peak_rss_MB"] = peak;
}

// range(0): 0 flowsel-cli, 1 flowsel; range(1): stored rows.
void startUp(benchmark::State& state)
{
    const bool desktop = state.range(0) == 1;
    const QString db = sampleDatabase(static_cast<int>(state.range(1)));
    state.SetLabel(desktop ? "flowsel" : "flowsel-cli");
    measure(state, command(desktop, db, emptyScript()));
    state.counters["rows"] = static_cast<double>(state.range(1));
}
BENCHMARK(startUp)->ArgsProduct({{0, 1}, {0, 1000000}})->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);

// 5,000 selections in one window through flowsel-cli; the counter is the CPU time
// per selection with the start-up (the empty script's median) taken off.
void selectionsInOneWindow(benchmark::State& state)
{
    const int selections = static_cast<int>(state.range(0));
    QString text = QStringLiteral("paste PabsMax 600\npaste Hs 38\n");
    for (int i = 0; i < selections; ++i) {
        const int qmin = 10 + i % 40;
        text += QStringLiteral("paste StdFlowMin %1\npaste StdFlowMax %2\nclick 计算工况流量\nclick 选型\n")
                    .arg(qmin)
                    .arg(qmin * 10 + i % 7);
    }
    const QString script = scriptFile(QStringLiteral("selections.flow"), text);
    const QString db = QStringLiteral(":memory:");
    std::vector<double> empty;
    for (int i = 0; i < 5; ++i)
        empty.push_back(runProcess(command(false, db, emptyScript())).cpuSeconds);
    std::sort(empty.begin(), empty.end());
    double total = 0;
    for (auto _ : state) {
        const Usage u = runProcess(command(false, db, script));
        state.SetIterationTime(u.cpuSeconds);
        total += u.cpuSeconds;
    }
    state.counters["startup_ms"] = empty[2] * 1e3;
    state.counters["per_selection_us"]
        = (total / static_cast<double>(state.iterations()) - empty[2]) / selections * 1e6;
}
BENCHMARK(selectionsInOneWindow)->Arg(5000)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    qputenv("QT_QPA_PLATFORM", "offscreen");
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
