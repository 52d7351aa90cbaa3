// The two stores side by side: start-up with many stored selections (open the store,
// read the main window's list, number and show the first window), what the list
// needs at start-up (the first page and the day's numbering), and one save; each on
// the SQLite file (engine 0) and on a PostgreSQL server over its local socket
// (engine 1, the server FLOWSEL_TEST_PG: eval "$(scripts/pg-test-server start)").
#include "adapters/sql/sql_store.h"
#include "adapters/sqlite/selection_database.h"
#include "apps/common/event_writer.h"
#include "apps/common/script_runner.h"
#include "apps/common/store_choice.h"
#include "core/ports/platform.h"
#include "fresh_store_runs.h"
#include "sample_database.h"
#include "workspace/workspace.h"

#include <QFile>
#include <QSqlQuery>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

const char* engineName(int engine)
{
    return engine == 0 ? "sqlite" : "postgresql";
}

// The sample store of the benchmark's engine (its first argument) and size; empty
// when there is none, the benchmark skipped with the reason.
QString sampleStoreOf(benchmark::State& state, int rows)
{
    QString error;
    const QString location = sampleStore(static_cast<int>(state.range(0)), rows, &error);
    if (location.isEmpty())
        state.SkipWithError(qPrintable(error));
    state.SetLabel(engineName(static_cast<int>(state.range(0))));
    return location;
}

// A copy of the server's sample database of 100,000 rows without the search
// indexes, which an opening program does not add to a table that big.
QString unindexedCopy(const QString& sample, QString* error)
{
    bool created = false;
    const QString uri = postgresDatabase(QStringLiteral("flowsel_bench_unindexed"), &created, error);
    if (uri.isEmpty())
        return QString();
    if (!created)
        return uri;
    if (!prepareStore(uri, error))
        return QString();
    OpenedStore copy = openStore(uri);
    QSqlQuery(dynamic_cast<SqlStore*>(copy.store.get())->connection())
        .exec(QStringLiteral("drop index 选型输出检索, 选型输出编号前缀"));
    OpenedStore from = openStore(sample);
    QString after;
    for (;;) {
        const auto page = from.store->readInNumberOrder(after, 5000);
        if (!page.ok() || page.value().empty())
            break;
        copy.store->insertUnlessStored(page.value());
        after = page.value().back().front();
    }
    return uri;
}

void startUp(benchmark::State& state)
{
    const QString location = sampleStoreOf(state, static_cast<int>(state.range(1)));
    if (location.isEmpty())
        return;
    SilentPlatform ui;
    long rssKb = 0;
    for (auto _ : state) {
        OpenedStore db = openStore(location);
        Workspace ws(ui, QStringLiteral("20261210"), *db.store);
        ws.showMainWindow();
        ws.activate();
        benchmark::DoNotOptimize(ws.list().rowCount());
        rssKb = processStatusKb("VmRSS:");
    }
    state.counters["rows"] = static_cast<double>(state.range(1));
    state.counters["rss_MB"] = rssKb / 1024.0;
    state.counters["peak_rss_MB"] = processStatusKb("VmHWM:") / 1024.0;
}
BENCHMARK(startUp)->ArgsProduct({{0, 1}, {100000, 1000000}})->Unit(benchmark::kMillisecond)->Iterations(3);

void firstPageAndNumbering(benchmark::State& state)
{
    const QString location = sampleStoreOf(state, static_cast<int>(state.range(1)));
    if (location.isEmpty())
        return;
    for (auto _ : state) {
        OpenedStore db = openStore(location);
        benchmark::DoNotOptimize(db.store->readPage({}, 1000).value().size());
        benchmark::DoNotOptimize(db.store->highestSequenceOfDay(QStringLiteral("20261210")).value());
    }
    state.counters["rows"] = static_cast<double>(state.range(1));
}
BENCHMARK(firstPageAndNumbering)
    ->ArgsProduct({{0, 1}, {100000, 1000000}})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5);

// The first page of a search over a million rows: texts that many rows hold, a few
// rows hold (a day's numbers, the numbers of a year far down the list) and none;
// the texts under three characters without the index.
void searchFirstPage(benchmark::State& state)
{
    const QString location = sampleStoreOf(state, 1000000);
    if (location.isEmpty())
        return;
    const char* const searches[] = {"城市", "vrna-80b", "nothing like this", "2018", "氧气或氢气",
        "PWX-150B-0.5/1.6--20/60-1.5", "20261210", "旋进"};
    const QString search = QString::fromUtf8(searches[state.range(1)]);
    OpenedStore db = openStore(location);
    size_t found = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(found = db.store->readPage({search, std::nullopt}, 100).value().size());
    state.counters["found"] = static_cast<double>(found);
    state.SetLabel(
        QStringLiteral("%1, \"%2\"").arg(QString::fromUtf8(engineName(int(state.range(0)))), search).toStdString());
}
BENCHMARK(searchFirstPage)
    ->ArgsProduct({{0, 1}, {0, 1, 2, 3, 4, 5, 6, 7}})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(10);

