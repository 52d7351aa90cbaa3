// Start-up with many stored selections (open the file, fill the main window's list,
// number and show the first window) and one save.
#include "platform.h"
#include "selection_database.h"
#include "statements.h"
#include "workspace.h"

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QSqlQuery>
#include <QTemporaryDir>

#include <fstream>
#include <string>

namespace {

// A selection as it is stored, with a different number per row.
QStringList sampleRow(int i)
{
    return {QStringLiteral("2025%1").arg(i, 7, 10, QChar(u'0')), "VRNA-80B-0.5/1.6-1.0/1.5-KEV-B-GW(特殊要求)",
            "城市天然气或城市煤气", "80", "150", "修正", "1.052", "0.987", "300", "400", "-20", "60",
            "燃烧参比条件和体积计量参比条件均为:温度20℃，压力101.325kPa", "0.000", "0.000", "45", "0.6", "",
            "1.5", "17.500", "57.575", "气体涡轮", "国产", "有", "无", "80", "1.6", "1.0", "KEV", "", "有", "有",
            "无", "无", "本安 iaIICT4", "温压自动检测", "-20", "60", "0.5", "0.5", "有", "无", "法兰",
            "80B(13<=Qg<=250)", "±0.5℃"};
}

// A database file with `rows` stored selections, made once per size.
QString databaseWith(int rows)
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

long residentKb(const char* field)
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind(field, 0) == 0)
            return std::stol(line.substr(std::string(field).size()));
    }
    return 0;
}

void startUp(benchmark::State& state)
{
    const QString path = databaseWith(static_cast<int>(state.range(0)));
    SilentPlatform ui;
    long rssKb = 0;
    for (auto _ : state) {
        SelectionDatabase db;
        db.open(path);
        Workspace ws(ui, QStringLiteral("20261210"), db);
        ws.showMainWindow();
        ws.activate();
        benchmark::DoNotOptimize(ws.list().rowCount());
        rssKb = residentKb("VmRSS:");
    }
    state.counters["rows"] = static_cast<double>(state.range(0));
    state.counters["rss_MB"] = rssKb / 1024.0;
    state.counters["peak_rss_MB"] = residentKb("VmHWM:") / 1024.0;
}
BENCHMARK(startUp)->Arg(10000)->Arg(50000)->Arg(100000)->Unit(benchmark::kMillisecond)->Iterations(3);

void saveOne(benchmark::State& state)
{
    const QString path = databaseWith(100000);
    SilentPlatform ui;
    SelectionDatabase db;
    db.open(path);
    Workspace ws(ui, QStringLiteral("20261210"), db);
    ws.showMainWindow();
    ws.activate();
    SelectionWindow& w = *ws.current();
    w.choose(Field::ZMode, 1); // Zn/Zg typed
    for (const auto& [field, text] : {std::pair {Field::StdFlowMin, "1"}, {Field::StdFlowMax, "15"},
                                      {Field::PabsMin, "101.325"}, {Field::PabsMax, "400"}, {Field::TempMin, "20"},
                                      {Field::TempMax, "20"}, {Field::ZnZgMin, "0.2533125"}})
        w.paste(field, QString::fromUtf8(text));
    w.clickComputeFlow();
    w.clickSelect();
    if (!w.context().pending) {
        state.SkipWithError("no selection to save");
        return;
    }
    int n = 0;
    for (auto _ : state) {
        state.PauseTiming();
        w.form().setText(Field::SelectionNo, QStringLiteral("2026121%1").arg(n++, 4, 10, QChar(u'0')));
        state.ResumeTiming();
        ws.save(w);
    }
    state.counters["stored"] = ws.list().rowCount();
    QSqlQuery(db.connection()).exec(QStringLiteral("delete from 选型输出 where 选型编号 like '2026121%'"));
}
BENCHMARK(saveOne)->Unit(benchmark::kMillisecond)->Iterations(20);

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
