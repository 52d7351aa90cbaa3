#include "adapters/sqlite/selection_database.h"
#include "adapters/sql/statements.h"
#include "support/other_program.h"
#include "support/recording_platform.h"
#include "workspace/store_messages.h"

#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>

namespace {

struct Db {
    SelectionDatabase database;
    bool opened = database.open(SelectionDatabase::memoryPath()) == SelectionDatabase::Opened::Yes;

    void insert(const QString& number, const QString& code = QStringLiteral("X"))
    {
        QStringList row(45);
        row[0] = number;
        row[1] = code;
        QVERIFY(database.insert(row).ok());
    }
    QStringList numbers(const StoreResult<std::vector<StoredRow>>& page)
    {
        QStringList out;
        for (const StoredRow& row : page.value())
            out << row.front();
        return out;
    }
};

} // namespace

class TestSqliteStore final : public QObject {
    Q_OBJECT

private slots:
    void pagesNewestFirst()
    {
        Db db;
        QVERIFY(db.opened);
        db.insert(QStringLiteral("20261210002"));
        db.insert(QStringLiteral("20261209005"));
        db.insert(QStringLiteral("20261210010"));
        const auto all = db.database.readPage(0, 10);
        QVERIFY(all.ok());
        QCOMPARE(db.numbers(all), (QStringList {"20261210010", "20261210002", "20261209005"}));
        QCOMPARE(all.value().front().size(), 45);
        QCOMPARE(all.value()[1][1], QStringLiteral("X"));
        QCOMPARE(db.numbers(db.database.readPage(1, 1)), QStringList {"20261210002"});
        QCOMPARE(db.numbers(db.database.readPage(3, 10)), QStringList());
    }

    void fetchAndExistsReadTheSameRow()
    {
        Db db;
        db.insert(QStringLiteral("20261210001"), QStringLiteral("RKD-G16-CDAR-0.5/1.6-1.0/1.5"));
        const auto row = db.database.fetch(QStringLiteral("20261210001"));
        QVERIFY(row.ok() && row.value());
        QCOMPARE(row.value()->at(1), QStringLiteral("RKD-G16-CDAR-0.5/1.6-1.0/1.5"));
        QCOMPARE(row.value()->size(), 45);
        const auto none = db.database.fetch(QStringLiteral("none"));
        QVERIFY(none.ok() && !none.value());
        QVERIFY(db.database.exists(QStringLiteral("20261210001")).value());
        QVERIFY(!db.database.exists(QStringLiteral("20261210002")).value());
    }

    void highestSequenceOfADay()
    {
        Db db;
        // an aggregate over an empty table: a row with NULL, no sequence yet
        QCOMPARE(db.database.highestSequenceOfDay(QStringLiteral("20261210")).value(), 0);
        db.insert(QStringLiteral("20261210009"));
        db.insert(QStringLiteral("20261211001"));
        db.insert(QStringLiteral("20261210003"));
        QCOMPARE(db.database.highestSequenceOfDay(QStringLiteral("20261210")).value(), 9);
        QCOMPARE(db.database.highestSequenceOfDay(QStringLiteral("20261211")).value(), 1);
        QCOMPARE(db.database.numbersOfDay(QStringLiteral("20261210")).value().size(), 2);
    }

    void removeDeletesOneRow()
    {
        Db db;
        db.insert(QStringLiteral("20261210001"));
        db.insert(QStringLiteral("20261210002"));
        const StoreResult<bool> removed = db.database.remove(QStringLiteral("20261210001"));
        QVERIFY(removed.ok());
        QVERIFY(removed.value());
        QCOMPARE(db.numbers(db.database.readPage(0, 10)), QStringList {"20261210002"});
        // a number no row holds (another program deleted it first) is told apart
        const StoreResult<bool> vanished = db.database.remove(QStringLiteral("20261210001"));
        QVERIFY(vanished.ok());
        QVERIFY(!vanished.value());
    }

