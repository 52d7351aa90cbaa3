#include "apps/cli/cli_command.h"
#include "apps/common/csv_reader.h"
#include "support/csv_records.h"
#include "support/database_file.h"
#include "support/full_disk.h"

#include <QBuffer>
#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QTest>

#include <map>

namespace {

const QString kCli = QStringLiteral(FLOWSEL_BIN_DIR "/flowsel-cli");
const QStringList kStart
    = {QStringLiteral("--db"), QStringLiteral(":memory:"), QStringLiteral("--today"), QStringLiteral("20261210")};

// One metering point: field name -> cell.
using Point = std::map<QString, QString>;

const QString kCity = QStringLiteral("城市天然气或城市煤气");
const QString kOil = QStringLiteral("油田天然气");
const QString kCoal = QStringLiteral("煤层气");
const QString kAir = QStringLiteral("空气或氮气或惰性气体");
const QString kOxygen = QStringLiteral("氧气或氢气");

// Points of every medium and meter family, both modes and both reference
// conditions, with cells that cannot be carried out and texts that are not numbers.
std::vector<Point> points()
{
    const QString ref25 = QStringLiteral("燃烧参比条件:温度25℃,压力101.325kPa;体积计量参比条件:温度0℃,压力101.325kPa");
    return {
        {{"Id", "rotary-lobe"}, {"Medium", kCity}, {"StdFlowMin", "10"}, {"StdFlowMax", "100"}, {"Hs", "38"}},
        {{"Id", "roots"}, {"Medium", kCity}, {"StdFlowMin", "10"}, {"StdFlowMax", "100"}, {"BaseOrigin", "进口"}},
        {{"Id", "turbine, city"}, {"Medium", kCity}, {"StdFlowMin", "50"}, {"StdFlowMax", "800"}, {"PabsMin", "300"},
            {"PabsMax", "400"}, {"TempMin", "-10"}, {"TempMax", "40"}, {"MeterType", "气体涡轮"}},
        {{"Id", "turbine, oil field"}, {"Medium", kOil}, {"StdFlowMin", "30"}, {"StdFlowMax", "300"},
            {"RefCondition", ref25}, {"Hs", "40.66"}, {"RelDensity", "0.581"}, {"XCO2", "0.006"}},
        {{"Id", "vortex, oil field"}, {"Medium", kOil}, {"StdFlowMin", "30"}, {"StdFlowMax", "300"},
            {"MeterType", "气体旋进"}},
        {{"Id", "coal-bed"}, {"Medium", kCoal}, {"StdFlowMin", "20"}, {"StdFlowMax", "200"}, {"PabsMax", "1000"}},
        {{"Id", "vortex, coal-bed"}, {"Medium", kCoal}, {"StdFlowMin", "20"}, {"StdFlowMax", "200"},
            {"MeterType", "气体旋进"}, {"Corrector", "有"}},
        {{"Id", "air, typed Zn/Zg"}, {"Medium", kAir}, {"StdFlowMin", "10"}, {"StdFlowMax", "100"}, {"ZMode", "不修正"},
            {"ZnZgMin", "1"}, {"ZnZgMax", "1"}},
        {{"Id", "air, turbine"}, {"Medium", kAir}, {"StdFlowMin", "100"}, {"StdFlowMax", "900"}, {"PabsMin", "200"},
            {"PabsMax", "300"}, {"MeterType", "气体涡轮"}},
        {{"Id", "oxygen"}, {"Medium", kOxygen}, {"StdFlowMin", "5"}, {"StdFlowMax", "60"}, {"PabsMax", "600"}},
        {{"Id", "an item not offered"}, {"Medium", kCity}, {"StdFlowMin", "10"}, {"StdFlowMax", "100"},
            {"MeterType", "气体超声"}},
        {{"Id", "not a number"}, {"Medium", kCity}, {"StdFlowMin", "10"}, {"StdFlowMax", "1oo"}},
        {{"Id", "no medium"}, {"StdFlowMin", "10"}, {"StdFlowMax", "100"}},
        {{"Id", "gas outside the wider range"}, {"Medium", kCity}, {"StdFlowMin", "10"}, {"StdFlowMax", "100"},
            {"Hs", "50"}, {"PabsMax", "13000"}},
        {{"Id", "a label is not typed into"}, {"Medium", kCity}, {"StdFlowMin", "10"}, {"StdFlowMax", "100"},
            {"WorkFlowMax", "5"}},
        {{"Id", "quotes, \"commas\", and\na line end"}, {"Medium", kCity}, {"StdFlowMin", " 10 "},
            {"StdFlowMax", "100"}},
    };
}

// The header: every column the points use, deliberately not in record order.
QStringList headerOf(const std::vector<Point>& ps)
{
    QStringList header;
    for (const Point& p : ps) {
        for (const auto& [name, cell] : p) {
            if (!header.contains(name))
                header << name;
        }
    }
    std::sort(header.begin(), header.end(), std::greater<>());
    return header;
}

QString csvText(const QString& cell)
{
    QString t = cell;
    t.replace(QStringLiteral("\""), QStringLiteral("\"\""));
    return u'"' + t + u'"';
}

QByteArray pointsFile(const std::vector<Point>& ps)
{
    const QStringList header = headerOf(ps);
    QString text = header.join(u',') + QStringLiteral("\r\n");
    for (const Point& p : ps) {
        QStringList cells;
        for (const QString& name : header)
            cells << (p.count(name) ? csvText(p.at(name)) : QString());
        text += cells.join(u',') + QStringLiteral("\r\n");
    }
    return text.toUtf8();
}

// The record's fields, in order, with the kind of control each is.
struct FieldKind {
    const char* name;
    bool list;
};

const FieldKind kRecord[] = {
    {"Medium", true},
    {"StdFlowMin", false},
    {"StdFlowMax", false},
    {"ZMode", true},
    {"ZnZgMin", false},
    {"ZnZgMax", false},
    {"ConvFactorMin", false},
    {"ConvFactorMax", false},
    {"PabsMin", false},
    {"PabsMax", false},
    {"TempMin", false},
    {"TempMax", false},
    {"RefCondition", true},
    {"XCO2", false},
    {"XH2", false},
    {"Hs", false},
    {"RelDensity", false},
    {"WorkFlowMin", false},
    {"WorkFlowMax", false},
    {"CombinedAccuracy", true},
    {"MeterType", true},
    {"BaseOrigin", true},
    {"MechCounter", true},
    {"CardControl", true},
    {"SizeSpec", true},
    {"NominalPressure", true},
    {"BaseAccuracy", true},
    {"Corrector", true},
    {"Installation", true},
    {"Gprs", true},
    {"ShortRangeWireless", true},
    {"CurrentOutput", true},
    {"Hart", true},
    {"ExProof", true},
    {"CorrectionMode", true},
    {"PressSensorUpper", true},
    {"CorrectorAccuracy", true},
    {"DisplayFactor", true},
    {"SettlementUnit", true},
    {"CounterPulse", true},
    {"PipeConnection", true},
    {"ResultText", false},
    {"SelectionNo", false},
};

QString quotedJson(const QString& s)
{
    QJsonObject o;
    o.insert(QStringLiteral("s"), s);
    const QString doc = QString::fromUtf8(QJsonDocument(o).toJson(QJsonDocument::Compact));
    return doc.mid(5, doc.size() - 6); // {"s":...}
}

// The script cli.md says a point stands for, in its own window.
QString scriptOf(const std::vector<Point>& ps)
{
    QString script = QStringLiteral("close\n"); // the first window: each point numbers its own as the first
    for (const Point& p : ps) {
        script += QStringLiteral("new\n");
        bool computed = false;
        for (const FieldKind& f : kRecord) {
            const QString name = QString::fromLatin1(f.name);
            if (name == u"CombinedAccuracy") {
                script += QStringLiteral("click 计算工况流量\n");
                computed = true;
            }
            if (p.count(name) && !p.at(name).isEmpty())
                script += QStringLiteral("%1 %2 %3\n").arg(f.list ? "choose" : "paste", name, quotedJson(p.at(name)));
        }
        Q_ASSERT(computed);
        script += QStringLiteral("click 选型\nshow\nclose\n");
    }
    return script;
}

bool writeFile(const QString& path, const QByteArray& content)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(content) == content.size();
}

