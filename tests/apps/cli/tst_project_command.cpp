#include "support/cli_call.h"
#include "support/full_disk.h"
#include "support/other_program.h"
#include "support/project_rows.h"
#include "support/test_store.h"
#include "support/tool_output.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>

// `flowsel-cli project …`, `batch --save --project` and copy-db's projects, on both
// stores; the summary sheet read back by pdftotext, the workbook by openpyxl.
namespace {

QString storeKind()
{
    QFETCH_GLOBAL(QString, store);
    return store;
}

// A store holding the selections 20261210001 (code A) and 20261210002 (code B), and
// a project made on 10 December 2026: XM20261210001.
struct ProjectFixture {
    ProjectFixture()
    {
        location = freshStoreLocation(storeKind(), true);
        TestStore store(location);
        ok = store.opened
            && store->insert(projectSelectionRow(QStringLiteral("20261210001"), QStringLiteral("LWQ-A"))).ok()
            && store->insert(projectSelectionRow(QStringLiteral("20261210002"), QStringLiteral("LWQ-B"))).ok();
        const CliResult made = run({"project", "new", "城东门站", "--customer", "燃气公司", "--site", "开发区"});
        ok = ok && made.status == 0 && made.out == QStringList {"XM20261210001"};
    }
    CliResult run(const QStringList& args) const
    {
        return cli(QStringList {"--db", location, "--today", "20261210"} + args);
    }
    QString location;
    bool ok = false;
};

// What a Python reader of a workbook printed as JSON: Debian's python3 with its
// python3-openpyxl, whatever else is on the path. Empty when it failed (told).
QJsonObject readByOpenpyxl(const QString& reader, const QString& xlsx)
{
    QProcess python;
    python.start(QStringLiteral("/usr/bin/python3"), {"-c", reader, xlsx});
    if (!python.waitForFinished(60000) || python.exitCode() != 0) {
        qWarning("%s", python.readAllStandardError().constData());
        return {};
    }
    return QJsonDocument::fromJson(python.readAllStandardOutput()).object();
}

QJsonObject json(const QString& line)
{
    return QJsonDocument::fromJson(line.toUtf8()).object();
}

const QString kProject = QStringLiteral("XM20261210001");

} // namespace

class TestProjectCommand final : public QObject {
    Q_OBJECT

private slots:
    void initTestCase_data() { addStoreKinds(); }

    // Each row: the command after a line FT-101 (20261210001, 2) was added, its exit
    // status, and a text its standard error holds (empty: nothing said).
    void commandsAndStatuses_data()
    {
        QTest::addColumn<QStringList>("command");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("said");
        QTest::newRow("add") << QStringList {"add", kProject, "FT-102", "20261210002", "--qty", "3"} << 0 << "";
        QTest::newRow("add, tag taken") << QStringList {"add", kProject, "FT-101", "20261210002"} << 1
                                        << "项目 XM20261210001 中已有位号“FT-101”";
        QTest::newRow("add, number not stored") << QStringList {"add", kProject, "FT-103", "20261210009"} << 1
                                                << "选型编号（20261210009）还未保存，不能加入项目！";
        QTest::newRow("add, no such project")
            << QStringList {"add", "XM20991231001", "FT-1", "20261210001"} << 2 << "没有项目 XM20991231001";
        QTest::newRow("add, quantity not a number")
            << QStringList {"add", kProject, "FT-2", "20261210001", "--qty", "x"} << 2 << "--qty";
        QTest::newRow("add, quantity 0") << QStringList {"add", kProject, "FT-2", "20261210001", "--qty", "0"} << 2
                                         << "--qty";
        QTest::newRow("add, too few words") << QStringList {"add", kProject, "FT-2"} << 2 << "project add takes";
        QTest::newRow("remove") << QStringList {"remove", kProject, "FT-101"} << 0 << "";
        QTest::newRow("remove, no such tag") << QStringList {"remove", kProject, "FT-999"} << 1 << "没有位号“FT-999”";
        QTest::newRow("remove, no such project") << QStringList {"remove", "XM1", "FT-101"} << 2 << "没有项目 XM1";
        QTest::newRow("show, no such project") << QStringList {"show", "XM1"} << 2 << "没有项目 XM1";
        QTest::newRow("new without a name") << QStringList {"new"} << 2 << "project new takes";
        QTest::newRow("unknown subcommand") << QStringList {"rename", kProject} << 2 << "project takes";
        QTest::newRow("unknown option") << QStringList {"new", "甲", "--owner", "x"} << 2 << "unknown option --owner";
    }

