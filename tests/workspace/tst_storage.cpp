#include "support/other_program.h"
#include "support/recording_platform.h"
#include "support/selection_script.h"

#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using F = Field;

namespace {

const QString kSaved = QStringLiteral("数据保存完毕，可进行打印输出！");
const QString kExists = QStringLiteral("此选型日期编号系统已存在，不要轻易修改！");
const QString kBusy = QStringLiteral("数据库正被其他程序使用，本次未保存，请稍后再按“保存”！");
const QString kSavedAs = QStringLiteral("已保存为 %1（原编号已被占用）");

// The kind of store the case runs against: a row of the global table.
QString storeKind()
{
    QFETCH_GLOBAL(QString, store);
    return store;
}

// A window of the script runner on a fresh store of the case's kind.
struct Storage : SelectionScript {
    explicit Storage(const QString& location = freshStoreLocation(storeKind()))
        : SelectionScript(location)
    {
    }

    void store(const QString& number)
    {
        QStringList row(45);
        row[0] = number;
        QVERIFY(database->insert(row).ok());
    }
    int stored()
    {
        QSqlQuery q(database.connection());
        q.exec(QStringLiteral("select count(*) from 选型输出"));
        q.next();
        return q.value(0).toInt();
    }
    void sql(const QString& statement)
    {
        QSqlQuery q(database.connection());
        QVERIFY2(q.exec(statement), qPrintable(q.lastError().text()));
    }
    // Makes the engine refuse every insert or delete ("insert", "delete") of the
    // table with `message`, as a full disk or a lock would.
    void refuse(const QString& operation, const QString& message)
    {
        if (storeKind() == u"sqlite") {
            sql(QStringLiteral("create trigger refuse_%1 before %1 on 选型输出 begin select raise(abort, '%2'); end")
                    .arg(operation, message));
            return;
        }
        sql(QStringLiteral("create function refuse_%1() returns trigger language plpgsql as "
                           "$$ begin raise exception '%2'; end $$")
                .arg(operation, message));
        sql(QStringLiteral("create trigger refuse_%1 before %1 on 选型输出 for each row execute function refuse_%1()")
                .arg(operation));
    }
};

// A window with a selection made, on a new store that another program can reach
// too; `lines` run after the selection. The store's location is in `location`.
std::unique_ptr<Storage> selectedOnSharedStore(QString* location, const QString& lines = QString())
{
    *location = freshStoreLocation(storeKind(), true);
    auto s = std::make_unique<Storage>(*location);
    s->run(flowLines(kCity, "1", "15", "400") + "click 选型\n" + lines);
    return s;
}

} // namespace

class TestStorage final : public QObject {
    Q_OBJECT

private slots:
    void initTestCase_data() { addStoreKinds(); }

    void numbering()
    {
        Storage s;
        QCOMPARE(s.text(F::SelectionNo), QStringLiteral("20261210001"));
        s.store(QStringLiteral("20261210009"));
        s.store(QStringLiteral("20261209050")); // another day does not count
        s.store(QStringLiteral("20261211070"));
        s.run("new");
        QCOMPARE(s.workspace.current()->caption(), QStringLiteral("流量计选型-2"));
        QCOMPARE(s.text(F::SelectionNo), QStringLiteral("20261210011"));
    }

    void numberingPastTheLastSequence()
    {
        Storage s;
        s.store(QStringLiteral("20261210999"));
        s.store(QStringLiteral("20261210002"));
        s.run("new");
        // 999 + 2 has four digits: the lowest number neither stored nor shown is taken
        QCOMPARE(s.text(F::SelectionNo), QStringLiteral("20261210003"));
        QCOMPARE(s.text(F::SelectionNo).size(), 11);
    }

