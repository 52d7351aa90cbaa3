#include "adapters/postgresql/postgres_location.h"
#include "adapters/sql/statements.h"
#include "support/project_rows.h"
#include "support/test_store.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>

#include <atomic>
#include <thread>

// The projects beside the stored selections, on both stores: their lines, the
// numbering, the search, programs adding lines at once, copying, older stores
// gaining the tables and malformed tables refused.
namespace {

QString storeKind()
{
    QFETCH_GLOBAL(QString, store);
    return store;
}

const QString kDay = QStringLiteral("20261210");
const QString kFirst = QStringLiteral("20261210001");
const QString kSecond = QStringLiteral("20261210002");

StoredRow selectionRow(const QString& number, const QString& code = QStringLiteral("QLT-100"))
{
    return projectSelectionRow(number, code);
}

// A statement of the test's own on a store's connection; false (and the failure
// reported) when the engine refuses it.
bool exec(const QSqlDatabase& db, const QString& sql)
{
    QSqlQuery q(db);
    if (q.exec(sql))
        return true;
    qWarning("%s: %s", qPrintable(sql), qPrintable(q.lastError().text()));
    return false;
}

// A raw connection to a store's location, past the program's checks, for tables
// made by hand.
class RawConnection {
public:
    explicit RawConnection(const QString& location)
        : m_name(QStringLiteral("raw-%1").arg(++s_made))
    {
        if (PostgresLocation::isUri(location)) {
            QString error;
            const std::optional<PostgresLocation> where = PostgresLocation::parse(location, &error);
            m_db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), m_name);
            m_db.setHostName(where->host);
            m_db.setPort(where->port);
            m_db.setDatabaseName(where->database);
            m_db.setUserName(where->user);
            m_db.setPassword(where->password);
            m_db.setConnectOptions(QStringLiteral("options='-c client_min_messages=warning'"));
        } else {
            m_db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_name);
            m_db.setDatabaseName(location);
        }
        m_db.open();
    }
    ~RawConnection()
    {
        m_db.close();
        m_db = QSqlDatabase();
        QSqlDatabase::removeDatabase(m_name);
    }
    const QSqlDatabase& db() const { return m_db; }

private:
    static inline int s_made = 0;
    QString m_name;
    QSqlDatabase m_db;
};

// An empty store of the global kind that other connections can reach: a file, or a
// database on the test server; nothing made in it.
QString emptyLocation()
{
    if (storeKind() == u"postgresql")
        return freshPostgresDatabase();
    static QTemporaryDir dir;
    static int made = 0;
    return dir.filePath(QStringLiteral("empty-%1.mdb").arg(++made));
}

// A store as an older program left it: only the table of stored selections, with
// one row.
QString olderStore()
{
    const QString location = emptyLocation();
    RawConnection raw(location);
    if (!exec(raw.db(), statements::createTable().sql))
        return QString();
    QSqlQuery q(raw.db());
    const Statement insert = statements::insert(selectionRow(kFirst));
    q.prepare(insert.sql);
    for (const QVariant& v : insert.values)
        q.addBindValue(v);
    return q.exec() ? location : QString();
}

struct Store : TestStore {
    explicit Store(const QString& location = freshStoreLocation(storeKind(), true))
        : TestStore(location)
        , location(location)
    {
    }
    ProjectStore& projects() { return *projectsOf(*store); }
    QString newProject(const QString& name = QStringLiteral("城东门站"), const QString& day = kDay)
    {
        const StoreResult<QString> made
            = projects().createProject({{}, name, QStringLiteral("燃气公司"), {}, {}, {}}, day);
        return made.ok() ? made.value() : QStringLiteral("failed: ") + made.error().message;
    }
    // The lines as "tag number quantity", deleted ones marked "deleted".
    QStringList lines(const QString& projectNo)
    {
        const auto read = projects().projectLines(projectNo);
        if (!read.ok())
            return {QStringLiteral("failed: ") + read.error().message};
        QStringList out;
        for (const ProjectLine& l : read.value())
            out << QStringLiteral("%1 %2 %3%4")
                       .arg(l.tag, l.selectionNo)
                       .arg(l.quantity)
                       .arg(l.deleted() ? " deleted" : "");
        return out;
    }
    QString location;
};

