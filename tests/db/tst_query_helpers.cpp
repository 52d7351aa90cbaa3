#include "message_kinds.h"
#include "query_helpers.h"
#include "recording_platform.h"
#include "selection_database.h"
#include "statements.h"
#include "stored_selections.h"

#include <QSqlQuery>
#include <QTest>

namespace {

struct Db {
    SelectionDatabase database;
    bool opened = database.open(SelectionDatabase::memoryPath()) == SelectionDatabase::Opened::Yes;
    QSqlQuery query {database.connection()};
    RecordingPlatform ui;

    void insert(const QString& number, const QString& code = QStringLiteral("X"))
    {
        QStringList row(45);
        row[0] = number;
        row[1] = code;
        QVERIFY(RunStatement(query, statements::insert(row), ui));
    }
};

} // namespace

class TestQueryHelpers final : public QObject {
    Q_OBJECT

private slots:
    void fillListViewNewestFirst()
    {
        Db db;
        QVERIFY(db.opened);
        db.insert(QStringLiteral("20261210002"));
        db.insert(QStringLiteral("20261209005"));
        db.insert(QStringLiteral("20261210010"));
        StoredSelections list;
        FillListView(db.query, list, statements::listAll(), 0, db.ui);
        QCOMPARE(list.rowCount(), 3);
        QCOMPARE(list.caption(0), QStringLiteral("20261210010"));
        QCOMPARE(list.caption(2), QStringLiteral("20261209005"));
        QCOMPARE(list.row(0).size(), 45);
        QCOMPARE(list.data(list.index(1, 1)).toString(), QStringLiteral("X"));
        QCOMPARE(db.ui.events, QStringList());
        // extra empty columns are appended
        FillListView(db.query, list, statements::listAll(), 2, db.ui);
        QCOMPARE(list.row(0).size(), 47);
    }

    void fillListViewWithoutRowsEmptiesTheList()
    {
        Db db;
        StoredSelections list;
        list.append({"old"});
        FillListView(db.query, list, statements::fetch(QStringLiteral("none")), 0, db.ui);
        QCOMPARE(list.rowCount(), 0);
    }

    void failingSelectKeepsTheList()
    {
        Db db;
        StoredSelections list;
        list.append({"kept"});
        FillListView(db.query, list, {QStringLiteral("select * from missing_table"), {}}, 0, db.ui);
        QCOMPARE(list.rowCount(), 1);
        QCOMPARE(db.ui.events.size(), 3);
        QCOMPARE(db.ui.events[0], QStringLiteral("beep"));
        QCOMPARE(db.ui.events[1], QStringLiteral("beep"));
        QCOMPARE(db.ui.events[2],
                 QStringLiteral("box 4: 数据错误!\r\n(select * from missing_table)\r\n(no such table: missing_table)"));
    }

    void fillListItemAppendsToTheItem()
    {
        Db db;
        db.insert(QStringLiteral("20261210001"), QStringLiteral("RKD-G16-CDAR-0.5/1.6-1.0/1.5"));
        StoredSelections list;
        list.insertEmpty(0);
        QVERIFY(FillListItem(db.query, list, 0, statements::fetch(QStringLiteral("20261210001")), 0, db.ui));
        QCOMPARE(list.caption(0), QStringLiteral("20261210001"));
        QVERIFY(!FillListItem(db.query, list, 0, statements::fetch(QStringLiteral("none")), 0, db.ui));
        QCOMPARE(list.row(0).size(), 45);
        QVERIFY(!FillListItem(db.query, list, 0, {QStringLiteral("select bad from"), {}}, 0, db.ui));
        QCOMPARE(db.ui.events.count(QStringLiteral("beep")), 2);
        QCOMPARE(list.row(0).size(), 45);
    }

    void selectValuesBuildsItsStatement()
    {
        Db db;
        QStringList fields = {QStringLiteral("MAX(选型编号)")};
        // an aggregate over an empty table: a row with NULL, read as empty
        QVERIFY(SelectValues(db.query, {SelectionDatabase::tableName()}, fields, QString(), {}, db.ui));
        QCOMPARE(fields, QStringList {QString()});
        QCOMPARE(db.query.lastQuery(), QStringLiteral("select MAX(选型编号) from 选型输出"));
        db.insert(QStringLiteral("20261210009"));
        db.insert(QStringLiteral("20261211001"));
        fields = statements::highestOfDayFields();
        QVERIFY(SelectValues(db.query, statements::highestOfDayTables(), fields, statements::highestOfDayCondition(),
                             {QStringLiteral("20261210")}, db.ui));
        QCOMPARE(fields, QStringList {QStringLiteral("20261210009")});
        QCOMPARE(db.query.lastQuery(), QStringLiteral("select MAX(选型编号) from 选型输出 where substr(选型编号,1,8)=? "));
        // the field list stops at its first empty entry after the first
        fields = {QStringLiteral("选型编号"), QString(), QStringLiteral("ignored")};
        QVERIFY(SelectValues(db.query, {SelectionDatabase::tableName()}, fields, QString(), {}, db.ui));
        QCOMPARE(fields.size(), 3);
        QCOMPARE(fields[2], QStringLiteral("ignored"));
    }

