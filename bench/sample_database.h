#pragma once

#include <QString>

#include <QStringList>

// The values of the i-th sample selection.
QStringList sampleRow(int i);

// A database file holding `rows` stored selections (each with its own number), made
// once per size for the benchmarks.
QString sampleDatabase(int rows);

// The same rows in a database of the PostgreSQL server FLOWSEL_TEST_PG (start one
// with scripts/pg-test-server), made once per size and server; its URI, or empty
// with the reason in `error`.
QString samplePostgresDatabase(int rows, QString* error);

// The sample store of an engine (0: the SQLite file, 1: the PostgreSQL server) and
// size, or empty with the reason.
QString sampleStore(int engine, int rows, QString* error);

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
