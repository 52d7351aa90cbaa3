#pragma once

#include <QString>

// A database file holding `rows` stored selections (each with its own number), made
// once per size for the benchmarks.
QString sampleDatabase(int rows);

// What /proc/self/status says of a field such as "VmRSS:" or "VmHWM:", in kB.
long processStatusKb(const char* field);

namespace benchmark {
class State;
}

#include <functional>

// How much the resident memory grows while `work` runs, in kB.
long rssGrowthKb(const std::function<void()>& work);

// A script of `pairs` lines `new` and `close`.
QString newCloseScript(int pairs);
// Reports a run of such pairs: items per second, and how much the resident memory
// grew while the script ran.
void reportPairs(benchmark::State& state, int pairs, long rssGrowthKb);