    // A number for a save beside the open windows (a batch run's): after the day's
    // stored numbers and after every number an open window shows, typed ones too;
    // past 999 the lowest that neither the store nor a window holds.
    void numberBesideOpenWindows()
    {
        Storage s; // the first window shows 001
        QCOMPARE(s.workspace.numberBesideOpenWindows(), QStringLiteral("20261210002"));
        s.store(QStringLiteral("20261210004"));
        QCOMPARE(s.workspace.numberBesideOpenWindows(), QStringLiteral("20261210005"));
        s.run("type SelectionNo 20261210020");
        QCOMPARE(s.workspace.numberBesideOpenWindows(), QStringLiteral("20261210021"));
        s.run("type SelectionNo 20261210999"); // past 999: the lowest free one
        QCOMPARE(s.workspace.numberBesideOpenWindows(), QStringLiteral("20261210001"));
        s.run("new\ntype SelectionNo 20261210001"); // a second window shows 001
        QCOMPARE(s.workspace.numberBesideOpenWindows(), QStringLiteral("20261210002"));
    }

    // Past 999 the free number avoids every open window's number, whether the window
    // was numbered, restored or edited, and a closed window's number is free again.
    void numberingPastTheLastSequenceAvoidsTheOpenWindows()
    {
        Storage s;
        QCOMPARE(s.text(F::SelectionNo), QStringLiteral("20261210001"));
        s.store(QStringLiteral("20261210999"));
        s.run("new");
        QCOMPARE(s.text(F::SelectionNo), QStringLiteral("20261210002"));
        s.run("type SelectionNo 20261210003"); // 002 is free again
        s.run("new");
        QCOMPARE(s.text(F::SelectionNo), QStringLiteral("20261210002"));
        s.run("new");
        QCOMPARE(s.text(F::SelectionNo), QStringLiteral("20261210004"));
        s.run("window 1\nclose\nnew");
        QCOMPARE(s.workspace.current()->caption(), QStringLiteral("流量计选型-5"));
        QCOMPARE(s.text(F::SelectionNo), QStringLiteral("20261210001"));
        // a window opened from the list and given another number
        s.store(QStringLiteral("20261210005"));
        s.workspace.showMainWindow();
        s.run("open 20261210005\ntype SelectionNo 20261210006\nnew");
        QCOMPARE(s.text(F::SelectionNo), QStringLiteral("20261210007"));
        // a copy is numbered as a new window, and counts as one
        s.run("copy 20261210005");
        QCOMPARE(s.text(F::SelectionNo), QStringLiteral("20261210008"));
        s.run("new");
        QCOMPARE(s.text(F::SelectionNo), QStringLiteral("20261210009"));
        // numbers of another day or not yet complete do not count
        s.run("type SelectionNo 20261211009\nwindow 2\ntype SelectionNo 2026121\nnew");
        QCOMPARE(s.text(F::SelectionNo), QStringLiteral("20261210003"));
        // closing every window frees every number
        while (s.workspace.closeCurrent()) { }
        s.run("new");
        QCOMPARE(s.text(F::SelectionNo), QStringLiteral("20261210001"));
    }

    void numbersOfTheDayUsedUp()
    {
        Storage s;
        s.sql(QStringLiteral("with recursive n(i) as (select 1 union all select i + 1 from n where i < 999) "
                             "insert into 选型输出 (选型编号) select '20261210' || substr(cast(1000 + i as text), 2) "
                             "from n"));
        QCOMPARE(s.stored(), 999);
        const QStringList out = s.run("new");
        QCOMPARE(
            out.first(), showBoxLine("今天的选型日期编号（001～999）已全部使用，请输入其他选型日期编号后再保存！"));
        QCOMPARE(s.text(F::SelectionNo), QString());
        // such a window cannot be saved under an incomplete number
        s.run(flowLines(kCity, "1", "15", "400") + "click 选型\n");
        QCOMPARE(s.run("click 保存"), QStringList {showBoxLine("选型日期编号须为11位数字，请补全后再保存！")});
        QCOMPARE(s.stored(), 999);
    }

