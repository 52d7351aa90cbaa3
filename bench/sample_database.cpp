#include "sample_database.h"

#include "adapters/postgresql/postgres_location.h"
#include "adapters/sql/sql_store.h"
#include "adapters/sql/statements.h"
#include "adapters/sqlite/selection_database.h"
#include "apps/common/store_choice.h"
#include "core/record/columns.h"
#include "workspace/selection_window.h"
#include "workspace/workspace.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>
#include <cstdio>
#include <fstream>
#include <string>

namespace {

// The values of a row that do not vary, in column order from the fourth column
// (the number, the model code and the medium vary): a turbine selection as engineers
// store them.
const char* const kSameValues[] = {"80", "150", "修正", "1.052", "0.987", "300", "400", "-20", "60",
    "燃烧参比条件和体积计量参比条件均为:温度20℃，压力101.325kPa", "0.000", "0.000", "45", "0.6", "", "1.5", "17.500",
    "57.575"};
const char* const kSameTail[] = {"国产", "有", "无", "80", "1.6", "1.0", "KEV", "", "有", "有", "无", "无",
    "本安 iaIICT4", "温压自动检测", "-20", "60", "0.5", "0.5", "有", "无", "法兰", "80B(13<=Qg<=250)", "±0.5℃"};

QString quoted(const char* text)
{
    return QStringLiteral("'%1'").arg(QString::fromUtf8(text));
}

// One INSERT … SELECT over a counter: the engine makes the rows itself, a million in a
// few seconds. Row i (from 0) is the (i % 300 + 1)-th selection of its day, the days
// running up to 2026-12-10, so that the last rows are of that day; the series,
// size and medium vary from row to row.
QString insertStatement(int rows, bool postgres = false)
{
    const QString number = postgres
        ? QStringLiteral("to_char(date '2026-12-10' - (%1 / 300 - i / 300), 'YYYYMMDD') || "
                         "lpad((i % 300 + 1)::text, 3, '0')")
              .arg(rows - 1)
        : QStringLiteral("strftime('%Y%m%d', '2026-12-10', '-' || (%1 / 300 - i / 300) || ' days') || "
                         "substr('00' || (i % 300 + 1), -3)")
              .arg(rows - 1);
    const QString size = QStringLiteral("(case (i / 3) % 6 when 0 then '25' when 1 then '32' when 2 then '50' "
                                        "when 3 then '80' when 4 then '100' else '150' end)");
    const QString code = QStringLiteral(
        "(case i % 3 when 0 then 'VRNA-' || %1 || 'B-0.5/1.6-1.0/1.5-KEV-G-G' "
        "when 1 then 'RKD-G' || %1 || '-CDAR-0.5/1.6-1.0/1.5' else 'PWX-' || %1 || 'B-0.5/1.6--20/60-1.5' end)")
                             .arg(size);
    const QString medium = QStringLiteral(
        "(case (i / 7) % 5 when 0 then '城市天然气或城市煤气' when 1 then '油田天然气' when 2 then '煤层气' "
        "when 3 then '空气或氮气或惰性气体' else '氧气或氢气' end)");
    const QString product
        = QStringLiteral("(case i % 3 when 0 then '气体涡轮' when 1 then '气体腰轮流量计' else '气体旋进' end)");
    QStringList values {number, code, medium};
    for (const char* v : kSameValues)
        values << quoted(v);
    values << product;
    for (const char* v : kSameTail)
        values << quoted(v);
    return QStringLiteral("with recursive n(i) as (select 0 union all select i + 1 from n where i < %1) "
                          "insert into 选型输出 select %2 from n")
        .arg(rows - 1)
        .arg(values.join(QStringLiteral(", ")));
}

QString sampleFolder()
{
    const QByteArray kept = qgetenv("FLOWSEL_BENCH_DIR");
    if (!kept.isEmpty()) {
        QDir().mkpath(QString::fromLocal8Bit(kept));
        return QString::fromLocal8Bit(kept);
    }
    static QTemporaryDir dir;
    return dir.path();
}

} // namespace

