#include "sample_database.h"

#include <benchmark/benchmark.h>

#include "adapters/postgresql/postgres_location.h"
#include "adapters/sqlite/selection_database.h"
#include "adapters/sql/statements.h"
#include "adapters/sql/sql_store.h"
#include "apps/cli/store_choice.h"

#include <QFile>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>

#include <fstream>
#include <string>

QStringList sampleRow(int i)
{
    return {QStringLiteral("2025%1").arg(i, 7, 10, QChar(u'0')), "VRNA-80B-0.5/1.6-1.0/1.5-KEV-B-GW(特殊要求)",
            "城市天然气或城市煤气", "80", "150", "修正", "1.052", "0.987", "300", "400", "-20", "60",
            "燃烧参比条件和体积计量参比条件均为:温度20℃，压力101.325kPa", "0.000", "0.000", "45", "0.6", "",
            "1.5", "17.500", "57.575", "气体涡轮", "国产", "有", "无", "80", "1.6", "1.0", "KEV", "", "有", "有",
            "无", "无", "本安 iaIICT4", "温压自动检测", "-20", "60", "0.5", "0.5", "有", "无", "法兰",
            "80B(13<=Qg<=250)", "±0.5℃"};
}

QString sampleDatabase(int rows)
{
    static QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("db%1.mdb").arg(rows));
    if (QFile::exists(path))
        return path;
    QString error;
    SelectionDatabase::create(path, &error);
    SelectionDatabase db;
    db.open(path);
    QSqlDatabase c = db.connection();
    c.transaction();
    QSqlQuery q(c);
    q.prepare(statements::insert(sampleRow(0)).sql);
    for (int i = 0; i < rows; ++i) {
        for (const QString& v : sampleRow(i))
            q.addBindValue(v);
        q.exec();
    }
    c.commit();
    return path;
}

QString samplePostgresDatabase(int rows, QString* error)
{
    const QString server = qEnvironmentVariable("FLOWSEL_TEST_PG");
    std::optional<PostgresLocation> where = PostgresLocation::parse(server, error);
    if (!where) {
        *error = QStringLiteral("FLOWSEL_TEST_PG names no PostgreSQL server (eval \"$(scripts/pg-test-server start)\"): ")
                 + *error;
        return QString();
    }
    const QString name = QStringLiteral("flowsel_bench_%1").arg(rows);
    where->database = name;
    const QString uri = where->shown();
    QString created;
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
                q.exec(QStringLiteral("create database %1").arg(name));
                created = name;
            }
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("bench-maker"));
    if (!error->isEmpty() && created.isEmpty())
        return QString();
    if (created.isEmpty())
        return uri;
    if (!prepareStore(uri, error))
        return QString();
    // the rows of sampleDatabase(), made by the server itself: a million rows one
    // statement at a time would take longer than the benchmark
    QStringList values;
    const QStringList row = sampleRow(0);
    values << QStringLiteral("'2025' || lpad(i::text, 7, '0')");
    for (int c = 1; c < row.size(); ++c)
        values << QStringLiteral("'%1'").arg(row[c]);
    OpenedStore opened = openStore(uri);
    auto* store = dynamic_cast<SqlStore*>(opened.store.get());
    QSqlQuery fill(store->connection());
    if (!fill.exec(QStringLiteral("insert into 选型输出 select %1 from generate_series(0, %2) i")
                       .arg(values.join(u','))
                       .arg(rows - 1))
        || !fill.exec(QStringLiteral("analyze 选型输出"))) {
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