    void saveAndItsChecks()
    {
        Storage s;
        QCOMPARE(s.run("click 保存"), QStringList()); // no result: nothing
        s.run(flowLines(kCity, "1", "15", "400") + "click 选型\n");
        QCOMPARE(s.run("click 保存"), QStringList {showBoxLine(kSaved)});
        QCOMPARE(s.workspace.list().rowCount(), 1);
        QCOMPARE(s.workspace.list().row(0), s.pending());
        QCOMPARE(s.run("click 保存"), QStringList {showBoxLine(kExists)});
        QCOMPARE(s.stored(), 1);
        // a number edited after "选型" is the one stored
        s.run("type SelectionNo 20261210123\nclick 保存");
        QCOMPARE(s.workspace.list().caption(0), QStringLiteral("20261210123"));
        QCOMPARE(s.workspace.list().row(0).mid(1), s.pending().mid(1));
        QCOMPARE(s.stored(), 2);
    }

    void resultWithoutPendingRowIsNotSaved()
    {
        Storage s;
        s.workspace.current()->form().setText(F::ResultText, QStringLiteral("VRNA-80B"));
        QCOMPARE(s.run("click 保存"), QStringList());
        QCOMPARE(s.stored(), 0);
    }

    void refusedInsert()
    {
        Storage s;
        s.run(flowLines(kCity, "1", "15", "400") + "click 选型\n");
        s.refuse(QStringLiteral("insert"), QStringLiteral("disk full"));
        const QStringList out = s.run("click 保存");
        QCOMPARE(out.size(), 2);
        QVERIFY(out[0].contains(QStringLiteral("数据错误!\\r\\n(insert into 选型输出 values(?,?,")));
        QVERIFY(out[0].contains(QStringLiteral("(disk full)")));
        QCOMPARE(out[1], showBoxLine("数据保存失败，输出失败！"));
        QCOMPARE(s.workspace.list().rowCount(), 0);
        QCOMPARE(s.stored(), 0);
    }

    // Another program saves the same number between this window's look and its
    // insert. A number the user typed is refused, as if he had come second, and the
    // window keeps its result to be saved under another number; a number the program
    // gave is the program's to change: the selection is saved under the next free
    // one, which the number box and the message show.
    void numberSavedMeanwhileByAnotherProgram_data()
    {
        QTest::addColumn<QString>("lines");
        QTest::addColumn<QString>("number");
        QTest::addColumn<QString>("told");
        QTest::newRow("pasted number") << "paste SelectionNo 20261219999\n"
                                       << "20261219999" << kExists;
        QTest::newRow("automatic number") << ""
                                          << "20261210001" << kSavedAs.arg("20261210002");
    }

    void numberSavedMeanwhileByAnotherProgram()
    {
        QFETCH(QString, lines);
        QFETCH(QString, number);
        QFETCH(QString, told);
        QString path;
        const std::unique_ptr<Storage> window = selectedOnSharedStore(&path, lines);
        Storage& s = *window;
        QVERIFY(s.databaseOpened);
        QCOMPARE(s.text(F::SelectionNo), number);
        const QStringList pending = s.pending();
        {
            // the other program's row is not yet visible when this one looks, and is
            // committed while this one waits to write
            OtherProgram other(path, number);
            QVERIFY(other.held());
            other.release(true, std::chrono::milliseconds(400));
            QCOMPARE(s.run("click 保存"), QStringList {showBoxLine(told)});
        }
        QCOMPARE(s.pending(), pending);
        if (told == kExists) {
            QCOMPARE(s.stored(), 1);
            QCOMPARE(s.workspace.list().rowCount(), 0);
            // under another number it is saved
            QCOMPARE(s.run("paste SelectionNo 20261210002\nclick 保存"), QStringList {showBoxLine(kSaved)});
        } else {
            QCOMPARE(s.text(F::SelectionNo), QStringLiteral("20261210002"));
            QCOMPARE(s.workspace.list().caption(0), QStringLiteral("20261210002"));
            // saved once: again is refused, never a second row under a third number
            QCOMPARE(s.run("click 保存"), QStringList {showBoxLine(kExists)});
        }
        QCOMPARE(s.stored(), 2);
    }

