#include "sample_database.h"

#include <benchmark/benchmark.h>

#include "adapters/sqlite/selection_database.h"
#include "adapters/sql/statements.h"

#include <QFile>
#include <QSqlQuery>
#include <QTemporaryDir>

#include <fstream>
#include <string>

namespace {

QStringList sampleRow(int i)
{
    return {QStringLiteral("2025%1").arg(i, 7, 10, QChar(u'0')), "VRNA-80B-0.5/1.6-1.0/1.5-KEV-B-GW(特殊要求)",
            "城市天然气或城市煤气", "80", "150", "修正", "1.052", "0.987", "300", "400", "-20", "60",
            "燃烧参比条件和体积计量参比条件均为:温度20℃，压力101.325kPa", "0.000", "0.000", "45", "0.6", "",
            "1.5", "17.500", "57.575", "气体涡轮", "国产", "有", "无", "80", "1.6", "1.0", "KEV", "", "有", "有",
            "无", "无", "本安 iaIICT4", "温压自动检测", "-20", "60", "0.5", "0.5", "有", "无", "法兰",
            "80B(13<=Qg<=250)", "±0.5℃"};
}

} // namespace

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