    void failingSelectValuesOnlyBeeps()
    {
        Db db;
        QStringList fields = {QStringLiteral("MAX(nothing)")};
        QVERIFY(!SelectValues(db.query, {QStringLiteral("nowhere")}, fields, QString(), {}, db.ui));
        QCOMPARE(db.ui.events, (QStringList {"beep", "beep"}));
        QCOMPARE(fields, QStringList {QStringLiteral("MAX(nothing)")});
    }

    void runStatementReportsWithoutBeep()
    {
        Db db;
        QVERIFY(!RunStatement(db.query, {QStringLiteral("insert into 选型输出 valuez(1)"), {}}, db.ui));
        QCOMPARE(db.ui.events.size(), 1);
        QVERIFY(db.ui.events[0].startsWith(QStringLiteral("box 4: 数据错误!\r\n(insert into 选型输出 valuez(1))\r\n(")));
    }

    void runStatementCountsTheRowsItChanged_data()
    {
        QTest::addColumn<QString>("number");
        QTest::addColumn<int>("rows");
        QTest::newRow("a stored number") << "20261210001" << 1;
        QTest::newRow("a number not stored") << "20261210002" << 0;
    }

    void runStatementCountsTheRowsItChanged()
    {
        QFETCH(QString, number);
        QFETCH(int, rows);
        Db db;
        db.insert(QStringLiteral("20261210001"));
        int changed = -1;
        QVERIFY(RunStatement(db.query, statements::remove(number), db.ui, &changed));
        QCOMPARE(changed, rows);
        QVERIFY(!RunStatement(db.query, {QStringLiteral("delete from nowhere"), {}}, db.ui, &changed));
        QCOMPARE(changed, 0);
    }

    void recordExists()
    {
        Db db;
        db.insert(QStringLiteral("20261210001"));
        QCOMPARE(RecordExists(db.query, statements::exists(QStringLiteral("20261210001")), db.ui), std::optional(true));
        QCOMPARE(RecordExists(db.query, statements::exists(QStringLiteral("20261210002")), db.ui), std::optional(false));
        QCOMPARE(RecordExists(db.query, {QStringLiteral("select * from nowhere"), {}}, db.ui), std::nullopt);
        QCOMPARE(db.ui.events, QStringList {"box 4: 数据查询错误!\r\n(select * from nowhere)\r\n(no such table: nowhere)"});
    }

    void withoutADatabaseEveryQueryReports()
    {
        SelectionDatabase none;
        QSqlQuery query(none.connection());
        RecordingPlatform ui;
        StoredSelections list;
        FillListView(query, list, statements::listAll(), 0, ui);
        QCOMPARE(ui.events.last(),
                 QStringLiteral("box 4: 数据错误!\r\n(select * from 选型输出  order by 选型编号 desc)\r\n(数据库未连接)"));
        QVERIFY(!RunStatement(query, statements::remove(QStringLiteral("1")), ui));
    }

    void showBoxKinds_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("title");
        QTest::addColumn<int>("icon");
        QTest::addColumn<bool>("cancel");
        using Icon = ShowBoxKind::Icon;
        QTest::newRow("information") << 1 << "Corvane仪表集团仪表选型系统（V1.0）提示:" << int(Icon::Exclamation) << false;
        QTest::newRow("question") << 2 << "Corvane仪表集团仪表选型系统（V1.0）询问?" << int(Icon::Question) << true;
        QTest::newRow("warning") << 3 << "Corvane仪表集团仪表选型系统（V1.0）谨告!" << int(Icon::Stop) << true;
        QTest::newRow("error") << 4 << "Corvane仪表集团仪表选型系统（V1.0）错误提示!" << int(Icon::Stop) << false;
        QTest::newRow("any other") << 7 << "Corvane仪表集团仪表选型系统（V1.0）错误提示!" << int(Icon::Stop) << false;
    }

    void showBoxKinds()
    {
        QFETCH(int, kind);
        QFETCH(QString, title);
        QFETCH(int, icon);
        QFETCH(bool, cancel);
        const ShowBoxKind k = showBoxKind(kind);
        QCOMPARE(k.title, title);
        QCOMPARE(int(k.icon), icon);
        QCOMPARE(k.withCancel, cancel);
    }

    void listHeadersAndWidths()
    {
        StoredSelections list;
        QCOMPARE(list.columnCount(), 44);
        QCOMPARE(list.headerData(0, Qt::Horizontal).toString(), QStringLiteral("选型编号"));
        QCOMPARE(list.headerData(9, Qt::Horizontal).toString(), QStringLiteral("最大绝压"));
        QCOMPARE(list.headerData(43, Qt::Horizontal).toString(), QStringLiteral("通径规格"));
        QCOMPARE(StoredSelections::columnWidth(12), 350);
        QCOMPARE(StoredSelections::columnWidth(41), 100);
    }
};

QTEST_GUILESS_MAIN(TestQueryHelpers)
#include "tst_query_helpers.moc"
