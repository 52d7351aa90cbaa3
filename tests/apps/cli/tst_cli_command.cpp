#include "support/cli_call.h"
#include "support/database_file.h"
#include "support/full_disk.h"
#include "support/test_store.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMap>
#include <QProcess>
#include <QRegularExpression>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>

#include <unistd.h>

namespace {

using Result = CliResult;

void writeFile(const QString& path, const QByteArray& text)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(text);
}

// A database file in `dir` made by the program, holding the selection 20261210001
// saved by a run of flowsel-cli; `after` are lines the run goes on with.
QString storedSelectionFile(const QTemporaryDir& dir, const QByteArray& after = QByteArray())
{
    const QString db = dir.filePath(QStringLiteral("db.mdb"));
    const QString cli = QStringLiteral(FLOWSEL_BIN_DIR "/flowsel-cli");
    if (QProcess::execute(cli, {"--db", db, "init-db"}) != 0)
        return QString();
    const QString script = dir.filePath(QStringLiteral("s.flow"));
    writeFile(script,
        "paste StdFlowMin 1\npaste StdFlowMax 15\npaste PabsMin 101.325\npaste PabsMax 400\n"
        "paste TempMin 20\npaste TempMax 20\nchoose ZMode 不修正\npaste ZnZgMin 0.2533125\n"
        "click 计算工况流量\nclick 选型\nclick 保存\n"
            + after);
    if (QProcess::execute(cli, {"--db", db, "--today", "20261210", "run", script}) != 0)
        return QString();
    return db;
}

} // namespace

class TestCliCommand final : public QObject {
    Q_OBJECT

private slots:
    void sgergPrintsStatusAndZ()
    {
        const Result r = cli({"sgerg", "6", "-3.15", "40.66", "0.581", "0.006", "0"});
        QCOMPARE(r.status, 0);
        QCOMPARE(r.out.size(), 1);
        const QJsonObject o = QJsonDocument::fromJson(r.out[0].toUtf8()).object();
        QCOMPARE(o.value("status").toInt(), 0);
        QVERIFY(qAbs(o.value("Z").toDouble() - 0.84084) < 2e-5);
        QVERIFY(r.out[0].startsWith(QStringLiteral("{\"status\":0,\"Z\":0.8408")));
    }

    void sgergRef20Differs()
    {
        const Result a = cli({"sgerg", "6", "6.85", "40.66", "0.581", "0.006", "0"});
        const Result b = cli({"sgerg", "6", "6.85", "40.66", "0.581", "0.006", "0", "--ref20"});
        QCOMPARE(b.status, 0);
        QVERIFY(a.out != b.out);
    }

