#pragma once

#include <QString>

// A database file holding `rows` stored selections, made once per size: numbered
// day by day up to 2026-12-10 (300 a day; the last day holds the rest), with the three
// product series, six sizes and five media in turn. The files are kept in
// $FLOWSEL_BENCH_DIR when it is set (a million rows take some 600 MB and a while to
// make), else in a temporary folder for the run.
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