struct Run {
    int status = -1;
    QByteArray out;
    QByteArray err;
};

Run runCli(const QStringList& args)
{
    QProcess p;
    p.start(kCli, args);
    p.waitForFinished(120000);
    return {p.exitCode(), p.readAllStandardOutput(), p.readAllStandardError()};
}

// How many selections the store's list shows.
int storedRows(const QString& db)
{
    QProcess p;
    p.start(kCli, {"--db", db, "run", "-"});
    p.write("list\n");
    p.closeWriteChannel();
    p.waitForFinished();
    return int(p.readAllStandardOutput().count("\"event\":\"row\""));
}

// The results' columns: Id, Status and Warnings, then the record's fields.
constexpr int kFirstField = 3;

qsizetype fieldColumn(const char* name)
{
    for (qsizetype i = 0; i < qsizetype(std::size(kRecord)); ++i) {
        if (qstrcmp(kRecord[i].name, name) == 0)
            return kFirstField + i;
    }
    Q_ASSERT(false);
    return -1;
}

} // namespace

class TestBatch final : public QObject {
    Q_OBJECT

private slots:
    // Every point that is read as written gives, field for field and message for
    // message, what its script gives through "run"; a point that is not stops where it
    // was refused, with the messages up to there, no code and no figures.
    void batchIsTheEquivalentScript()
    {
        QTemporaryDir dir;
        const std::vector<Point> ps = points();
        const QString csv = dir.filePath(QStringLiteral("points.csv"));
        const QString script = dir.filePath(QStringLiteral("points.flow"));
        QVERIFY(writeFile(csv, pointsFile(ps)));
        QVERIFY(writeFile(script, scriptOf(ps).toUtf8()));

        const Run batch = runCli(kStart + QStringList {QStringLiteral("batch"), csv});
        const Run run = runCli(kStart + QStringList {QStringLiteral("run"), script});
        QCOMPARE(batch.status, 1); // refused points
        QVERIFY(batch.out.startsWith("\xEF\xBB\xBF"));
        QCOMPARE(QString::fromUtf8(batch.err).trimmed(),
            QStringLiteral("16 个测点：已选型 9，无合适规格 4，拒绝 3（UTF-8）"));

        const std::vector<QStringList> rows = records(batch.out);
        QCOMPARE(rows.size(), ps.size() + 1);
        const QStringList header = rows.front();
        QCOMPARE(header.mid(0, kFirstField), QStringList({"Id", "Status", "Warnings"}));
        QCOMPARE(header.mid(kFirstField, 43).join(u','), [] {
            QStringList names;
            for (const FieldKind& f : kRecord)
                names << QString::fromLatin1(f.name);
            return names.join(u',');
        }());
        const qsizetype messagesColumn = kFirstField + 43;
        QCOMPARE(header.mid(messagesColumn),
            QStringList({"Messages", "SgergRange", "SizeRange", "UseAtMax", "MarginAtMin"}));

        // the run's events, point by point, after its first window
        std::vector<QStringList> fields, messages;
        for (const QByteArray& line : run.out.split('\n')) {
            const QJsonObject e = QJsonDocument::fromJson(line).object();
            const QString event = e.value(u"event").toString();
            if (event == u"window") {
                fields.emplace_back();
                messages.emplace_back();
            } else if (event == u"field") {
                fields.back() << e.value(u"text").toString();
            } else if (event == u"message" || event == u"error") {
                messages.back() << e.value(u"text").toString();
            } else if (event == u"script-error") {
                messages.back() << QStringLiteral("script-error: ") + e.value(u"text").toString();
            }
        }
        QCOMPARE(fields.size(), ps.size() + 1);
        QCOMPARE(messages.front(), QStringList());
        const std::map<QString, QString> refused = {
            {"an item not offered", "script-error: 'MeterType' has no item '气体超声'"},
            {"not a number", "'1oo' is not a valid floating point value"},
            {"a label is not typed into", "script-error: 'WorkFlowMax' is not an edit box"},
        };
        QSet<QString> families;
        for (size_t i = 0; i < ps.size(); ++i) {
            const QStringList& row = rows[i + 1];
            const QString id = ps[i].at("Id");
            QCOMPARE(row.size(), header.size());
            QCOMPARE(row[0], id);
            const QString code = row[fieldColumn("ResultText")];
            QCOMPARE(row[fieldColumn("SelectionNo")], QString()); // not saved
            if (refused.count(id)) {
                QCOMPARE(row[1], QStringLiteral("refused"));
                QCOMPARE(code, QString());
                QCOMPARE(row[messagesColumn], refused.at(id));
                QVERIFY(messages[i + 1].join(QStringLiteral(" | ")).startsWith(row[messagesColumn]));
                continue;
            }
            QCOMPARE(row[1], code.isEmpty() ? QStringLiteral("no-fit") : QStringLiteral("selected"));
            QCOMPARE(row.mid(kFirstField, 42), fields[i + 1].mid(0, 42));
            QCOMPARE(row[messagesColumn], messages[i + 1].join(QStringLiteral(" | ")));
            if (!code.isEmpty())
                families << code.section(u'-', 0, 0);
        }
        // every meter family gave a code: rotary-lobe, roots, turbine, vortex
        QVERIFY2(families.size() >= 4, qPrintable(QStringList(families.values()).join(u' ')));
    }

    // A gauge pressure in any unit, against the standard or a given atmosphere, gives
    // the results row of the same point written with absolute pressures in kPa: it is
    // pasted where the cell of PabsMin or PabsMax would be, before the working flow.
    void gaugePressureIsTheAbsoluteOne_data()
    {
        QTest::addColumn<QString>("gauge");    // PgaugeMin,PgaugeMax,PressureUnit,Patm
        QTest::addColumn<QString>("absolute"); // PabsMin,PabsMax
        QTest::newRow("kPa when no unit is given") << "200,300,,"
                                                   << "301.325,401.325";
        QTest::newRow("kPa") << "200,300,kPa,"
                             << "301.325,401.325";
        QTest::newRow("MPa") << "0.2,0.3,MPa,"
                             << "301.325,401.325";
        QTest::newRow("bar") << "2,3,bar,"
                             << "301.325,401.325";
        QTest::newRow("a local atmosphere") << "0.2,0.3,MPa,95"
                                            << "295,395";
        QTest::newRow("blanks around the cells") << " 0.2 , 0.3 , MPa , 95 "
                                                 << "295,395";
        QTest::newRow("the maximum alone") << ",0.3,MPa,"
                                           << ",401.325";
    }

