#include "adapters/sql/statements.h"
#include "adapters/sqlite/search_index.h"
#include "adapters/sqlite/selection_database.h"
#include "support/other_program.h"
#include "support/recording_platform.h"
#include "workspace/store_messages.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>

namespace {

constexpr statements::Match kLike = statements::Match::CaseFoldingLike;

struct Db {
    SelectionDatabase database;
    bool opened = database.open(SelectionDatabase::memoryPath()) == SelectionDatabase::Opened::Yes;

    void insert(const QString& number, const QString& code = QStringLiteral("X"), const QString& medium = QString(),
        const QString& product = QString())
    {
        QStringList row(45);
        row[0] = number;
        row[1] = code;
        row[2] = medium;
        row[21] = product;
        QVERIFY(database.insert(row).ok());
    }
    // Every page of a query, `limit` rows at a time, each after the last of the one before.
    QStringList allPages(const QString& search, int limit)
    {
        QStringList out;
        ListQuery query {search, std::nullopt};
        for (;;) {
            const auto page = database.readPage(query, limit);
            if (!page.ok())
                return {QStringLiteral("failed")};
            out += numbers(page);
            if (static_cast<int>(page.value().size()) < limit)
                return out;
            query.after = page.value().back().front();
        }
    }
    // The numbers a statement selects, one bound value a placeholder.
    QStringList select(const QString& sql, const QVariantList& values)
    {
        QSqlQuery q(database.connection());
        q.prepare(sql);
        for (const QVariant& v : values)
            q.addBindValue(v);
        QStringList out;
        if (!q.exec())
            return {q.lastError().text()};
        while (q.next())
            out << q.value(0).toString();
        out.sort();
        return out;
    }
    // How SQLite runs a statement: the details of its plan, one a line.
    QString plan(const Statement& s)
    {
        QSqlQuery q(database.connection());
        q.prepare(QStringLiteral("explain query plan ") + s.sql);
        for (const QVariant& v : s.values)
            q.addBindValue(v);
        if (!q.exec())
            return q.lastError().text();
        QStringList details;
        while (q.next())
            details << q.value(3).toString();
        return details.join(u'\n');
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
        const auto all = db.database.readPage({}, 10);
        QVERIFY(all.ok());
        QCOMPARE(db.numbers(all), (QStringList {"20261210010", "20261210002", "20261209005"}));
        QCOMPARE(all.value().front().size(), 45);
        QCOMPARE(all.value()[1][1], QStringLiteral("X"));
        // a page starts after the last number of the page before
        QCOMPARE(db.numbers(db.database.readPage({QString(), QStringLiteral("20261210010")}, 1)),
            QStringList {"20261210002"});
        QCOMPARE(db.numbers(db.database.readPage({QString(), QStringLiteral("20261209005")}, 10)), QStringList());
        // a number that is no longer stored still marks where the next page starts
        QCOMPARE(db.numbers(db.database.readPage({QString(), QStringLiteral("20261210005")}, 10)),
            (QStringList {"20261210002", "20261209005"}));
        QCOMPARE(db.allPages(QString(), 1), (QStringList {"20261210010", "20261210002", "20261209005"}));
        QCOMPARE(db.allPages(QString(), 2), (QStringList {"20261210010", "20261210002", "20261209005"}));
        QCOMPARE(db.allPages(QString(), 3), (QStringList {"20261210010", "20261210002", "20261209005"}));
    }

    // The list's statements and the day's numbers go through the key's index: their
    // cost does not grow with the rows stored before them.
    void theKeysIndexServesThePagesAndTheDay()
    {
        Db db;
        const QString number = QStringLiteral("20261210001");
        for (const Statement& s :
            {statements::listPage({}, 100, kLike), statements::listPage({QString(), number}, 100, kLike),
                statements::listPage({QStringLiteral("x"), number}, 100, kLike),
                statements::highestOfDay(QStringLiteral("20261210")),
                statements::numbersOfDay(QStringLiteral("20261210")), statements::exists(number)}) {
            const QString plan = db.plan(s);
            QVERIFY2(
                plan.contains(QStringLiteral("INDEX sqlite_autoindex_选型输出_1")), qPrintable(s.sql + "\n" + plan));
            QVERIFY2(!plan.contains(QStringLiteral("TEMP B-TREE")), qPrintable(s.sql + "\n" + plan)); // no sort
        }
        for (const Statement& s : {statements::listPage({QString(), number}, 100, kLike),
                 statements::highestOfDay(QStringLiteral("20261210")),
                 statements::numbersOfDay(QStringLiteral("20261210")), statements::exists(number)})
            QVERIFY2(db.plan(s).startsWith(QStringLiteral("SEARCH")), qPrintable(s.sql + "\n" + db.plan(s)));
        // the existence check reads the key alone
        QVERIFY(db.plan(statements::exists(number)).contains(QStringLiteral("COVERING INDEX")));
    }