    void commandsAndStatuses()
    {
        QFETCH(QStringList, command);
        QFETCH(int, status);
        QFETCH(QString, said);
        ProjectFixture f;
        QVERIFY(f.ok);
        QCOMPARE(f.run({"project", "add", kProject, "FT-101", "20261210001", "--qty", "2"}).status, 0);
        const CliResult r = f.run(QStringList {"project"} + command);
        QCOMPARE(r.status, status);
        if (said.isEmpty())
            QCOMPARE(r.err, QStringList());
        else
            QVERIFY2(r.err.join(u'\n').contains(said), qPrintable(r.err.join(u'\n')));
        QCOMPARE(r.out, QStringList());
    }

    // Another program holding the store past the wait: the add is refused plainly,
    // nothing added, and the same add goes through once the store is free.
    void storeHeldByAnotherProgramIsToldPlainly()
    {
        ProjectFixture f;
        QVERIFY(f.ok);
        {
            // a writer's hold on the file; on the server a lock that keeps out the add's read
            const QString begin
                = storeKind() == u"sqlite" ? QStringLiteral("begin immediate") : QStringLiteral("begin exclusive");
            OtherProgram other(f.location, QString(), begin);
            QVERIFY(other.held());
            const CliResult held = f.run({"project", "add", kProject, "FT-101", "20261210001"});
            QCOMPARE(held.status, 1);
            QCOMPARE(held.err, QStringList {"数据库正被其他程序使用，项目未更改，请稍后再试！"});
        }
        QCOMPARE(f.run({"project", "add", kProject, "FT-101", "20261210001"}).status, 0);
        QCOMPARE(f.run({"project", "show", kProject}).out.size(), 2);
    }

    void listAndShowPrintEvents()
    {
        ProjectFixture f;
        QVERIFY(f.ok);
        QCOMPARE(cli({"--db", f.location, "--today", "20261211", "project", "new", "乙"}).out,
            QStringList {"XM20261211001"});
        QCOMPARE(f.run({"project", "add", kProject, "FT-102", "20261210002", "--qty", "3"}).status, 0);
        QCOMPARE(f.run({"project", "add", kProject, "FT-101", "20261210001"}).status, 0);
        const CliResult list = f.run({"project", "list"});
        QCOMPARE(list.status, 0);
        QCOMPARE(list.out.size(), 2);
        QCOMPARE(json(list.out[0])["ProjectNo"].toString(), QStringLiteral("XM20261211001"));
        QCOMPARE(list.out[1],
            QStringLiteral("{\"event\":\"project\",\"ProjectNo\":\"XM20261210001\",\"Name\":\"城东门站\","
                           "\"Customer\":\"燃气公司\",\"Site\":\"开发区\",\"Date\":\"2026-12-10\"}"));
        // a deleted selection leaves its line, marked
        TestStore(f.location)->remove(QStringLiteral("20261210002"));
        const CliResult show = f.run({"project", "show", kProject});
        QCOMPARE(show.status, 0);
        QCOMPARE(show.out,
            (QStringList {list.out[1],
                "{\"event\":\"line\",\"Tag\":\"FT-101\",\"SelectionNo\":\"20261210001\",\"Quantity\":1,"
                "\"ResultText\":\"LWQ-A\",\"Deleted\":false}",
                "{\"event\":\"line\",\"Tag\":\"FT-102\",\"SelectionNo\":\"20261210002\",\"Quantity\":3,"
                "\"ResultText\":\"\",\"Deleted\":true}"}));
    }