QString outcomeName(const StoreResult<LineAdded>& r)
{
    if (!r.ok())
        return QStringLiteral("failed: ") + r.error().message;
    switch (r.value()) {
    case LineAdded::Added: return QStringLiteral("added");
    case LineAdded::TagTaken: return QStringLiteral("tag-taken");
    case LineAdded::NoSuchSelection: return QStringLiteral("no-selection");
    case LineAdded::NoSuchProject: return QStringLiteral("no-project");
    }
    return QString();
}

} // namespace

class TestProjectStore final : public QObject {
    Q_OBJECT

private slots:
    void initTestCase_data() { addStoreKinds(); }

    // Each case: steps on a project P (a second project Q, and the selections
    // 20261210001 and 20261210002 stored), each step's outcome, then P's lines.
    //   add TAG NO QTY | rename TAG NEWTAG QTY | remove TAG | delete NO | add-to-unknown TAG NO
    void lineCases_data()
    {
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<QStringList>("outcomes");
        QTest::addColumn<QStringList>("lines");
        QTest::newRow("lines in tag order")
            << QStringList {"add FT-102 20261210002 1", "add FT-101 20261210001 3"} << QStringList {"added", "added"}
            << QStringList {"FT-101 20261210001 3", "FT-102 20261210002 1"};
        QTest::newRow("a tag the project holds is refused")
            << QStringList {"add FT-101 20261210001 1", "add FT-101 20261210002 2"}
            << QStringList {"added", "tag-taken"} << QStringList {"FT-101 20261210001 1"};
        QTest::newRow("one selection under two tags")
            << QStringList {"add A 20261210001 1", "add B 20261210001 2"} << QStringList {"added", "added"}
            << QStringList {"A 20261210001 1", "B 20261210001 2"};
        QTest::newRow("a number the store does not hold is refused")
            << QStringList {"add FT-101 20261210099 1"} << QStringList {"no-selection"} << QStringList {};
        QTest::newRow("a project that does not exist is refused")
            << QStringList {"add-to-unknown FT-101 20261210001"} << QStringList {"no-project"} << QStringList {};
        QTest::newRow("remove a line, then a line that is not there")
            << QStringList {"add A 20261210001 1", "add B 20261210002 1", "remove A", "remove A"}
            << QStringList {"added", "added", "true", "false"} << QStringList {"B 20261210002 1"};
        QTest::newRow("new tag and quantity in place")
            << QStringList {"add A 20261210001 1", "rename A C 4"} << QStringList {"added", "added"}
            << QStringList {"C 20261210001 4"};
        QTest::newRow("a new tag another line holds is refused")
            << QStringList {"add A 20261210001 1", "add B 20261210002 1", "rename A B 1"}
            << QStringList {"added", "added", "tag-taken"} << QStringList {"A 20261210001 1", "B 20261210002 1"};
        QTest::newRow("a deleted selection leaves its line marked")
            << QStringList {"add A 20261210001 1", "add B 20261210002 2", "delete 20261210001"}
            << QStringList {"added", "added", "true"} << QStringList {"A 20261210001 1 deleted", "B 20261210002 2"};
        QTest::newRow("tags as typed: quotes, wildcards, blanks, Chinese")
            << QStringList {"add 进口'1\" 20261210001 1", "add %_\\ 20261210002 1"} << QStringList {"added", "added"}
            << QStringList {"%_\\ 20261210002 1", "进口'1\" 20261210001 1"};
    }

