// The line compare for one metering point: every meter type of the type list chosen
// in a headless copy of the window, the sizes read with their figures, and the
// events written. range(0) picks the point: 0 city gas (two types), 1 air (three
// types, many sizes), 2 oil-field gas (turbine and vortex, a card control offered).
//   build/bench/bench_compare --benchmark_repetitions=10
#include "apps/common/event_writer.h"
#include "core/ports/platform.h"
#include "workspace/selection_window.h"
#include "workspace/size_candidates.h"

#include <benchmark/benchmark.h>

namespace {

struct Point {
    const char* medium;
    const char* qmin;
    const char* qmax;
    const char* pmin;
    const char* pmax;
};

constexpr Point kPoints[] = {
    {"城市天然气或城市煤气", "40", "400", "300", "900"},
    {"空气或氮气或惰性气体", "30", "120", "110", "150"},
    {"油田天然气", "400", "1500", "300", "700"},
};

void compare_onePoint(benchmark::State& state)
{
    const Point& p = kPoints[state.range(0)];
    SilentPlatform ui;
    SelectionWindow w(ui);
    w.choose(Field::Medium, int(w.form().items(Field::Medium).indexOf(QString::fromUtf8(p.medium))));
    const std::pair<Field, const char*> boxes[]
        = {{Field::StdFlowMin, p.qmin}, {Field::StdFlowMax, p.qmax}, {Field::PabsMin, p.pmin}, {Field::PabsMax, p.pmax},
            {Field::TempMin, "-10"}, {Field::TempMax, "40"}, {Field::Hs, "38"}};
    for (const auto& [f, text] : boxes)
        w.paste(f, QString::fromUtf8(text));
    w.clickComputeFlow();
    qint64 lines = 0;
    EventWriter out([&lines](const QString& line) { lines += !line.isEmpty(); });
    size_t rows = 0;
    for (auto _ : state) {
        const std::vector<SizeCandidate> candidates = sizeCandidates(w.context());
        for (const SizeCandidate& c : candidates)
            out.candidate(c);
        rows = candidates.size();
    }
    if (rows == 0)
        state.SkipWithError("the point has no candidates");
    state.counters["types"] = w.form().count(Field::MeterType);
    state.counters["candidates"] = double(rows);
}
BENCHMARK(compare_onePoint)->DenseRange(0, 2)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