    void batchAttachesSavedPointsByTheirId()
    {
        ProjectFixture f;
        QVERIFY(f.ok);
        QTemporaryDir dir;
        const QString results = dir.filePath(QStringLiteral("r.csv"));
        const CliResult r = f.run(
            {"batch", FLOWSEL_SOURCE_DIR "/examples/points.csv", "--out", results, "--save", "--project", kProject});
        const CliResult show = f.run({"project", "show", kProject});
        QStringList tags;
        for (qsizetype i = 1; i < show.out.size(); ++i) {
            const QJsonObject line = json(show.out[i]);
            tags << line["Tag"].toString();
            QVERIFY(!line["Deleted"].toBool());
            QVERIFY(line["SelectionNo"].toString().startsWith(QStringLiteral("20261210")));
        }
        // every point that was selected and saved, under its Id
        QVERIFY2(tags.contains(QStringLiteral("MP-01 城东门站")), qPrintable(tags.join(u',')));
        QVERIFY(tags.size() >= 2);
        QCOMPARE(r.status, 0);
        // a second run: the tags are taken, told by name, exit 1
        const CliResult again = f.run(
            {"batch", FLOWSEL_SOURCE_DIR "/examples/points.csv", "--out", results, "--save", "--project", kProject});
        QCOMPARE(again.status, 1);
        QVERIFY(again.err.join(u'\n').contains(QStringLiteral("中已有位号“MP-01 城东门站”")));
        QCOMPARE(f.run({"project", "show", kProject}).out.size(), show.out.size());
    }

    void batchRefusesAProjectThatIsNotThere_data()
    {
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<QString>("said");
        QTest::newRow("no such project") << QStringList {"--save", "--project", "XM1"} << "没有项目 XM1";
        QTest::newRow("without --save") << QStringList {"--project", kProject} << "it needs --save";
    }

    void batchRefusesAProjectThatIsNotThere()
    {
        QFETCH(QStringList, options);
        QFETCH(QString, said);
        ProjectFixture f;
        QVERIFY(f.ok);
        const CliResult r = f.run(QStringList {"batch", FLOWSEL_SOURCE_DIR "/examples/points.csv"} + options);
        QCOMPARE(r.status, 2);
        QVERIFY2(r.err.join(u'\n').contains(said), qPrintable(r.err.join(u'\n')));
        QCOMPARE(r.out, QStringList()); // nothing selected, nothing saved
    }

    void copyDbCopiesProjectsSkippingWhatTheTargetHolds()
    {
        ProjectFixture f;
        QVERIFY(f.ok);
        QCOMPARE(f.run({"project", "add", kProject, "FT-101", "20261210001"}).status, 0);
        const QString target = freshStoreLocation(storeKind() == u"sqlite" ? "postgresql" : "sqlite", true);
        const CliResult first = f.run({"copy-db", target});
        QCOMPARE(first.status, 0);
        QVERIFY2(first.out.contains(
                     QStringLiteral("{\"event\":\"projects\",\"copied\":1,\"skipped\":0,\"failed\":0,\"lines\":1,"
                                    "\"linesSkipped\":0,\"linesFailed\":0}")),
            qPrintable(first.out.join(u'\n')));
        QCOMPARE(f.run({"project", "add", kProject, "FT-102", "20261210002"}).status, 0);
        const CliResult second = f.run({"copy-db", target});
        QCOMPARE(second.status, 0);
        QVERIFY(second.out.contains(
            QStringLiteral("{\"event\":\"projects\",\"copied\":0,\"skipped\":1,\"failed\":0,\"lines\":1,"
                           "\"linesSkipped\":1,\"linesFailed\":0}")));
        QCOMPARE(cli({"--db", target, "project", "show", kProject}).out, f.run({"project", "show", kProject}).out);
    }