QStringList sampleRow(int i)
{
    return {QStringLiteral("2025%1").arg(i, 7, 10, QChar(u'0')), "VRNA-80B-0.5/1.6-1.0/1.5-KEV-B-GW(特殊要求)",
        "城市天然气或城市煤气", "80", "150", "修正", "1.052", "0.987", "300", "400", "-20", "60",
        "燃烧参比条件和体积计量参比条件均为:温度20℃，压力101.325kPa", "0.000", "0.000", "45", "0.6", "", "1.5",
        "17.500", "57.575", "气体涡轮", "国产", "有", "无", "80", "1.6", "1.0", "KEV", "", "有", "有", "无", "无",
        "本安 iaIICT4", "温压自动检测", "-20", "60", "0.5", "0.5", "有", "无", "法兰", "80B(13<=Qg<=250)", "±0.5℃"};
}

QString sampleDatabase(int rows)
{
    const QString path = QDir(sampleFolder()).filePath(QStringLiteral("db%1.mdb").arg(rows));
    if (QFile::exists(path))
        return path;
    const QString making = path + QStringLiteral(".making");
    QFile::remove(making);
    QString error;
    if (!SelectionDatabase::create(making, &error)) {
        std::fprintf(stderr, "cannot create %s: %s\n", qPrintable(making), qPrintable(error));
        return QString();
    }
    {
        SelectionDatabase db;
        db.open(making);
        if (rows > 0) {
            QSqlQuery q(db.connection());
            if (!q.exec(insertStatement(rows))) {
                std::fprintf(stderr, "cannot fill %s: %s\n", qPrintable(making), qPrintable(q.lastError().text()));
                return QString();
            }
        }
    }
    QFile::rename(making, path);
    return path;
}

QString sampleAccessFile(int rows, QString* error)
{
    const QString path = QDir(sampleFolder()).filePath(QStringLiteral("old%1.mdb").arg(rows));
    if (QFile::exists(path))
        return path;
    const QString source = sampleDatabase(rows);
    if (source.isEmpty()) {
        *error = QStringLiteral("no sample database of %1 rows").arg(rows);
        return QString();
    }
    // the rows as the old table's CSV export, the generator's input
    const QString csv = path + QStringLiteral(".csv");
    {
        QFile out(csv);
        if (!out.open(QIODevice::WriteOnly)) {
            *error = out.errorString();
            return QString();
        }
        QStringList names;
        for (const Column& c : columns())
            names << QString::fromUtf8(c.name);
        out.write(names.join(u',').toUtf8() + '\n');
        SelectionDatabase db;
        db.open(source);
        for (QString after;;) {
            const StoreResult<std::vector<StoredRow>> page = db.readInNumberOrder(after, 5000);
            if (!page.ok() || page.value().empty())
                break;
            for (const StoredRow& row : page.value()) {
                QStringList cells;
                for (QString value : row)
                    cells << u'"' + value.replace(u'"', QStringLiteral("\"\"")) + u'"';
                out.write(cells.join(u',').toUtf8() + '\n');
            }
            after = page.value().back().front();
        }
    }
    QProcess make;
    make.start(QStringLiteral("/usr/bin/python3"),
        {QStringLiteral(FLOWSEL_SOURCE_DIR "/tests/support/make-access-file"), csv, path,
            QStringLiteral("--null-empty")});
    if (!make.waitForFinished(-1) || make.exitCode() != 0) {
        *error = QStringLiteral("make-access-file: %1").arg(QString::fromUtf8(make.readAllStandardError()));
        return QString();
    }
    QFile::remove(csv);
    return path;
}