    void gaugePressureIsTheAbsoluteOne()
    {
        QFETCH(QString, gauge);
        QFETCH(QString, absolute);
        QTemporaryDir dir;
        const QString csv = dir.filePath(QStringLiteral("p.csv"));
        // the gauge columns last, the absolute ones in between: the record's order counts
        const QString point = QStringLiteral("城市天然气或城市煤气,50,800,%1,-10,40,气体涡轮,%2\n");
        QVERIFY(writeFile(csv,
            (QStringLiteral("Id,Medium,StdFlowMin,StdFlowMax,PabsMin,PabsMax,TempMin,TempMax,"
                            "MeterType,PgaugeMin,PgaugeMax,PressureUnit,Patm\n")
                + QStringLiteral("gauge,") + point.arg(QStringLiteral(","), gauge) + QStringLiteral("absolute,")
                + point.arg(absolute, QStringLiteral(",,,")))
                .toUtf8()));
        const Run batch = runCli(kStart + QStringList {QStringLiteral("batch"), csv});
        QCOMPARE(batch.status, 0);
        const std::vector<QStringList> rows = records(batch.out);
        QCOMPARE(rows.size(), size_t(3));
        QCOMPARE(rows[1].mid(1), rows[2].mid(1));
        for (int box : {0, 1}) { // PabsMin and PabsMax; an empty one keeps the window's text
            if (const QString text = absolute.section(u',', box, box); !text.isEmpty())
                QCOMPARE(rows[1][fieldColumn("PabsMin") + box], text);
        }
        QVERIFY(!rows[1][fieldColumn("WorkFlowMax")].isEmpty()); // the working flows were computed
        if (!absolute.startsWith(u',')) // with the window's own minimum the range is too wide to fit
            QVERIFY(!rows[1][fieldColumn("ResultText")].isEmpty()); // a code composed
    }

    // A point that gives both pressures, or a gauge cell that cannot be used, is
    // refused before any of its lines runs: no window, no number, no code, the reason
    // in its Messages; the batch goes on with the next point.
    void gaugePointsRefused_data()
    {
        QTest::addColumn<QString>("cells"); // PabsMin,PabsMax,PgaugeMin,PgaugeMax,PressureUnit,Patm
        QTest::addColumn<QString>("said");
        const QString both = QStringLiteral("同时给出了绝对压力和表压，请只填一种");
        QTest::newRow("both minima") << "300,,0.2,,MPa," << both;
        QTest::newRow("absolute maximum, gauge minimum") << ",400,0.2,,MPa," << both;
        QTest::newRow("both, the gauge not even a number") << "300,400,x,,," << both;
        QTest::newRow("unknown unit") << ",,0.2,0.3,psi,"
                                      << "PressureUnit 列的“psi”不是压力单位，应为 kPa、MPa 或 bar";
        QTest::newRow("unit in other letters") << ",,0.2,0.3,mpa,"
                                               << "PressureUnit 列的“mpa”不是压力单位，应为 kPa、MPa 或 bar";
        QTest::newRow("gauge not a number") << ",,0.2,\"0,3\",MPa,"
                                            << "PgaugeMax 列的“0,3”不是数字";
        QTest::newRow("atmosphere not a number") << ",,0.2,0.3,MPa,一个大气压"
                                                 << "Patm 列的“一个大气压”不是数字";
        QTest::newRow("beyond double precision") << ",,1e306,,MPa,"
                                                 << "PgaugeMin 列的“1e306”换算成绝对压力超出数值范围";
    }

    void gaugePointsRefused()
    {
        QFETCH(QString, cells);
        QFETCH(QString, said);
        QTemporaryDir dir;
        const QString csv = dir.filePath(QStringLiteral("p.csv"));
        QVERIFY(writeFile(csv,
            (QStringLiteral("Id,Medium,StdFlowMin,StdFlowMax,PabsMin,PabsMax,PgaugeMin,PgaugeMax,"
                            "PressureUnit,Patm\n")
                + QStringLiteral("refused,城市天然气或城市煤气,10,100,%1\n").arg(cells)
                + QStringLiteral("next,城市天然气或城市煤气,10,100,,,0.1,0.2,MPa,\n"))
                .toUtf8()));
        const Run batch = runCli(kStart + QStringList {QStringLiteral("batch"), csv, QStringLiteral("--save")});
        QCOMPARE(batch.status, 1);
        const std::vector<QStringList> rows = records(batch.out);
        QCOMPARE(rows.size(), size_t(3));
        QCOMPARE(rows[1][1], QStringLiteral("refused"));
        QCOMPARE(rows[1].mid(kFirstField, 43), QStringList(43)); // no window showed the point
        QCOMPARE(rows[1][kFirstField + 43], said);
        QCOMPARE(rows[2][0], QStringLiteral("next"));
        QCOMPARE(rows[2][fieldColumn("PabsMin")], QStringLiteral("201.325"));
        QVERIFY(!rows[2][fieldColumn("ResultText")].isEmpty());
        // the refused point took no number
        QCOMPARE(rows[2][fieldColumn("SelectionNo")], QStringLiteral("20261210001"));
    }

    // The columns beyond the window's fields, for points whose figures are known.
    void figures()
    {
        QTemporaryDir dir;
        const QString csv = dir.filePath(QStringLiteral("p.csv"));
        QVERIFY(writeFile(csv,
            "Id,Medium,StdFlowMin,StdFlowMax,PabsMin,PabsMax,TempMin,TempMax,ZMode,ZnZgMin,ZnZgMax,Hs,SizeSpec\n"
            "typed,城市天然气或城市煤气,32,650,101.325,101.325,20,20,不修正,1,1,,\n"
            "normal,城市天然气或城市煤气,10,100,150,200,-10,60,,,,38,\n"
            "outside,城市天然气或城市煤气,10,100,150,13000,-11,60,,,,50,\n"));
        const Run batch = runCli(kStart + QStringList {QStringLiteral("batch"), csv});
        const std::vector<QStringList> rows = records(batch.out);
        QCOMPARE(rows.size(), size_t(4));
        QCOMPARE(rows[1][fieldColumn("SizeSpec")], QStringLiteral("100RKD-G400-4(2.5<=Qg<=650)"));
        const qsizetype sgergRange = kFirstField + 44;
        QCOMPARE(rows[1].mid(sgergRange), QStringList({"", "2.5-650", "100.0", "12.80"}));
        QCOMPARE(rows[2][sgergRange], QStringLiteral("normal"));
        QCOMPARE(rows[3][sgergRange], QStringLiteral("outside: Hs, PabsMax, TempMin"));
    }