    // A save's number waits for the trigram index; the save that makes the waiting
    // rows a few dozen moves them all into it, so that a search never reads more of
    // them beside the index. Searches find every row, waiting or in the index.
    void rowsWaitForTheSearchIndexUpToAFew()
    {
        Db db;
        QVERIFY(db.opened);
        const int waitingAtMost = sqlite_search::kRowsWaitingAtMost;
        const int rows = 2 * waitingAtMost + 5;
        const QString waiting = QStringLiteral("select count(*) from 选型输出检索待入");
        int codeThree = 0;
        for (int i = 0; i < rows; ++i) {
            db.insert(QStringLiteral("2026%1").arg(i, 7, 10, QChar(u'0')), QStringLiteral("CODE-%1").arg(i % 7));
            codeThree += i % 7 == 3 ? 1 : 0;
            QCOMPARE(db.select(waiting, {}), QStringList {QString::number((i + 1) % waitingAtMost)});
        }
        const QString entries
            = QStringLiteral("select count(*) from 选型输出检索 where 选型输出检索 match '\"code-\"'");
        QCOMPARE(db.select(entries, {}), QStringList {QString::number(2 * waitingAtMost)});
        QCOMPARE(db.allPages(QStringLiteral("code-3"), 1000).size(), codeThree);
        QCOMPARE(db.allPages(QStringLiteral("code-"), 1000).size(), rows);
    }

    // Into a file whose table holds no row, many rows go in one transaction, the
    // search index made from all of them at its end: a row the file refuses is told
    // and left out, what is kept or given up is whole, the index agrees with the
    // table, and its triggers are there again for the saves after. A file that holds
    // a row keeps the usual way.
    void copyIntoAnEmptyFile_data()
    {
        QTest::addColumn<bool>("empty");
        QTest::addColumn<bool>("keep");
        QTest::newRow("kept") << true << true;
        QTest::newRow("given up") << true << false;
        QTest::newRow("a row there before") << false << true;
    }

    void copyIntoAnEmptyFile()
    {
        QFETCH(bool, empty);
        QFETCH(bool, keep);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("copy.db"));
        QString error;
        QVERIFY2(SelectionDatabase::create(path, &error), qPrintable(error));
        SelectionDatabase database;
        QCOMPARE(database.open(path), SelectionDatabase::Opened::Yes);
        QSqlQuery own(database.connection());
        QVERIFY(own.exec(QStringLiteral("create trigger 不收 before insert on 选型输出 when new.使用介质 = '拒收' "
                                        "begin select raise(abort, '不收'); end")));
        QStringList before(45);
        before[0] = QStringLiteral("20250000000");
        if (!empty)
            QVERIFY(database.insert(before).ok());
        std::vector<StoredRow> rows;
        for (int i = 1; i <= 1200; ++i) {
            StoredRow row(45);
            row[0] = QStringLiteral("2026%1").arg(i, 7, 10, QChar(u'0'));
            row[1] = QStringLiteral("CODE-%1").arg(i % 7);
            row[2] = i == 701 ? QStringLiteral("拒收") : QStringLiteral("城市天然气");
            rows.push_back(row);
        }

        const StoreResult<bool> intoEmpty = database.beginCopyIntoEmpty();
        QVERIFY(intoEmpty.ok());
        QCOMPARE(intoEmpty.value(), empty);
        std::vector<RefusedRow> refused;
        for (size_t from = 0; from < rows.size(); from += 1000) {
            const StoreResult<InsertOutcome> page = database.insertUnlessStored(
                {rows.begin() + qsizetype(from), rows.begin() + qsizetype(std::min(from + 1000, rows.size()))});
            QVERIFY(page.ok());
            refused.insert(refused.end(), page.value().refused.begin(), page.value().refused.end());
        }
        QVERIFY(database.endCopyIntoEmpty(keep).ok());
        QCOMPARE(refused.size(), size_t(1));
        QCOMPARE(refused.front().number, rows[700][0]);

        const auto stored = [&] {
            const QString count = QStringLiteral("select count(*) from 选型输出");
            QSqlQuery q(database.connection());
            return q.exec(count) && q.next() ? q.value(0).toInt() : -1;
        };
        QCOMPARE(stored(), keep ? 1199 + (empty ? 0 : 1) : 0);
        QCOMPARE(sqlite_search::damage(database.connection(), true), QString());
        const StoreResult<std::vector<StoredRow>> found
            = database.readPage({QStringLiteral("code-3"), std::nullopt}, 1000);
        QVERIFY(found.ok());
        const size_t codeThree = 1200 / 7 + 1; // i % 7 == 3, none of them the refused row
        QCOMPARE(found.value().size(), keep ? codeThree : 0);
        StoredRow after(45);
        after[0] = QStringLiteral("20270000001");
        after[1] = QStringLiteral("CODE-3");
        QVERIFY(database.insert(after).ok());
        QCOMPARE(sqlite_search::damage(database.connection(), true), QString());
        QCOMPARE(database.readPage({QStringLiteral("code-3"), std::nullopt}, 1000).value().size(),
            (keep ? codeThree : 0) + 1);
    }