QString postgresDatabase(const QString& name, bool* created, QString* error)
{
    *created = false;
    const QString server = qEnvironmentVariable("FLOWSEL_TEST_PG");
    std::optional<PostgresLocation> where = PostgresLocation::parse(server, error);
    if (!where) {
        *error
            = QStringLiteral("FLOWSEL_TEST_PG names no PostgreSQL server (eval \"$(scripts/pg-test-server start)\"): ")
            + *error;
        return QString();
    }
    error->clear();
    where->database = name;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), QStringLiteral("bench-maker"));
        db.setHostName(where->host);
        db.setPort(where->port);
        db.setUserName(where->user);
        db.setDatabaseName(QStringLiteral("postgres"));
        if (!db.open()) {
            *error = db.lastError().text();
        } else {
            QSqlQuery q(db);
            q.exec(QStringLiteral("select 1 from pg_database where datname = '%1'").arg(name));
            if (!q.next()) {
                *created = q.exec(QStringLiteral("create database %1").arg(name));
                if (!*created)
                    *error = q.lastError().text();
            }
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("bench-maker"));
    return error->isEmpty() ? where->shown() : QString();
}

QString samplePostgresDatabase(int rows, QString* error)
{
    bool created = false;
    const QString uri = postgresDatabase(QStringLiteral("flowsel_bench_%1").arg(rows), &created, error);
    if (uri.isEmpty() || !created)
        return uri;
    if (!prepareStore(uri, error))
        return QString();
    // the rows of sampleDatabase(), made by the server itself (a million rows one
    // statement at a time would take longer than the benchmark), then indexed
    // whole by init-db, as a store made before its search indexes
    OpenedStore opened = openStore(uri);
    auto* store = dynamic_cast<SqlStore*>(opened.store.get());
    QSqlQuery fill(store->connection());
    if (!fill.exec(QStringLiteral("drop index 选型输出检索, 选型输出编号前缀"))
        || !fill.exec(insertStatement(rows, true)) || !fill.exec(QStringLiteral("analyze 选型输出"))
        || !prepareStore(uri, error) || !fill.exec(QStringLiteral("analyze 选型输出"))) {
        if (error->isEmpty())
            *error = fill.lastError().text();
        return QString();
    }
    return uri;
}

QString sampleStore(int engine, int rows, QString* error)
{
    return engine == 0 ? sampleDatabase(rows) : samplePostgresDatabase(rows, error);
}

long processStatusKb(const char* field)
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind(field, 0) == 0)
            return std::stol(line.substr(std::string(field).size()));
    }
    return 0;
}

QString newCloseScript(int pairs)
{
    QString script;
    for (int i = 0; i < pairs; ++i)
        script += QStringLiteral("new\nclose\n");
    return script;
}

void reportPairs(benchmark::State& state, int pairs, long rssGrowthKb)
{
    state.counters["pairs"] = pairs;
    state.counters["rss_growth_MB"] = rssGrowthKb / 1024.0;
    state.SetItemsProcessed(state.iterations() * pairs);
}

long rssGrowthKb(const std::function<void()>& work)
{
    const long before = processStatusKb("VmRSS:");
    work();
    return processStatusKb("VmRSS:") - before;
}

bool makeSelection(SelectionWindow& w)
{
    w.choose(Field::ZMode, 1); // Zn/Zg typed
    for (const auto& [field, text] :
        {std::pair {Field::StdFlowMin, "1"}, {Field::StdFlowMax, "15"}, {Field::PabsMin, "101.325"},
            {Field::PabsMax, "400"}, {Field::TempMin, "20"}, {Field::TempMax, "20"}, {Field::ZnZgMin, "0.2533125"}})
        w.paste(field, QString::fromUtf8(text));
    w.clickComputeFlow();
    w.clickSelect();
    return w.context().pending.has_value();
}

int saveRepeatedly(benchmark::State& state, Workspace& ws, const QString& prefix)
{
    ws.showMainWindow();
    ws.activate();
    SelectionWindow& w = *ws.current();
    if (!makeSelection(w)) {
        state.SkipWithError("no selection to save");
        return 0;
    }
    int n = 0;
    for (auto _ : state) {
        state.PauseTiming();
        w.form().setText(Field::SelectionNo, prefix + QStringLiteral("%1").arg(n++, 4, 10, QChar(u'0')));
        state.ResumeTiming();
        ws.save(w);
    }
    return n;
}