    // --candidates writes, for every point whose working flows were computed, the
    // events of the line compare as rows: Id, then the event's members as columns.
    void candidatesFileIsTheCompareLine()
    {
        QTemporaryDir dir;
        const QString csv = dir.filePath(QStringLiteral("p.csv"));
        QVERIFY(writeFile(csv,
            "Id,Medium,StdFlowMin,StdFlowMax,PabsMin,PabsMax,TempMin,TempMax,ZMode,ZnZgMin,ZnZgMax,MeterType\n"
            "\"turbine, 2000 kPa\",城市天然气或城市煤气,100,1500,1500,2000,20,20,不修正,0.0506625,0.06755,\n"
            "not a number,城市天然气或城市煤气,10,1oo,150,200,-10,40,,,,\n"
            "=widened,城市天然气或城市煤气,0.45,20,101.325,101.325,20,20,不修正,1,1,\n"
            "an item not offered,空气或氮气或惰性气体,150,2000,300,400,20,20,不修正,1,1,气体超声\n"));
        const QString out = dir.filePath(QStringLiteral("r.csv"));
        const QString candidates = dir.filePath(QStringLiteral("c.csv"));
        const Run batch = runCli(kStart + QStringList {"batch", csv, "--out", out, "--candidates", candidates});
        QCOMPARE(batch.status, 1); // the item not offered
        QFile file(candidates);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray content = file.readAll();
        QVERIFY(content.startsWith("\xEF\xBB\xBF"));
        const std::vector<QStringList> rows = records(content);
        QCOMPARE(rows.front(),
            QStringList({"Id", "MeterType", "SizeSpec", "Low", "High", "UseAtMax", "MarginAtMin", "Velocity", "Fit"}));

        // what compare prints for the same points, one window each
        const char* const scripts[] = {
            "type StdFlowMin 100\ntype StdFlowMax 1500\ntype PabsMin 1500\ntype PabsMax 2000\ntype TempMin 20\n"
            "type TempMax 20\nchoose ZMode 不修正\ntype ZnZgMin 0.0506625\ntype ZnZgMax 0.06755\n",
            "type StdFlowMin 0.45\ntype StdFlowMax 20\ntype PabsMin 101.325\ntype PabsMax 101.325\ntype TempMin 20\n"
            "type TempMax 20\nchoose ZMode 不修正\ntype ZnZgMin 1\ntype ZnZgMax 1\n",
            "choose Medium 空气或氮气或惰性气体\ntype StdFlowMin 150\ntype StdFlowMax 2000\ntype PabsMin 300\n"
            "type PabsMax 400\ntype TempMin 20\ntype TempMax 20\nchoose ZMode 不修正\ntype ZnZgMin 1\ntype ZnZgMax 1\n",
        };
        const QStringList ids = {"turbine, 2000 kPa", "'=widened", "an item not offered"};
        std::vector<QStringList> expected {rows.front()};
        for (int i = 0; i < 3; ++i) {
            const QString flow = dir.filePath(QStringLiteral("s.flow"));
            QVERIFY(writeFile(flow, QByteArray(scripts[i]) + "click 计算工况流量\ncompare\n"));
            const Run run = runCli(kStart + QStringList {"run", flow});
            for (const QByteArray& line : run.out.split('\n')) {
                const QJsonObject event = QJsonDocument::fromJson(line).object();
                if (event.value("event").toString() != u"candidate")
                    continue;
                QStringList cells {ids[i]};
                for (qsizetype c = 1; c < rows.front().size(); ++c) {
                    const QJsonValue v = event.value(rows.front()[c]);
                    cells << (v.isDouble() ? QString::number(v.toDouble()) : v.toString());
                }
                expected.push_back(cells);
            }
        }
        // the numbers as JSON numbers read them: "80.0" and 80 are the same number
        std::vector<QStringList> written = rows;
        for (size_t r = 1; r < written.size(); ++r) {
            for (const int c : {3, 4, 5, 6, 7})
                written[r][c] = QString::number(written[r][c].toDouble());
        }
        QCOMPARE(written.size(), size_t(3 + 4 + 4 + 1));
        QCOMPARE(written, expected);
        QCOMPARE(rows[1][2], QStringLiteral("150C(80<=Qg<=1600)"));
        QCOMPARE(rows[1].mid(5), QStringList({"93.8", "1.25", "23.58", "exact"}));
        QCOMPARE(rows[4].mid(5), QStringList({"80.0", "0.90", "2.83", "widened"}));

        // a real reader: Python's csv module, as a spreadsheet's import reads it
        QProcess python;
        python.start(QStringLiteral("/usr/bin/python3"),
            {"-c",
                "import csv, json, sys\n"
                "with open(sys.argv[1], encoding='utf-8-sig', newline='') as f:\n"
                "    print(json.dumps(list(csv.reader(f)), ensure_ascii=False))\n",
                candidates});
        QVERIFY(python.waitForFinished(60000));
        QCOMPARE(python.exitCode(), 0);
        const QJsonArray read = QJsonDocument::fromJson(python.readAllStandardOutput()).array();
        QCOMPARE(size_t(read.size()), rows.size());
        for (qsizetype r = 0; r < read.size(); ++r) {
            QStringList cells;
            for (const QJsonValue& cell : read[r].toArray())
                cells << cell.toString();
            QCOMPARE(cells, rows[r]);
        }
    }

