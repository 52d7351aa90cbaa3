#include "support/selection_script.h"

#include <QSet>
#include <QSqlQuery>
#include <QTest>

// The main window's list as a view on the store: pages read as they are asked for,
// the saved row at the top, selecting, opening, copying and deleting by the number,
// and the search.
namespace {

const QString kSaved = QStringLiteral("数据保存完毕，可进行打印输出！");

struct ListScript : SelectionScript {
    using SelectionScript::SelectionScript;

    SelectionList& list() { return workspace.list(); }

    // `count` stored rows numbered 20250000001 upwards (the highest is the newest),
    // each with a model code of its own: "CODE-<n>"; every tenth row's medium is
    // oxygen, the others city gas. Then the list is read from the top.
    void storeRows(int count)
    {
        QSqlQuery q(database.connection());
        QVERIFY(q.exec(
            QStringLiteral("with recursive n(i) as (select 1 union all select i + 1 from n where i < %1) "
                           "insert into 选型输出 (选型编号, 仪表型号规格, 使用介质, 产品名称) "
                           "select '2025' || substr('0000000' || i, -7), 'CODE-' || i, "
                           "case when i % 10 = 0 then '氧气或氢气' else '城市天然气或城市煤气' end, '气体涡轮' from n")
                .arg(count)));
        workspace.showMainWindow();
    }
    static QString number(int i) { return QStringLiteral("2025%1").arg(i, 7, 10, QChar(u'0')); }
    // The numbers the list holds now, top first.
    QStringList held()
    {
        QStringList out;
        for (int i = 0; i < list().rowCount(); ++i)
            out << list().caption(i);
        return out;
    }
    // Scrolls to the end: pages until none is left.
    int readAll()
    {
        int pages = 0;
        while (list().canFetchMore()) {
            list().fetchMore();
            ++pages;
        }
        return pages;
    }
    // The numbers a script's `list` prints.
    QStringList listed(const QString& line = QStringLiteral("list"))
    {
        QStringList out;
        for (const QString& event : run(line)) {
            if (!event.startsWith(QStringLiteral("{\"event\":\"row\",\"values\":[\"")))
                return {event};
            out << event.mid(26, event.indexOf(u'"', 26) - 26);
        }
        return out;
    }
    QStringList newestFirst(int from, int to)
    {
        QStringList out;
        for (int i = to; i >= from; --i)
            out << number(i);
        return out;
    }
    void sql(const QString& statement) { QVERIFY(QSqlQuery(database.connection()).exec(statement)); }
};

} // namespace

class TestSelectionList final : public QObject {
    Q_OBJECT

private slots:
    // Start-up reads one page, whatever is stored; the rest comes page by page.
    void startUpReadsOnePage()
    {
        ListScript s;
        s.storeRows(250);
        QCOMPARE(s.list().rowCount(), SelectionList::kPageRows);
        QCOMPARE(s.held(), s.newestFirst(151, 250));
        QVERIFY(s.list().canFetchMore());
        QVERIFY(s.list().fetchMore());
        QCOMPARE(s.list().rowCount(), 200);
        QVERIFY(s.list().fetchMore());
        QCOMPARE(s.held(), s.newestFirst(1, 250));
        QVERIFY(!s.list().canFetchMore());
        QCOMPARE(s.list().row(249).mid(0, 3), (QStringList {s.number(1), "CODE-1", "城市天然气或城市煤气"}));
        QCOMPARE(s.list().row(0).size(), 45);
    }

    // `list` prints every row, top first, without holding them all.
    void listPrintsEveryRowTopFirst()
    {
        ListScript s;
        s.storeRows(2345);
        QCOMPARE(s.listed(), s.newestFirst(1, 2345));
        QCOMPARE(s.list().rowCount(), SelectionList::kPageRows);
        s.list().fetchMore();
        QCOMPARE(s.listed(), s.newestFirst(1, 2345));
    }

    // Scrolling to the end of a large file reaches the oldest row, each row once.
    void scrollingToTheEndReachesTheOldestRow()
    {
        ListScript s;
        s.storeRows(20000);
        QCOMPARE(s.readAll(), 200); // the last page comes back short (empty here)
        QCOMPARE(s.list().rowCount(), 20000);
        QCOMPARE(s.list().caption(0), s.number(20000));
        QCOMPARE(s.list().caption(19999), s.number(1));
        const QStringList held = s.held();
        QCOMPARE(QSet<QString>(held.begin(), held.end()).size(), 20000);
    }

