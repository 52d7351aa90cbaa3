#include "core/record/columns.h"
#include "core/record/selection_record.h"
#include "support/selection_script.h"

#include <QTest>

using F = Field;

namespace {

const QString kSaved = QStringLiteral("数据保存完毕，可进行打印输出！");

QString columnLabel(const Column& c)
{
    return QString::fromUtf8(c.name);
}

} // namespace

// Every column of the table, one by one: the saved form becomes a row, the row is
// stored and reopened, and the reopened window shows what the saved one showed.
class TestColumnRoundTrip final : public QObject {
    Q_OBJECT

private slots:
    void column_data()
    {
        QTest::addColumn<QString>("lines");
        QTest::addColumn<int>("column");
        const QList<QPair<const char*, QString>> selections = {
            {"rotary-lobe card, money, vertical",
                flowLines(kCity, "1", "15", "400")
                    + "choose CardControl 一体\nchoose SettlementUnit 货     币（元）\nchoose Installation 垂直\n"},
            {"turbine, KEV, flameproof",
                meteringPointLines(kCity) + "choose MeterType 气体涡轮\nchoose Gprs 有\nchoose ExProof 隔爆 dIICT4\n"},
            {"vortex, oil-field gas, HART", meteringPointLines(kOil) + "choose MeterType 气体旋进\nchoose Hart 有\n"},
        };
        for (const auto& [name, lines] : selections) {
            for (int k = 0; k < kColumnCount; ++k)
                QTest::addRow("%s: %s", name, qPrintable(columnLabel(columns()[static_cast<size_t>(k)]))) << lines << k;
        }
    }

    void column()
    {
        QFETCH(QString, lines);
        QFETCH(int, column);
        const Column& c = columns()[static_cast<size_t>(column)];
        SelectionScript s;
        s.run(lines + "click 选型\n");
        QVERIFY(s.hasPending());
        const TSelection before = snapshot(s.form(), s.workspace.current()->context().correctorModel);
        // record -> row: the column holds its value at its place
        QCOMPARE(s.pending()[column], before.valueOf(c));
        QCOMPARE(s.run("click 保存"), QStringList {showBoxLine(kSaved)});
        // row -> restore -> the same form
        s.run("open " + s.text(F::SelectionNo));
        QVERIFY(s.hasPending());
        const TSelection after = snapshot(s.form(), s.workspace.current()->context().correctorModel);
        QCOMPARE(after.valueOf(c), before.valueOf(c));
        QCOMPARE(s.pending()[column], before.valueOf(c));
    }
};

QTEST_GUILESS_MAIN(TestColumnRoundTrip)
#include "tst_column_round_trip.moc"
