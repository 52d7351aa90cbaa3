#include "adapters/sql/statements.h"
#include "support/test_store.h"

#include <QFile>
#include <QSqlQuery>
#include <QTest>

// The store port's cases, run against both stores as one table: the embedded SQLite
// file and a database on a real PostgreSQL server.
namespace {

QString storeKind()
{
    QFETCH_GLOBAL(QString, store);
    return store;
}

struct Store : TestStore {
    Store()
        : TestStore(freshStoreLocation(storeKind()))
    {
    }
    explicit Store(const QString& location)
        : TestStore(location)
    {
    }

    void insert(const QString& number, const QString& code = QStringLiteral("X"), const QString& medium = QString(),
        const QString& product = QString())
    {
        StoredRow r = row(number, code);
        r[2] = medium;
        r[21] = product;
        QVERIFY2(store->insert(r).ok(), qPrintable(number));
    }
    // The rows the search cases look for, those from `from` up to `to`.
    static constexpr int kSearchedRows = 8;
    void insertSearchedRows(int from = 0, int to = kSearchedRows)
    {
        const char* const city = "城市天然气或城市煤气";
        const char* const rows[kSearchedRows][4] = {
            {"20261210001", "VRNA-80B-0.5/1.6-1.0/1.5-KEV", city, "气体涡轮"},
            {"20261210002", "RKD-G16-CDAR-0.5/1.6", "氧气或氢气", "气体腰轮流量计"},
            {"20261210003", "VRNA-80B-0.5/1.6", city, "气体涡轮"},
            {"20261219001", "special 50% code", nullptr, nullptr},
            {"20261209001", "A_B", nullptr, nullptr},
            {"20261208001", "it's", nullptr, nullptr},
            {"20261208002", "say \"Q\"", nullptr, nullptr},
            {"20261208003", "C:\\dir", nullptr, nullptr},
        };
        const auto text = [](const char* t) { return t ? QString::fromUtf8(t) : QString(); };
        for (int i = from; i < to; ++i)
            insert(text(rows[i][0]), text(rows[i][1]), text(rows[i][2]), text(rows[i][3]));
    }
    // A count the store answers, or -1.
    int count(const QString& sql)
    {
        QSqlQuery q(connection());
        return q.exec(sql) && q.next() ? q.value(0).toInt() : -1;
    }
    // Every page of a query, `limit` rows at a time, each after the last of the one before.
    QStringList allPages(const QString& search, int limit)
    {
        QStringList out;
        ListQuery query {search, std::nullopt};
        for (;;) {
            const auto page = store->readPage(query, limit);
            if (!page.ok())
                return {QStringLiteral("failed: ") + page.error().message};
            out += numbers(page);
            if (static_cast<int>(page.value().size()) < limit)
                return out;
            query.after = page.value().back().front();
        }
    }
    static StoredRow row(const QString& number, const QString& code = QStringLiteral("X"))
    {
        StoredRow r(45);
        r[0] = number;
        r[1] = code;
        return r;
    }
    static QStringList numbers(const StoreResult<std::vector<StoredRow>>& page) { return numbers(page.value()); }
    static QStringList numbers(const std::vector<StoredRow>& rows)
    {
        QStringList out;
        for (const StoredRow& r : rows)
            out << r.front();
        return out;
    }
};

} // namespace

class TestStorePort final : public QObject {
    Q_OBJECT

private slots:
    void initTestCase_data() { addStoreKinds(); }

    void pagesNewestFirst()
    {
        Store db;
        QVERIFY2(db.opened, qPrintable(db.error));
        db.insert(QStringLiteral("20261210002"));
        db.insert(QStringLiteral("20261209005"));
        db.insert(QStringLiteral("20261210010"));
        const auto all = db->readPage({}, 10);
        QVERIFY(all.ok());
        QCOMPARE(Store::numbers(all), (QStringList {"20261210010", "20261210002", "20261209005"}));
        QCOMPARE(all.value().front().size(), 45);
        QCOMPARE(all.value()[1][1], QStringLiteral("X"));
        // a page starts after the last number of the page before, also one no longer stored
        QCOMPARE(
            Store::numbers(db->readPage({QString(), QStringLiteral("20261210010")}, 1)), QStringList {"20261210002"});
        QCOMPARE(Store::numbers(db->readPage({QString(), QStringLiteral("20261209005")}, 10)), QStringList());
        QCOMPARE(Store::numbers(db->readPage({QString(), QStringLiteral("20261210005")}, 10)),
            (QStringList {"20261210002", "20261209005"}));
        for (int limit : {1, 2, 3})
            QCOMPARE(db.allPages(QString(), limit), (QStringList {"20261210010", "20261210002", "20261209005"}));
    }