    // Projects and lines the team store cannot hold (NUL in a tag or a name, a
    // quantity that is no number) are told one by one and left out; the others, and
    // every selection, are copied, the summary printed, exit 1. Again: the same.
    void copyDbLeavesOutWhatTheTargetRefuses()
    {
        if (storeKind() != u"sqlite")
            return; // from the file into the server, which holds no NUL
        ProjectFixture f;
        QVERIFY(f.ok);
        const QString nul = QStringLiteral("A") + QChar(u'\0') + QStringLiteral("B");
        {
            TestStore store(f.location);
            for (const QString& tag : {QStringLiteral("FT-1"), nul, QStringLiteral("FT-2"), QStringLiteral("FT-3")}) {
                const StoreResult<LineAdded> added
                    = store->addLine(kProject, {tag, QStringLiteral("20261210001"), 1, {}, {}, {}});
                QVERIFY(added.ok() && added.value() == LineAdded::Added);
            }
            Project named {QStringLiteral("XM20261210002"), QStringLiteral("名") + nul, {}, {}, "2026-12-10", {}};
            QVERIFY(
                store->insertProjectsUnlessStored({named}, {{named.number, "FT-9", "20261210002", 1, {}, {}}}).ok());
            QSqlQuery q(store.connection());
            QVERIFY(q.exec(QStringLiteral("update 项目测点 set 数量 = 'abc' where 位号 = 'FT-3'")));
        }
        const QString target = freshStoreLocation(QStringLiteral("postgresql"));
        const QString refusedName = QStringLiteral("{\"event\":\"failed\",\"ProjectNo\":\"XM20261210002\","
                                                   "\"reason\":\"项目名称 含有NUL字符，PostgreSQL 不能保存\"}");
        const QStringList told = {
            refusedName,
            QStringLiteral("{\"event\":\"failed\",\"ProjectNo\":\"XM20261210001\",\"Tag\":\"A\\u0000B\","
                           "\"reason\":\"位号 含有NUL字符，PostgreSQL 不能保存\"}"),
            QStringLiteral("{\"event\":\"failed\",\"ProjectNo\":\"XM20261210001\",\"Tag\":\"FT-3\","
                           "\"reason\":\"数量“abc”不是 1 以上的整数\"}"),
            QStringLiteral("{\"event\":\"failed\",\"ProjectNo\":\"XM20261210002\",\"Tag\":\"FT-9\","
                           "\"reason\":\"项目 XM20261210002 未能复制\"}"),
        };
        const CliResult first = f.run({"copy-db", target});
        QCOMPARE(first.status, 1);
        const QStringList summary = {QStringLiteral("{\"event\":\"projects\",\"copied\":1,\"skipped\":0,\"failed\":1,"
                                                    "\"lines\":2,\"linesSkipped\":0,\"linesFailed\":3}"),
            QStringLiteral("{\"event\":\"copied\",\"rows\":2,\"skipped\":0,\"failed\":0}")};
        QCOMPARE(first.out, told + summary);
        const CliResult shown = cli({"--db", target, "project", "show", kProject});
        QCOMPARE(shown.out.size(), 3); // the project, FT-1 and FT-2
        const CliResult again = f.run({"copy-db", target});
        QCOMPARE(again.status, 1);
        QCOMPARE(again.out.mid(2, 4), told); // after the two selections skipped
        QVERIFY(again.out.contains(QStringLiteral("{\"event\":\"projects\",\"copied\":0,\"skipped\":1,\"failed\":1,"
                                                  "\"lines\":0,\"linesSkipped\":2,\"linesFailed\":3}")));
    }