    // Two programs whose windows were opened at the same moment show one number; both
    // save, the second under the next free number.
    void windowsOfTwoProgramsBothSave()
    {
        const QString path = freshStoreLocation(storeKind(), true);
        Storage first(path);
        Storage second(path);
        QCOMPARE(first.text(F::SelectionNo), QStringLiteral("20261210001"));
        QCOMPARE(second.text(F::SelectionNo), QStringLiteral("20261210001"));
        first.run(flowLines(kCity, "1", "15", "400") + "click 选型\n");
        second.run(flowLines(kCity, "2", "30", "400") + "click 选型\n");
        QCOMPARE(first.run("click 保存"), QStringList {showBoxLine(kSaved)});
        QCOMPARE(second.run("click 保存"), QStringList {showBoxLine(kSavedAs.arg("20261210002"))});
        QCOMPARE(second.text(F::SelectionNo), QStringLiteral("20261210002"));
        QCOMPARE(first.stored(), 2);
        const auto stored = first.database->fetch(QStringLiteral("20261210002"));
        QVERIFY(stored.ok() && stored.value());
        QCOMPARE(stored.value()->value(3), QStringLiteral("2"));
    }

    // Another program holds the store: a hold shorter than the wait is waited out and
    // the save goes through; a longer one is told, nothing saved, and the window keeps
    // its result and pending row, so that "保存" pressed again once the other program
    // is done saves it.
    void heldDatabaseIsWaitedForThenTold_data()
    {
        QTest::addColumn<QString>("begin");
        QTest::addColumn<QString>("othersNumber");
        QTest::addColumn<bool>("outlasts"); // the hold outlasts the wait
        QTest::newRow("write transaction, ended soon") << "begin immediate"
                                                       << "" << false;
        QTest::newRow("write transaction storing a row, ended soon") << "begin immediate"
                                                                     << "20261210077" << false;
        QTest::newRow("exclusive transaction, held on") << "begin exclusive"
                                                        << "" << true;
    }

    void heldDatabaseIsWaitedForThenTold()
    {
        QFETCH(QString, begin);
        QFETCH(QString, othersNumber);
        QFETCH(bool, outlasts);
        QString path;
        const std::unique_ptr<Storage> window = selectedOnSharedStore(&path);
        Storage& s = *window;
        QVERIFY(s.databaseOpened);
        const QString code = s.text(F::ResultText);
        const QStringList pending = s.pending();
        {
            OtherProgram other(path, othersNumber, begin);
            QVERIFY(other.held());
            if (!outlasts) {
                other.release(!othersNumber.isEmpty(), std::chrono::milliseconds(1500));
                QCOMPARE(s.run("click 保存"), QStringList {showBoxLine(kSaved)});
                QCOMPARE(s.stored(), othersNumber.isEmpty() ? 1 : 2);
                return;
            }
            QCOMPARE(s.run("click 保存"), QStringList {showBoxLine(kBusy)});
            QCOMPARE(s.text(F::ResultText), code);
            QCOMPARE(s.pending(), pending);
            QCOMPARE(s.workspace.list().rowCount(), 0);
            other.release(false);
        }
        QCOMPARE(s.run("click 保存"), QStringList {showBoxLine(kSaved)});
        QCOMPARE(s.workspace.list().rowCount(), 1);
        QCOMPARE(s.workspace.list().caption(0), QStringLiteral("20261210001"));
        QCOMPARE(s.stored(), 1);
    }

    // Another program deletes a stored row that this list still shows, and a window
    // saves it again: the list shows the number once, at the top.
    void savedAgainAfterAnotherProgramDeletedIt_data()
    {
        QTest::addColumn<QString>("lines");
        QTest::newRow("the window that saved it") << "";
        QTest::newRow("a window opened from the list") << "open 20261210001\n";
    }