    // What another program does to the same file shows in the kind of the failure.
    void failuresCausedByAnotherProgram()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("db.mdb"));
        QString error;
        QVERIFY2(SelectionDatabase::create(path, &error), qPrintable(error));
        SelectionDatabase mine;
        QCOMPARE(mine.open(path), SelectionDatabase::Opened::Yes);
        StoredRow row(45);
        row[0] = QStringLiteral("20261210001");
        {
            // it stored the number after our check: the key refuses ours
            SelectionDatabase other;
            QCOMPARE(other.open(path), SelectionDatabase::Opened::Yes);
            QVERIFY(other.insert(row).ok());
        }
        const StoreResult<bool> second = mine.insert(row);
        QVERIFY(!second.ok());
        QCOMPARE(second.error().kind, StoreError::Kind::Duplicate);
        {
            // it holds the file beyond the short wait
            OtherProgram holder(path, QString(), QStringLiteral("begin exclusive"));
            QVERIFY(holder.held());
            row[0] = QStringLiteral("20261210002");
            const StoreResult<bool> held = mine.insert(row);
            QVERIFY(!held.ok());
            QCOMPARE(held.error().kind, StoreError::Kind::Busy);
            const StoreResult<bool> exists = mine.exists(row[0]);
            QVERIFY(!exists.ok());
            QCOMPARE(exists.error().kind, StoreError::Kind::Busy);
            holder.release(false);
        }
        QVERIFY(mine.insert(row).ok()); // free again
        // a statement the engine refuses for another reason
        QVERIFY(QSqlQuery(mine.connection()).exec(QStringLiteral("drop table 选型输出")));
        const StoreResult<bool> failed = mine.insert(row);
        QVERIFY(!failed.ok());
        QCOMPARE(failed.error().kind, StoreError::Kind::Failed);
    }

    void failuresCarryTheStatementAndTheEngineMessage()
    {
        Db db;
        QVERIFY(QSqlQuery(db.database.connection()).exec(QStringLiteral("drop table 选型输出")));
        const auto page = db.database.readPage(0, 10);
        QVERIFY(!page.ok());
        QCOMPARE(page.error().statement, statements::listPage(0, 10).sql);
        QCOMPARE(page.error().message, QStringLiteral("no such table: 选型输出"));
        QVERIFY(!db.database.insert(QStringList(45)).ok());
        QVERIFY(!db.database.highestSequenceOfDay(QStringLiteral("20261210")).ok());
        const auto exists = db.database.exists(QStringLiteral("1"));
        QVERIFY(!exists.ok());
        QCOMPARE(exists.error().statement, QStringLiteral("select * from 选型输出 where 选型编号=?"));
    }

    void withoutADatabaseEveryOperationFails()
    {
        SelectionDatabase none;
        const auto page = none.readPage(0, 10);
        QVERIFY(!page.ok());
        QCOMPARE(page.error().message, QStringLiteral("数据库未连接"));
        QVERIFY(!none.remove(QStringLiteral("1")).ok());
        QVERIFY(!none.fetchPrintRow(QStringLiteral("1")).ok());
    }

    void printRowByColumnName()
    {
        Db db;
        db.insert(QStringLiteral("20261210001"), QStringLiteral("CODE"));
        const auto row = db.database.fetchPrintRow(QStringLiteral("20261210001"));
        QVERIFY(row.ok() && row.value());
        QCOMPARE(row.value()->columns.size(), 42);
        QCOMPARE(row.value()->value(QStringLiteral("仪表型号规格")), QStringLiteral("CODE"));
        QCOMPARE(row.value()->value(QStringLiteral("压缩因子")), QString()); // not printed
        QVERIFY(!db.database.fetchPrintRow(QStringLiteral("20261210002")).value());
        // the statement keeps its three lines
        QCOMPARE(statements::print(QStringLiteral("1")).sql.count(u'\n'), 2);
        QVERIFY(statements::print(QStringLiteral("1")).sql.contains(QStringLiteral(",最小工况流量,\n最大工况流量,")));
    }

    void reportWording()
    {
        RecordingPlatform ui;
        showDataError(ui, {QStringLiteral("select * from missing_table"), QStringLiteral("no such table: missing_table")});
        showQueryError(ui, {QStringLiteral("select * from nowhere"), QStringLiteral("no such table: nowhere")});
        QCOMPARE(ui.events,
                 (QStringList {"box 4: 数据错误!\r\n(select * from missing_table)\r\n(no such table: missing_table)",
                               "box 4: 数据查询错误!\r\n(select * from nowhere)\r\n(no such table: nowhere)"}));
    }
};

QTEST_GUILESS_MAIN(TestSqliteStore)
#include "tst_sqlite_store.moc"
