#pragma once

#include <QString>
#include <QStringList>

// The values of the i-th sample selection, for stores filled row by row.
QStringList sampleRow(int i);

// A database file holding `rows` stored selections, made once per size: numbered
// day by day up to 2026-12-10 (300 a day; the last day holds the rest), with the three
// product series, six sizes and five media in turn. The files are kept in
// $FLOWSEL_BENCH_DIR when it is set (a million rows take some 600 MB and a while to
// make), else in a temporary folder for the run.
QString sampleDatabase(int rows);

// The same rows in the old program's Access file (its table 选型输出), made once per
// size by the tests' generator (tests/support/make-access-file), which takes a minute
// for 100,000 rows; empty with the reason in `error` when it cannot be made.
QString sampleAccessFile(int rows, QString* error);

// The same rows in a database of the PostgreSQL server FLOWSEL_TEST_PG (start one
// with scripts/pg-test-server), made once per size and server; its URI, or empty
// with the reason in `error`.
QString samplePostgresDatabase(int rows, QString* error);

// The database `name` on the PostgreSQL server FLOWSEL_TEST_PG, created when it is
// missing (`created` then set); its URI, or empty with the reason in `error`.
QString postgresDatabase(const QString& name, bool* created, QString* error);

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

class SelectionWindow;

// Makes a whole selection in the window (a rotary-lobe meter, Zn/Zg typed), ready to
// be saved; false when the window holds no row to save afterwards.
bool makeSelection(SelectionWindow& window);

class Workspace;

// The benchmark's iterations, each a "保存" of a selection made once in the
// workspace's first window, under the numbers `prefix` followed by 0000, 0001, …;
// returns how many were saved (to be removed afterwards), 0 when no selection could
// be made (the benchmark is then skipped).
int saveRepeatedly(benchmark::State& state, Workspace& workspace, const QString& prefix);