    void savedAgainAfterAnotherProgramDeletedIt()
    {
        QFETCH(QString, lines);
        Storage s;
        s.run(flowLines(kCity, "1", "15", "400") + "click 选型\nclick 保存\nnew\n" + flowLines(kCity, "1", "15", "400")
            + "click 选型\nclick 保存\nwindow 1\n" + lines);
        QCOMPARE(s.workspace.list().rowCount(), 2);
        QCOMPARE(s.workspace.list().caption(1), QStringLiteral("20261210001"));
        s.sql(QStringLiteral("delete from 选型输出 where 选型编号='20261210001'"));
        QCOMPARE(s.run("click 保存"), QStringList {showBoxLine(kSaved)});
        QCOMPARE(s.stored(), 2);
        QCOMPARE(s.workspace.list().rowCount(), 2);
        QCOMPARE(s.workspace.list().caption(0), QStringLiteral("20261210001"));
        QCOMPARE(s.workspace.list().caption(1), QStringLiteral("20261210003"));
        QCOMPARE(s.workspace.list().row(0), s.pending());
    }

    void failingExistenceCheckStopsTheSave()
    {
        Storage s;
        s.run(flowLines(kCity, "1", "15", "400") + "click 选型\n");
        s.sql(QStringLiteral("alter table 选型输出 rename to old"));
        const QStringList out = s.run("click 保存");
        QCOMPARE(out.size(), 1);
        QVERIFY(out[0].contains(QStringLiteral("\"kind\":4")));
        QVERIFY(out[0].contains(QStringLiteral("数据查询错误!")));
    }

    void deleteRecord()
    {
        Storage s;
        s.run(flowLines(kCity, "1", "15", "400") + "click 选型\nclick 保存\nnew\n" + flowLines(kCity, "1", "15", "400")
            + "click 选型\nclick 保存\n");
        QCOMPARE(s.workspace.list().rowCount(), 2);
        // window 2 continues the day after 001: 003
        QCOMPARE(s.run("delete 20261210001"), QStringList());
        QCOMPARE(s.workspace.list().rowCount(), 1);
        QCOMPARE(s.workspace.list().caption(0), QStringLiteral("20261210003"));
        QCOMPARE(s.stored(), 1);
        // a refused delete keeps the item
        s.refuse(QStringLiteral("delete"), QStringLiteral("locked"));
        const QStringList out = s.run("delete 20261210003");
        QCOMPARE(out.size(), 2);
        QVERIFY(out[0].contains(QStringLiteral("数据错误!")));
        QCOMPARE(out[1], showBoxLine("删除选型编号（20261210003）信息失败！"));
        QCOMPARE(s.workspace.list().rowCount(), 1);
        // nothing selected: nothing happens
        s.workspace.list().select(QString());
        s.workspace.deleteRecord();
        QCOMPARE(s.workspace.openRecord(), nullptr);
        QCOMPARE(s.workspace.list().rowCount(), 1);
    }

    // A row that another program deleted first: the delete says so and the list
    // lets the item go.
    void deletingARowThatHasVanished()
    {
        Storage s;
        s.store(QStringLiteral("20261210001"));
        s.store(QStringLiteral("20261210002"));
        s.workspace.showMainWindow();
        s.sql(QStringLiteral("delete from 选型输出 where 选型编号='20261210002'"));
        QCOMPARE(s.run("delete 20261210002"),
            QStringList {showBoxLine("选型编号（20261210002）信息已不在数据库中，可能已被其他程序删除！")});
        QCOMPARE(s.workspace.list().rowCount(), 1);
        QCOMPARE(s.workspace.list().caption(0), QStringLiteral("20261210001"));
        QCOMPARE(s.run("delete 20261210001"), QStringList());
        QCOMPARE(s.workspace.list().rowCount(), 0);
        QCOMPARE(s.stored(), 0);
    }