    // copy-db's reading in number order gives every value as fetching the row does:
    // the same text, NULL kept apart from an empty text, and values that are not
    // UTF-8 text (a blob, bytes that are not UTF-8) as Qt reads them.
    void rowsInNumberOrderReadAsFetched_data()
    {
        QTest::addColumn<QString>("value"); // an SQL expression for the medium's column
        QTest::newRow("text") << "'城市天然气或城市煤气'";
        QTest::newRow("empty text") << "''";
        QTest::newRow("null") << "null";
        QTest::newRow("text holding NUL") << "cast(x'61006263' as text)";
        QTest::newRow("beyond the BMP") << "'𠀋 燃气'";
        QTest::newRow("not UTF-8") << "cast(x'41ff42' as text)";
        QTest::newRow("cut UTF-8") << "cast(x'41e59f' as text)";
        QTest::newRow("overlong UTF-8") << "cast(x'c0af41' as text)";
        QTest::newRow("surrogate in UTF-8") << "cast(x'eda080' as text)";
        QTest::newRow("blob") << "x'e59f8e'";
        QTest::newRow("empty blob") << "x''";
    }

    void rowsInNumberOrderReadAsFetched()
    {
        QFETCH(QString, value);
        Db db;
        QVERIFY(db.opened);
        for (int i = 1; i <= 3; ++i)
            db.insert(QStringLiteral("2026121000%1").arg(i), QStringLiteral("LWQ-%1").arg(i));
        QSqlQuery q(db.database.connection());
        QVERIFY2(q.exec(QStringLiteral("update 选型输出 set 使用介质 = %1 where 选型编号 = '20261210002'").arg(value)),
            qPrintable(q.lastError().text()));

        const auto read = db.database.readInNumberOrder(QStringLiteral("20261210001"), 10);
        QVERIFY(read.ok());
        QCOMPARE(read.value().size(), size_t(2));
        for (const StoredRow& row : read.value()) {
            const auto fetched = db.database.fetch(row.value(0));
            QVERIFY(fetched.ok() && fetched.value());
            const StoredRow& expected = *fetched.value();
            QCOMPARE(row.size(), expected.size());
            for (qsizetype c = 0; c < row.size(); ++c) {
                QCOMPARE(row[c], expected[c]);
                QCOMPARE(row[c].isNull(), expected[c].isNull());
            }
        }
        QCOMPARE(read.value().front().value(1), QStringLiteral("LWQ-2"));
    }

    // The day's numbers by a range on the key select exactly what the old predicate
    // substr(选型编号,1,8)=day selected, odd numbers of other programs included.
    void dayRangeSelectsWhatTheOldPredicateSelected_data()
    {
        QTest::addColumn<QString>("day");
        for (const char* day : {"20261210", "20261211", "20261209", "20261219", "20261220", "20261231", "20270101"})
            QTest::newRow(day) << QString::fromLatin1(day);
    }

    void dayRangeSelectsWhatTheOldPredicateSelected()
    {
        QFETCH(QString, day);
        Db db;
        const QStringList stored = {"20261210001", "20261210000", "20261210999", "2026121", "20261211000", "20261211",
            "20261210abc", "20261210", "20261210-01", "20261210 1", "2026121001", "202612100011",
            "2026121:", "2026121:001", "20261219999", "2026121900", "20261220001", "20261209999", "20261231001",
            "20270101001", "20261210ABC", "20261210中文", "X20261210001", ""};
        for (const QString& number : stored)
            db.insert(number);
        const QStringList old
            = db.select(QStringLiteral("select 选型编号 from 选型输出 where substr(选型编号,1,8)=?"), {day});
        const Statement range = statements::numbersOfDay(day);
        QCOMPARE(db.select(range.sql, range.values), old);
        QStringList numbers = db.database.numbersOfDay(day).value();
        numbers.sort();
        QCOMPARE(numbers, old);
        // the highest one is the highest of those
        const Statement highest = statements::highestOfDay(day);
        const QStringList top = db.select(highest.sql, highest.values);
        QCOMPARE(top, old.isEmpty() ? QStringList() : QStringList {old.back()});
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

    void withoutADatabaseEveryOperationFails()
    {
        SelectionDatabase none;
        const auto page = none.readPage({}, 10);
        QVERIFY(!page.ok());
        QCOMPARE(page.error().message, QStringLiteral("数据库未连接"));
        QVERIFY(!none.remove(QStringLiteral("1")).ok());
        QVERIFY(!none.fetchPrintRow(QStringLiteral("1")).ok());
    }

    void reportWording()
    {
        RecordingPlatform ui;
        showDataError(
            ui, {QStringLiteral("select * from missing_table"), QStringLiteral("no such table: missing_table")});
        showQueryError(ui, {QStringLiteral("select * from nowhere"), QStringLiteral("no such table: nowhere")});
        QCOMPARE(ui.events,
            (QStringList {"box 4: 数据错误!\r\n(select * from missing_table)\r\n(no such table: missing_table)",
                "box 4: 数据查询错误!\r\n(select * from nowhere)\r\n(no such table: nowhere)"}));
    }
};

QTEST_GUILESS_MAIN(TestSqliteStore)
#include "tst_sqlite_store.moc"