    void lineCases()
    {
        QFETCH(QStringList, steps);
        QFETCH(QStringList, outcomes);
        QFETCH(QStringList, lines);
        Store db;
        QVERIFY2(db.opened, qPrintable(db.error));
        QVERIFY(db->hasProjects());
        QVERIFY(db->insert(selectionRow(kFirst)).ok());
        QVERIFY(db->insert(selectionRow(kSecond)).ok());
        const QString p = db.newProject();
        const QString q = db.newProject(QStringLiteral("另一项目"));
        QVERIFY(db.projects().addLine(q, {QStringLiteral("A"), kFirst, 9, {}, {}}).ok());
        QStringList got;
        for (const QString& step : steps) {
            const QStringList w = step.split(u' ');
            if (w[0] == u"add")
                got << outcomeName(db.projects().addLine(p, {w[1], w[2], w[3].toInt(), {}, {}}));
            else if (w[0] == u"add-to-unknown")
                got << outcomeName(db.projects().addLine(QStringLiteral("XM20991231001"), {w[1], w[2], 1, {}, {}}));
            else if (w[0] == u"rename")
                got << outcomeName(db.projects().updateLine(p, w[1], w[2], w[3].toInt()));
            else if (w[0] == u"remove")
                got << (db.projects().removeLine(p, w[1]).value() ? "true" : "false");
            else if (w[0] == u"delete")
                got << (db->remove(w[1]).value() ? "true" : "false");
        }
        QCOMPARE(got, outcomes);
        QCOMPARE(db.lines(p), lines);
        // the other project's line is its own
        QCOMPARE(db.lines(q).size(), 1);
        QCOMPARE(db.lines(q).front().section(u' ', 0, 0), QStringLiteral("A"));
    }

    void lineCarriesItsSelection()
    {
        Store db;
        QVERIFY(db->insert(selectionRow(kFirst, QStringLiteral("LWQZ-80"))).ok());
        const QString p = db.newProject();
        QVERIFY(db.projects().addLine(p, {QStringLiteral("FT-1"), kFirst, 2, QStringLiteral("备用"), {}}).ok());
        const auto lines = db.projects().projectLines(p);
        QVERIFY(lines.ok());
        QCOMPARE(lines.value().size(), size_t(1));
        QVERIFY(lines.value().front().selection);
        QCOMPARE(*lines.value().front().selection, selectionRow(kFirst, QStringLiteral("LWQZ-80")));
        QCOMPARE(lines.value().front().note, QStringLiteral("备用"));
        QCOMPARE(db.projects().projectsUsing(kFirst).value(), QStringList {p});
        QCOMPARE(db.projects().projectsUsing(kSecond).value(), QStringList {});
    }

    void numbersByDayNewestFirst()
    {
        Store db;
        QCOMPARE(db.newProject(QStringLiteral("甲")), QStringLiteral("XM20261210001"));
        QCOMPARE(db.newProject(QStringLiteral("乙")), QStringLiteral("XM20261210002"));
        QCOMPARE(db.newProject(QStringLiteral("丙"), QStringLiteral("20261211")), QStringLiteral("XM20261211001"));
        const auto all = db.projects().listProjects();
        QVERIFY(all.ok());
        QStringList names;
        for (const Project& p : all.value())
            names << p.name;
        QCOMPARE(names, (QStringList {"丙", "乙", "甲"}));
        const std::optional<Project> fetched = db.projects().fetchProject(QStringLiteral("XM20261210002")).value();
        QVERIFY(fetched);
        QCOMPARE(fetched->customer, QStringLiteral("燃气公司"));
        QVERIFY(!db.projects().fetchProject(QStringLiteral("XM20261210009")).value());
    }

    void searchFindsByNumberNameCustomerSite_data()
    {
        QTest::addColumn<QString>("search");
        QTest::addColumn<QStringList>("found");
        QTest::newRow("empty") << "" << QStringList {"XM20261210003", "XM20261210002", "XM20261210001"};
        QTest::newRow("name") << "门站" << QStringList {"XM20261210001"};
        QTest::newRow("customer, without case") << "corvane" << QStringList {"XM20261210002"};
        QTest::newRow("site") << "开发区" << QStringList {"XM20261210003"};
        QTest::newRow("number") << "0002" << QStringList {"XM20261210002"};
        QTest::newRow("wildcards stand for themselves") << "%" << QStringList {"XM20261210003"};
    }

