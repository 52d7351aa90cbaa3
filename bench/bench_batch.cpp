// flowsel-cli batch over 10,000 metering points, from a points file to a results file;
// and with --candidates as a process of its own, whose peak memory tells whether the
// candidates file streams out (the same for 1,000 and for 10,000 points).
//   build/bench/bench_batch --benchmark_repetitions=5
#include "apps/cli/cli_command.h"
#include "process_usage.h"

#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

// A points file of `count` city-gas points of assorted flows and pressures, in `dir`.
QString pointsFile(const QTemporaryDir& dir, int count)
{
    const QString points = dir.filePath(QStringLiteral("points-%1.csv").arg(count));
    QFile f(points);
    if (!f.open(QIODevice::WriteOnly))
        return QString();
    f.write("Id,Medium,StdFlowMin,StdFlowMax,PabsMin,PabsMax,TempMin,TempMax,Hs,RelDensity\n");
    for (int i = 0; i < count; ++i) {
        f.write(QStringLiteral("P%1,城市天然气或城市煤气,%2,%3,%4,%5,-10,40,%6,0.6\n")
                    .arg(i)
                    .arg(5 + i % 40)
                    .arg(100 + i % 800)
                    .arg(110 + i % 190)
                    .arg(310 + i % 590)
                    .arg(32 + (i % 100) / 10.0)
                    .toUtf8());
    }
    return points;
}

void batch_10000Points(benchmark::State& state)
{
    QTemporaryDir dir;
    const QString points = pointsFile(dir, 10000);
    if (points.isEmpty()) {
        state.SkipWithError("cannot write the points file");
        return;
    }
    const QString results = dir.filePath(QStringLiteral("results.csv"));
    const QStringList args = {"--db", ":memory:", "--today", "20261210", "batch", points, "--out", results};
    for (auto _ : state) {
        const int status = runFlowselCli(
            args, [](const QString&) {}, [](const QString&) {});
        benchmark::DoNotOptimize(status);
    }
    state.counters["points"] = 10000;
}
BENCHMARK(batch_10000Points)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime();

// range(0): points; range(1): 1 with --candidates. The time is the process's CPU time.
void batchProcess(benchmark::State& state)
{
    QTemporaryDir dir;
    const int count = static_cast<int>(state.range(0));
    const bool candidates = state.range(1) == 1;
    const QString points = pointsFile(dir, count);
    std::vector<std::string> args = {FLOWSEL_BIN_DIR "/flowsel-cli", "--db", ":memory:", "--today", "20261210", "batch",
        points.toStdString(), "--out", dir.filePath(QStringLiteral("results.csv")).toStdString()};
    if (candidates) {
        args.push_back("--candidates");
        args.push_back(dir.filePath(QStringLiteral("candidates.csv")).toStdString());
    }
    double peak = 0;
    for (auto _ : state) {
        const Usage u = runProcess(args);
        if (u.status != 0) {
            state.SkipWithError("the batch did not run through");
            return;
        }
        state.SetIterationTime(u.cpuSeconds);
        peak = std::max(peak, u.peakRssMb);
    }
    state.SetLabel(candidates ? "--candidates" : "results only");
    state.counters["points"] = count;
    state.counters["peak_rss_MB"] = peak;
    if (candidates)
        state.counters["candidate_lines"] = [&] {
            QFile f(dir.filePath(QStringLiteral("candidates.csv")));
            return f.open(QIODevice::ReadOnly) ? double(f.readAll().count('\n') - 1) : 0.0;
        }();
}
BENCHMARK(batchProcess)
    ->ArgsProduct({{1000, 10000}, {0, 1}})
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);

} // namespace