    // Enough lines for a second page: the header row again there, pages numbered,
    // the total per model code at the end.
    void summarySheetReadBack()
    {
        if (storeKind() != u"sqlite")
            return; // the sheet is drawn from what either store reads alike
        ProjectFixture f;
        QVERIFY(f.ok);
        constexpr int kLines = 40;
        for (int i = 0; i < kLines; ++i) {
            const QString no = i % 3 ? QStringLiteral("20261210001") : QStringLiteral("20261210002");
            QCOMPARE(
                f.run({"project", "add", kProject, QStringLiteral("FT-%1").arg(100 + i), no, "--qty", "2"}).status, 0);
        }
        QTemporaryDir dir;
        const QString pdf = dir.filePath(QStringLiteral("汇总.pdf"));
        const CliResult r = f.run({"project", "sheet", kProject, pdf});
        QCOMPARE(r.status, 0);
        const QString info = toolOutput(QStringLiteral("pdfinfo"), {pdf});
        QVERIFY2(info.contains(QStringLiteral("842 x 595")), qPrintable(info)); // A4 landscape
        const QString text = toolOutput(QStringLiteral("pdftotext"), {"-layout", pdf, "-"});
        const QStringList pages = text.split(u'\f', Qt::SkipEmptyParts);
        QVERIFY2(pages.size() >= 2, qPrintable(text));
        QVERIFY(pages[0].contains(QStringLiteral("项目选型汇总表")));
        QVERIFY(pages[0].contains(QStringLiteral("城东门站")) && pages[0].contains(QStringLiteral("燃气公司")));
        for (int p = 0; p < pages.size(); ++p) {
            if (pages[p].contains(QStringLiteral("FT-1")))
                QVERIFY2(pages[p].contains(QStringLiteral("标况流量范围")), qPrintable(pages[p]));
            QVERIFY(pages[p].trimmed().endsWith(QString::number(p + 1)));
        }
        for (int i = 0; i < kLines; ++i)
            QVERIFY(text.contains(QStringLiteral("FT-%1").arg(100 + i)));
        QVERIFY(text.contains(QStringLiteral("10~100")) && text.contains(QStringLiteral("150~200")));
        // 26 lines of LWQ-A and 14 of LWQ-B, two each
        const QString totals = text.mid(text.lastIndexOf(QStringLiteral("按型号合计")));
        QVERIFY2(totals.contains(QRegularExpression(QStringLiteral("LWQ-A\\s+52"))), qPrintable(totals));
        QVERIFY2(totals.contains(QRegularExpression(QStringLiteral("LWQ-B\\s+28"))), qPrintable(totals));
        QVERIFY(totals.contains(QRegularExpression(QStringLiteral("合计\\s+80"))));
    }

