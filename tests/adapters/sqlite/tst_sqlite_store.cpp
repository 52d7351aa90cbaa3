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