    // A saved row goes to the top however high its number; the pages read after it
    // do not bring it a second time, and the rows held before stay where they were.
    void savedRowAtTheTopOnce_data()
    {
        QTest::addColumn<QString>("number");
        QTest::newRow("newest number") << "20261210001";
        QTest::newRow("a number not yet read") << "20250000042";
        QTest::newRow("a number among those read") << "20250000230";
        QTest::newRow("the last number read") << "20250000151";
    }

    void savedRowAtTheTopOnce()
    {
        QFETCH(QString, number);
        ListScript s;
        s.storeRows(250);
        if (number != u"20261210001")
            s.sql(QStringLiteral("delete from 选型输出 where 选型编号='%1'").arg(number));
        s.run(flowLines(kCity, "1", "15", "400") + "click 选型\npaste SelectionNo " + number + "\n");
        const QStringList before = s.held();
        QCOMPARE(s.run("click 保存"), QStringList {showBoxLine(kSaved)});
        QCOMPARE(s.list().caption(0), number);
        QCOMPARE(s.list().row(0).mid(1), s.pending().mid(1));
        QStringList others = s.held().mid(1);
        QStringList expected = before;
        expected.removeAll(number);
        QCOMPARE(others, expected);
        s.readAll();
        const QStringList all = s.held();
        QCOMPARE(all.count(number), 1);
        QCOMPARE(all.size(), 250 + (number == u"20261210001" ? 1 : 0));
        QCOMPARE(s.listed().count(number), 1);
        // read from the top again, it takes its place in number order
        QCOMPARE(s.listed("find").indexOf(number), number == u"20261210001" ? 0 : 250 - number.right(7).toInt());
    }

    // Deleting goes by the number: a row held goes from the list, and a row not yet
    // read never comes.
    void deleteByNumber()
    {
        ListScript s;
        s.storeRows(250);
        s.list().fetchMore();
        QCOMPARE(s.run("delete " + s.number(120)), QStringList());
        QCOMPARE(s.list().rowCount(), 199);
        QVERIFY(!s.held().contains(s.number(120)));
        QCOMPARE(s.run("delete " + s.number(7)), QStringList()); // not yet read
        QCOMPARE(s.list().rowCount(), 199);
        s.readAll();
        QCOMPARE(s.list().rowCount(), 248);
        QVERIFY(!s.held().contains(s.number(7)));
        QCOMPARE(s.listed().size(), 248);
        QCOMPARE(s.run("delete " + s.number(7)).size(), 1); // gone: a script error
    }

    // Opening and copying a row that the list has not read yet: it is read by its
    // number.
    void openAndCopyRowsNotYetRead()
    {
        ListScript s;
        s.storeRows(250);
        QStringList out = s.run("open " + s.number(3));
        QCOMPARE(out.last(),
            QStringLiteral("{\"event\":\"window\",\"caption\":\"\",\"SelectionNo\":\"%1\"}").arg(s.number(3)));
        out = s.run("copy " + s.number(3));
        QCOMPARE(out.last(),
            QStringLiteral("{\"event\":\"window\",\"caption\":\"流量计选型-2\",\"SelectionNo\":\"20261210002\"}"));
        QCOMPARE(s.list().rowCount(), SelectionList::kPageRows); // nothing more was read
        QCOMPARE(s.run("open 20250000251").size(), 1);           // not stored: a script error
    }

    // The selection is a number: pages read, rows saved or deleted above it do not
    // move it to another row.
    void selectionStaysWithItsNumber()
    {
        ListScript s;
        s.storeRows(250);
        s.list().selectItem(5);
        QCOMPARE(s.list().selected(), s.number(245));
        s.list().fetchMore();
        s.run(flowLines(kCity, "1", "15", "400") + "click 选型\nclick 保存\n");
        s.workspace.list().removeNumber(s.number(250));
        QCOMPARE(s.list().selected(), s.number(245));
        SelectionWindow* opened = s.workspace.openRecord();
        QVERIFY(opened);
        QCOMPARE(opened->form().text(Field::SelectionNo), s.number(245));
        s.list().removeNumber(s.number(245));
        QCOMPARE(s.list().selected(), QString());
        QCOMPARE(s.workspace.openRecord(), nullptr);
        s.list().selectItem(1000);
        QCOMPARE(s.list().selected(), QString());
    }