    // A search finds a row by the start of its number, or anywhere in its model code,
    // medium or product name, letters without case; every character of the text
    // stands for itself.
    void searchFinds_data()
    {
        QTest::addColumn<QString>("search");
        QTest::addColumn<QStringList>("found");
        QTest::newRow("number prefix") << "2026121"
                                       << QStringList {"20261219001", "20261210003", "20261210002", "20261210001"};
        QTest::newRow("day") << "20261210" << QStringList {"20261210003", "20261210002", "20261210001"};
        QTest::newRow("whole number") << "20261210002" << QStringList {"20261210002"};
        QTest::newRow("inside a number: not found") << "1210002" << QStringList();
        QTest::newRow("code substring") << "80B" << QStringList {"20261210003", "20261210001"};
        QTest::newRow("code, other case") << "vrna-80b" << QStringList {"20261210003", "20261210001"};
        QTest::newRow("code, lower case") << "rkd" << QStringList {"20261210002"};
        QTest::newRow("digits in a code") << "1.6" << QStringList {"20261210003", "20261210002", "20261210001"};
        QTest::newRow("medium") << "氧气" << QStringList {"20261210002"};
        QTest::newRow("medium, whole") << "城市天然气或城市煤气" << QStringList {"20261210003", "20261210001"};
        QTest::newRow("product name") << "腰轮" << QStringList {"20261210002"};
        QTest::newRow("percent is a percent") << "50%" << QStringList {"20261219001"};
        QTest::newRow("percent alone") << "%" << QStringList {"20261219001"};
        QTest::newRow("underscore is an underscore") << "A_B" << QStringList {"20261209001"};
        QTest::newRow("underscore alone") << "_" << QStringList {"20261209001"};
        QTest::newRow("underscore does not stand for a character") << "VRNA_80B" << QStringList();
        QTest::newRow("single quote") << "it's" << QStringList {"20261208001"};
        QTest::newRow("double quote") << "\"Q\"" << QStringList {"20261208002"};
        QTest::newRow("backslash") << "C:\\" << QStringList {"20261208003"};
        QTest::newRow("backslash and percent") << "\\%" << QStringList();
        QTest::newRow("statement text") << "') or 1=1 --" << QStringList();
        QTest::newRow("nothing") << "nothing like this" << QStringList();
        QTest::newRow("empty: every row") << ""
                                          << QStringList {"20261219001", "20261210003", "20261210002", "20261210001",
                                                 "20261209001", "20261208003", "20261208002", "20261208001"};
    }

    void searchFinds()
    {
        QFETCH(QString, search);
        QFETCH(QStringList, found);
        Store db;
        QVERIFY2(db.opened, qPrintable(db.error));
        db.insertSearchedRows();
        // newest first, the same whatever the size of the pages
        QCOMPARE(db.allPages(search, 100), found);
        QCOMPARE(db.allPages(search, 1), found);
        QCOMPARE(db.allPages(search, 2), found);
        // and `holds` agrees with the pages, before and after a place in the list
        for (const QString& number : db.allPages(QString(), 100)) {
            QCOMPARE(db->holds({search, std::nullopt}, number).value(), found.contains(number));
            const bool older = number < QStringLiteral("20261210002");
            QCOMPARE(
                db->holds({search, QStringLiteral("20261210002")}, number).value(), found.contains(number) && older);
        }
        QVERIFY(!db->holds({search, std::nullopt}, QStringLiteral("20261210009")).value());
    }

    // A search read a slice of the key at a time finds the rows of its pages, in their
    // order, whatever the slices' and pages' sizes; each slice tells where the next
    // begins, and the last one that there is none.
    void searchInSlices_data() { searchFinds_data(); }

    void searchInSlices()
    {
        QFETCH(QString, search);
        QFETCH(QStringList, found);
        Store db;
        QVERIFY2(db.opened, qPrintable(db.error));
        db.insertSearchedRows();
        for (const auto& [limit, sliceRows] :
            {std::pair {1, 1}, std::pair {2, 3}, std::pair {100, 2}, std::pair {3, 100}}) {
            QStringList got;
            ListQuery query {search, std::nullopt};
            int slices = 0;
            for (;;) {
                const StoreResult<ScannedSlice> slice = db->scanSlice(query, limit, sliceRows);
                QVERIFY(slice.ok());
                QVERIFY(int(slice.value().rows.size()) <= limit);
                got += Store::numbers(slice.value().rows);
                QVERIFY(++slices <= Store::kSearchedRows + 1);
                if (!slice.value().next)
                    break;
                query.after = slice.value().next;
            }
            QCOMPARE(got, found);
        }
    }

    // The trigram index only narrows: every search finds the rows of the scan, in
    // its order, with the index (in the SQLite file some rows in it, the rows saved
    // since it was last opened waiting for it), in a store that has none (one made
    // before it, or a read-only file), and after the first program that may write
    // has added it.
    void searchWithAndWithoutTheIndex_data() { searchFinds_data(); }