    // A candidates file that cannot be written stops the batch before any point, and
    // leaves no results file behind.
    void candidatesFileThatCannotBeWritten()
    {
        QTemporaryDir dir;
        const QString csv = dir.filePath(QStringLiteral("p.csv"));
        QVERIFY(writeFile(csv, "Medium,StdFlowMin,StdFlowMax\n城市天然气或城市煤气,10,100\n"));
        const QString out = dir.filePath(QStringLiteral("r.csv"));
        const QString candidates = dir.filePath(QStringLiteral("none/c.csv"));
        const Run batch = runCli(kStart + QStringList {"batch", csv, "--out", out, "--candidates", candidates});
        QCOMPARE(batch.status, 2);
        QVERIFY2(batch.err.startsWith(QStringLiteral("无法写入规格比较文件 %1：").arg(candidates).toUtf8()),
            batch.err.constData());
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList {QStringLiteral("p.csv")});
        const Run same = runCli(kStart + QStringList {"batch", csv, "--out", out, "--candidates", out});
        QCOMPARE(same.status, 2);
        QVERIFY2(same.err.contains("就是结果文件"), same.err.constData());
        const Run bare = runCli(kStart + QStringList {"batch", csv, "--candidates"});
        QCOMPARE(bare.status, 2);
    }

    void savedUnderNewNumbers()
    {
        QTemporaryDir dir;
        const QString db = dir.filePath(QStringLiteral("db.mdb"));
        QCOMPARE(QProcess::execute(kCli, {"--db", db, "init-db"}), 0);
        const QString csv = dir.filePath(QStringLiteral("p.csv"));
        const QString out = dir.filePath(QStringLiteral("r.csv"));
        QVERIFY(
            writeFile(csv, "Medium,StdFlowMin,StdFlowMax\n城市天然气或城市煤气,10,100\n城市天然气或城市煤气,20,200\n"));
        const QStringList args = {"--db", db, "--today", "20261210", "batch", csv, "--save", "--out", out};
        QCOMPARE(runCli(args).status, 0);
        QFile r(out);
        QVERIFY(r.open(QIODevice::ReadOnly));
        const std::vector<QStringList> rows = records(r.readAll());
        QCOMPARE(rows.size(), size_t(3));
        QCOMPARE(rows[1][fieldColumn("SelectionNo")], QStringLiteral("20261210001"));
        QCOMPARE(rows[2][fieldColumn("SelectionNo")], QStringLiteral("20261210002"));
        QCOMPARE(storedRows(db), 2);
    }

    // Files that cannot be used are refused with their line and column, and leave no
    // results file; odd but usable ones give their result.
    void pointsFiles_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("said");
        QTest::addColumn<int>("rows");
        const QByteArray header = "Id,Medium,StdFlowMin,StdFlowMax\n";
        const QByteArray point = "p,城市天然气或城市煤气,10,100\n";
        QTest::newRow("empty file") << QByteArray() << 2 << "没有标题行" << 0;
        QTest::newRow("header only") << header << 0 << "0 个测点" << 0;
        QTest::newRow("byte-order mark and CRLF") << QByteArray("\xEF\xBB\xBFId,StdFlowMin,StdFlowMax\r\np,10,100\r\n")
                                                  << 0 << "1 个测点：已选型 1，无合适规格 0，拒绝 0（UTF-8）" << 1;
        QTest::newRow("unknown column") << QByteArray("Id,Medium,Flow\n") << 2 << "第1行第3列：未知的列名“Flow”" << 0;
        QTest::newRow("column twice") << QByteArray("Hs,Id,Hs\n") << 2 << "第1行第3列：列名“Hs”重复" << 0;
        QTest::newRow("gauge column in other letters")
            << QByteArray("Id,pgaugeMin\n") << 2 << "第1行第2列：未知的列名“pgaugeMin”" << 0;
        QTest::newRow("too many cells") << header + point + "q,城市天然气或城市煤气,10,100,7\n"
                                        << 2 << "第3行第5列：有5个单元格，标题行有4列" << 0;
        QTest::newRow("too few cells") << header + point + point + "q,城市天然气或城市煤气\n"
                                       << 2 << "第4行第3列：有2个单元格，标题行有4列" << 0;
        QTest::newRow("unterminated quote") << header + point + "\"q,城市天然气或城市煤气,10,100\n"
                                            << 2 << "第3行第1列：引号内的单元格没有结束引号" << 0;
        QTest::newRow("text after a quote") << header + "\"p\"x,城市天然气或城市煤气,10,100\n"
                                            << 2 << "第2行第1列：单元格的结束引号后还有文字" << 0;
        // GB18030 takes almost any byte pair; a lone 0x80 and 0xFF are not text in it
        QTest::newRow("neither UTF-8 nor GB18030") << header + point + "q,\x80\xFF,10,100\n"
                                                   << 2 << "第3行第2列：不是GB18030文字" << 0;
        QTest::newRow("a quoted line end") << header + "\"p\nq\",城市天然气或城市煤气,10,100\n" + point << 0 << "" << 2;
        QTest::newRow("CR line ends") << QByteArray("Id,Medium,StdFlowMin,StdFlowMax\rp,城市天然气或城市煤气,10,100\r\r"
                                                    "q,城市天然气或城市煤气,10,100,7\r")
                                      << 2 << "第4行第5列：有5个单元格，标题行有4列" << 0;
        QTest::newRow("CR line ends, usable")
            << QByteArray("Id,StdFlowMin,StdFlowMax\rp,10,100\rq,20,200") << 0 << "" << 2;
        QTest::newRow("blank lines before the header")
            << QByteArray("\n\r\n\rId,Medium,Flow\n") << 2 << "第4行第3列：未知的列名“Flow”" << 0;
        QTest::newRow("a quoted CRLF") << header + "\"p\r\nq\",城市天然气或城市煤气,10,100\r\n\"x\n"
                                       << 2 << "第4行第1列：引号内的单元格没有结束引号" << 0;
        // a flow beyond double precision is an input the window refuses: the point is
        // refused, the file is not
        QTest::newRow("1 MB cell") << header + "p,城市天然气或城市煤气,10," + QByteArray(1 << 20, '7') + "\n"
                                   << 1 << "1 个测点：已选型 0，无合适规格 0，拒绝 1（UTF-8）" << 1;
    }

    void pointsFiles()
    {
        QFETCH(QByteArray, content);
        QFETCH(int, status);
        QFETCH(QString, said);
        QFETCH(int, rows);
        QTemporaryDir dir;
        const QString csv = dir.filePath(QStringLiteral("p.csv"));
        const QString out = dir.filePath(QStringLiteral("r.csv"));
        QVERIFY(writeFile(csv, content));
        QStringList err;
        const int result = runFlowselCli(
            kStart + QStringList {"batch", csv, "--out", out}, [](const QString&) {},
            [&](const QString& l) { err << l; });
        QCOMPARE(result, status);
        QVERIFY2(err.join(u'\n').contains(said), qPrintable(err.join(u'\n')));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files).size(), status == 2 ? 1 : 2); // nothing half-written
        if (status != 2) {
            QFile r(out);
            QVERIFY(r.open(QIODevice::ReadOnly));
            QCOMPARE(int(records(r.readAll()).size()), rows + 1);
        }
    }

    // What a spreadsheet would run as a formula gets a ' in front; numbers stay
    // numbers, whatever their sign.
    void cellsAreNoFormulas_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("cell");
        QTest::newRow("formula") << "=1+2"
                                 << "'=1+2";
        QTest::newRow("pasted link") << "=HYPERLINK(\"http://x\",\"y\")"
                                     << "\"'=HYPERLINK(\"\"http://x\"\",\"\"y\"\")\"";
        QTest::newRow("at") << "@SUM(A1)"
                            << "'@SUM(A1)";
        QTest::newRow("plus a reference") << "+A1"
                                          << "'+A1";
        QTest::newRow("minus a call") << "-2+cmd|' /C calc'!A0"
                                      << "'-2+cmd|' /C calc'!A0";
        QTest::newRow("minus alone") << "-"
                                     << "'-";
        QTest::newRow("tab") << "\t=1"
                             << "'\t=1";
        QTest::newRow("carriage return") << "\r=1"
                                         << "\"'\r=1\"";
        QTest::newRow("negative") << "-10"
                                  << "-10";
        QTest::newRow("positive") << "+5"
                                  << "+5";
        QTest::newRow("negative fraction") << "-20.5"
                                           << "-20.5";
        QTest::newRow("exponent") << "1e-3"
                                  << "1e-3";
        QTest::newRow("signed exponent") << "-1.5E+3"
                                         << "-1.5E+3";
        QTest::newRow("a code") << "RKD-G10-CDAR"
                                << "RKD-G10-CDAR";
        QTest::newRow("a formula inside") << "a=1"
                                          << "a=1";
        QTest::newRow("empty") << ""
                               << "";
    }

    void cellsAreNoFormulas()
    {
        QFETCH(QString, text);
        QFETCH(QString, cell);
        QCOMPARE(csvCell(text), cell);
    }

    // A file that Chinese spreadsheets save as "CSV (逗号分隔)" is GB18030: it gives
    // what its UTF-8 twin gives, and the summary names the encoding read.
    void gb18030File()
    {
        QTemporaryDir dir;
        const std::vector<Point> ps = points();
        const QString utf8 = dir.filePath(QStringLiteral("utf8.csv"));
        const QString gbk = dir.filePath(QStringLiteral("gbk.csv"));
        QVERIFY(writeFile(utf8, pointsFile(ps)));
        QStringEncoder toGb18030("GB18030");
        QVERIFY(writeFile(gbk, toGb18030.encode(QString::fromUtf8(pointsFile(ps)))));
        const Run fromUtf8 = runCli(kStart + QStringList {QStringLiteral("batch"), utf8});
        const Run fromGbk = runCli(kStart + QStringList {QStringLiteral("batch"), gbk});
        QCOMPARE(fromGbk.status, fromUtf8.status);
        QVERIFY(!fromUtf8.out.isEmpty());
        QCOMPARE(fromGbk.out, fromUtf8.out);
        QVERIFY2(fromGbk.err.endsWith("（GB18030）\n"), fromGbk.err.constData());
        QVERIFY2(fromUtf8.err.endsWith("（UTF-8）\n"), fromUtf8.err.constData());
    }

    // Each point says what became of it; a point that was not read as written gets
    // no code and is not saved, and the run's status tells that some were refused.
    void statusOfEachPoint_data()
    {
        QTest::addColumn<QByteArray>("point");
        QTest::addColumn<QString>("status");
        QTest::addColumn<QString>("messages");
        QTest::addColumn<bool>("stored");
        QTest::newRow("selected") << QByteArray("城市天然气或城市煤气,10,100,") << "selected"
                                  << "数据保存完毕，可进行打印输出！" << true;
        QTest::newRow("no meter fits") << QByteArray("城市天然气或城市煤气,10,100000,") << "no-fit"
                                       << "选型内容不全，无法选型！" << false;
        QTest::newRow("a medium the list does not offer") << QByteArray("天然气,10,100,") << "refused"
                                                          << "script-error: 'Medium' has no item '天然气'" << false;
        QTest::newRow("swapped flows") << QByteArray("城市天然气或城市煤气,650,50,") << "refused"
                                       << "最小标况流量大于最大标况流量，请修改！" << false;
        QTest::newRow("a size the list does not offer") << QByteArray("城市天然气或城市煤气,10,100,1") << "refused"
                                                        << "script-error: 'SizeSpec' has no item '1'" << false;
    }

    void statusOfEachPoint()
    {
        QFETCH(QByteArray, point);
        QFETCH(QString, status);
        QFETCH(QString, messages);
        QFETCH(bool, stored);
        QTemporaryDir dir;
        const QString db = dir.filePath(QStringLiteral("db.mdb"));
        QCOMPARE(QProcess::execute(kCli, {"--db", db, "init-db"}), 0);
        const QString csv = dir.filePath(QStringLiteral("p.csv"));
        QVERIFY(writeFile(csv, "Medium,StdFlowMin,StdFlowMax,SizeSpec\n" + point + "\n"));
        const Run batch = runCli({"--db", db, "--today", "20261210", "batch", csv, "--save"});
        QCOMPARE(batch.status, status == u"refused" ? 1 : 0);
        const std::vector<QStringList> rows = records(batch.out);
        QCOMPARE(rows.size(), size_t(2));
        QCOMPARE(rows[1][1], status);
        QCOMPARE(rows[1][kFirstField + 43], messages);
        QCOMPARE(rows[1][fieldColumn("ResultText")].isEmpty(), status != u"selected");
        QCOMPARE(rows[1][fieldColumn("SelectionNo")], stored ? QStringLiteral("20261210001") : QString());
        QProcess list;
        list.start(kCli, {"--db", db, "run", "-"});
        list.write("list\n");
        list.closeWriteChannel();
        QVERIFY(list.waitForFinished());
        QCOMPARE(list.readAllStandardOutput().count("\"event\":\"row\""), stored ? 1 : 0);
    }

    // A save that does not store its point leaves the point undone: a day has numbers
    // 001 to 999, so with 997 of them taken two of four points cannot be stored, and
    // the run says so.
    void savesThatDidNotStore()
    {
        QTemporaryDir dir;
        const QString db = dir.filePath(QStringLiteral("db.mdb"));
        QCOMPARE(QProcess::execute(kCli, {"--db", db, "init-db"}), 0);
        makeDatabaseFile(db,
            {QStringLiteral("with recursive n(i) as (select 1 union all select i + 1 from n where i < 997) "
                            "insert into 选型输出(选型编号) "
                            "select '20261210' || substr('00' || i, -3) from n")});
        const QString csv = dir.filePath(QStringLiteral("p.csv"));
        QVERIFY(writeFile(
            csv, "Id,Medium,StdFlowMin,StdFlowMax\n" + QByteArray("p,城市天然气或城市煤气,10,100\n").repeated(4)));
        const Run batch = runCli({"--db", db, "--today", "20261210", "batch", csv, "--save"});
        QCOMPARE(batch.status, 1);
        QCOMPARE(QString::fromUtf8(batch.err).trimmed(),
            QStringLiteral("4 个测点：已选型 2，无合适规格 0，拒绝 0，未保存 2（UTF-8）"));
        const std::vector<QStringList> rows = records(batch.out);
        QCOMPARE(rows.size(), size_t(5));
        QCOMPARE(rows[2][1], QStringLiteral("selected"));
        QCOMPARE(rows[2][fieldColumn("SelectionNo")], QStringLiteral("20261210999"));
        for (const size_t i : {size_t(3), size_t(4)}) {
            QCOMPARE(rows[i][1], QStringLiteral("unsaved"));
            QCOMPARE(rows[i][fieldColumn("SelectionNo")], QString());
            QVERIFY(!rows[i][fieldColumn("ResultText")].isEmpty());
            QVERIFY2(rows[i][kFirstField + 43].contains(QStringLiteral("今天的选型日期编号")),
                qPrintable(rows[i][kFirstField + 43]));
        }
    }

    // A store that refuses every write: nothing is saved, and nothing reads as done.
    void aStoreThatRefusesWrites()
    {
        QTemporaryDir dir;
        const QString db = dir.filePath(QStringLiteral("db.mdb"));
        QCOMPARE(QProcess::execute(kCli, {"--db", db, "init-db"}), 0);
        makeDatabaseFile(db,
            {QStringLiteral("create trigger refuse before insert on 选型输出 "
                            "begin select raise(abort, 'no writes here'); end")});
        const QString csv = dir.filePath(QStringLiteral("p.csv"));
        QVERIFY(
            writeFile(csv, "Medium,StdFlowMin,StdFlowMax\n城市天然气或城市煤气,10,100\n城市天然气或城市煤气,20,200\n"));
        const Run batch = runCli({"--db", db, "--today", "20261210", "batch", csv, "--save"});
        QCOMPARE(batch.status, 1);
        QCOMPARE(QString::fromUtf8(batch.err).trimmed(),
            QStringLiteral("2 个测点：已选型 0，无合适规格 0，拒绝 0，未保存 2（UTF-8）"));
        const std::vector<QStringList> rows = records(batch.out);
        QCOMPARE(rows.size(), size_t(3));
        for (const size_t i : {size_t(1), size_t(2)}) {
            QCOMPARE(rows[i][1], QStringLiteral("unsaved"));
            QVERIFY2(rows[i][kFirstField + 43].contains(QStringLiteral("no writes here")),
                qPrintable(rows[i][kFirstField + 43]));
        }
    }

    // The example points: exactly those whose figures pass the size's range carry the
    // matching warning.
    void warningsOfTheExamplePoints()
    {
        const Run batch = runCli(
            kStart + QStringList {QStringLiteral("batch"), QStringLiteral(FLOWSEL_SOURCE_DIR "/examples/points.csv")});
        QCOMPARE(batch.status, 0);
        const std::vector<QStringList> rows = records(batch.out);
        QVERIFY(rows.size() > 2);
        const QStringList header = rows.front();
        const qsizetype use = header.indexOf(QStringLiteral("UseAtMax"));
        const qsizetype margin = header.indexOf(QStringLiteral("MarginAtMin"));
        int above = 0, below = 0;
        for (size_t i = 1; i < rows.size(); ++i) {
            const QStringList warnings = rows[i][2].split(QStringLiteral(" | "), Qt::SkipEmptyParts);
            const bool over = !rows[i][use].isEmpty() && rows[i][use].toDouble() > 100;
            const bool short_ = !rows[i][margin].isEmpty() && rows[i][margin].toDouble() < 1;
            QCOMPARE(warnings.contains(QStringLiteral("above-size-max")), over);
            QCOMPARE(warnings.contains(QStringLiteral("below-size-min")), short_);
            above += over;
            below += short_;
        }
        QVERIFY(above > 0 && below > 0); // the example shows both
    }

    // An Id that is a formula comes out of a batch as text.
    void formulaIdIsText()
    {
        QTemporaryDir dir;
        const QString csv = dir.filePath(QStringLiteral("p.csv"));
        QVERIFY(writeFile(csv, "Id,StdFlowMin,TempMin\n=1+2,10,-10\n"));
        const Run batch = runCli(kStart + QStringList {QStringLiteral("batch"), csv});
        const std::vector<QStringList> rows = records(batch.out);
        QCOMPARE(rows.size(), size_t(2));
        QCOMPARE(rows[1][0], QStringLiteral("'=1+2"));
        QCOMPARE(rows[1][fieldColumn("TempMin")], QStringLiteral("-10"));
    }

    // A disk that fills while the results are written: the process may write files
    // up to `room` bytes (RLIMIT_FSIZE cuts a write short, then refuses the next, as a
    // full disk does). The run fails naming the file and leaves no results file.
    void resultsOnAFullDisk_data()
    {
        QTest::addColumn<qint64>("room");
        for (const FillLevel& level : kFillLevels)
            QTest::newRow(level.name) << level.room;
    }

    void resultsOnAFullDisk()
    {
        QFETCH(qint64, room);
        QTemporaryDir dir;
        const QString csv = dir.filePath(QStringLiteral("p.csv"));
        QByteArray content = "Id,Medium,StdFlowMin,StdFlowMax\n";
        for (int i = 1; i <= 300; ++i)
            content += QStringLiteral("p%1,城市天然气或城市煤气,10,%2\n").arg(i).arg(100 + i).toUtf8();
        QVERIFY(writeFile(csv, content));
        const QString whole = dir.filePath(QStringLiteral("whole.csv"));
        QCOMPARE(runCli(kStart + QStringList {QStringLiteral("batch"), csv, "--out", whole}).status, 0);
        const qint64 size = QFileInfo(whole).size();
        QVERIFY(size > 65536);
        QVERIFY(QFile::remove(whole));
        room = roomIn(room, size);

        const QString out = dir.filePath(QStringLiteral("r.csv"));
        QProcess full;
        full.setChildProcessModifier([room] { limitFileSize(room); });
        full.start(kCli, kStart + QStringList {QStringLiteral("batch"), csv, "--out", out});
        QVERIFY(full.waitForFinished(120000));
        QCOMPARE(full.exitStatus(), QProcess::NormalExit);
        // the points were selected: the run was started, and the summary tells it
        QCOMPARE(full.exitCode(), 1);
        const QStringList why = QString::fromUtf8(full.readAllStandardError()).split(u'\n', Qt::SkipEmptyParts);
        QCOMPARE(why.size(), 2);
        QVERIFY2(why[0].startsWith(QStringLiteral("无法写入结果文件 %1：").arg(out)), qPrintable(why[0]));
        QCOMPARE(why[1],
            QStringLiteral("300 个测点：已选型 300，无合适规格 0，拒绝 0（UTF-8）；已保存 0，结果文件未写入：%1")
                .arg(out));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList {QStringLiteral("p.csv")});
    }

    // Points saved, then the results cannot be written (a device that is always full):
    // the run says what it saved and exits 1, not 2, so that a caller does not run it
    // again and save every point twice; the candidates file is written all the same.
    void resultsNotWrittenAfterSaving()
    {
        QTemporaryDir dir;
        const QString db = dir.filePath(QStringLiteral("db.mdb"));
        QCOMPARE(QProcess::execute(kCli, {"--db", db, "init-db"}), 0);
        const QString csv = dir.filePath(QStringLiteral("p.csv"));
        QVERIFY(writeFile(
            csv, "Id,Medium,StdFlowMin,StdFlowMax\na,城市天然气或城市煤气,10,100\nb,城市天然气或城市煤气,20,200\n"));
        const QString candidates = dir.filePath(QStringLiteral("c.csv"));
        const Run r = runCli({"--db", db, "--today", "20261210", "batch", csv, "--save", "--out", "/dev/full",
            "--candidates", candidates});
        QCOMPARE(r.status, 1);
        const QStringList said = QString::fromUtf8(r.err).split(u'\n', Qt::SkipEmptyParts);
        QCOMPARE(said.size(), 2);
        QVERIFY2(said[0].startsWith(QStringLiteral("无法写入结果文件 /dev/full：")), qPrintable(said[0]));
        QCOMPARE(said[1],
            QStringLiteral("2 个测点：已选型 2，无合适规格 0，拒绝 0（UTF-8）；已保存 2，结果文件未写入：/dev/full"));
        QFile c(candidates);
        QVERIFY(c.open(QIODevice::ReadOnly));
        const std::vector<QStringList> lines = records(c.readAll());
        QVERIFY(lines.size() > 2);
        QCOMPARE(lines.back().first(), QStringLiteral("b"));
        QCOMPARE(storedRows(db), 2);
    }

    // The results file, the candidates file, the points file and the store are four
    // files, however a name reaches them (a link, a link to a file not made yet, a
    // path spelled otherwise); a device written in place may take both outputs.
    void outputsAreFourFiles_data()
    {
        QTest::addColumn<QString>("out");
        QTest::addColumn<QString>("candidates");
        QTest::addColumn<QString>("said");
        QTest::newRow("candidates, a link to the results") << "r.csv"
                                                           << "link-to-r.csv"
                                                           << "规格比较文件 CANDIDATES 就是结果文件";
        QTest::newRow("candidates, a link to results not made yet") << "new.csv"
                                                                    << "link-to-new.csv"
                                                                    << "规格比较文件 CANDIDATES 就是结果文件";
        QTest::newRow("results spelled otherwise") << "sub/../c.csv"
                                                   << "c.csv"
                                                   << "规格比较文件 CANDIDATES 就是结果文件";
        QTest::newRow("candidates, a link to the points") << "r.csv"
                                                          << "link-to-p.csv"
                                                          << "规格比较文件 CANDIDATES 就是测点文件";
        QTest::newRow("results, a link to the store") << "link-to-db.mdb"
                                                      << ""
                                                      << "结果文件 OUT 就是数据库";
        QTest::newRow("both into /dev/null") << "/dev/null"
                                             << "/dev/null"
                                             << "";
    }

    void outputsAreFourFiles()
    {
        QFETCH(QString, out);
        QFETCH(QString, candidates);
        QFETCH(QString, said);
        QTemporaryDir dir;
        const QDir d(dir.path());
        QVERIFY(d.mkdir(QStringLiteral("sub")));
        const QString db = d.filePath(QStringLiteral("db.mdb"));
        QCOMPARE(QProcess::execute(kCli, {"--db", db, "init-db"}), 0);
        const QString csv = d.filePath(QStringLiteral("p.csv"));
        QVERIFY(writeFile(csv, "Medium,StdFlowMin,StdFlowMax\n城市天然气或城市煤气,10,100\n"));
        QVERIFY(writeFile(d.filePath(QStringLiteral("r.csv")), "earlier results"));
        for (const char* target : {"r.csv", "new.csv", "p.csv", "db.mdb"})
            QVERIFY(QFile::link(QString::fromUtf8(target), d.filePath(QStringLiteral("link-to-") + target)));
        const auto at = [&d](const QString& name) { return name.startsWith(u'/') ? name : d.filePath(name); };
        QStringList args = {"--db", db, "batch", csv, "--out", at(out)};
        if (!candidates.isEmpty())
            args << "--candidates" << at(candidates);
        const Run r = runCli(args);
        if (said.isEmpty()) {
            QCOMPARE(r.status, 0);
        } else {
            QCOMPARE(r.status, 2);
            said.replace(QStringLiteral("CANDIDATES"), at(candidates)).replace(QStringLiteral("OUT"), at(out));
            QVERIFY2(QString::fromUtf8(r.err).contains(said), r.err.constData());
            QFile earlier(d.filePath(QStringLiteral("r.csv")));
            QVERIFY(earlier.open(QIODevice::ReadOnly));
            QCOMPARE(earlier.readAll(), QByteArray("earlier results"));
            QVERIFY(!QFile::exists(d.filePath(QStringLiteral("new.csv"))));
        }
        QVERIFY(QFileInfo(QStringLiteral("/dev/null")).exists());
    }

    // A points file that can be read only once, as `cat p.csv | flowsel-cli batch
    // /dev/stdin` gives it, is selected point by point as a file is.
    void pointsThroughAPipe()
    {
        QTemporaryDir dir;
        const QString out = dir.filePath(QStringLiteral("r.csv"));
        QProcess batch;
        batch.start(kCli, kStart + QStringList {QStringLiteral("batch"), "/dev/stdin", "--out", out});
        QVERIFY(batch.waitForStarted());
        batch.write("Id,Medium,StdFlowMin,StdFlowMax\np,城市天然气或城市煤气,10,100\nq,城市天然气或城市煤气,20,200\n");
        batch.closeWriteChannel();
        QVERIFY(batch.waitForFinished(60000));
        QCOMPARE(batch.exitCode(), 0);
        QFile r(out);
        QVERIFY(r.open(QIODevice::ReadOnly));
        const std::vector<QStringList> rows = records(r.readAll());
        QCOMPARE(rows.size(), size_t(3));
        QCOMPARE(rows[2][0], QStringLiteral("q"));
        QVERIFY(!rows[2][fieldColumn("ResultText")].isEmpty());
    }

    // --out may not name the points file or the store's file, however it is spelled;
    // the command is refused before any point and both stay as they were.
    void resultsFileMayNotReplaceItsInputs_data()
    {
        QTest::addColumn<QString>("option");
        QTest::addColumn<QString>("out");
        QTest::addColumn<QString>("said");
        for (const char* option : {"--out", "--candidates"}) {
            const auto row
                = [option](const char* name) -> QTestData& { return QTest::addRow("%s %s", option, name) << option; };
            row("the points file") << "p.csv"
                                   << "就是测点文件";
            row("the points file, spelled otherwise") << "sub/../p.csv"
                                                      << "就是测点文件";
            row("the store's file") << "db.mdb"
                                    << "就是数据库";
            row("the store's file through a link") << "link.mdb"
                                                   << "就是数据库";
        }
    }

    void resultsFileMayNotReplaceItsInputs()
    {
        QFETCH(QString, option);
        QFETCH(QString, out);
        QFETCH(QString, said);
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("sub")));
        const QString db = dir.filePath(QStringLiteral("db.mdb"));
        QCOMPARE(QProcess::execute(kCli, {"--db", db, "init-db"}), 0);
        QVERIFY(QFile::link(db, dir.filePath(QStringLiteral("link.mdb"))));
        const QString csv = dir.filePath(QStringLiteral("p.csv"));
        const QByteArray points = "Medium,StdFlowMin,StdFlowMax\n城市天然气或城市煤气,10,100\n";
        QVERIFY(writeFile(csv, points));
        const auto content = [](const QString& path) {
            QFile f(path);
            return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
        };
        const QByteArray store = content(db);

        const Run batch
            = runCli({"--db", db, "--today", "20261210", "batch", csv, "--save", option, dir.filePath(out)});
        QCOMPARE(batch.status, 2);
        QVERIFY2(batch.err.contains(said.toUtf8()), batch.err.constData());
        QCOMPARE(content(csv), points);
        QCOMPARE(content(db), store);
    }

    void missingFile()
    {
        QStringList err;
        QCOMPARE(runFlowselCli(
                     kStart + QStringList {"batch", "/nonexistent/p.csv"}, [](const QString&) {},
                     [&](const QString& l) { err << l; }),
            2);
        QVERIFY(err.join(u'\n').contains(QStringLiteral("无法读取测点文件 /nonexistent/p.csv")));
    }

    // A long file streams through: every point in order, the last one too.
    void hundredThousandLines()
    {
        QTemporaryDir dir;
        const QString csv = dir.filePath(QStringLiteral("p.csv"));
        QByteArray content = "Id,Medium,StdFlowMin,StdFlowMax\n";
        for (int i = 1; i <= 100000; ++i)
            content += QStringLiteral("p%1,城市天然气或城市煤气,10,%2\n").arg(i).arg(100 + i % 500).toUtf8();
        QVERIFY(writeFile(csv, content));
        const QString out = dir.filePath(QStringLiteral("r.csv"));
        const Run batch = runCli(kStart + QStringList {QStringLiteral("batch"), csv, "--out", out});
        QCOMPARE(batch.status, 0);
        QFile r(out);
        QVERIFY(r.open(QIODevice::ReadOnly));
        const std::vector<QStringList> rows = records(r.readAll());
        QCOMPARE(rows.size(), size_t(100001));
        QCOMPARE(rows.back()[0], QStringLiteral("p100000"));
        QCOMPARE(rows.back()[fieldColumn("StdFlowMax")], QStringLiteral("100"));
        QVERIFY(!rows.back()[fieldColumn("ResultText")].isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestBatch)
#include "tst_batch.moc"
