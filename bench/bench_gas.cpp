// SGERG-88 and the whole button "计算工况流量".
#include "core/gas/sgerg.h"
#include "core/gas/sgerg_reference.h"
#include "core/ports/platform.h"
#include "workspace/selection_window.h"

#include <benchmark/benchmark.h>
#include <random>
#include <vector>

namespace {

struct Gas {
    float hs;
    float d;
    float xco2;
    float xh2;
};

// Pipeline gases, each different from the one before.
const std::vector<Gas>& gases()
{
    static const std::vector<Gas> all = [] {
        std::mt19937 random(7);
        auto between = [&random](float a, float b) { return std::uniform_real_distribution<float>(a, b)(random); };
        std::vector<Gas> g(4096);
        for (Gas& x : g)
            x = {between(30, 45), between(0.55f, 0.8f), between(0, 0.2f), between(0, 0.1f)};
        return g;
    }();
    return all;
}

template <int (*routine)(float, float, float, float, float, float, float&)>
void newGas(benchmark::State& state)
{
    const std::vector<Gas>& g = gases();
    size_t i = 0;
    float z = 0;
    for (auto _ : state) {
        const Gas& x = g[i++ % g.size()];
        benchmark::DoNotOptimize(routine(6.0f, -3.15f, x.hs, x.d, x.xco2, x.xh2, z));
        benchmark::DoNotOptimize(z);
    }
}

// Z for a new gas each call: the routine in use, and the routine it replaced.
void SgergZ_newGas(benchmark::State& state)
{
    newGas<sgergZFromGasValues>(state);
}
BENCHMARK(SgergZ_newGas);

void SgergZ_newGas_before(benchmark::State& state)
{
    newGas<referenceSgergZ>(state);
}
BENCHMARK(SgergZ_newGas_before);

// Z for a gas that repeats, at states that change: the gas-only part is kept.
void SgergZ_repeatedGas(benchmark::State& state)
{
    const std::optional<SgergGas> gas = sgergGas(40.66f, 0.581f, 0.006f, 0.0f);
    float t = -3.15f;
    for (auto _ : state) {
        benchmark::DoNotOptimize(sgergZOfGas(*gas, 6.0f, t));
        t = t > 60 ? -10.0f : t + 0.5f;
    }
}
BENCHMARK(SgergZ_repeatedGas);

// One click of the button with SGERG-88 (mode "修正"), in a window whose inputs are
// typed in: the compressibility factors, the displays and the lists it refills.
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
