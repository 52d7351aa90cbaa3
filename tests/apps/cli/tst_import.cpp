#include "adapters/access/access_child.h"
#include "apps/common/old_selections.h"
#include "apps/common/selection_import.h"
#include "core/form/fields.h"
#include "core/record/columns.h"
#include "support/access_files.h"
#include "support/cli_call.h"
#include "support/old_table.h"
#include "support/test_store.h"
#include "support/tool_output.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>

// `flowsel-cli import OLD`: the old program's selections, from Access files and CSV
// exports made here, into either store.
namespace {

using Result = CliResult;

QString numberOf(int i)
{
    return QStringLiteral("2019%1").arg(i, 7, 10, QChar(u'0'));
}

QString imported(int rows, int skipped, int conflicts, int failed)
{
    return QStringLiteral("{\"event\":\"imported\",\"rows\":%1,\"skipped\":%2,\"conflicts\":%3,\"failed\":%4}")
        .arg(rows)
        .arg(skipped)
        .arg(conflicts)
        .arg(failed);
}

// The JSON lines flowsel-cli printed for a script on a store.
QList<QJsonObject> runScript(const QString& store, const QByteArray& script, const QString& folder)
{
    const QString path = QDir(folder).filePath(QStringLiteral("lines.flow"));
    writeBytes(path, script);
    QList<QJsonObject> events;
    for (const QString& line :
        toolOutput(QStringLiteral(FLOWSEL_BIN_DIR "/flowsel-cli"), {"--db", store, "run", path}).split(u'\n'))
        events << QJsonDocument::fromJson(line.toUtf8()).object();
    return events;
}

void addStoresAndSources()
{
    QTest::addColumn<QString>("store");
    QTest::addColumn<QString>("source");
    for (const char* store : {"sqlite", "postgresql"}) {
        for (const char* source : {"access", "csv"})
            QTest::addRow("%s from %s", store, source) << store << source;
    }
}

} // namespace

class TestImport final : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    std::vector<StoredRow> m_rows; // what the old file holds, as the store must hold it
    QString m_access;              // those rows in an Access file, empty values as NULL
    QString m_csv;                 // and as the table's CSV export

    QString path(const QString& name) const { return m_dir.filePath(name); }

    // The old file of a kind ("access", "csv") holding `records`, the first the names.
    QString oldFile(const QString& source, const QString& name, const std::vector<QStringList>& records)
    {
        const QString file = path(name + (source == u"access" ? QStringLiteral(".mdb") : QStringLiteral(".csv")));
        if (source == u"access")
            makeAccessFile(file, records);
        else
            writeBytes(file, csvText(records));
        return file;
    }

