// flowsel-cli batch over 10,000 metering points, from a points file to a results file.
#include "apps/cli/cli_command.h"

#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

void batch_10000Points(benchmark::State& state)
{
    QTemporaryDir dir;
    const QString points = dir.filePath(QStringLiteral("points.csv"));
    const QString results = dir.filePath(QStringLiteral("results.csv"));
    QFile f(points);
    if (!f.open(QIODevice::WriteOnly)) {
        state.SkipWithError("cannot write the points file");
        return;
    }
    f.write("Id,Medium,StdFlowMin,StdFlowMax,PabsMin,PabsMax,TempMin,TempMax,Hs,RelDensity\n");
    for (int i = 0; i < 10000; ++i) {
        f.write(QStringLiteral("P%1,城市天然气或城市煤气,%2,%3,%4,%5,-10,40,%6,0.6\n")
                    .arg(i)
                    .arg(5 + i % 40)
                    .arg(100 + i % 800)
                    .arg(110 + i % 190)
                    .arg(310 + i % 590)
                    .arg(32 + (i % 100) / 10.0)
                    .toUtf8());
    }
    f.close();
    const QStringList args = {"--db", ":memory:", "--today", "20261210", "batch", points, "--out", results};
    for (auto _ : state) {
        const int status = runFlowselCli(args, [](const QString&) {}, [](const QString&) {});
        benchmark::DoNotOptimize(status);
    }
    state.counters["points"] = 10000;
}
BENCHMARK(batch_10000Points)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime();

} // namespace
