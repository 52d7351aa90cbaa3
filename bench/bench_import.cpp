// flowsel-cli import of the old program's Access file of 100,000 selections, through
// the command itself (the file read in a child process, as the programs read it):
// into a new SQLite file (engine 0; the goal is 5 s) and into a new table on the
// PostgreSQL server FLOWSEL_TEST_PG (engine 1; the goal is within twice copy-db of
// the same rows from the SQLite file, bench_team_store's copyDb/0).
#include "adapters/access/access_child.h"
#include "fresh_store_runs.h"
#include "sample_database.h"

#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

void importAccessFile(benchmark::State& state)
{
    constexpr int kRows = 100000;
    const bool toServer = state.range(0) == 1;
    setAccessChildProgram(QStringLiteral(FLOWSEL_BIN_DIR "/flowsel-cli"));
    QString error;
    const QString old = sampleAccessFile(kRows, &error);
    bool created = false;
    const QString server
        = toServer ? postgresDatabase(QStringLiteral("flowsel_bench_import"), &created, &error) : QString();
    if (old.isEmpty() || (toServer && server.isEmpty())) {
        state.SkipWithError(qPrintable(error));
        return;
    }
    QTemporaryDir folder;
    const QString target = toServer ? server : folder.filePath(QStringLiteral("imported.db"));
    runIntoFreshStores(state, {QStringLiteral("--db"), target, QStringLiteral("import"), old}, target, toServer, kRows);
    state.SetLabel(toServer ? "access -> postgresql" : "access -> sqlite");
}
BENCHMARK(importAccessFile)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

} // namespace