    // A row another program deleted meanwhile is not opened or copied: the user is
    // told, and the list lets the item go.
    void openingARowThatHasVanished_data()
    {
        QTest::addColumn<QString>("command");
        QTest::newRow("open") << "open";
        QTest::newRow("copy") << "copy";
    }

    void openingARowThatHasVanished()
    {
        QFETCH(QString, command);
        ListScript s;
        s.storeRows(3);
        s.sql(QStringLiteral("delete from 选型输出 where 选型编号='%1'").arg(s.number(2)));
        const size_t windows = s.workspace.windows().size();
        QCOMPARE(s.run(command + " " + s.number(2)),
            QStringList {showBoxLine("选型编号（20250000002）信息已不在数据库中，可能已被其他程序删除！")});
        QCOMPARE(s.workspace.windows().size(), windows);
        QCOMPARE(s.held(), (QStringList {s.number(3), s.number(1)}));
    }

    // The search reads pages of the rows it finds; a row it does not find is not in
    // the list, and a row saved meanwhile shows only if it finds it.
    void searchPagesAndSaves()
    {
        ListScript s;
        s.storeRows(2500);
        // every tenth row is oxygen: 250 rows, three pages
        QCOMPARE(s.listed("find 氧气"), [&] {
            QStringList out;
            for (int i = 2500; i >= 10; i -= 10)
                out << s.number(i);
            return out;
        }());
        QCOMPARE(s.list().search(), QStringLiteral("氧气"));
        QCOMPARE(s.list().rowCount(), SelectionList::kPageRows);
        QCOMPARE(s.readAll(), 2);
        QCOMPARE(s.list().rowCount(), 250);
        QCOMPARE(s.list().caption(249), s.number(10));
        // number prefix, and a code, lower case
        QCOMPARE(s.listed("find 2025000123"), s.newestFirst(1230, 1239));
        QCOMPARE(s.listed("find 20250001").size(), 1000);
        QCOMPARE(s.listed("find code-2499"), QStringList {s.number(2499)});
        // only rows the search finds can be opened
        QCOMPARE(s.run("open " + s.number(2498)).size(), 1);
        QCOMPARE(s.run("open " + s.number(2499)).last(),
            QStringLiteral("{\"event\":\"window\",\"caption\":\"\",\"SelectionNo\":\"%1\"}").arg(s.number(2499)));
        // a city-gas selection saved while the box holds "氧气": not shown
        s.run("find 氧气\nnew\n" + flowLines(kCity, "1", "15", "400") + "click 选型\nclick 保存\n");
        const QString city = s.text(Field::SelectionNo);
        QCOMPARE(s.list().caption(0), s.number(2500));
        // an oxygen one: shown at the top
        s.run("new\n" + meteringPointLines(kOxygen) + "click 选型\nclick 保存\n");
        const QString oxygen = s.text(Field::SelectionNo);
        QCOMPARE(s.list().caption(0), oxygen);
        QCOMPARE(s.listed().size(), 251);
        // an empty search: every row again, newest number first
        const QStringList all = s.listed("find");
        QCOMPARE(all.size(), 2502);
        QCOMPARE(all.mid(0, 2), (QStringList {oxygen, city}));
        QCOMPARE(all.last(), s.number(1));
    }

    // A store that cannot be read: the error box once, and the list holds what it
    // has; a line that needs the store is a script error.
    void storeThatCannotBeRead()
    {
        ListScript s;
        s.storeRows(150);
        s.sql(QStringLiteral("alter table 选型输出 rename to old"));
        const QStringList out = s.run("list");
        QCOMPARE(out.size(), 100 + 3); // the rows held, then two beeps and the error
        QVERIFY(out.last().contains(QStringLiteral("数据错误!")));
        QVERIFY(!s.list().canFetchMore());
        s.sql(QStringLiteral("alter table old rename to 选型输出"));
        QCOMPARE(s.listed().size(), 100);
        s.sql(QStringLiteral("alter table 选型输出 rename to old"));
        QCOMPARE(s.run("find x").size(), 3);
        QCOMPARE(s.list().rowCount(), 0);
        const QStringList error = s.run("open " + s.number(1));
        QCOMPARE(error.size(), 1);
        QVERIFY(error[0].contains(QStringLiteral("script-error")));
        s.sql(QStringLiteral("alter table old rename to 选型输出"));
        QCOMPARE(s.listed("find").size(), 150);
    }
};

QTEST_GUILESS_MAIN(TestSelectionList)
#include "tst_selection_list.moc"