    void searchFindsByNumberNameCustomerSite()
    {
        QFETCH(QString, search);
        QFETCH(QStringList, found);
        Store db;
        db.projects().createProject({{}, QStringLiteral("城东门站"), {}, {}, {}, {}}, kDay);
        db.projects().createProject({{}, QStringLiteral("乙"), QStringLiteral("CORVANE燃气"), {}, {}, {}}, kDay);
        db.projects().createProject({{}, QStringLiteral("丙"), {}, QStringLiteral("开发区 100%"), {}, {}}, kDay);
        const auto listed = db.projects().listProjects(search);
        QVERIFY(listed.ok());
        QStringList got;
        for (const Project& p : listed.value())
            got << p.number;
        QCOMPARE(got, found);
    }

    // Eight programs (connections of their own) add ten lines each to one project at
    // once, and all try one tag more: every line is stored, the shared tag once, and
    // every other program is told that it is taken, none fails.
    void eightAddersAtOnce()
    {
        constexpr int kPrograms = 8;
        constexpr int kLinesEach = 10;
        Store db;
        QVERIFY2(db.opened, qPrintable(db.error));
        QVERIFY(db->insert(selectionRow(kFirst)).ok());
        const QString p = db.newProject();
        std::atomic<int> added {0};
        std::atomic<int> taken {0};
        std::vector<QStringList> failures(kPrograms);
        std::vector<std::thread> programs;
        for (int i = 0; i < kPrograms; ++i) {
            programs.emplace_back([&, i] {
                TestStore own(db.location);
                if (!own.opened) {
                    failures[i] << own.error;
                    return;
                }
                ProjectStore& projects = *projectsOf(*own.store);
                for (int k = 0; k <= kLinesEach; ++k) {
                    const QString tag
                        = k == kLinesEach ? QStringLiteral("共用") : QStringLiteral("FT-%1-%2").arg(i).arg(k);
                    const StoreResult<LineAdded> r = projects.addLine(p, {tag, kFirst, 1, {}, {}});
                    if (!r.ok())
                        failures[i] << r.error().message;
                    else if (r.value() == LineAdded::Added)
                        ++added;
                    else if (r.value() == LineAdded::TagTaken)
                        ++taken;
                }
            });
        }
        for (std::thread& t : programs)
            t.join();
        for (const QStringList& f : failures)
            QVERIFY2(f.isEmpty(), qPrintable(f.join(u'\n')));
        QCOMPARE(added.load(), kPrograms * kLinesEach + 1);
        QCOMPARE(taken.load(), kPrograms - 1);
        QCOMPARE(db.lines(p).size(), kPrograms * kLinesEach + 1);
    }

    void copyIntoAnotherStoreSkipsWhatItHolds()
    {
        Store from;
        Store to;
        QVERIFY(from->insert(selectionRow(kFirst)).ok());
        const QString p = from.newProject();
        QVERIFY(from.projects().addLine(p, {QStringLiteral("A"), kFirst, 2, {}, {}}).ok());
        QVERIFY(from.projects().addLine(p, {QStringLiteral("B"), kFirst, 1, {}, {}}).ok());
        // the target holds the project under its number already, with a line of its own on tag A
        QVERIFY(to->insert(selectionRow(kFirst)).ok());
        QCOMPARE(to.newProject(QStringLiteral("目标自己的")), p);
        QVERIFY(to.projects().addLine(p, {QStringLiteral("A"), kFirst, 7, {}, {}}).ok());
        const QString own = to.newProject();
        const auto outcome = to.projects().insertProjectsUnlessStored(
            from.projects().allProjects().value(), from.projects().allLines().value());
        QVERIFY(outcome.ok());
        QCOMPARE(outcome.value().projects, 0);
        QCOMPARE(outcome.value().projectsSkipped, 1);
        QCOMPARE(outcome.value().lines, 1);
        QCOMPARE(outcome.value().linesSkipped, 1);
        QCOMPARE(to.projects().fetchProject(p).value()->name, QStringLiteral("目标自己的"));
        QCOMPARE(to.lines(p), (QStringList {"A 20261210001 7", "B 20261210001 1"}));
        QVERIFY(to.projects().fetchProject(own).value());
    }

