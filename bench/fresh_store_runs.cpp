#include "fresh_store_runs.h"

#include "adapters/sql/sql_store.h"
#include "apps/cli/cli_command.h"
#include "apps/common/store_choice.h"

#include <QFile>
#include <QSqlQuery>

#include <benchmark/benchmark.h>

void runIntoFreshStores(
    benchmark::State& state, const QStringList& arguments, const QString& target, bool server, int rows)
{
    int filledRuns = 0;
    for (auto _ : state) {
        state.PauseTiming();
        if (server) {
            OpenedStore old = openStore(target);
            if (auto* store = dynamic_cast<SqlStore*>(old.store.get()))
                QSqlQuery(store->connection()).exec(QStringLiteral("drop table if exists 选型输出"));
        } else {
            QFile::remove(target);
        }
        QString last;
        state.ResumeTiming();
        const int status = runFlowselCli(
            arguments, [&last](const QString& line) { last = line; }, [](const QString&) {});
        state.PauseTiming();
        if (status == 0 && last.contains(QStringLiteral("\"rows\":%1,").arg(rows)))
            ++filledRuns;
        state.ResumeTiming();
    }
    if (filledRuns != state.iterations())
        state.SkipWithError("a run did not store every row");
    state.SetItemsProcessed(state.iterations() * rows);
}
