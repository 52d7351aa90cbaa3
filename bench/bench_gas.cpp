// SGERG-88 and the whole button "计算工况流量".
#include "core/ports/platform.h"
#include "workspace/selection_window.h"
#include "core/gas/sgerg.h"

#include <benchmark/benchmark.h>

namespace {

void SgergZ_linePressure(benchmark::State& state)
{
    float z = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(SgergZ(6.0f, -3.15f, 40.66f, 0.581f, 0.006f, 0.0f, z));
        benchmark::DoNotOptimize(z);
    }
}
BENCHMARK(SgergZ_linePressure);

void SgergZ_standardConditions(benchmark::State& state)
{
    float z = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(SgergZ(0.101325f, 20.0f, 40.66f, 0.581f, 0.006f, 0.0f, z));
        benchmark::DoNotOptimize(z);
    }
}
BENCHMARK(SgergZ_standardConditions);

// One click of the button with SGERG-88 (mode "修正"), in a window whose inputs are
// typed in: four compressibility factors, the displays and the lists it refills.
void computeWorkingFlow_corrected(benchmark::State& state)
{
    SilentPlatform ui;
    SelectionWindow window(ui);
    window.paste(Field::StdFlowMin, QStringLiteral("10"));
    window.paste(Field::StdFlowMax, QStringLiteral("100"));
    window.paste(Field::PabsMax, QStringLiteral("600"));
    window.paste(Field::Hs, QStringLiteral("38"));
    for (auto _ : state) {
        window.clickComputeFlow();
        benchmark::DoNotOptimize(window.context().flows.qmax);
    }
}
BENCHMARK(computeWorkingFlow_corrected);

} // namespace

BENCHMARK_MAIN();