    void sgergWithoutAnswerPrintsNull_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::newRow("no convergence") << QStringList {"sgerg", "0.2", "20", "0.0001", "0.6", "0", "0"};
        QTest::newRow("beyond single precision") << QStringList {"sgerg", "1e39", "20", "40", "0.6", "0", "0"};
        QTest::newRow("temperature beyond single") << QStringList {"sgerg", "6", "4e38", "40", "0.6", "0", "0"};
    }

    void sgergWithoutAnswerPrintsNull()
    {
        QFETCH(QStringList, args);
        const CliResult r = cli(args);
        QCOMPARE(r.status, 0);
        QCOMPARE(r.out, QStringList {"{\"status\":1,\"Z\":null}"});
    }

    void sgergRefusesImpossibleGases_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("message");
        const QStringList good = {"6", "-3.15", "40.66", "0.581", "0.006", "0"};
        auto with = [&good](int i, const char* value, int j = -1, const char* second = nullptr) {
            QStringList a = good;
            a[i] = QString::fromUtf8(value);
            if (j >= 0)
                a[j] = QString::fromUtf8(second);
            return QStringList {"sgerg"} + a;
        };
        QTest::newRow("negative pressure")
            << with(0, "-6") << "P is an absolute pressure in MPa and must be above 0, not -6";
        QTest::newRow("zero pressure") << with(0, "0") << "P is an absolute pressure in MPa and must be above 0, not 0";
        QTest::newRow("absolute zero") << with(
            1, "-273.15") << "T is in degrees Celsius and must be above -273.15 (absolute zero), not -273.15";
        QTest::newRow("negative Hs") << with(2, "-40.66")
                                     << "HS is a calorific value in MJ/m3 and must be above 0, not -40.66";
        QTest::newRow("zero density") << with(3, "0") << "D is a relative density and must be above 0, not 0";
        QTest::newRow("negative CO2") << with(4, "-0.1")
                                      << "XCO2 is a mole fraction and must lie between 0 and 1, not -0.1";
        QTest::newRow("H2 above 1") << with(5, "1.5") << "XH2 is a mole fraction and must lie between 0 and 1, not 1.5";
        QTest::newRow("fractions above 1 together")
            << with(4, "0.7", 5, "0.5") << "XCO2 and XH2 together must not exceed 1, not 1.2";
    }

    void sgergRefusesImpossibleGases()
    {
        QFETCH(QStringList, args);
        QFETCH(QString, message);
        const CliResult r = cli(args);
        QCOMPARE(r.status, 2);
        QVERIFY(r.out.isEmpty());
        QCOMPARE(r.err, QStringList {message});
    }

    void unusableCommandLines_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::newRow("nothing") << QStringList {};
        QTest::newRow("unknown command") << QStringList {"fly"};
        QTest::newRow("unknown option") << QStringList {"--fast", "run", "x"};
        QTest::newRow("unknown short option") << QStringList {"-x", "run", "x"};
        QTest::newRow("bad date as --today=") << QStringList {"--today=2026", "run", "-"};
        QTest::newRow("sgerg with a word") << QStringList {"sgerg", "6", "x", "40", "0.6", "0", "0"};
        QTest::newRow("sgerg short") << QStringList {"sgerg", "6"};
        QTest::newRow("bad date") << QStringList {"--today", "20261340", "run", "-"};
        QTest::newRow("short date") << QStringList {"--today", "202612", "run", "-"};
        QTest::newRow("db without path") << QStringList {"--db"};
        QTest::newRow("db empty, run") << QStringList {"--db", "", "run", "/dev/null"};
        QTest::newRow("db empty, sheet") << QStringList {"--db", "", "sheet", "20261210001", "/dev/null"};
        QTest::newRow("db empty, init-db") << QStringList {"--db", "", "init-db"};
        QTest::newRow("missing script") << QStringList {"run", "/nonexistent/script.flow"};
        QTest::newRow("run without script") << QStringList {"run"};
    }

    void unusableCommandLines()
    {
        QFETCH(QStringList, args);
        const CliResult r = cli(args);
        QCOMPARE(r.status, 2);
        QVERIFY(!r.err.isEmpty());
        QCOMPARE(r.out, QStringList());
        if (args.contains(QString()))
            QCOMPARE(r.err.first(), QStringLiteral("--db takes a path, not an empty text"));
        // nothing is made in the program's own database
        QVERIFY(!QFile::exists(QCoreApplication::applicationDirPath() + QStringLiteral("/sjk")));
    }

    // Asking for the usage or the version is no error: standard output, exit 0; the
    // usage tells every exit status.
    void helpAndVersionAreNoErrors_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("said");
        QTest::newRow("--help") << QStringList {"--help"} << "exit status:";
        QTest::newRow("-h") << QStringList {"-h"} << "exit status:";
        QTest::newRow("--help after options") << QStringList {"--db", ":memory:", "--help"} << "exit status:";
        QTest::newRow("--help after the command") << QStringList {"run", "-", "--help"} << "exit status:";
        QTest::newRow("--version") << QStringList {"--version"} << "flowsel 1.";
        QTest::newRow("--version after --db=") << QStringList {"--db=:memory:", "--version"} << "flowsel 1.";
    }

    void helpAndVersionAreNoErrors()
    {
        QFETCH(QStringList, args);
        QFETCH(QString, said);
        const CliResult r = cli(args);
        QCOMPARE(r.status, 0);
        QVERIFY2(r.out.join(u'\n').contains(said), qPrintable(r.out.join(u'\n')));
        QCOMPARE(r.err, QStringList());
        if (said == u"exit status:") {
            for (const char* status : {"  0  ", "  1  ", "  2  "})
                QVERIFY(r.out.join(u'\n').contains(QString::fromLatin1(status)));
        } else {
            QVERIFY(
                QRegularExpression(QStringLiteral("^flowsel \\d+\\.\\d+\\.\\d+$")).match(r.out.join(u'\n')).hasMatch());
        }
    }

    // A command line that cannot be used is told in its own line, then where the usage
    // is: the whole usage would push the reason out of sight. Options are written
    // --name value or --name=value, each once.
    void usageErrors_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("said");
        QTest::newRow("--help and a word after it") << QStringList {"--help", "extra"} << "--help takes no other words";
        QTest::newRow("--version and a word after it")
            << QStringList {"--version", "extra"} << "--version takes no other words";
        QTest::newRow("--db twice") << QStringList {"--db", ":memory:", "--db", "x.mdb", "run", "/dev/null"}
                                    << "--db is given twice";
        QTest::newRow("--today twice, once with =")
            << QStringList {"--today=20261210", "--today", "20261211", "run", "/dev/null"} << "--today is given twice";
        QTest::newRow("unknown command") << QStringList {"frobnicate"} << "unknown command 'frobnicate'";
        QTest::newRow("unknown option") << QStringList {"--colour", "run", "/dev/null"} << "unknown option --colour";
        QTest::newRow("--out twice") << QStringList {"--db", ":memory:", "batch", "p.csv", "--out", "a.csv",
            "--out=b.csv"} << "--out is given twice";
        QTest::newRow("--qty twice") << QStringList {"--db", ":memory:", "project", "add", "P", "T", "N", "--qty=1",
            "--qty", "2"} << "--qty is given twice";
        QTest::newRow("--with-calc given a value") << QStringList {"--db", ":memory:", "sheet", "1", "a.pdf",
            "--with-calc=yes"} << "--with-calc takes no value";
    }

    void usageErrors()
    {
        QFETCH(QStringList, args);
        QFETCH(QString, said);
        const CliResult r = cli(args);
        QCOMPARE(r.status, 2);
        QCOMPARE(r.out, QStringList());
        QVERIFY2(r.err.first().contains(said), qPrintable(r.err.join(u'\n')));
        // the whole usage is not repeated after the mistake; a mistake in the words
        // before the command tells where it is
        QVERIFY(!r.err.join(u'\n').contains(QStringLiteral("exit status:")));
        if (!args.contains(QStringLiteral("batch")) && !args.contains(QStringLiteral("project"))
            && !args.contains(QStringLiteral("sheet")))
            QCOMPARE(r.err, (QStringList {r.err.first(), QStringLiteral("用法：flowsel-cli --help")}));
    }

    // --name=value is --name value, for the options of every command.
    void optionsWithEquals()
    {
        QTemporaryDir dir;
        const QString db = dir.filePath(QStringLiteral("d.mdb"));
        QCOMPARE(cli({"--db=" + db, "init-db"}).status, 0);
        const CliResult made
            = cli({"--db=" + db, "--today=20261210", "project", "new", "甲", "--customer=乙", "--site=丙"});
        QCOMPARE(made.status, 0);
        const QString script = dir.filePath(QStringLiteral("s.flow"));
        writeFile(script, "type StdFlowMin 10\ntype StdFlowMax 100\nclick 计算工况流量\nclick 选型\nclick 保存\n");
        QCOMPARE(cli({"--db=" + db, "--today=20261210", "run", script}).status, 0);
        QCOMPARE(cli({"--db=" + db, "project", "add", made.out.value(0), "FT-1", "20261210001", "--qty=3"}).status, 0);
        const CliResult shown = cli({"--db=" + db, "project", "show", made.out.value(0)});
        QVERIFY2(shown.out.value(0).contains(QStringLiteral("\"Customer\":\"乙\",\"Site\":\"丙\"")),
            qPrintable(shown.out.join(u'\n')));
        QVERIFY(shown.out.value(1).contains(QStringLiteral("\"Quantity\":3")));
        const QString points = dir.filePath(QStringLiteral("p.csv"));
        writeFile(points, "Medium,StdFlowMin,StdFlowMax\n城市天然气或城市煤气,10,100\n");
        const QString out = dir.filePath(QStringLiteral("r.csv"));
        QCOMPARE(cli({"--db=" + db, "batch", points, "--out=" + out}).status, 0);
        QVERIFY(QFile::exists(out));
    }

    // check-db tells what it found and what it put right, one line each; init-db
    // checks the index through as well. On the server, a search index dropped is made
    // again.
    void checkDbFindsAndRepairs_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("damage");
        QTest::addColumn<bool>("readOnly");
        QTest::addColumn<QString>("finding");
        QTest::newRow("sqlite, entries lost")
            << "sqlite"
            << "insert into 选型输出检索(选型输出检索) values('delete-all')" << false
            << R"({"event":"finding","part":"search-index","text":"检索索引与数据不一致（1 条已编入，索引中有 0 条）","repaired":true})";
        QTest::newRow("sqlite, a trigger dropped, read-only")
            << "sqlite"
            << "drop trigger 选型输出检索_删除" << true
            << R"({"event":"finding","part":"search-index","text":"检索索引缺少触发器 选型输出检索_删除，其后保存的选型可能未编入索引","repaired":false})";
        QTest::newRow("postgresql, an index dropped")
            << "postgresql"
            << "drop index 选型输出检索" << false
            << R"({"event":"finding","part":"search-index","text":"检索索引缺少 选型输出检索","repaired":true})";
    }

    void checkDbFindsAndRepairs()
    {
        QFETCH(QString, kind);
        QFETCH(QString, damage);
        QFETCH(bool, readOnly);
        QFETCH(QString, finding);
        QTemporaryDir dir;
        QString store = kind == u"sqlite" ? dir.filePath(QStringLiteral("d.mdb")) : freshPostgresDatabase();
        QCOMPARE(cli({"--db", store, "init-db"}).status, 0);
        const QString script = dir.filePath(QStringLiteral("s.flow"));
        writeFile(script, "type StdFlowMin 10\ntype StdFlowMax 100\nclick 计算工况流量\nclick 选型\nclick 保存\n");
        QCOMPARE(cli({"--db", store, "run", script}).status, 0);
        QCOMPARE(
            cli({"--db", store, "check-db"}).out, QStringList {R"({"event":"checked","repaired":0,"problems":0})"});
        {
            TestStore opened(store); // the saved row goes into the index
            QSqlQuery q(opened.connection());
            QVERIFY2(q.exec(damage), qPrintable(damage));
        }
        if (readOnly)
            QFile::setPermissions(store, QFileDevice::ReadOwner);
        const CliResult r = cli({"--db", store, "check-db"});
        QCOMPARE(r.status, readOnly ? 1 : 0);
        QCOMPARE(r.out,
            (QStringList {finding,
                readOnly ? R"({"event":"checked","repaired":0,"problems":1})"
                         : R"({"event":"checked","repaired":1,"problems":0})"}));
        if (readOnly)
            return;
        QCOMPARE(
            cli({"--db", store, "check-db"}).out, QStringList {R"({"event":"checked","repaired":0,"problems":0})"});
    }

    // init-db on a file whose index lost its entries rebuilds it and says so.
    void initDbRebuildsADamagedIndex()
    {
        QTemporaryDir dir;
        const QString store = dir.filePath(QStringLiteral("d.mdb"));
        QCOMPARE(cli({"--db", store, "init-db"}).status, 0);
        const QString script = dir.filePath(QStringLiteral("s.flow"));
        writeFile(script, "type StdFlowMin 10\ntype StdFlowMax 100\nclick 计算工况流量\nclick 选型\nclick 保存\n");
        QCOMPARE(cli({"--db", store, "run", script}).status, 0);
        {
            TestStore opened(store);
            QVERIFY(QSqlQuery(opened.connection()).exec(QStringLiteral("delete from 选型输出检索号")));
        }
        const CliResult r = cli({"--db", store, "init-db"});
        QCOMPARE(r.status, 0);
        QCOMPARE(r.err, QStringList {"检索索引已重建（检索索引与数据不一致（1 条选型，索引记有 0 条））"});
        writeFile(script, "find RKD-G\n");
        QCOMPARE(cli({"--db", store, "run", script}).out.filter(QStringLiteral("\"event\":\"row\"")).size(), 1);
    }

    void initDbPreparesAFileAndKeepsWhatExists()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("选型数据库.mdb"));
        Result r = cli({"--db", path, "init-db"});
        QCOMPARE(r.status, 0);
        QVERIFY(QFile::exists(path));
        const QString script = dir.filePath(QStringLiteral("s.flow"));
        writeFile(script,
            "paste StdFlowMin 1\npaste StdFlowMax 15\npaste PabsMin 101.325\npaste PabsMax 400\n"
            "paste TempMin 20\npaste TempMax 20\nchoose ZMode 不修正\npaste ZnZgMin 0.2533125\n"
            "click 计算工况流量\nclick 选型\nclick 保存\n");
        QCOMPARE(cli({"--db", path, "--today", "20261210", "run", script}).status, 0);
        QCOMPARE(cli({"--db", path, "init-db"}).status, 0);
        r = cli({"--db", path, "--today", "20261210", "run", "/dev/null"});
        QCOMPARE(r.out.first(),
            QStringLiteral("{\"event\":\"window\",\"caption\":\"流量计选型-1\",\"SelectionNo\":\"20261210002\"}"));
    }

    void fileThatIsNotADatabaseStopsTheRun()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("notes.mdb"));
        writeFile(path, QByteArray(2048, 'n'));
        Result r = cli({"--db", path, "run", "/dev/null"});
        QCOMPARE(r.status, 2);
        QVERIFY(r.err.join(u' ').contains(QStringLiteral("not a database")));
        QCOMPARE(cli({"--db", path, "init-db"}).status, 2);
        // the program's line alone reaches the terminal
        QProcess program;
        program.start(QStringLiteral(FLOWSEL_BIN_DIR "/flowsel-cli"), {"--db", path, "run", "/dev/null"});
        QVERIFY(program.waitForFinished(60000));
        QCOMPARE(program.exitCode(), 2);
        QCOMPARE(program.readAllStandardOutput(), QByteArray());
        QCOMPARE(program.readAllStandardError(),
            QStringLiteral("cannot open the database %1: file is not a database\n").arg(path).toUtf8());
        QFile f(path);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), QByteArray(2048, 'n'));
    }

    // A table of another shape is refused by every command that opens the store,
    // and left as it was.
    void wrongTableIsRefusedByEveryCommand_data()
    {
        QTest::addColumn<QStringList>("command");
        QTest::newRow("run") << QStringList {"run", "/dev/null"};
        QTest::newRow("sheet") << QStringList {"sheet", "20261210001", "sheet.pdf"};
        QTest::newRow("init-db") << QStringList {"init-db"};
    }

    void wrongTableIsRefusedByEveryCommand()
    {
        QFETCH(QStringList, command);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("db.mdb"));
        makeDatabaseFile(path,
            {"create table 选型输出 (选型编号 text primary key, 仪表型号规格 text)",
                "insert into 选型输出 values ('20261210001', 'VRNA')"});
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray before = file.readAll();
        file.close();
        if (command.size() == 3)
            command[2] = dir.filePath(command[2]);
        const Result r = cli(QStringList {"--db", path} + command);
        QCOMPARE(r.status, 2);
        QCOMPARE(r.out, QStringList());
        QCOMPARE(r.err.size(), 1);
        QVERIFY2(r.err[0].contains(
                     QStringLiteral("选型输出表的结构与本程序不符（有2列，应为45列），本程序不使用也不修改此表")),
            qPrintable(r.err[0]));
        QVERIFY(r.err[0].contains(path));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), before);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList {QStringLiteral("db.mdb")});
    }

    void missingDatabaseIsReportedAndTheRunGoesOn()
    {
        QTemporaryDir dir;
        const Result r
            = cli({"--db", dir.filePath(QStringLiteral("db.mdb")), "--today", "20261210", "run", "/dev/null"});
        QCOMPARE(r.status, 0);
        QCOMPARE(r.out.first(),
            QStringLiteral("{\"event\":\"message\",\"box\":\"plain\",\"title\":"
                           "\"Corvane仪表集团仪表选型系统（V1.0）\",\"text\":"
                           "\"Corvane仪表集团仪表选型系统数据库找不到！请单击确定...\"}"));
        QCOMPARE(r.out.last(),
            QStringLiteral("{\"event\":\"window\",\"caption\":\"流量计选型-1\",\"SelectionNo\":\"20261210001\"}"));
        // and where the file was looked for, with the way to make it
        const QString path = dir.filePath(QStringLiteral("db.mdb"));
        QCOMPARE(r.err,
            QStringList {QStringLiteral("数据库文件 %1 不存在；新建请用：flowsel-cli --db %1 init-db").arg(path)});
    }

    // The sheet of a stored selection, through the program as engineers call it.
    void sheetOfAStoredSelection()
    {
        QTemporaryDir dir;
        const QString cli = QStringLiteral(FLOWSEL_BIN_DIR "/flowsel-cli");
        // save, then change the window without saving again
        const QString db = storedSelectionFile(dir, "choose SizeSpec 50RKD-G25(0.5<=Qg<=40)\nclick 选型\n");
        QProcess sheet;
        const QString pdf = dir.filePath(QStringLiteral("sheet.pdf"));
        sheet.start(cli, {"--db", db, "sheet", "20261210001", pdf});
        QVERIFY(sheet.waitForFinished(60000));
        QCOMPARE(sheet.exitCode(), 0);
        QProcess text;
        text.start(QStringLiteral("pdftotext"), {"-layout", pdf, "-"});
        QVERIFY(text.waitForFinished(60000));
        const QString page = QString::fromUtf8(text.readAllStandardOutput());
        QVERIFY2(page.contains(QStringLiteral("RKD-G10-CDAR-V-0.5/1.6-1.0/1.5")), qPrintable(page)); // as stored
        QVERIFY(!page.contains(QStringLiteral("RKD-G25")));
        QVERIFY(page.contains(QStringLiteral("0.4<=Qg<=16")));
        QVERIFY(page.contains(QStringLiteral("气体腰轮流量计")));
        // a number that is not stored
        sheet.start(cli, {"--db", db, "sheet", "20261210002", dir.filePath(QStringLiteral("none.pdf"))});
        QVERIFY(sheet.waitForFinished(60000));
        QCOMPARE(sheet.exitCode(), 1);
        QVERIFY(QString::fromUtf8(sheet.readAllStandardError())
                    .contains(QStringLiteral("系统还未保存该编号（20261210002）选型信息！")));
        QVERIFY(!QFile::exists(dir.filePath(QStringLiteral("none.pdf"))));
    }

    // The sheet and the record print the date as the system shows a short date; a
    // process without a locale (a fresh server, CI) shows it as a Chinese system does.
    void printedDateFollowsTheLocale_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QString>("format");
        QTest::newRow("no locale") << "C"
                                   << "yyyy/M/d";
        QTest::newRow("POSIX") << "POSIX"
                               << "yyyy/M/d";
        QTest::newRow("Chinese") << "zh_CN.UTF-8"
                                 << "yyyy/M/d";
        QTest::newRow("American") << "en_US.UTF-8"
                                  << "M/d/yy";
    }

    void printedDateFollowsTheLocale()
    {
        QFETCH(QString, locale);
        QFETCH(QString, format);
        QTemporaryDir dir;
        const QString db = storedSelectionFile(dir, "");
        const QString pdf = dir.filePath(QStringLiteral("sheet.pdf"));
        QProcess sheet;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        for (const char* name : {"LANG", "LANGUAGE", "LC_ALL", "LC_TIME", "LC_MESSAGES"})
            env.remove(QString::fromLatin1(name));
        env.insert(QStringLiteral("LC_ALL"), locale);
        sheet.setProcessEnvironment(env);
        const QDate today = QDate::currentDate();
        sheet.start(
            QStringLiteral(FLOWSEL_BIN_DIR "/flowsel-cli"), {"--db", db, "sheet", "20261210001", pdf, "--with-calc"});
        QVERIFY(sheet.waitForFinished(60000));
        QCOMPARE(sheet.exitCode(), 0);
        // the day may turn while the sheet is written
        const QStringList dates = {today.toString(format), QDate::currentDate().toString(format)};
        for (const char* page : {"1", "2"}) {
            QProcess text;
            text.start(QStringLiteral("pdftotext"), {"-layout", "-f", page, "-l", page, pdf, "-"});
            QVERIFY(text.waitForFinished(60000));
            const QString shown = QString::fromUtf8(text.readAllStandardOutput());
            QVERIFY2(shown.contains(dates[0]) || shown.contains(dates[1]), qPrintable(dates[0] + u'\n' + shown));
        }
    }

    // The calculation record of a stored selection of each medium, and of one whose
    // Zn/Zg were typed: every input, both corners' factors and flows as the window
    // showed them, Z at each corner as `sgerg` gives it, each judged gas input beside
    // its value at the method's reference and its limits, the verdict naming the
    // inputs that decided it, and the window's warnings. `rows` are the range table's
    // rows, their cells split by "|".
    void calculationRecordOfAStoredSelection_data()
    {
        QTest::addColumn<QByteArray>("lines");
        QTest::addColumn<QStringList>("rows");
        QTest::addColumn<QString>("verdict");
        const QByteArray wide = "paste StdFlowMin 40\npaste StdFlowMax 400\npaste PabsMin 300\npaste PabsMax 900\n"
                                "paste TempMin -10\npaste TempMax 35\n";
        // the turbine and vortex sizes take a narrower range
        const QByteArray narrow = "paste StdFlowMin 300\npaste StdFlowMax 1500\npaste PabsMin 500\npaste PabsMax 600\n"
                                  "paste TempMin -10\npaste TempMax 35\n";
        const QByteArray ref25
            = "choose RefCondition 燃烧参比条件:温度25℃,压力101.325kPa;体积计量参比条件:温度0℃,压力101.325kPa\n";
        const QString normal = QStringLiteral("结论：各输入均在管输天然气的常规适用范围内。");
        QTest::newRow("city gas, 25/0 reference: values judged as given")
            << "choose Medium 城市天然气或城市煤气\n" + wide + ref25 + "paste Hs 38\n"
            << QStringList {QStringLiteral("高位发热量 Hs (MJ/m³)|38|38|30～45|20～48|常规"),
                   QStringLiteral("最大绝对压力 pmax (kPa)|900|900|0～12000|0～12000|常规"),
                   QStringLiteral("最低温度 tmin (℃)|-10|-10|-10～65|-10～65|常规")}
            << normal;
        QTest::newRow("oil-field gas, Hs beyond the range")
            << "choose Medium 油田天然气\n" + narrow + ref25 + "paste Hs 50\n"
            << QStringList {QStringLiteral("高位发热量 Hs (MJ/m³)|50|50|30～45|20～48|超出")}
            << QStringLiteral("结论：超出适用范围：高位发热量 Hs = 50 MJ/m³ > 48，压缩系数仅供参考。");
        QTest::newRow("coal-bed gas, 20/20 reference: Hs and d converted")
            << "choose Medium 煤层气\n" + narrow + "paste Hs 36\n"
            << QStringList {QStringLiteral("高位发热量 Hs (MJ/m³)|36|38.64|30～45|20～48|常规"),
                   QStringLiteral("相对密度 d|0.6|0.6002|0.55～0.8|0.55～0.9|常规")}
            << normal;
        QTest::newRow("city gas, d past the normal range only once converted")
            << "choose Medium 城市天然气或城市煤气\n" + wide + "paste Hs 38\npaste RelDensity 0.8\n"
            << QStringList {QStringLiteral("相对密度 d|0.8|0.8002|0.55～0.8|0.55～0.9|扩展")}
            << QStringLiteral("结论：在扩展适用范围内，超出常规范围的有 相对密度 d′ = 0.8002 > 0.8。");
        QTest::newRow("air, the gas values left as they come: 45 at 20/20 is beyond 48")
            << "choose Medium 空气或氮气或惰性气体\n" + wide
            << QStringList {QStringLiteral("高位发热量 Hs (MJ/m³)|45|48.29|30～45|20～48|超出")}
            << QStringLiteral("结论：超出适用范围：高位发热量 Hs′ = 48.29 MJ/m³ > 48，压缩系数仅供参考。");
        QTest::newRow("oxygen or hydrogen, CO2 in the wider range")
            << "choose Medium 氧气或氢气\n" + narrow + ref25 + "paste Hs 38\npaste XCO2 0.25\n"
            << QStringList {QStringLiteral("CO2摩尔分数 xCO2|0.25|0.25|0～0.2|0～0.3|扩展")}
            << QStringLiteral("结论：在扩展适用范围内，超出常规范围的有 CO2摩尔分数 xCO2 = 0.25 > 0.2。");
        QTest::newRow("typed Zn/Zg") << "choose Medium 城市天然气或城市煤气\n" + wide
                + "choose ZMode 不修正\npaste ZnZgMin 0.9871\npaste ZnZgMax 0.9912\n"
                                     << QStringList() << QStringLiteral("未使用状态方程，不判断适用范围。");
    }
    void calculationRecordOfAStoredSelection()
    {
        QFETCH(QByteArray, lines);
        QFETCH(QStringList, rows);
        QFETCH(QString, verdict);
        QTemporaryDir dir;
        const QString db = dir.filePath(QStringLiteral("db.mdb"));
        QCOMPARE(cli({"--db", db, "init-db"}).status, 0);
        const QString script = dir.filePath(QStringLiteral("s.flow"));
        writeFile(script, lines + "click 计算工况流量\nclick 选型\nclick 保存\nshow\nwarnings\ncompare\n");
        const Result run = cli({"--db", db, "--today", "20261210", "run", script});
        QCOMPARE(run.status, 0);
        QMap<QString, QString> shown;
        QStringList warned;
        std::vector<QJsonObject> candidates;
        for (const QString& line : run.out) {
            const QJsonObject o = QJsonDocument::fromJson(line.toUtf8()).object();
            if (o.value("event").toString() == u"candidate")
                candidates.push_back(o);
            else if (o.value("event").toString() == u"field")
                shown[o.value("name").toString()] = o.value("text").toString();
            else if (o.value("event").toString() == u"warning")
                warned << o.value("text").toString();
        }
        QVERIFY2(!shown.value("ResultText").isEmpty(), qPrintable(run.out.join(u'\n')));

        const QString pdf = dir.filePath(QStringLiteral("sheet.pdf"));
        QProcess sheet;
        sheet.start(
            QStringLiteral(FLOWSEL_BIN_DIR "/flowsel-cli"), {"--db", db, "sheet", "20261210001", pdf, "--with-calc"});
        QVERIFY(sheet.waitForFinished(60000));
        QCOMPARE(sheet.readAllStandardError(), QByteArray());
        QCOMPARE(sheet.exitCode(), 0);
        QProcess text;
        text.start(QStringLiteral("pdftotext"), {"-layout", pdf, "-"});
        QVERIFY(text.waitForFinished(60000));
        const QStringList pages = QString::fromUtf8(text.readAllStandardOutput()).split(u'\f', Qt::SkipEmptyParts);
        QCOMPARE(pages.size(), 2);
        QVERIFY(pages[0].contains(shown.value("ResultText")));
        const QString& record = pages[1];
        QVERIFY2(record.contains(QStringLiteral("选型计算书")) && record.contains(verdict), qPrintable(record));
        for (const QString& row : rows) {
            QStringList cells = row.split(u'|');
            for (QString& cell : cells)
                cell = QRegularExpression::escape(cell);
            const QRegularExpression line(
                u'^' + cells.join(QStringLiteral("\\s+")) + u'$', QRegularExpression::MultilineOption);
            QVERIFY2(record.contains(line), qPrintable(row + QStringLiteral(" not a row of\n") + record));
        }
        // the window's warnings, each whole though the page may wrap it
        const QRegularExpression space(QStringLiteral("\\s+"));
        QCOMPARE(record.count(QStringLiteral("警告：")), warned.size());
        for (QString warning : warned)
            QVERIFY2(QString(record).remove(space).contains(QStringLiteral("警告：") + warning.remove(space)),
                qPrintable(warning));
        // the chosen type's candidates as compare gives them, the chosen size marked
        QStringList ofType;
        for (const QJsonObject& c : candidates) {
            if (c.value("MeterType").toString() != shown.value("MeterType"))
                continue;
            const auto number = [&](const char* key, int decimals) {
                return QString::number(c.value(key).toDouble(), 'f', decimals);
            };
            const QString size = c.value("SizeSpec").toString();
            const QString bounds
                = size.mid(size.indexOf(u'(') + 1).chopped(1).split(QStringLiteral("<=Qg<=")).join(u'-');
            ofType << QStringList {size, bounds, number("UseAtMax", 1), number("MarginAtMin", 2), number("Velocity", 2),
                          c.value("Fit").toString() == u"exact" ? QStringLiteral("精确") : QStringLiteral("放宽")}
                          .join(u'|')
                    + (size == shown.value("SizeSpec") ? QStringLiteral("|●") : QString());
        }
        QVERIFY(!ofType.isEmpty() && ofType.first().endsWith(QStringLiteral("|●")));
        QVERIFY(record.contains(QStringLiteral("候选规格")));
        for (const QString& row : ofType.mid(0, 3)) {
            QStringList cells = row.split(u'|');
            for (QString& cell : cells)
                cell = QRegularExpression::escape(cell);
            const QRegularExpression line(
                u'^' + cells.join(QStringLiteral("\\s+")) + u'$', QRegularExpression::MultilineOption);
            QVERIFY2(record.contains(line), qPrintable(row + QStringLiteral(" not a row of\n") + record));
        }
        QCOMPARE(record.count(QStringLiteral("●")), 2); // the row and the note that explains it
        for (const char* always :
            {"取点：同一标况流量在气体最密（压力最高、温度最低）时工况流量最小", "编制：", "校核："})
            QVERIFY2(record.contains(QString::fromUtf8(always)), always);
        for (const char* name : {"Medium", "StdFlowMin", "StdFlowMax", "PabsMin", "PabsMax", "TempMin", "TempMax", "Hs",
                 "RelDensity", "XCO2", "XH2", "ZnZgMin", "ZnZgMax", "ConvFactorMin", "ConvFactorMax", "WorkFlowMin",
                 "WorkFlowMax", "SizeSpec", "ResultText"}) {
            QVERIFY2(!shown.value(name).isEmpty(), name);
            QVERIFY2(record.contains(shown.value(name)),
                qPrintable(QStringLiteral("%1 %2 in\n%3").arg(name, shown.value(name), record)));
        }
        if (shown.value("ZMode") == u"不修正") {
            QVERIFY(record.contains(shown.value("ZnZgMin") + QStringLiteral("（录入）")));
            QVERIFY(record.contains(QStringLiteral("未使用状态方程，Zn/Zg 为录入值")));
            return;
        }
        QVERIFY(record.contains(QStringLiteral("SGERG-88（ISO 12213-3，GB/T 17747.3）")));
        // Z at each corner and at the standard condition, five decimals
        const bool ref20 = shown.value("RefCondition").startsWith(QStringLiteral("燃烧参比条件和体积计量参比条件均为"));
        const auto z = [&](const QString& p, const QString& t) {
            QStringList args {
                "sgerg", p, t, shown.value("Hs"), shown.value("RelDensity"), shown.value("XCO2"), shown.value("XH2")};
            if (ref20)
                args << "--ref20";
            const CliResult r = cli(args);
            return QString::number(
                QJsonDocument::fromJson(r.out.value(0).toUtf8()).object().value("Z").toDouble(), 'f', 5);
        };
        const auto mpa = [&](const char* kpa) { return QString::number(shown.value(kpa).toDouble() / 1000, 'g', 9); };
        for (const QString& expected : {z(mpa("PabsMax"), shown.value("TempMin")),
                 z(mpa("PabsMin"), shown.value("TempMax")), z(QStringLiteral("0.101325"), QStringLiteral("20"))})
            QVERIFY2(record.contains(expected), qPrintable(expected + QStringLiteral(" in\n") + record));
    }

    // A stored row whose inputs no longer compute (changed by another tool): the
    // record shows no Zn/Zg at a corner it could not compute, not the stored ratio
    // beside fresh figures.
    void calculationRecordOfARowThatNoLongerComputes()
    {
        QTemporaryDir dir;
        const QString db = dir.filePath(QStringLiteral("db.mdb"));
        QCOMPARE(cli({"--db", db, "init-db"}).status, 0);
        const QString script = dir.filePath(QStringLiteral("s.flow"));
        writeFile(script,
            "paste StdFlowMin 40\npaste StdFlowMax 400\npaste PabsMin 300\npaste PabsMax 900\n"
            "paste Hs 38\nclick 计算工况流量\nclick 选型\nclick 保存\nshow ZnZgMin ZnZgMax\n");
        const Result run = cli({"--db", db, "--today", "20261210", "run", script});
        QCOMPARE(run.status, 0);
        QStringList ratios;
        for (const QString& line : run.out) {
            const QJsonObject o = QJsonDocument::fromJson(line.toUtf8()).object();
            if (o.value("event").toString() == u"field")
                ratios << o.value("text").toString();
        }
        QCOMPARE(ratios.size(), 2);
        makeDatabaseFile(db, {QStringLiteral("update 选型输出 set 最大绝牙 = '-5'")});

        const QString pdf = dir.filePath(QStringLiteral("sheet.pdf"));
        QProcess sheet; // a process of its own: drawing the sheet needs a GUI application
        sheet.start(
            QStringLiteral(FLOWSEL_BIN_DIR "/flowsel-cli"), {"--db", db, "sheet", "20261210001", pdf, "--with-calc"});
        QVERIFY(sheet.waitForFinished(60000));
        QCOMPARE(sheet.exitCode(), 0);
        QProcess text;
        text.start(QStringLiteral("pdftotext"), {"-layout", "-f", "2", pdf, "-"});
        QVERIFY(text.waitForFinished(60000));
        const QString record = QString::fromUtf8(text.readAllStandardOutput());
        QVERIFY2(record.contains(QStringLiteral("选型计算书")), qPrintable(record));
        // the minimum-flow corner takes PabsMax and cannot be computed; the other one
        // is computed afresh
        QVERIFY2(!record.contains(ratios[0]), qPrintable(ratios[0] + QStringLiteral(" in\n") + record));
        QVERIFY2(record.contains(ratios[1]), qPrintable(ratios[1] + QStringLiteral(" not in\n") + record));
    }

    // `code-key` writes the key of the codes as HTML or as a PDF by the file's suffix;
    // both hold every series and its templates.
    void codeKeyFiles_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<int>("status");
        QTest::newRow("html") << "key.html" << 0;
        QTest::newRow("pdf") << "key.pdf" << 0;
        QTest::newRow("other suffix") << "key.txt" << 2;
        QTest::newRow("folder missing") << "none/key.pdf" << 1;
    }
    void codeKeyFiles()
    {
        QFETCH(QString, file);
        QFETCH(int, status);
        QTemporaryDir dir;
        const QString path = dir.filePath(file);
        QProcess key;
        key.start(QStringLiteral(FLOWSEL_BIN_DIR "/flowsel-cli"), {"code-key", path});
        QVERIFY(key.waitForFinished(60000));
        QCOMPARE(key.exitCode(), status);
        if (status != 0) {
            const QString why = QString::fromUtf8(key.readAllStandardError());
            QVERIFY2(why.contains(path), qPrintable(why));
            QCOMPARE(key.readAllStandardOutput(), QByteArray());
            QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList());
            return;
        }
        QString text;
        if (path.endsWith(QStringLiteral(".pdf"))) {
            QProcess pdf;
            pdf.start(QStringLiteral("pdftotext"), {"-layout", path, "-"});
            QVERIFY(pdf.waitForFinished(60000));
            text = QString::fromUtf8(pdf.readAllStandardOutput());
        } else {
            QFile f(path);
            QVERIFY(f.open(QIODevice::ReadOnly));
            text = QString::fromUtf8(f.readAll());
        }
        for (const char* shown : {"流量计参数代号", "VRNA-{S}-{N}-{B}", "VRNSⅡ", "PWXC-{S}-{U}/{N}-{C}{M1}",
                 "MQE-{S}S-{N}-{TL}/{TH}-{C}", "{R}-{B}/DAB-{M5}{D}-{U}/{N}{I}", "SJN", "B-GW"})
            QVERIFY2(text.contains(QString::fromUtf8(shown)), shown);
    }

    // Every file flowsel-cli writes, on a disk that fills while it is written (the
    // process may write `room` bytes): the command fails naming the file, says nothing
    // was written, and leaves neither the file nor its temporary beside it.
    void filesOnAFullDisk_data()
    {
        QTest::addColumn<QStringList>("command"); // the file to write follows it
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("said");
        QTest::addColumn<qint64>("room");
        const QStringList sheet {"sheet", "20261210001"};
        const QStringList record {"sheet", "--with-calc", "20261210001"};
        const QStringList key {"code-key"};
        const QString sheetSaid = QStringLiteral("选型单未能保存为PDF文件：");
        const QString keySaid = QStringLiteral("流量计参数代号未能保存");
        for (const FillLevel& level : kFillLevels) {
            const QByteArray name(level.name);
            QTest::newRow("sheet, " + name) << sheet << "s.pdf" << sheetSaid << level.room;
            QTest::newRow("sheet and record, " + name) << record << "s.pdf" << sheetSaid << level.room;
            QTest::newRow("code key PDF, " + name) << key << "k.pdf" << keySaid << level.room;
            // the HTML key, about 20 kB, goes out in one write: the other levels cut that
            if (level.room != 36864)
                QTest::newRow("code key HTML, " + name) << key << "k.html" << keySaid << level.room;
        }
    }

    void filesOnAFullDisk()
    {
        QFETCH(QStringList, command);
        QFETCH(QString, file);
        QFETCH(QString, said);
        QFETCH(qint64, room);
        QTemporaryDir dir;
        const QString db = storedSelectionFile(dir);
        QVERIFY(!db.isEmpty());
        const QString cli = QStringLiteral(FLOWSEL_BIN_DIR "/flowsel-cli");
        const QStringList start = QStringList {"--db", db} + command;
        const QString whole = dir.filePath(QStringLiteral("whole-") + file);
        QCOMPARE(QProcess::execute(cli, start + QStringList {whole}), 0);
        const qint64 size = QFileInfo(whole).size();
        QVERIFY(QFile::remove(whole));
        room = roomIn(room, size);
        QVERIFY(room < size);
        const QStringList files = QDir(dir.path()).entryList(QDir::Files | QDir::Hidden);

        const QString path = dir.filePath(file);
        QProcess full;
        full.setChildProcessModifier([room] { limitFileSize(room); });
        full.start(cli, start + QStringList {path});
        QVERIFY(full.waitForFinished(60000));
        QCOMPARE(full.exitStatus(), QProcess::NormalExit);
        QCOMPARE(full.exitCode(), 1);
        QCOMPARE(full.readAllStandardOutput(), QByteArray());
        const QString why = QString::fromUtf8(full.readAllStandardError());
        QVERIFY2(
            why.startsWith(said) && why.contains(path) && why.contains(QStringLiteral("写入不完整")), qPrintable(why));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), files);
    }

    // Killed in the middle of a run, the program has written whole event lines only,
    // and every line written so far has reached the reader.
    void eventLinesAreWrittenWholeAsTheyHappen()
    {
        QTemporaryDir dir;
        const QString script = dir.filePath(QStringLiteral("long.flow"));
        writeFile(script, QByteArray("new\nclose\n").repeated(200000));
        QProcess run;
        run.start(QStringLiteral(FLOWSEL_BIN_DIR "/flowsel-cli"), {"--db", ":memory:", "run", script});
        QVERIFY(run.waitForReadyRead(60000));
        run.kill();
        QVERIFY(run.waitForFinished(60000));
        const QByteArray out = run.readAllStandardOutput();
        QVERIFY(!out.isEmpty());
        QVERIFY(out.endsWith('\n'));
        for (const QByteArray& line : out.split('\n')) {
            if (!line.isEmpty())
                QVERIFY2(QJsonDocument::fromJson(line).isObject(), line.constData());
        }
    }

    // Without a session's runtime folder, `sheet` makes a private one of its own and
    // removes it: nothing is left in the temporary folder, and a folder that someone
    // else made there first under a foreseeable name is neither used nor touched.
    void sheetUsesARuntimeFolderOfItsOwn_data()
    {
        QTest::addColumn<bool>("madeFirst");
        QTest::newRow("an empty temporary folder") << false;
        QTest::newRow("a folder made first by another user") << true;
    }

    void sheetUsesARuntimeFolderOfItsOwn()
    {
        QFETCH(bool, madeFirst);
        QTemporaryDir dir;
        QTemporaryDir temp;
        const QString cli = QStringLiteral(FLOWSEL_BIN_DIR "/flowsel-cli");
        const QString db = storedSelectionFile(dir);
        QStringList before;
        if (madeFirst) {
            // the name the program once used; another user's where this runs as root
            const QString other = temp.filePath(QStringLiteral("flowsel-runtime-%1").arg(::getuid()));
            QVERIFY(QDir().mkdir(other));
            QVERIFY(
                QFile::setPermissions(other, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner));
            if (::getuid() == 0)
                QCOMPARE(::chown(QFile::encodeName(other).constData(), 12345, 12345), 0);
            before << QFileInfo(other).fileName();
        }
        QProcess sheet;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.remove(QStringLiteral("XDG_RUNTIME_DIR"));
        env.insert(QStringLiteral("TMPDIR"), temp.path());
        sheet.setProcessEnvironment(env);
        const QString pdf = dir.filePath(QStringLiteral("sheet.pdf"));
        sheet.start(cli, {"--db", db, "sheet", "20261210001", pdf});
        QVERIFY(sheet.waitForFinished(60000));
        QCOMPARE(sheet.exitCode(), 0);
        QCOMPARE(sheet.readAllStandardError(), QByteArray());
        QVERIFY(QFileInfo(pdf).size() > 0);
        QCOMPARE(QDir(temp.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot), before);
        if (madeFirst)
            QCOMPARE(QDir(temp.filePath(before[0])).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
                QStringList());
    }

    void exitStatusTellsFailedLines()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("s.flow"));
        writeFile(path, "type StdFlowMin 10\nbogus\nshow StdFlowMin\n");
        Result r = cli({"--db", ":memory:", "--today", "20261210", "run", path});
        QCOMPARE(r.status, 1);
        QCOMPARE(r.out.size(), 3);
        QVERIFY(r.out[1].contains(QStringLiteral("\"line\":2")));
        writeFile(path, "type StdFlowMin a\n");
        r = cli({"--db", ":memory:", "--today", "20261210", "run", path});
        QCOMPARE(r.status, 0); // a beep is behaviour, not a failure
    }
};

QTEST_GUILESS_MAIN(TestCliCommand)
#include "tst_cli_command.moc"