    // Reopening gives back the selection that was saved: the same code and row.
    void reopenEqualsSaved_data()
    {
        QTest::addColumn<QString>("lines");
        const QString point = meteringPointLines(kCity);
        QTest::newRow("turbine, city gas, KEV")
            << point + "choose MeterType 气体涡轮\nchoose Gprs 有\nchoose ExProof 隔爆 dIICT4\n";
        QTest::newRow("turbine, combined 1.0") << point + "choose MeterType 气体涡轮\nchoose CombinedAccuracy 1.0\n";
        QTest::newRow("turbine, base 0.5")
            << point + "choose MeterType 气体涡轮\nchoose CombinedAccuracy 1.0\nchoose BaseAccuracy 0.5\n";
        QTest::newRow("turbine, split card") << point
                + "choose MeterType 气体涡轮\nchoose CardControl 分体\n"
                  "choose CorrectionMode 温压均设置修正\n";
        QTest::newRow("imported turbine without corrector")
            << point + "choose MeterType 气体涡轮\nchoose BaseOrigin 进口\nchoose Corrector 无\n";
        QTest::newRow("rotary-lobe card, money, vertical") << flowLines(kCity, "1", "15", "400")
                + "choose CardControl 一体\nchoose SettlementUnit 货     币（元）\nchoose Installation 垂直\n";
        QTest::newRow("roots without counter, wireless") << flowLines(kCity, "1", "15", "400")
                + "choose BaseOrigin 进口\nchoose MechCounter 无\nchoose ShortRangeWireless 有\n";
        QTest::newRow("RKD-G10 thread without corrector") << flowLines(kCity, "1", "15", "400")
                + "choose MechCounter 无\nchoose PipeConnection 螺纹\nchoose Corrector 无\n";
        QTest::newRow("rotary with pulse output") << flowLines(kCity, "1", "15", "400")
                + "choose SizeSpec 80RKD-G100(0.65<=Qg<=160)\nchoose Corrector 无\n"
                  "choose CounterPulse 有\n";
        QTest::newRow("oil-field turbine") << meteringPointLines(kOil) + "choose Hart 有\n";
        QTest::newRow("oil-field vortex card") << meteringPointLines(kOil)
                + "choose MeterType 气体旋进\n"
                  "choose CardControl 一体\n";
        QTest::newRow("oil-field vortex without corrector")
            << meteringPointLines(kOil) + "choose MeterType 气体旋进\nchoose Corrector 无\nchoose CurrentOutput 有\n";
        QTest::newRow("coal-bed turbine") << meteringPointLines(kCoal);
        QTest::newRow("coal-bed vortex") << meteringPointLines(kCoal) + "choose MeterType 气体旋进\n";
        QTest::newRow("air turbine KEV-G-GW") << meteringPointLines(kAir)
                + "choose MeterType 气体涡轮\nchoose Gprs 有\n"
                  "choose ExProof 隔爆 dIICT4\n";
        QTest::newRow("air roots") << flowLines(kAir, "1", "15", "400") + "choose BaseOrigin 进口\n";
        QTest::newRow("air vortex") << meteringPointLines(kAir) + "choose MeterType 气体旋进\nchoose Hart 有\n";
        QTest::newRow("oxygen vortex") << meteringPointLines(kOxygen) + "choose CurrentOutput 有\n";
        QTest::newRow("oxygen vortex card") << meteringPointLines(kOxygen) + "choose CardControl 一体\n";
        QTest::newRow("computed Zn/Zg, 25/0 reference") << QStringLiteral(
            "paste StdFlowMin 100\npaste StdFlowMax 300\npaste PabsMax 600\npaste Hs 38\n"
            "choose RefCondition 燃烧参比条件:温度25℃,压力101.325kPa;体积计量参比条件:温度0℃,压力101.325kPa\n"
            "click 计算工况流量\nchoose MeterType 气体涡轮\n");
    }

    void reopenEqualsSaved()
    {
        QFETCH(QString, lines);
        Storage s;
        s.run(lines + "click 选型\n");
        const QString code = s.text(F::ResultText);
        QVERIFY(!code.isEmpty());
        const QStringList saved = s.pending();
        QCOMPARE(s.run("click 保存"), QStringList {showBoxLine(kSaved)});
        const QStringList out = s.run("open 20261210001");
        QCOMPARE(out.last(), QStringLiteral("{\"event\":\"window\",\"caption\":\"\",\"SelectionNo\":\"20261210001\"}"));
        QCOMPARE(s.workspace.current()->caption(), QString());
        QCOMPARE(s.text(F::ResultText), code);
        QCOMPARE(s.pending(), saved);
        // and "选型" again gives the same
        s.run("click 选型");
        QCOMPARE(s.pending(), saved);
    }