// A search of three characters after twenty searches of one and two characters on
// the same connection: a server that planned the store's prepared search once for any
// text (as it does after five runs) walked the whole key backwards for every later
// one. Goal: at most 20 ms on both stores at a million rows.
void searchAfterShortSearches(benchmark::State& state)
{
    const QString location = sampleStoreOf(state, 1000000);
    if (location.isEmpty())
        return;
    OpenedStore db = openStore(location);
    const char* const shortTexts[] = {"城", "G", "气", "RK", "城市", "0.", "VR", "涡", "1", "B"};
    for (int i = 0; i < 20; ++i)
        db.store->readPage({QString::fromUtf8(shortTexts[i % 10]), std::nullopt}, 100);
    const QString search = QStringLiteral("氦气瓶");
    size_t found = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(found = db.store->readPage({search, std::nullopt}, 100).value().size());
    state.counters["found"] = static_cast<double>(found);
}
BENCHMARK(searchAfterShortSearches)->Args({0})->Args({1})->Unit(benchmark::kMillisecond)->Iterations(20);

void saveOne(benchmark::State& state)
{
    const QString location = sampleStoreOf(state, 100000);
    if (location.isEmpty())
        return;
    SilentPlatform ui;
    OpenedStore db = openStore(location);
    Workspace ws(ui, QStringLiteral("20261210"), *db.store);
    const int n = saveRepeatedly(state, ws, QStringLiteral("2026121"));
    state.counters["stored"] = ws.list().rowCount();
    for (int i = 0; i < n; ++i)
        db.store->remove(QStringLiteral("2026121%1").arg(i, 4, 10, QChar(u'0')));
}
BENCHMARK(saveOne)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(50);

// The store's part of a save: the check that the number is free, the insert, and
// reading the row back for the list; on the sample store as it is (with its search
// indexes), and on a copy of it without them (the second argument 0), whose
// difference is what the indexes add to a save.
void storeSave(benchmark::State& state)
{
    QString location = sampleStoreOf(state, 100000);
    if (location.isEmpty())
        return;
    const bool indexed = state.range(1) != 0;
    const bool sqlite = state.range(0) == 0;
    QTemporaryDir folder;
    if (!indexed) {
        QString error;
        location = sqlite ? folder.filePath(QStringLiteral("unindexed.mdb")) : unindexedCopy(location, &error);
        if (location.isEmpty() || (sqlite && !QFile::copy(sampleDatabase(100000), location))) {
            state.SkipWithError(qPrintable(error));
            return;
        }
    }
    OpenedStore db = openStore(location);
    if (!indexed) {
        // without the triggers the index is no longer kept: a store made before it
        auto* store = dynamic_cast<SqlStore*>(db.store.get());
        for (const char* trigger :
            {"drop trigger 选型输出检索_添加", "drop trigger 选型输出检索_删除", "drop trigger 选型输出检索_修改"}) {
            if (sqlite)
                QSqlQuery(store->connection()).exec(QString::fromUtf8(trigger));
        }
    }
    StoredRow row = sampleRow(0);
    int n = 0;
    for (auto _ : state) {
        row[0] = QStringLiteral("2026131%1").arg(n++, 4, 10, QChar(u'0'));
        benchmark::DoNotOptimize(db.store->exists(row[0]).value());
        benchmark::DoNotOptimize(db.store->insert(row).ok());
        benchmark::DoNotOptimize(db.store->fetch(row[0]).value());
    }
    for (int i = 0; i < n; ++i)
        db.store->remove(QStringLiteral("2026131%1").arg(i, 4, 10, QChar(u'0')));
    state.SetLabel(std::string(engineName(static_cast<int>(state.range(0)))) + (indexed ? "" : ", no search index"));
}
BENCHMARK(storeSave)->ArgsProduct({{0, 1}, {1, 0}})->Unit(benchmark::kMillisecond)->Iterations(300);

// copy-db of 100,000 selections into an empty store, through the command itself:
// from the SQLite file to the server (engine 0) and back from the server into a
// new file (engine 1). Each run copies into a table made afresh.
void copyDb(benchmark::State& state)
{
    constexpr int kRows = 100000;
    const bool toServer = state.range(0) == 0;
    QString error;
    bool created = false;
    const QString server = postgresDatabase(QStringLiteral("flowsel_bench_copy"), &created, &error);
    const QString source = toServer ? sampleDatabase(kRows) : samplePostgresDatabase(kRows, &error);
    if (server.isEmpty() || source.isEmpty()) {
        state.SkipWithError(qPrintable(error));
        return;
    }
    QTemporaryDir folder;
    const QString target = toServer ? server : folder.filePath(QStringLiteral("copy.mdb"));
    runIntoFreshStores(
        state, {QStringLiteral("--db"), source, QStringLiteral("copy-db"), target}, target, toServer, kRows);
    state.SetLabel(toServer ? "sqlite -> postgresql" : "postgresql -> sqlite");
}
BENCHMARK(copyDb)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

} // namespace