    void workbookReadBackByOpenpyxl()
    {
        if (storeKind() != u"sqlite")
            return; // the workbook is written from what either store reads alike
        ProjectFixture f;
        QVERIFY(f.ok);
        QCOMPARE(f.run({"project", "add", kProject, "FT-101", "20261210001", "--qty", "2"}).status, 0);
        QCOMPARE(f.run({"project", "add", kProject, "进口/1", "20261210002", "--qty", "12"}).status, 0);
        QCOMPARE(f.run({"project", "add", kProject, "项目", "20261210001"}).status, 0);
        QTemporaryDir dir;
        const QString xlsx = dir.filePath(QStringLiteral("项目.xlsx"));
        const CliResult r = f.run({"project", "export", kProject, xlsx});
        QCOMPARE(r.status, 0);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList {"项目.xlsx"});
        const QString reader = QStringLiteral(R"(
import json, sys, openpyxl
wb = openpyxl.load_workbook(sys.argv[1])
out = {"sheets": wb.sheetnames}
ws = wb["项目"]
out["rows"] = [[[type(v).__name__, v] for v in row] for row in ws.iter_rows(values_only=True)]
out["frozen"] = ws.freeze_panes
out["widths"] = [ws.column_dimensions[c].width for c in "ABCDEFGH"]
rec = wb[wb.sheetnames[1]]
out["record"] = [list(row) for row in rec.iter_rows(values_only=True)]
print(json.dumps(out, ensure_ascii=False))
)");
        const QJsonObject got = readByOpenpyxl(reader, xlsx);
        QVERIFY(!got.isEmpty());
        QCOMPARE(got["sheets"].toVariant().toStringList(), (QStringList {"项目", "FT-101", "进口_1", "项目(2)"}));
        const QVariantList rows = got["rows"].toVariant().toList();
        QCOMPARE(rows.size(), 4);
        const auto row = [&rows](int i) {
            QStringList cells;
            for (const QVariant& c : rows[i].toList())
                cells << c.toList()[0].toString() + u':' + c.toList()[1].toString();
            return cells;
        };
        QCOMPARE(row(0),
            (QStringList {"str:位号", "str:选型编号", "str:型号", "str:介质", "str:标况流量范围", "str:绝压范围",
                "str:通径规格", "str:数量"}));
        QCOMPARE(row(1),
            (QStringList {"str:FT-101", "str:20261210001", "str:LWQ-A", "str:城市天然气或城市煤气", "str:10~100",
                "str:150~200", "str:50RKD-G25(0.5<=Qg<=40)", "int:2"}));
        QCOMPARE(row(2).first(), QStringLiteral("str:进口/1"));
        QCOMPARE(row(2).last(), QStringLiteral("int:12"));
        QCOMPARE(got["frozen"].toString(), QStringLiteral("A2"));
        for (const QVariant& w : got["widths"].toVariant().toList())
            QVERIFY(w.toDouble() > 5);
        const QVariantList record = got["record"].toVariant().toList();
        QCOMPARE(record.size(), 2 + 45);
        QCOMPARE(record[2].toStringList(), (QStringList {"选型编号", "20261210001"}));
        QCOMPARE(record[3].toStringList(), (QStringList {"仪表型号规格", "LWQ-A"}));
    }

    // Tags a site can hold, and some no sheet name can: every accepted tag is in its
    // cell whole, and its sheet named within what spreadsheet programs allow; a tag
    // no cell can hold refuses the workbook, naming its line, and leaves no file.
    void workbookOfHostileTags_data()
    {
        QTest::addColumn<QStringList>("tags");
        QTest::addColumn<QStringList>("sheets"); // after "项目"; empty: refused
        QTest::addColumn<QString>("said");
        const QString emoji = QStringLiteral("😀").repeated(16);
        const QString extension = QString::fromUcs4(U"\U00020000\U00020001\U0002A6D6").repeated(6);
        const QString latin = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789");
        QTest::newRow("emoji beyond the name's length")
            << QStringList {emoji} << QStringList {QStringLiteral("😀").repeated(15)} << "";
        QTest::newRow("extension-plane ideographs")
            << QStringList {extension} << QStringList {extension.left(30)} << "";
        QTest::newRow("characters no sheet name holds")
            << QStringList {"a[b]c:d*e?f/g\\h"} << QStringList {"a_b_c_d_e_f_g_h"} << "";
        QTest::newRow("31 characters and more") << QStringList {latin} << QStringList {latin.left(31)} << "";
        QTest::newRow("names that differ in case")
            << QStringList {"ft-1", "FT-1"} << QStringList {"FT-1", "ft-1(2)"} << "";
        QTest::newRow("names that differ in width")
            << QStringList {"FT-1", "ＦＴ-１"} << QStringList {"FT-1", "ＦＴ-１(2)"} << "";
        QTest::newRow("a reserved name") << QStringList {"History"} << QStringList {"History(2)"} << "";
        QTest::newRow("40,000 characters") << QStringList {QString(40000, u'x')} << QStringList()
                                           << "第 1 行（位号“xxxxxxxxxxxxxxxxxxxx…”）的“位号”有 40000 个字符";
        QTest::newRow("NUL") << QStringList {QStringLiteral("A") + QChar(u'\0') + QStringLiteral("B")} << QStringList()
                             << "第 1 行（位号“A\\0B”）的“位号”含有NUL字符";
    }

    void workbookOfHostileTags()
    {
        QFETCH(QStringList, tags);
        QFETCH(QStringList, sheets);
        QFETCH(QString, said);
        if (storeKind() != u"sqlite")
            return; // the workbook is written from what either store reads alike; NUL is SQLite's
        ProjectFixture f;
        QVERIFY(f.ok);
        {
            TestStore store(f.location);
            for (const QString& tag : tags) {
                const StoreResult<LineAdded> added
                    = store->addLine(kProject, {tag, QStringLiteral("20261210001"), 1, {}, {}, {}});
                QVERIFY(added.ok() && added.value() == LineAdded::Added);
            }
        }
        QTemporaryDir dir;
        const QString xlsx = dir.filePath(QStringLiteral("p.xlsx"));
        const CliResult r = f.run({"project", "export", kProject, xlsx});
        if (sheets.isEmpty()) {
            QCOMPARE(r.status, 1);
            QVERIFY2(r.err.join(u'\n').contains(said), qPrintable(r.err.join(u'\n').left(300)));
            QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList());
            return;
        }
        QCOMPARE(r.status, 0);
        const QString reader = QStringLiteral(R"(
import json, sys, openpyxl
wb = openpyxl.load_workbook(sys.argv[1])
tags = [row[0] for row in wb["项目"].iter_rows(min_row=2, values_only=True)]
own = [wb[name]["B2"].value for name in wb.sheetnames[1:]]
print(json.dumps({"sheets": wb.sheetnames, "tags": tags, "own": own}, ensure_ascii=False))
)");
        const QJsonObject got = readByOpenpyxl(reader, xlsx);
        QVERIFY(!got.isEmpty());
        QCOMPARE(got["sheets"].toVariant().toStringList(), QStringList {"项目"} + sheets);
        QStringList sorted = tags;
        std::sort(sorted.begin(), sorted.end());
        QCOMPARE(got["tags"].toVariant().toStringList(), sorted);
        QCOMPARE(got["own"].toVariant().toStringList(), sorted);
    }

    // A quantity another program stored that is no whole number from 1 up is shown
    // as stored, marked, never as another number.
    void oddStoredQuantities_data()
    {
        QTest::addColumn<QString>("stored"); // SQL of the value
        QTest::addColumn<QString>("shown");
        QTest::addColumn<bool>("onTheServer"); // the server's column holds it once widened
        QTest::newRow("beyond 32 bits") << "2147483648"
                                        << "2147483648" << true;
        QTest::newRow("a word") << "'abc'"
                                << "abc" << false;
        QTest::newRow("a real beyond any count") << "1e20"
                                                 << "1e+20" << false;
        QTest::newRow("below one") << "-5"
                                   << "-5" << true;
        QTest::newRow("zero") << "0"
                              << "0" << true;
    }

    void oddStoredQuantities()
    {
        QFETCH(QString, stored);
        QFETCH(QString, shown);
        QFETCH(bool, onTheServer);
        const bool server = storeKind() == u"postgresql";
        if (server && !onTheServer)
            return;
        ProjectFixture f;
        QVERIFY(f.ok);
        QCOMPARE(f.run({"project", "add", kProject, "FT-101", "20261210001", "--qty", "2"}).status, 0);
        QCOMPARE(f.run({"project", "add", kProject, "FT-102", "20261210001", "--qty", "3"}).status, 0);
        {
            TestStore store(f.location);
            QSqlQuery q(store.connection());
            // a server's table made by another program with a wider column
            if (server)
                QVERIFY(q.exec(QStringLiteral("alter table 项目测点 alter column 数量 type bigint")));
            QVERIFY2(q.exec(QStringLiteral("update 项目测点 set 数量 = %1 where 位号 = 'FT-101'").arg(stored)),
                qPrintable(q.lastError().text()));
        }
        const CliResult show = f.run({"project", "show", kProject});
        QCOMPARE(show.status, 0);
        QCOMPARE(show.out.value(1),
            QStringLiteral("{\"event\":\"line\",\"Tag\":\"FT-101\",\"SelectionNo\":\"20261210001\",\"Quantity\":null,"
                           "\"QuantityText\":\"%1\",\"ResultText\":\"LWQ-A\",\"Deleted\":false}")
                .arg(shown));
        QVERIFY(show.out.value(2).contains(QStringLiteral("\"Quantity\":3,")));
        QTemporaryDir dir;
        const QString xlsx = dir.filePath(QStringLiteral("p.xlsx"));
        QCOMPARE(f.run({"project", "export", kProject, xlsx}).status, 0);
        const QJsonObject cells = readByOpenpyxl(QStringLiteral("import json, sys, openpyxl\n"
                                                                "ws = openpyxl.load_workbook(sys.argv[1])['项目']\n"
                                                                "print(json.dumps({'q': [ws.cell(r, 8).value "
                                                                "for r in (2, 3)]}, ensure_ascii=False))"),
            xlsx);
        QCOMPARE(cells["q"].toArray().at(0).toString(), shown + QStringLiteral("（数量无效）"));
        QCOMPARE(cells["q"].toArray().at(1).toInt(), 3);
        const QString pdf = dir.filePath(QStringLiteral("p.pdf"));
        QCOMPARE(f.run({"project", "sheet", kProject, pdf}).status, 0);
        const QString text = toolOutput(QStringLiteral("pdftotext"), {"-layout", pdf, "-"});
        QVERIFY2(text.contains(shown + QStringLiteral("（数量无效）")), qPrintable(text));
        // the total counts the quantities that are ones
        QVERIFY(text.contains(QRegularExpression(QStringLiteral("合计\\s+3\\s"))));
    }

    void workbookOnAFullDisk_data()
    {
        QTest::addColumn<qint64>("room");
        for (const FillLevel& level : kFillLevels)
            QTest::newRow(level.name) << level.room;
    }

    // Written whole or not at all: a disk that fills leaves no file and no staging
    // file behind, and says so.
    void workbookOnAFullDisk()
    {
        QFETCH(qint64, room);
        if (storeKind() != u"sqlite")
            return;
        ProjectFixture f;
        QVERIFY(f.ok);
        for (int i = 0; i < 30; ++i)
            QCOMPARE(f.run({"project", "add", kProject, QStringLiteral("FT-%1").arg(i), "20261210001"}).status, 0);
        QTemporaryDir dir;
        const QString cli = QStringLiteral(FLOWSEL_BIN_DIR "/flowsel-cli");
        const QStringList start = {"--db", f.location, "project", "export", kProject};
        const QString whole = dir.filePath(QStringLiteral("whole.xlsx"));
        QCOMPARE(QProcess::execute(cli, start + QStringList {whole}), 0);
        const qint64 size = QFileInfo(whole).size();
        QVERIFY(QFile::remove(whole));
        room = roomIn(room, size);
        const QString path = dir.filePath(QStringLiteral("p.xlsx"));
        QProcess full;
        full.setChildProcessModifier([room] { limitFileSize(room); });
        full.start(cli, start + QStringList {path});
        QVERIFY(full.waitForFinished(60000));
        QCOMPARE(full.exitCode(), 1);
        QCOMPARE(full.readAllStandardOutput(), QByteArray());
        const QString why = QString::fromUtf8(full.readAllStandardError());
        QVERIFY2(why.contains(QStringLiteral("项目工作簿未能保存：") + path), qPrintable(why));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList());
    }
};

QTEST_MAIN(TestProjectCommand)
#include "tst_project_command.moc"