    // "复制为新选型": a new numbered window holding what opening the row gives, the
    // restore's events first; the stored row is not touched, and the copy saves under
    // its own number.
    void copyAsNew_data() { reopenEqualsSaved_data(); }

    void copyAsNew()
    {
        QFETCH(QString, lines);
        Storage s;
        s.run(lines + "click 选型\n");
        const QString code = s.text(F::ResultText);
        QVERIFY(!code.isEmpty());
        QCOMPARE(s.run("click 保存"), QStringList {showBoxLine(kSaved)});
        const StoredRow stored = *s.database->fetch(QStringLiteral("20261210001")).value();
        const QStringList opened = s.run("open 20261210001");
        const QStringList openedRow = s.pending();
        const QStringList copied = s.run("copy 20261210001");
        QCOMPARE(copied.mid(0, copied.size() - 1), opened.mid(0, opened.size() - 1));
        QCOMPARE(copied.last(),
            QStringLiteral("{\"event\":\"window\",\"caption\":\"流量计选型-2\",\"SelectionNo\":\"20261210003\"}"));
        QCOMPARE(s.workspace.current()->caption(), QStringLiteral("流量计选型-2"));
        QCOMPARE(s.text(F::SelectionNo), QStringLiteral("20261210003"));
        QCOMPARE(s.text(F::ResultText), code);
        QCOMPARE(s.pending().value(0), QStringLiteral("20261210003"));
        QCOMPARE(s.pending().mid(1), openedRow.mid(1));
        QCOMPARE(s.pending().mid(1), stored.mid(1));
        QCOMPARE(*s.database->fetch(QStringLiteral("20261210001")).value(), stored);
        QCOMPARE(s.stored(), 1);
        // saved, it is a second row; the first one stays as it was
        QCOMPARE(s.run("click 保存"), QStringList {showBoxLine(kSaved)});
        QCOMPARE(s.stored(), 2);
        QCOMPARE(*s.database->fetch(QStringLiteral("20261210001")).value(), stored);
        QCOMPARE(s.database->fetch(QStringLiteral("20261210003")).value()->mid(1), stored.mid(1));
        QCOMPARE(s.workspace.list().caption(0), QStringLiteral("20261210003"));
    }

    void restoreWithASizeNoLongerOffered()
    {
        Storage s;
        s.run(flowLines(kCity, "1", "15", "400") + "click 选型\n");
        QStringList row = s.pending();
        row[43] = QStringLiteral("99RKD-G99(1<=Qg<=2)");
        QVERIFY(s.database->insert(row).ok());
        s.workspace.showMainWindow();
        const QStringList out = s.run("open 20261210001");
        QVERIFY(out.contains(showBoxLine("选型内容不全，无法选型！")));
        QCOMPARE(s.text(F::Size), QString());
        QCOMPARE(s.text(F::ResultText), QString()); // the stored code is not left standing
        QVERIFY(!s.hasPending());
    }

    void restoreWithACardAndAnUnreadableSize()
    {
        // with a card control the bore of the size is read: no size, no bore, an error
        Storage s;
        s.run(flowLines(kCity, "1", "15", "400") + "choose CardControl 一体\nclick 选型\n");
        QStringList row = s.pending();
        row[43] = QStringLiteral("25RKD-G10(bogus)");
        QVERIFY(s.database->insert(row).ok());
        s.workspace.showMainWindow();
        const QStringList out = s.run("open 20261210001");
        QVERIFY(out.contains(QStringLiteral("{\"event\":\"error\",\"text\":\"'' is not a valid integer value\"}")));
        QCOMPARE(s.form().count(F::PressSensorUpper), 0);
        QCOMPARE(s.text(F::ResultText), QString());
        QCOMPARE(s.workspace.windows().size(), size_t(2)); // the window stays open
    }