    // A store that holds only the table of stored selections gains the project
    // tables when a program that may write opens it; its rows are not touched.
    void olderStoreGainsTheTables()
    {
        const QString location = olderStore();
        QVERIFY(!location.isEmpty());
        Store db(location);
        QVERIFY2(db.opened, qPrintable(db.error));
        QVERIFY(db->hasProjects());
        QCOMPARE(db->fetch(kFirst).value(), std::optional<StoredRow>(selectionRow(kFirst)));
        QCOMPARE(db.newProject(), QStringLiteral("XM20261210001"));
        QVERIFY(db.projects().addLine(QStringLiteral("XM20261210001"), {QStringLiteral("A"), kFirst, 1, {}, {}}).ok());
        QCOMPARE(db.lines(QStringLiteral("XM20261210001")), QStringList {"A 20261210001 1"});
    }

    // A read-only file of an older program keeps working without them.
    void readOnlyOlderFileWorksWithoutThem()
    {
        if (storeKind() != u"sqlite")
            return; // only a file is opened read-only
        const QString location = olderStore();
        QVERIFY(QFile::setPermissions(location, QFileDevice::ReadOwner | QFileDevice::ReadGroup));
        Store db(location);
        QVERIFY2(db.opened, qPrintable(db.error));
        QVERIFY(!db->hasProjects());
        QVERIFY(db->fetch(kFirst).value());
        QCOMPARE(db.projects().listProjects().value().size(), size_t(0));
        QVERIFY(db.projects().projectLines(QStringLiteral("XM20261210001")).value().empty());
        const StoreResult<QString> made = db.projects().createProject({{}, QStringLiteral("甲"), {}, {}, {}, {}}, kDay);
        QVERIFY(!made.ok());
        QVERIFY2(made.error().message.contains(QStringLiteral("只读")), qPrintable(made.error().message));
        db.store.reset();
        RawConnection raw(location);
        QSqlQuery q(raw.db());
        QVERIFY(q.exec(QStringLiteral("select count(*) from sqlite_master where name = '选型项目'")) && q.next());
        QCOMPARE(q.value(0).toInt(), 0);
    }

    void malformedTablesRefused_data()
    {
        QTest::addColumn<QString>("create");
        QTest::addColumn<QString>("reason");
        QTest::newRow("a column missing")
            << "create table 选型项目 (项目编号 text primary key, 项目名称 text, 客户 text, 现场 text, 日期 text)"
            << "选型项目表的结构与本程序不符（有5列，应为6列）";
        QTest::newRow("a column renamed") << "create table 选型项目 (项目编号 text primary key, 名称 text, 客户 text, "
                                             "现场 text, 日期 text, 备注 text)"
                                          << "第2列为“名称”，应为“项目名称”";
        QTest::newRow("quantity as text")
            << "create table 项目测点 (项目编号 text, 位号 text, 选型编号 text, 数量 text, 备注 text, "
               "primary key (项目编号, 位号))"
            << "“数量”列为";
        QTest::newRow("tag not in the key")
            << "create table 项目测点 (项目编号 text primary key, 位号 text, 选型编号 text, 数量 integer, 备注 text)"
            << "主键应为“项目编号”“位号”";
    }

    void malformedTablesRefused()
    {
        QFETCH(QString, create);
        QFETCH(QString, reason);
        const QString location = olderStore();
        QVERIFY(!location.isEmpty());
        {
            RawConnection raw(location);
            QVERIFY(exec(raw.db(), create));
        }
        Store db(location);
        QVERIFY(!db.opened);
        QVERIFY2(db.error.contains(reason), qPrintable(db.error));
        QString error;
        QVERIFY(!prepareStore(location, &error));
        QVERIFY2(error.contains(reason), qPrintable(error));
        // and left as it was: the other project table is not made either
        RawConnection raw(location);
        QCOMPARE(raw.db().tables().size(), 2);
    }
};

QTEST_GUILESS_MAIN(TestProjectStore)
#include "tst_project_store.moc"