    void searchWithAndWithoutTheIndex()
    {
        QFETCH(QString, search);
        QFETCH(QStringList, found);
        const bool sqlite = storeKind() == u"sqlite";
        const QString location = freshStoreLocation(storeKind(), true);
        const QStringList dropIndex = sqlite
            ? QStringList {QStringLiteral("drop table 选型输出检索"), QStringLiteral("drop trigger 选型输出检索_添加"),
                QStringLiteral("drop trigger 选型输出检索_删除"), QStringLiteral("drop trigger 选型输出检索_修改"),
                QStringLiteral("drop table 选型输出检索号"), QStringLiteral("drop table 选型输出检索待入")}
            : QStringList {QStringLiteral("drop index 选型输出检索"), QStringLiteral("drop index 选型输出编号前缀")};
        const int half = Store::kSearchedRows / 2;
        {
            Store db(location);
            QVERIFY2(db.opened, qPrintable(db.error));
            db.insertSearchedRows(0, half);
        }
        {
            Store db(location);
            QVERIFY2(db.opened, qPrintable(db.error));
            QCOMPARE(db->searchIndexed(), sqlite);
            // the server would scan eight rows anyway: make it take the index where it can
            QVERIFY(sqlite || QSqlQuery(db.connection()).exec(QStringLiteral("set enable_seqscan = off")));
            db.insertSearchedRows(half, Store::kSearchedRows);
            if (sqlite)
                QCOMPARE(
                    db.count(QStringLiteral("select count(*) from 选型输出检索待入")), Store::kSearchedRows - half);
            QCOMPARE(db.allPages(search, 2), found);
            for (const QString& sql : dropIndex)
                QVERIFY2(QSqlQuery(db.connection()).exec(sql), qPrintable(sql));
        }
        if (sqlite) {
            QFile::setPermissions(location, QFileDevice::ReadOwner | QFileDevice::ReadGroup);
            Store readOnly(location);
            QVERIFY2(readOnly.opened, qPrintable(readOnly.error));
            QVERIFY(!readOnly->searchIndexed());
            QCOMPARE(readOnly.allPages(search, 2), found);
            QFile::setPermissions(location, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
        }
        Store reopened(location);
        QVERIFY2(reopened.opened, qPrintable(reopened.error));
        QCOMPARE(reopened->searchIndexed(), sqlite);
        QSqlQuery added(reopened.connection());
        QVERIFY(
            added.exec(sqlite ? QStringLiteral("select count(*) from 选型输出检索 where 选型输出检索 match '\"vrna\"'")
                              : QStringLiteral("select count(*) from pg_indexes where indexname = '选型输出检索'")));
        QVERIFY(added.next());
        // filled from the rows stored before it
        QCOMPARE(added.value(0).toInt(), sqlite ? 2 : 1);
        added.finish();
        QCOMPARE(reopened.allPages(search, 2), found);
    }

    // A file whose index was made before rows waited for it (its triggers wrote every
    // save into it at once): a read-only file searches every row, and the first
    // program that may write rebuilds the index in its layout. The rows are found as
    // before; a new save waits and is found, a removed row leaves the index.
    void searchIndexMadeBeforeRowsWaited_data() { searchFinds_data(); }

    void searchIndexMadeBeforeRowsWaited()
    {
        QFETCH(QString, search);
        QFETCH(QStringList, found);
        if (storeKind() != u"sqlite")
            QSKIP("the SQLite file's own index");
        const QString location = freshStoreLocation(storeKind(), true);
        const int half = Store::kSearchedRows / 2;
        const QString added = QStringLiteral(
            "insert or replace into 选型输出检索号(选型编号) values (new.选型编号); "
            "insert into 选型输出检索(rowid, 仪表型号规格, 使用介质, 产品名称) values ((select id from 选型输出检索号 "
            "where 选型编号 = new.选型编号), new.仪表型号规格, new.使用介质, new.产品名称);");
        const QString removed = QStringLiteral(
            "insert into 选型输出检索(选型输出检索, rowid, 仪表型号规格, 使用介质, 产品名称) select 'delete', id, "
            "old.仪表型号规格, old.使用介质, old.产品名称 from 选型输出检索号 where 选型编号 = old.选型编号; "
            "delete from 选型输出检索号 where 选型编号 = old.选型编号;");
        const QStringList olderIndex {QStringLiteral("drop table 选型输出检索待入"),
            QStringLiteral("drop trigger 选型输出检索_添加"), QStringLiteral("drop trigger 选型输出检索_删除"),
            QStringLiteral("drop trigger 选型输出检索_修改"),
            QStringLiteral("create trigger 选型输出检索_添加 after insert on 选型输出 begin %1 end").arg(added),
            QStringLiteral("create trigger 选型输出检索_删除 after delete on 选型输出 begin %1 end").arg(removed),
            QStringLiteral("create trigger 选型输出检索_修改 after update on 选型输出 begin %1 %2 end")
                .arg(removed, added)};
        const QString waitingTables
            = QStringLiteral("select count(*) from sqlite_master where name = '选型输出检索待入'");
        const QString vrnaEntries
            = QStringLiteral("select count(*) from 选型输出检索 where 选型输出检索 match '\"vrna-80b\"'");
        {
            Store db(location);
            QVERIFY2(db.opened, qPrintable(db.error));
            db.insertSearchedRows(0, half);
        }
        {
            Store db(location); // the rows saved before go into the index
            QVERIFY2(db.opened, qPrintable(db.error));
            for (const QString& sql : olderIndex)
                QVERIFY2(QSqlQuery(db.connection()).exec(sql), qPrintable(sql));
            db.insertSearchedRows(half, Store::kSearchedRows);
            QCOMPARE(db.count(vrnaEntries), 2);
        }
        QFile::setPermissions(location, QFileDevice::ReadOwner | QFileDevice::ReadGroup);
        {
            Store readOnly(location);
            QVERIFY2(readOnly.opened, qPrintable(readOnly.error));
            QVERIFY(!readOnly->searchIndexed());
            QCOMPARE(readOnly.count(waitingTables), 0);
            QCOMPARE(readOnly.allPages(search, 2), found);
        }
        QFile::setPermissions(location, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
        Store upgraded(location);
        QVERIFY2(upgraded.opened, qPrintable(upgraded.error));
        QVERIFY(upgraded->searchIndexed());
        QCOMPARE(upgraded.count(QStringLiteral("select count(*) from 选型输出检索待入")), 0);
        QCOMPARE(upgraded.count(vrnaEntries), 2);
        QCOMPARE(upgraded.allPages(search, 2), found);
        upgraded.insert(QStringLiteral("20261211001"), QStringLiteral("TBQZ-100"), QStringLiteral("沼气"));
        QCOMPARE(upgraded.count(QStringLiteral("select count(*) from 选型输出检索待入")), 1);
        QCOMPARE(upgraded.allPages(QStringLiteral("tbqz"), 10), QStringList {"20261211001"});
        QVERIFY(upgraded->remove(QStringLiteral("20261210003")).value());
        QCOMPARE(upgraded.count(vrnaEntries), 1);
        QCOMPARE(upgraded.allPages(QStringLiteral("vrna-80b"), 10), QStringList {"20261210001"});
    }

    // Whatever was done to the SQLite file's index — by another program, a tool, a
    // damaged copy — a program that may write finds it out at opening, rebuilds it and
    // says so, and one that may not reads every row instead: a search always finds the
    // rows of the table. Each damage is followed by rows another program stores.
    void searchExactWhateverWasDoneToTheIndex_data()
    {
        QTest::addColumn<QStringList>("damage");
        QTest::addColumn<QString>("told"); // what the opening for writing says
        // whether the table still takes rows, changes and deletions before the repair:
        // the triggers name the index's tables, and the index refuses to delete an
        // entry it has lost
        QTest::addColumn<bool>("savesGoOn");
        QTest::newRow("a trigger dropped")
            << QStringList {"drop trigger 选型输出检索_添加"} << "缺少触发器 选型输出检索_添加" << true;
        QTest::newRow("every entry deleted by the index's own command")
            << QStringList {"insert into 选型输出检索(选型输出检索) values('delete-all')"} << "索引中有 0 条" << false;
        QTest::newRow("ids deleted") << QStringList {"delete from 选型输出检索号 where 选型编号 like '2026121%'"}
                                     << "检索索引与数据不一致" << true;
        QTest::newRow("every trigger dropped") << QStringList {"drop trigger 选型输出检索_添加",
            "drop trigger 选型输出检索_删除", "drop trigger 选型输出检索_修改", "drop trigger 选型输出检索_并入"}
                                               << "缺少触发器" << true;
        QTest::newRow("the table of ids dropped")
            << QStringList {"drop table 选型输出检索号"} << "缺少表 选型输出检索号" << false;
        QTest::newRow("the index dropped") << QStringList {"drop table 选型输出检索"} << "" << false;
        QTest::newRow("a later layout") << QStringList {"pragma user_version = 99"} << "" << true;
    }

    void searchExactWhateverWasDoneToTheIndex()
    {
        QFETCH(QStringList, damage);
        QFETCH(QString, told);
        QFETCH(bool, savesGoOn);
        if (storeKind() != u"sqlite")
            QSKIP("the SQLite file's own index");
        const QString location = freshStoreLocation(storeKind(), true);
        {
            Store db(location);
            QVERIFY2(db.opened, qPrintable(db.error));
            db.insertSearchedRows(0, 4);
        }
        // another program opens it (the rows that wait go into the index), damages
        // the index, and goes on saving, deleting and changing rows where it can
        const auto changeRows = [](Store& db) {
            db.insertSearchedRows(4, Store::kSearchedRows);
            const QString update
                = QStringLiteral("update 选型输出 set 仪表型号规格 = 'VRNA-80B-X' where 选型编号 = '20261219001'");
            QVERIFY(QSqlQuery(db.connection()).exec(update));
            QVERIFY(db->remove(QStringLiteral("20261210002")).value());
        };
        {
            Store db(location);
            QVERIFY2(db.opened, qPrintable(db.error));
            QCOMPARE(db.count(QStringLiteral("select count(*) from 选型输出检索")), 4);
            for (const QString& sql : damage)
                QVERIFY2(QSqlQuery(db.connection()).exec(sql), qPrintable(sql));
            if (savesGoOn)
                changeRows(db);
        }
        const bool laterLayout = damage.first().startsWith(QStringLiteral("pragma"));
        const QStringList vrna = {"20261219001", "20261210003", "20261210001"};
        QFile::setPermissions(location, QFileDevice::ReadOwner | QFileDevice::ReadGroup);
        {
            Store readOnly(location);
            QVERIFY2(readOnly.opened, qPrintable(readOnly.error));
            QVERIFY(!readOnly->searchIndexed());
            const QStringList before = savesGoOn ? vrna : QStringList {"20261210003", "20261210001"};
            QCOMPARE(readOnly.allPages(QStringLiteral("vrna-80b"), 2), before);
            QCOMPARE(readOnly.allPages(QString(), 3).size(), savesGoOn ? 7 : 4);
        }
        QFile::setPermissions(location, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
        const OpenedStore opened = openStore(location);
        QCOMPARE(opened.state, OpenedStore::State::Yes);
        if (laterLayout)
            QVERIFY2(opened.notice.contains(QStringLiteral("较新版本")), qPrintable(opened.notice));
        else if (!told.isEmpty())
            QVERIFY2(opened.notice.startsWith(QStringLiteral("检索索引已重建")) && opened.notice.contains(told),
                qPrintable(opened.notice));
        Store reopened(location);
        QVERIFY2(reopened.opened, qPrintable(reopened.error));
        QCOMPARE(reopened->searchIndexed(), !laterLayout);
        if (!savesGoOn)
            changeRows(reopened);
        QCOMPARE(reopened.allPages(QStringLiteral("vrna-80b"), 2), vrna);
        QCOMPARE(reopened.allPages(QStringLiteral("rkd"), 2), QStringList());
        QCOMPARE(reopened.allPages(QStringLiteral("A_B"), 2), QStringList {"20261209001"});
        reopened.insert(QStringLiteral("20261211001"), QStringLiteral("TBQZ-100"), QStringLiteral("沼气"));
        QCOMPARE(reopened.allPages(QStringLiteral("tbqz-1"), 10), QStringList {"20261211001"});
        // sound again: the next opening has nothing to tell, unless the index is another program's
        QCOMPARE(openStore(location).notice.isEmpty(), !laterLayout);
    }

    // check-db looks through the index's structure too, and a table the index does
    // not agree with, and puts it right; a second check finds nothing.
    void checkFindsAndRepairs()
    {
        if (storeKind() != u"sqlite")
            QSKIP("the SQLite file's own index");
        const QString location = freshStoreLocation(storeKind(), true);
        {
            Store db(location);
            db.insertSearchedRows();
        }
        {
            Store db(location); // the rows that wait go into the index
            QVERIFY(QSqlQuery(db.connection())
                        .exec(QStringLiteral("insert into 选型输出检索(选型输出检索) values('delete-all')")));
            const std::vector<StoreFinding> findings = db->checkAndRepair();
            QCOMPARE(findings.size(), size_t(1));
            QCOMPARE(findings[0].part, QStringLiteral("search-index"));
            QVERIFY(findings[0].repaired);
            QCOMPARE(db.allPages(QStringLiteral("vrna-80b"), 1), (QStringList {"20261210003", "20261210001"}));
            QVERIFY(db->checkAndRepair().empty());
        }
    }

    // The index follows the table: a saved row is found, a removed one no longer.
    void searchIndexFollowsSavesAndRemovals()
    {
        Store db;
        QVERIFY2(db.opened, qPrintable(db.error));
        db.insertSearchedRows();
        db.insert(QStringLiteral("20261211001"), QStringLiteral("TBQZ-100"), QStringLiteral("沼气"));
        QCOMPARE(db.allPages(QStringLiteral("tbqz"), 10), QStringList {"20261211001"});
        QVERIFY(db->remove(QStringLiteral("20261210003")).value());
        QCOMPARE(db.allPages(QStringLiteral("vrna-80b"), 10), QStringList {"20261210001"});
        QVERIFY(db->remove(QStringLiteral("20261211001")).value());
        QCOMPARE(db.allPages(QStringLiteral("tbqz"), 10), QStringList());
    }

    // A VACUUM may give the rows of a table without an integer key new rowids; the
    // index names rows by their numbers, so that it still finds the same rows. So
    // does an update that changes a row's number or its texts, made by any program.
    void searchIndexAfterVacuumAndUpdates()
    {
        if (storeKind() != u"sqlite")
            QSKIP("a file's own VACUUM");
        const QString location = freshStoreLocation(storeKind(), true);
        Store db(location);
        QVERIFY2(db.opened, qPrintable(db.error));
        for (int i = 0; i < 200; ++i)
            db.insert(QStringLiteral("2026%1").arg(i, 7, 10, QChar(u'0')), QStringLiteral("CODE-%1").arg(i % 7));
        db.insertSearchedRows();
        for (int i = 0; i < 200; i += 2)
            QVERIFY(db->remove(QStringLiteral("2026%1").arg(i, 7, 10, QChar(u'0'))).value());
        QSqlQuery sql(db.connection());
        QVERIFY(sql.exec(QStringLiteral("vacuum")));
        QVERIFY(
            sql.exec(QStringLiteral("update 选型输出 set 选型编号 = '20261220001' where 选型编号 = '20261210003'")));
        QVERIFY(sql.exec(QStringLiteral("update 选型输出 set 使用介质 = '沼气' where 选型编号 = '20261210002'")));
        sql.finish();
        QCOMPARE(db.allPages(QStringLiteral("vrna-80b"), 1), (QStringList {"20261220001", "20261210001"}));
        QCOMPARE(db.allPages(QStringLiteral("CODE-3"), 100).size(), 15);
        QCOMPARE(db.allPages(QStringLiteral("氧气或氢"), 10), QStringList());
        QCOMPARE(db.allPages(QStringLiteral("rkd-g16"), 10), QStringList {"20261210002"});
        QVERIFY(db->searchIndexed());
    }

    void fetchAndExistsReadTheSameRow()
    {
        Store db;
        db.insert(QStringLiteral("20261210001"), QStringLiteral("RKD-G16-CDAR-0.5/1.6-1.0/1.5"));
        const auto row = db->fetch(QStringLiteral("20261210001"));
        QVERIFY(row.ok() && row.value());
        QCOMPARE(row.value()->at(1), QStringLiteral("RKD-G16-CDAR-0.5/1.6-1.0/1.5"));
        QCOMPARE(row.value()->size(), 45);
        QCOMPARE(row.value()->at(2), QString()); // a NULL reads empty
        const auto none = db->fetch(QStringLiteral("none"));
        QVERIFY(none.ok() && !none.value());
        QVERIFY(db->exists(QStringLiteral("20261210001")).value());
        QVERIFY(!db->exists(QStringLiteral("20261210002")).value());
    }

    void highestSequenceOfADay()
    {
        Store db;
        // an aggregate over an empty table: a row with NULL, no sequence yet
        QCOMPARE(db->highestSequenceOfDay(QStringLiteral("20261210")).value(), 0);
        db.insert(QStringLiteral("20261210009"));
        db.insert(QStringLiteral("20261211001"));
        db.insert(QStringLiteral("20261210003"));
        QCOMPARE(db->highestSequenceOfDay(QStringLiteral("20261210")).value(), 9);
        QCOMPARE(db->highestSequenceOfDay(QStringLiteral("20261211")).value(), 1);
        QCOMPARE(db->numbersOfDay(QStringLiteral("20261210")).value().size(), 2);
    }

    void removeDeletesOneRow()
    {
        Store db;
        db.insert(QStringLiteral("20261210001"));
        db.insert(QStringLiteral("20261210002"));
        const StoreResult<bool> removed = db->remove(QStringLiteral("20261210001"));
        QVERIFY(removed.ok());
        QVERIFY(removed.value());
        QCOMPARE(Store::numbers(db->readPage({}, 10)), QStringList {"20261210002"});
        // a number no row holds (another program deleted it first) is told apart
        const StoreResult<bool> vanished = db->remove(QStringLiteral("20261210001"));
        QVERIFY(vanished.ok());
        QVERIFY(!vanished.value());
    }

    // A second program on the same store stores the number first: the key refuses
    // ours, as a Duplicate, and the row stays the first program's.
    void theKeyRefusesASecondRowOfANumber()
    {
        const QString location = freshStoreLocation(storeKind(), true);
        TestStore mine(location);
        TestStore other(location);
        QVERIFY(mine.opened && other.opened);
        QVERIFY(other->insert(Store::row(QStringLiteral("20261210001"), QStringLiteral("first"))).ok());
        const StoreResult<bool> second
            = mine->insert(Store::row(QStringLiteral("20261210001"), QStringLiteral("mine")));
        QVERIFY(!second.ok());
        QCOMPARE(second.error().kind, StoreError::Kind::Duplicate);
        QCOMPARE(mine->fetch(QStringLiteral("20261210001")).value()->at(1), QStringLiteral("first"));
    }

    void failuresCarryTheStatementAndTheEngineMessage()
    {
        Store db;
        QVERIFY(QSqlQuery(db.connection()).exec(QStringLiteral("drop table 选型输出")));
        const auto page = db->readPage({}, 10);
        QVERIFY(!page.ok());
        QCOMPARE(page.error().kind, StoreError::Kind::Failed);
        QVERIFY(
            page.error().statement.startsWith(QStringLiteral("select * from 选型输出 order by 选型编号 desc limit ?")));
        QVERIFY2(page.error().message.contains(QStringLiteral("选型输出")), qPrintable(page.error().message));
        QVERIFY(!db->insert(QStringList(45)).ok());
        QVERIFY(!db->highestSequenceOfDay(QStringLiteral("20261210")).ok());
        const auto exists = db->exists(QStringLiteral("1"));
        QVERIFY(!exists.ok());
        QCOMPARE(exists.error().statement, QStringLiteral("select 选型编号 from 选型输出 where 选型编号=?"));
    }

    void printRowByColumnName()
    {
        Store db;
        StoredRow row = Store::row(QStringLiteral("20261210001"), QStringLiteral("CODE"));
        row[13] = QStringLiteral("0.020"); // CO2摩尔含量: a name with Latin capitals
        row[30] = QStringLiteral("有");    // GPRS
        QVERIFY(db->insert(row).ok());
        const auto printed = db->fetchPrintRow(QStringLiteral("20261210001"));
        QVERIFY2(printed.ok(), qPrintable(printed.ok() ? QString() : printed.error().message));
        QVERIFY(printed.value());
        QCOMPARE(printed.value()->columns.size(), 42);
        QCOMPARE(printed.value()->value(QStringLiteral("仪表型号规格")), QStringLiteral("CODE"));
        QCOMPARE(printed.value()->value(QStringLiteral("CO2摩尔含量")), QStringLiteral("0.020"));
        QCOMPARE(printed.value()->value(QStringLiteral("GPRS")), QStringLiteral("有"));
        QCOMPARE(printed.value()->value(QStringLiteral("压缩因子")), QString()); // not printed
        QVERIFY(!db->fetchPrintRow(QStringLiteral("20261210002")).value());
        // the statement keeps its three lines
        QCOMPARE(statements::print(QStringLiteral("1")).sql.count(u'\n'), 2);
        QVERIFY(statements::print(QStringLiteral("1")).sql.contains(QStringLiteral(",最小工况流量,\n最大工况流量,")));
    }

    // Values that SQL text would treat specially come back as they went in, in
    // every column and as the number by which a row is found and deleted.
    void hostileValuesRoundTrip_data()
    {
        QTest::addColumn<QString>("value");
        QTest::newRow("double quote") << QStringLiteral("DN\"80\"");
        QTest::newRow("single quote") << QStringLiteral("it's 'quoted'");
        QTest::newRow("statement end and comment") << QStringLiteral("x'; drop table 选型输出; --");
        QTest::newRow("backslash") << QStringLiteral("C:\\sjk\\选型\\n\\'");
        QTest::newRow("LIKE wildcards") << QStringLiteral("100% _G16_ %");
        QTest::newRow("placeholders") << QStringLiteral("? ?1 $1 :name :用户名称");
        QTest::newRow("control characters") << QStringLiteral("line\r\nnext\ttab");
        QTest::newRow("long text") << QString(100000, u'流');
    }

    void hostileValuesRoundTrip()
    {
        QFETCH(QString, value);
        Store db;
        StoredRow row;
        for (int c = 0; c < 45; ++c)
            row << value + QString::number(c);
        // a key is held in an index, whose entries have a size limit on PostgreSQL
        row[0] = value.left(100);
        const StoreResult<bool> inserted = db->insert(row);
        QVERIFY2(inserted.ok(), qPrintable(inserted.ok() ? QString() : inserted.error().message));
        const auto fetched = db->fetch(row[0]);
        QVERIFY(fetched.ok() && fetched.value());
        QCOMPARE(*fetched.value(), row);
        QCOMPARE(db->readPage({}, 10).value(), std::vector<StoredRow> {row});
        QCOMPARE(db->fetchPrintRow(row[0]).value()->value(QStringLiteral("仪表型号规格")), row[1]);
        QVERIFY(db->remove(row[0]).value());
        QVERIFY(!db->exists(row[0]).value());
    }

    void readInNumberOrderPageByPage()
    {
        Store db;
        for (const char* n : {"20261210002", "20251231999", "20261211001", "20261210001"})
            db.insert(QString::fromLatin1(n));
        const auto first = db->readInNumberOrder(QString(), 3);
        QVERIFY(first.ok());
        QCOMPARE(Store::numbers(first), (QStringList {"20251231999", "20261210001", "20261210002"}));
        const auto rest = db->readInNumberOrder(first.value().back().front(), 3);
        QCOMPARE(Store::numbers(rest), QStringList {"20261211001"});
        QCOMPARE(Store::numbers(db->readInNumberOrder(QStringLiteral("20261211001"), 3)), QStringList());
    }

    // Rows whose number is stored are skipped, never overwritten; a row the engine
    // refuses is left out with its reason, and the rows around it are stored.
    void insertUnlessStoredSkipsAndNeverOverwrites()
    {
        Store db;
        db.insert(QStringLiteral("20261210002"), QStringLiteral("kept"));
        const StoreResult<InsertOutcome> first
            = db->insertUnlessStored({Store::row(QStringLiteral("20261210001"), QStringLiteral("new")),
                Store::row(QStringLiteral("20261210002"), QStringLiteral("overwrite?")),
                Store::row(QStringLiteral("20261210003"), QStringLiteral("new"))});
        QVERIFY(first.ok());
        QCOMPARE(first.value().skipped, QStringList {"20261210002"});
        QVERIFY(first.value().refused.empty());
        QCOMPARE(db->fetch(QStringLiteral("20261210002")).value()->at(1), QStringLiteral("kept"));
        QCOMPARE(Store::numbers(db->readInNumberOrder(QString(), 10)),
            (QStringList {"20261210001", "20261210002", "20261210003"}));
        // a row without a number is no row the key takes
        const StoreResult<InsertOutcome> partly = db->insertUnlessStored({Store::row(QStringLiteral("20261210004")),
            Store::row(QString()), Store::row(QStringLiteral("20261210005"))});
        QVERIFY2(partly.ok(), qPrintable(partly.error().message));
        QVERIFY(partly.value().skipped.isEmpty());
        QCOMPARE(partly.value().refused.size(), size_t(1));
        QCOMPARE(partly.value().refused[0].number, QString());
        QVERIFY(!partly.value().refused[0].reason.isEmpty());
        QCOMPARE(Store::numbers(db->readInNumberOrder(QStringLiteral("20261210003"), 10)),
            (QStringList {"20261210004", "20261210005"}));
    }

    // Many rows go in few statements: a refused row among them costs only its own
    // place, wherever it stands, and the skipped numbers are still named in order.
    void insertUnlessStoredAmongManyRows_data()
    {
        QTest::addColumn<int>("refusedAt");
        QTest::newRow("first") << 0;
        QTest::newRow("middle") << 401;
        QTest::newRow("last") << 899;
    }

    void insertUnlessStoredAmongManyRows()
    {
        QFETCH(int, refusedAt);
        Store db;
        const auto numberOf = [](int i) { return QStringLiteral("2026%1").arg(i, 7, 10, QChar(u'0')); };
        QStringList stored;
        for (int i = 3; i < 900; i += 150) {
            db.insert(numberOf(i), QStringLiteral("kept"));
            stored << numberOf(i);
        }
        // the characters that end a value or a row in a stream of rows, and an empty value
        const QString awkward = QStringLiteral("tab\there\nline\\N back\rreturn \"引号\" '");
        std::vector<StoredRow> rows;
        for (int i = 0; i < 900; ++i)
            rows.push_back(Store::row(i == refusedAt ? QString() : numberOf(i), QStringLiteral("new")));
        rows[898][1] = awkward;
        rows[898][2] = QStringLiteral("");
        const StoreResult<InsertOutcome> outcome = db->insertUnlessStored(rows);
        QVERIFY2(outcome.ok(), qPrintable(outcome.error().message));
        QCOMPARE(outcome.value().skipped, stored);
        QCOMPARE(outcome.value().refused.size(), size_t(1));
        QCOMPARE(outcome.value().refused[0].number, QString());
        const auto all = db->readInNumberOrder(QString(), 1000);
        QCOMPARE(all.value().size(), size_t(899));
        QCOMPARE(db->fetch(numberOf(153)).value()->at(1), QStringLiteral("kept"));
        QCOMPARE(db->fetch(numberOf(897)).value()->at(1), QStringLiteral("new"));
        const StoredRow back = *db->fetch(numberOf(898)).value();
        QCOMPARE(back.at(1), awkward);
        QCOMPARE(back.at(2), QString());
    }
};

QTEST_GUILESS_MAIN(TestStorePort)
#include "tst_store.moc"