    void sameRecordTwice()
    {
        Storage s;
        s.run(flowLines(kCity, "1", "15", "400") + "click 选型\nclick 保存\nopen 20261210001\nopen 20261210001\n");
        QCOMPARE(s.workspace.windows().size(), size_t(3));
        QCOMPARE(s.workspace.windows()[1]->caption(), QString());
        QCOMPARE(s.workspace.windows()[2]->form().text(F::SelectionNo), QStringLiteral("20261210001"));
        s.run("new");
        QCOMPARE(s.workspace.current()->caption(), QStringLiteral("流量计选型-2"));
    }

    void print()
    {
        Storage s;
        s.run(flowLines(kCity, "1", "15", "400") + "click 选型\n");
        QCOMPARE(s.run("click 打印"), QStringList {showBoxLine("系统还未保存该编号选型信息！")});
        s.run("click 保存");
        QCOMPARE(s.run("click 打印"),
            QStringList {QStringLiteral("{\"event\":\"preview\",\"SelectionNo\":\"20261210001\"}")});
        s.run("type SelectionNo 20261210777");
        QCOMPARE(s.run("click 打印"), QStringList {showBoxLine("系统还未保存该编号选型信息！")});
    }

    void listShowsRowsTopFirst()
    {
        Storage s;
        s.store(QStringLiteral("20261210004"));
        s.store(QStringLiteral("20261210002"));
        s.workspace.showMainWindow();
        const QStringList out = s.run("list");
        QCOMPARE(out.size(), 2);
        QVERIFY(out[0].startsWith(QStringLiteral("{\"event\":\"row\",\"values\":[\"20261210004\"")));
        QVERIFY(out[1].startsWith(QStringLiteral("{\"event\":\"row\",\"values\":[\"20261210002\"")));
        QCOMPARE(s.run("open 20261210009").size(), 1); // not in the list: a script error
    }

    // Random selections saved and reopened come back as they were saved.
    void randomSelectionsReopen()
    {
        Storage s;
        QRandomGenerator rng(99);
        const QStringList media = {kCity, kOil, kCoal, kAir, kOxygen};
        const QStringList flows = {"0.4", "1", "12", "30", "80", "150", "400", "900"};
        const QStringList pressures = {"150", "400", "600", "750", "2000"};
        QStringList choices;
        for (Field f : allFields())
            if (s.form().kind(f) == ControlKind::List || s.form().kind(f) == ControlKind::Radio)
                choices << fieldName(f);
        int reopened = 0;
        for (int round = 0; round < 300; ++round) {
            const QString q1 = flows[rng.bounded(int(flows.size()))];
            s.run("new\n"
                + flowLines(media[rng.bounded(5)], q1, QString::number(q1.toDouble() * 3),
                    pressures[rng.bounded(int(pressures.size()))]));
            for (int i = 0; i < 6; ++i) {
                const QString name = choices[rng.bounded(int(choices.size()))];
                const QStringList offered = s.form().items(*fieldByName(name));
                if (!offered.isEmpty() && s.form().enabled(*fieldByName(name)))
                    s.run(QStringLiteral("choose %1 \"%2\"").arg(name, offered[rng.bounded(int(offered.size()))]));
            }
            s.run("click 选型");
            if (!s.hasPending())
                continue;
            const QString number = QStringLiteral("2026121%1").arg(round, 4, 10, QChar(u'0'));
            s.run("paste SelectionNo " + number + "\nclick 选型\nclick 保存");
            const QStringList saved = s.pending();
            s.run("open " + number);
            QCOMPARE(s.pending(), saved);
            ++reopened;
        }
        QVERIFY2(reopened > 100, qPrintable(QString::number(reopened)));
    }
};

QTEST_GUILESS_MAIN(TestStorage)
#include "tst_storage.moc"