private slots:
    // A real selection saved by the program, then 3,000 rows of it under other numbers:
    // some with empty values, some with other Chinese texts.
    void initTestCase()
    {
        setAccessChildProgram(QStringLiteral(FLOWSEL_BIN_DIR "/flowsel-cli"));
        const QString saved = path(QStringLiteral("saved.db"));
        const QString script = path(QStringLiteral("save.flow"));
        QVERIFY(writeBytes(script,
            "type StdFlowMin 40\ntype StdFlowMax 400\ntype PabsMin 300\ntype PabsMax 900\n"
            "click 计算工况流量\nclick 选型\nclick 保存\n"));
        QCOMPARE(cli({"--db", saved, "init-db"}).status, 0);
        QCOMPARE(cli({"--db", saved, "--today", "20261210", "run", script}).status, 0);
        TestStore store(saved);
        const StoreResult<std::optional<StoredRow>> real = store->fetch(QStringLiteral("20261210001"));
        QVERIFY(real.ok() && real.value());
        std::vector<QStringList> records {oldTableColumns()};
        for (int i = 0; i < 3000; ++i) {
            StoredRow row = *real.value();
            row[0] = numberOf(i);
            if (i % 3 == 1)
                row[columnOf(Derived::TempMaxError)] = row[columnOf(Field::SettlementUnit)] = QString();
            if (i % 3 == 2)
                row[columnOf(Field::RefCondition)]
                    = QStringLiteral("燃烧参比条件：温度20℃，压力101.325kPa；第%1号").arg(i);
            records.push_back(row);
            m_rows.push_back(row);
        }
        m_access = path(QStringLiteral("sjk.mdb"));
        QVERIFY(makeAccessFile(m_access, records, {QStringLiteral("--null-empty")}));
        m_csv = path(QStringLiteral("export.csv"));
        QVERIFY(writeBytes(m_csv, csvText(records)));
    }

    // Every row goes in under its number as the file holds it, a NULL as the empty
    // text; the old file is not changed, and a second import changes nothing.
    void everyRowIsStoredAsItIs_data() { addStoresAndSources(); }

    void everyRowIsStoredAsItIs()
    {
        QFETCH(QString, store);
        QFETCH(QString, source);
        const QString location = freshStoreLocation(store, true);
        QVERIFY(!location.isEmpty());
        const QString old = source == u"access" ? m_access : m_csv;
        const QByteArray checksum = sha256Of(old);
        const Result first = cli({"--db", location, "import", old});
        QCOMPARE(first.err, QStringList());
        QCOMPARE(first.out, QStringList {imported(3000, 0, 0, 0)});
        QCOMPARE(first.status, 0);
        TestStore t(location);
        QVERIFY(allRows(*t) == m_rows);

        const Result again = cli({"--db", location, "import", old});
        QCOMPARE(again.out, QStringList {imported(0, 3000, 0, 0)});
        QCOMPARE(again.status, 0);
        QVERIFY(allRows(*t) == m_rows);
        QCOMPARE(sha256Of(old), checksum);
    }

    // The imported selections are the program's own: listed, opened into a window that
    // shows what was stored, printed on the selection sheet.
    void importedSelectionsAreListedOpenedAndPrinted_data() { addStoreKinds(); }

    void importedSelectionsAreListedOpenedAndPrinted()
    {
        QFETCH(QString, store);
        const QString location = freshStoreLocation(store, true);
        QVERIFY(!location.isEmpty());
        QCOMPARE(cli({"--db", location, "import", m_access}).status, 0);

        const QList<QJsonObject> events
            = runScript(location, "list\nopen " + numberOf(0).toLatin1() + "\nshow\n", path("."));
        std::vector<StoredRow> listed;
        QMap<QString, QString> shown;
        for (const QJsonObject& e : events) {
            if (e[u"event"].toString() == u"row")
                listed.push_back(e[u"values"].toVariant().toStringList());
            if (e[u"event"].toString() == u"field")
                shown.insert(e[u"name"].toString(), e[u"text"].toString());
        }
        std::reverse(listed.begin(), listed.end()); // the list is newest first
        QVERIFY(listed == m_rows);
        int compared = 0;
        for (Field f : allFields()) {
            if (const int column = columnOf(f); column >= 0) {
                QCOMPARE(shown.value(fieldName(f)), m_rows[0][column]);
                ++compared;
            }
        }
        QVERIFY(compared > 30);

        const QString pdf = path(QStringLiteral("sheet-%1.pdf").arg(store));
        QCOMPARE(QProcess::execute(
                     QStringLiteral(FLOWSEL_BIN_DIR "/flowsel-cli"), {"--db", location, "sheet", numberOf(2), pdf}),
            0);
        const QString code = m_rows[2][columnOf(Derived::ModelCode)];
        QVERIFY(!code.isEmpty());
        QVERIFY2(toolOutput(QStringLiteral("pdftotext"), {pdf, "-"}).contains(code), qPrintable(code));
    }

    // A number the store holds with other values is a conflict and keeps them; a row
    // no store can keep, or this store cannot, fails; each is told by its number, and
    // the rest go in.
    void conflictsAndFailuresAreToldByNumber_data() { addStoresAndSources(); }

    void conflictsAndFailuresAreToldByNumber()
    {
        QFETCH(QString, store);
        QFETCH(QString, source);
        const QString location = freshStoreLocation(store, true);
        QVERIFY(!location.isEmpty());
        StoredRow other = m_rows[0];
        other[columnOf(Field::Medium)] = QStringLiteral("空气或氮气或惰性气体");
        TestStore t(location);
        QVERIFY(t->insertUnlessStored({other, m_rows[1]}).ok()); // 0 with other values, 1 as the file has it

        StoredRow tenDigits = m_rows[3];
        tenDigits[0] = QStringLiteral("2019000003");
        StoredRow withNul = m_rows[4];
        withNul[columnOf(Field::Medium)] = QStringLiteral("城市") + QChar(u'\0') + QStringLiteral("天然气");
        std::vector<QStringList> records {oldTableColumns(), m_rows[0], m_rows[1], m_rows[2], tenDigits, withNul};
        QStringList expected {QStringLiteral("{\"event\":\"conflict\",\"SelectionNo\":\"%1\"}").arg(numberOf(0)),
            QStringLiteral(
                "{\"event\":\"failed\",\"SelectionNo\":\"2019000003\",\"reason\":\"选型编号不是11位数字\"}")};
        // Access's Text columns hold no more than 255 characters; its export may
        if (source == u"csv") {
            StoredRow overLong = m_rows[5];
            overLong[columnOf(Field::Medium)] = QString(256, u'气');
            records.push_back(overLong);
        }
        const bool server = store == u"postgresql";
        if (server)
            expected << QStringLiteral("{\"event\":\"failed\",\"SelectionNo\":\"%1\","
                                       "\"reason\":\"使用介质 含有NUL字符，PostgreSQL 不能保存\"}")
                            .arg(numberOf(4));
        if (source == u"csv")
            expected << QStringLiteral("{\"event\":\"failed\",\"SelectionNo\":\"%1\","
                                       "\"reason\":\"使用介质 超过255个字符（256个）\"}")
                            .arg(numberOf(5));
        const int failed = int(expected.size()) - 1; // all told but the conflict
        expected << imported(server ? 1 : 2, 1, 1, failed);
        const Result r = cli({"--db", location, "import", oldFile(source, QStringLiteral("mixed"), records)});
        QCOMPARE(r.out, expected);
        QCOMPARE(r.status, 1);

        std::vector<StoredRow> kept {other, m_rows[1], m_rows[2]};
        if (!server)
            kept.push_back(withNul);
        QVERIFY(allRows(*t) == kept);
    }

    // A number the file holds twice is stored once: the same row again is passed over,
    // another row under it is a conflict. Into an empty team store, which takes the
    // rows as one copy, what is told comes at the end, in the file's order too.
    void numbersTwiceInTheFile_data() { addStoreKinds(); }

    void numbersTwiceInTheFile()
    {
        QFETCH(QString, store);
        const QString location = freshStoreLocation(store, true);
        QVERIFY(!location.isEmpty());
        StoredRow withNul = m_rows[1];
        withNul[columnOf(Field::Medium)] = QStringLiteral("城市") + QChar(u'\0') + QStringLiteral("天然气");
        StoredRow tenDigits = m_rows[2];
        tenDigits[0] = QStringLiteral("2019000002");
        StoredRow otherValues = m_rows[3];
        otherValues[columnOf(Field::Medium)] = QStringLiteral("煤层气");
        const bool server = store == u"postgresql";
        QStringList expected;
        if (server)
            expected << QStringLiteral("{\"event\":\"failed\",\"SelectionNo\":\"%1\","
                                       "\"reason\":\"使用介质 含有NUL字符，PostgreSQL 不能保存\"}")
                            .arg(numberOf(1));
        expected << QStringLiteral(
            "{\"event\":\"failed\",\"SelectionNo\":\"2019000002\",\"reason\":\"选型编号不是11位数字\"}")
                 << QStringLiteral("{\"event\":\"conflict\",\"SelectionNo\":\"%1\"}").arg(numberOf(3))
                 << imported(server ? 2 : 3, 1, 1, server ? 2 : 1);
        const Result r = cli({"--db", location, "import",
            oldFile(QStringLiteral("access"), QStringLiteral("twice"),
                {oldTableColumns(), m_rows[0], withNul, tenDigits, m_rows[0], m_rows[3], otherValues})});
        QCOMPARE(r.out, expected);
        QCOMPARE(r.status, 1);
        TestStore t(location);
        QVERIFY(allRows(*t)
            == (server ? std::vector<StoredRow> {m_rows[0], m_rows[3]}
                       : std::vector<StoredRow> {m_rows[0], withNul, m_rows[3]}));
    }

    // Why the import refuses a row, whatever the store.
    void rowsNoStoreKeeps_data()
    {
        QTest::addColumn<int>("column");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("reason"); // empty: the row can be stored
        const auto text = [](std::initializer_list<char16_t> units) {
            return QString(reinterpret_cast<const QChar*>(units.begin()), qsizetype(units.size()));
        };
        QTest::newRow("eleven digits") << 0 << "20191231001"
                                       << "";
        QTest::newRow("ten digits") << 0 << "2019123100"
                                    << "选型编号不是11位数字";
        QTest::newRow("twelve digits") << 0 << "201912310011"
                                       << "选型编号不是11位数字";
        QTest::newRow("not digits") << 0 << "2019123100A"
                                    << "选型编号不是11位数字";
        QTest::newRow("no number") << 0 << ""
                                   << "选型编号不是11位数字";
        QTest::newRow("255 characters") << 2 << QString(255, u'气') << "";
        QTest::newRow("256 characters") << 2 << QString(256, u'气') << "使用介质 超过255个字符（256个）";
        QTest::newRow("a surrogate pair") << 2 << text({u'A', 0xd83d, 0xde00}) << "";
        QTest::newRow("a high surrogate alone")
            << 2 << text({u'A', 0xd83d, u'B'}) << "使用介质 含有无效的文字（不成对的代理项 U+D83D）";
        QTest::newRow("a low surrogate alone")
            << 44 << text({0xde00}) << "温度最大误差 含有无效的文字（不成对的代理项 U+DE00）";
        QTest::newRow("tab and line ends") << 12 << "a\tb\r\nc\rd\ne"
                                           << "";
        QTest::newRow("a control character") << 12 << "a\x01"
                                             << "参比条件 含有控制字符 U+0001";
        QTest::newRow("DEL") << 12 << "a\x7f"
                             << "参比条件 含有控制字符 U+007F";
        QTest::newRow("NUL, the store's to judge") << 12 << text({u'a', 0}) << "";
    }

    void rowsNoStoreKeeps()
    {
        QFETCH(int, column);
        QFETCH(QString, value);
        QFETCH(QString, reason);
        StoredRow row = m_rows[0];
        row[column] = value;
        QCOMPARE(SelectionImport::rowProblem(row).value_or(QString()), reason);
    }

    // Spreadsheets on Chinese systems save CSV in GB18030: read as it is.
    void exportInGb18030ReadsAsInUtf8()
    {
        const QString location = freshStoreLocation(QStringLiteral("sqlite"), true);
        const QString gb = path(QStringLiteral("gb18030.csv"));
        QStringEncoder encode("GB18030");
        QVERIFY(writeBytes(gb, encode(QString::fromUtf8(fileBytes(m_csv)))));
        QVERIFY(fileBytes(gb) != fileBytes(m_csv));
        QCOMPARE(cli({"--db", location, "import", gb}).out, QStringList {imported(3000, 0, 0, 0)});
        TestStore t(location);
        QVERIFY(allRows(*t) == m_rows);
    }

    // Columns beyond the table's are named once and passed over.
    void extraColumnsAreNamedOnce_data()
    {
        QTest::addColumn<QString>("source");
        QTest::newRow("access") << "access";
        QTest::newRow("csv") << "csv";
    }

    void extraColumnsAreNamedOnce()
    {
        QFETCH(QString, source);
        std::vector<QStringList> records {QStringList {"录入人"} + oldTableColumns() + QStringList {"备注"}};
        for (int i = 0; i < 3; ++i)
            records.push_back(QStringList {"张工"} + m_rows[size_t(i)] + QStringList {"老客户"});
        const QString old = oldFile(source, QStringLiteral("extra"), records);
        const QString location = freshStoreLocation(QStringLiteral("sqlite"), true);
        const Result r = cli({"--db", location, "import", old});
        QCOMPARE(r.err, QStringList {old + QStringLiteral(" 中这些列不属于选型输出表，未导入：录入人、备注")});
        QCOMPARE(r.out, QStringList {imported(3, 0, 0, 0)});
        QCOMPARE(r.status, 0);
        TestStore t(location);
        QVERIFY(allRows(*t) == (std::vector<StoredRow>(m_rows.begin(), m_rows.begin() + 3)));
    }

    // An old file that cannot be read, or not as the old table, stores nothing: its
    // reason on standard error, exit status 2, the store as it was.
    void unreadableFilesStoreNothing_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("reason");
        QStringList names = oldTableColumns();
        names.removeAt(columnOf(Derived::TempMaxError));
        std::vector<QStringList> short45 {names};
        std::vector<QStringList> good {oldTableColumns()};
        for (size_t i = 0; i < 300; ++i) {
            good.push_back(m_rows[i]);
            short45.push_back(m_rows[i].mid(0, 44));
        }
        const QString goodFile = oldFile(QStringLiteral("access"), QStringLiteral("good"), good);
        const QString otherTable = path(QStringLiteral("other.mdb"));
        QVERIFY(makeAccessFile(otherTable, good, {QStringLiteral("--table"), QStringLiteral("选型记录")}));
        const QString missing = QStringLiteral("缺少选型输出表的列：温度最大误差");
        QTest::newRow("a column missing")
            << fileBytes(oldFile(QStringLiteral("access"), QStringLiteral("short"), short45)) << "old.mdb" << missing;
        QTest::newRow("a column missing from the export") << csvText(short45) << "old.csv"
                                                          << "第1行" + missing;
        QTest::newRow("no table 选型输出") << fileBytes(otherTable) << "old.mdb"
                                           << "文件中没有表“选型输出”";
        QTest::newRow("neither Access nor CSV") << QByteArray("\x00\x01\x02\xff\xfe\x80", 6) << "old.dat"
                                                << "既不是Access数据库文件，也不是CSV文件（UTF-8或GB18030的文字）";
        for (const DamagedFile& d : damagedAccessFiles(fileBytes(goodFile), OldSelections::tableName()))
            QTest::newRow(qPrintable(d.name)) << d.bytes << "old.mdb" << d.reason;
    }

    void unreadableFilesStoreNothing()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, name);
        QFETCH(QString, reason);
        const QString old = path(name);
        QVERIFY(writeBytes(old, bytes));
        const QString location = freshStoreLocation(QStringLiteral("sqlite"), true);
        const Result r = cli({"--db", location, "import", old});
        QCOMPARE(r.out, QStringList());
        QCOMPARE(r.err.size(), 1);
        QVERIFY2(
            r.err.front().startsWith(QStringLiteral("无法读取旧版数据库 %1：").arg(old)), qPrintable(r.err.front()));
        QVERIFY2(r.err.front().contains(reason), qPrintable(r.err.front()));
        QCOMPARE(r.status, 2);
        TestStore t(location);
        QVERIFY(allRows(*t).empty());
    }

    // A store that cannot be opened is exit status 2 too, nothing read into it.
    void storeThatCannotBeOpened()
    {
        const Result r = cli({"--db", "postgresql://flowsel@:1/none?host=/nonexistent", "import", m_csv});
        QCOMPARE(r.status, 2);
        QCOMPARE(r.out, QStringList());
        QVERIFY(!r.err.isEmpty());
        QCOMPARE(cli({"import"}).status, 2);
    }

    // A file that Access itself wrote, from a Debian package fetched now (the tests keep
    // no file of another program): read, and refused for want of the old table.
    void fileMadeByAccessIsRefusedByItsTable()
    {
        QTemporaryDir folder;
        QProcess apt;
        apt.setWorkingDirectory(folder.path());
        apt.start(QStringLiteral("apt-get"), {"download", "mrtg-contrib"});
        const bool downloaded = apt.waitForFinished(300000) && apt.exitCode() == 0;
        QVERIFY2(downloaded,
            qPrintable(QStringLiteral("apt-get download mrtg-contrib failed, so the file Access made "
                                      "(examples/contrib/monitor/Monitor.mdb of Debian's mrtg-contrib) is not at "
                                      "hand: %1")
                           .arg(QString::fromLocal8Bit(apt.readAllStandardError()))));
        const QStringList packages = QDir(folder.path()).entryList({"mrtg-contrib_*.deb"});
        QCOMPARE(packages.size(), 1);
        QCOMPARE(
            QProcess::execute(QStringLiteral("dpkg-deb"), {"-x", folder.filePath(packages.front()), folder.path()}), 0);
        const QString monitor
            = folder.filePath(QStringLiteral("usr/share/doc/mrtg-contrib/examples/contrib/monitor/Monitor.mdb"));
        QVERIFY(QFile::exists(monitor));
        const QByteArray checksum = sha256Of(monitor);
        const QString location = freshStoreLocation(QStringLiteral("sqlite"), true);
        const Result r = cli({"--db", location, "import", monitor});
        QCOMPARE(r.err, QStringList {QStringLiteral("无法读取旧版数据库 %1：文件中没有表“选型输出”").arg(monitor)});
        QCOMPARE(r.status, 2);
        QCOMPARE(sha256Of(monitor), checksum);
    }
};

QTEST_GUILESS_MAIN(TestImport)
#include "tst_import.moc"
