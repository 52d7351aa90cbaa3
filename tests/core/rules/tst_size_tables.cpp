#include "core/form/form_model.h"
#include "core/form/numbers.h"
#include "core/rules/size_tables.h"

#include <QTest>

#include <cmath>

namespace {

enum Table { Domestic, Imported, Vortex, TurbineFull, TurbineShort };

QStringList fit(Table table, int variant, float qmin, float qmax, const QString& pabsMax, bool* result)
{
    FormModel form;
    form.setText(Field::PabsMax, pabsMax);
    switch (table) {
    case Domestic: *result = fitDomesticRotaryLobeSizes(form, variant, qmin, qmax); break;
    case Imported: *result = fitRootsSizes(form, variant, qmin, qmax); break;
    case Vortex: *result = fitVortexSizes(form, variant, qmin, qmax); break;
    case TurbineFull: *result = fitTurbineSizes(form, true, qmin, qmax); break;
    case TurbineShort: *result = fitTurbineSizes(form, false, qmin, qmax); break;
    }
    return form.items(Field::Size);
}

} // namespace

class TestSizeTables final : public QObject {
    Q_OBJECT

private slots:
    void fitting_data()
    {
        QTest::addColumn<int>("table");
        QTest::addColumn<int>("variant");
        QTest::addColumn<float>("qmin");
        QTest::addColumn<float>("qmax");
        QTest::addColumn<QString>("pabsMax");
        QTest::addColumn<QStringList>("labels");

        QTest::newRow("rotary exact, DN25 only")
            << int(Domestic) << 0 << 0.4f << 16.0f << "200" << QStringList {"25RKD-G10(0.4<=Qg<=16)"};
        QTest::newRow("rotary integrated card: C")
            << int(Domestic) << 1 << 0.4f << 16.0f << "200" << QStringList {"25RKD-G10C(0.4<=Qg<=16)"};
        QTest::newRow("rotary split card: no DN25, widened finds nothing")
            << int(Domestic) << 2 << 0.4f << 16.0f << "200" << QStringList {};
        QTest::newRow("rotary DN150 fitted with lo 2.5")
            << int(Domestic) << 0 << 3.0f << 600.0f << "200"
            << QStringList {"100RKD-G400-4(2.5<=Qg<=650)", "150RKD-G400-6(6.5<=Qg<=650)"};
        QTest::newRow("rotary integrated card, every stem with C")
            << int(Domestic) << 1 << 0.5f << 25.0f << "200"
            << QStringList {"50RKD-G16C(0.5<=Qg<=25)", "50RKD-G25C(0.5<=Qg<=40)", "50RKD-G40C(0.5<=Qg<=65)",
                   "50RKD-G65C(0.5<=Qg<=100)"};
        QTest::newRow("roots widened pass")
            << int(Imported) << 0 << 0.45f << 20.0f << "200"
            << QStringList {"50G16(0.5<=Qg<=25)", "50G25(0.5<=Qg<=40)", "50G40(0.5<=Qg<=65)", "50G65(0.5<=Qg<=100)"};
        QTest::newRow("roots widened upper bound")
            << int(Imported) << 0 << 12.0f << 1900.0f << "200" << QStringList {"200G1000(10<=Qg<=1600)"};
        QTest::newRow("roots beyond the widened bounds")
            << int(Imported) << 0 << 12.0f << 1921.0f << "200" << QStringList {};
        QTest::newRow("roots split card has no DN25 either")
            << int(Imported) << 2 << 0.45f << 12.0f << "200"
            << QStringList {"50G16(0.5<=Qg<=25)", "50G25(0.5<=Qg<=40)", "50G40(0.5<=Qg<=65)", "50G65(0.5<=Qg<=100)"};
        QTest::newRow("turbine full form")
            << int(TurbineFull) << 0 << 100.0f << 1500.0f << "2000"
            << QStringList {"150C(80<=Qg<=1600)", "200B(80<=Qg<=1600)", "250A(80<=Qg<=1600)"};
        QTest::newRow("turbine short form") << int(TurbineShort) << 0 << 100.0f << 1500.0f << "2000"
                                            << QStringList {"150C(80<=Qg<=1600)", "200B(80<=Qg<=1600)"};
        QTest::newRow("turbine pressure cap, nothing widened")
            << int(TurbineFull) << 0 << 100.0f << 1500.0f << "3000" << QStringList {};
        QTest::newRow("turbine cap includes equality")
            << int(TurbineFull) << 0 << 100.0f << 1500.0f << "2500"
            << QStringList {"150C(80<=Qg<=1600)", "200B(80<=Qg<=1600)", "250A(80<=Qg<=1600)"};
        QTest::newRow("turbine order: 80C after 100A")
            << int(TurbineFull) << 0 << 20.0f << 250.0f << "200"
            << QStringList {"80B(13<=Qg<=250)", "100A(13<=Qg<=250)", "80C(20<=Qg<=400)", "100B(20<=Qg<=400)"};
        QTest::newRow("turbine widened") << int(TurbineFull) << 0 << 5.5f << 70.0f << "200"
                                         << QStringList {"50A(6<=Qg<=65)"};
        QTest::newRow("vortex stop at 6400 ends without widening")
            << int(Vortex) << 0 << 30.0f << 300.0f << "7000" << QStringList {};
        QTest::newRow("vortex below the stop")
            << int(Vortex) << 0 << 30.0f << 300.0f << "6400" << QStringList {"80E(30<=Qg<=300)", "80B(28<=Qg<=400)"};
        QTest::newRow("vortex order: 80E before 80B")
            << int(Vortex) << 0 << 30.0f << 200.0f << "200"
            << QStringList {"80D(20<=Qg<=200)", "80E(30<=Qg<=300)", "80B(28<=Qg<=400)"};
        QTest::newRow("vortex widened before the 4000 stop")
            << int(Vortex) << 0 << 50.0f << 900.0f << "3000" << QStringList {"100B(50<=Qg<=800)"};
        QTest::newRow("vortex stop at 4000 keeps the widened pass out")
            << int(Vortex) << 0 << 50.0f << 900.0f << "5000" << QStringList {};
        QTest::newRow("vortex card stop at 500") << int(Vortex) << 1 << 120.0f << 1000.0f << "800" << QStringList {};
        QTest::newRow("vortex card beyond 500")
            << int(Vortex) << 1 << 120.0f << 1000.0f << "500" << QStringList {"150D(100<=Qg<=1200)"};
        QTest::newRow("vortex card rows only")
            << int(Vortex) << 1 << 10.0f << 60.0f << "400" << QStringList {"50D(6<=Qg<=65)", "50B(10<=Qg<=150)"};
        QTest::newRow("vortex card ends before its first row above 900")
            << int(Vortex) << 1 << 10.0f << 60.0f << "901" << QStringList {};
        QTest::newRow("vortex DN200 widened to 300..4320")
            << int(Vortex) << 0 << 300.0f << 4320.0f << "200" << QStringList {"200B(360<=Qg<=3600)"};
    }

    void fitting()
    {
        QFETCH(int, table);
        QFETCH(int, variant);
        QFETCH(float, qmin);
        QFETCH(float, qmax);
        QFETCH(QString, pabsMax);
        QFETCH(QStringList, labels);
        bool result = false;
        QCOMPARE(fit(Table(table), variant, qmin, qmax, pabsMax, &result), labels);
        QCOMPARE(result, !labels.isEmpty());
    }

    // The single-precision flow nearest 0.65 lies below 0.65: no exact fit with lo 0.65.
    void singlePrecisionAgainstDecimalBounds()
    {
        bool result = false;
        const float nearest = 0.65f;
        QVERIFY(double(nearest) < 0.65);
        QCOMPARE(fit(Imported, 0, nearest, 150.0f, QStringLiteral("200"), &result),
            QStringList {"80G100(0.65<=Qg<=160)"}); // found by the widened pass only
        const float above = std::nextafter(nearest, 1.0f);
        QCOMPARE(
            fit(Imported, 0, above, 150.0f, QStringLiteral("200"), &result), QStringList {"80G100(0.65<=Qg<=160)"});
        // the exact pass is told apart where the widened pass would add more rows
        QCOMPARE(fit(Domestic, 0, nearest, 100.0f, QStringLiteral("200"), &result),
            (QStringList {"50RKD-G65(0.5<=Qg<=100)"}));
        QCOMPARE(fit(Domestic, 0, nearest, 101.0f, QStringLiteral("200"), &result),
            (QStringList {"50RKD-G65(0.5<=Qg<=100)", "80RKD-G100(0.65<=Qg<=160)"}));
        QCOMPARE(fit(Domestic, 0, above, 101.0f, QStringLiteral("200"), &result),
            (QStringList {"80RKD-G100(0.65<=Qg<=160)"}));
    }

    // Which pass offered each label of a filled list, told from the label alone.
    void passOfEachOfferedSize_data()
    {
        QTest::addColumn<int>("table");
        QTest::addColumn<int>("variant");
        QTest::addColumn<float>("qmin");
        QTest::addColumn<float>("qmax");
        QTest::addColumn<QStringList>("passes"); // one per offered label
        const QString w = QStringLiteral("widened");
        const QString e = QStringLiteral("exact");
        QTest::newRow("imported, 0.45-20: the widened pass")
            << int(Imported) << 0 << 0.45f << 20.0f << QStringList {w, w, w, w};
        QTest::newRow("nearest single to 0.65 lies below lo")
            << int(Imported) << 0 << 0.65f << 150.0f << QStringList {w};
        QTest::newRow("the next single above it")
            << int(Imported) << 0 << std::nextafter(0.65f, 1.0f) << 150.0f << QStringList {e};
        QTest::newRow("fitted with lo 2.5, labelled 6.5") << int(Domestic) << 0 << 3.0f << 600.0f << QStringList {e, e};
        QTest::newRow("turbine 100-1500") << int(TurbineFull) << 0 << 100.0f << 1500.0f << QStringList {e, e, e};
        QTest::newRow("vortex widened to 4320") << int(Vortex) << 0 << 300.0f << 4320.0f << QStringList {w};
        QTest::newRow("with the C of a card control")
            << int(Domestic) << 1 << 0.45f << 20.0f << QStringList {w, w, w, w};
    }

    void passOfEachOfferedSize()
    {
        QFETCH(int, table);
        QFETCH(int, variant);
        QFETCH(float, qmin);
        QFETCH(float, qmax);
        QFETCH(QStringList, passes);
        bool result = false;
        QStringList got;
        for (const QString& label : fit(Table(table), variant, qmin, qmax, QStringLiteral("200"), &result)) {
            const std::optional<SizeFit> pass = sizeFitOf(label, qmin, qmax);
            QVERIFY2(pass, qPrintable(label));
            got << (*pass == SizeFit::Widened ? QStringLiteral("widened") : QStringLiteral("exact"));
        }
        QCOMPARE(got, passes);
    }

    void noPassForATextNoTableHolds()
    {
        QVERIFY(!sizeFitOf(QStringLiteral("150C"), 100, 1500));
        QVERIFY(!sizeTableRow(QString()));
        QCOMPARE(sizeTableRow(QStringLiteral("150RKD-G400-6C(6.5<=Qg<=650)"))->lo, 2.5);
    }

    void fittingAppendsToTheList()
    {
        FormModel form;
        form.setItems(Field::Size, {QStringLiteral("keep")});
        QVERIFY(fitDomesticRotaryLobeSizes(form, 2, 0.4f, 16.0f)); // the widened pass is skipped: the list is not empty
        QCOMPARE(form.items(Field::Size), QStringList {"keep"});
    }

    void stopsReadThePressureAsShown()
    {
        FormModel form;
        form.setText(Field::PabsMax, QStringLiteral(" 7000"));
        QVERIFY_THROWS_EXCEPTION(GeneralError, fitVortexSizes(form, 0, 30.0f, 300.0f));
        // tables without caps or stops never read it
        QVERIFY(fitDomesticRotaryLobeSizes(form, 0, 0.4f, 16.0f));
    }

    void everyLabelStartsWithItsBore()
    {
        for (const SizeTable& t : {domesticRotaryLobeTable(0), domesticRotaryLobeTable(1), importedRotaryLobeTable(2),
                 vortexTable(0), vortexTable(1), turbineTable(true)}) {
            for (const SizeTableEntry& e : t) {
                if (const auto* row = std::get_if<TSizeCandidate>(&e)) {
                    QVERIFY(row->label.at(0).isDigit());
                    QVERIFY(row->lo < row->hi);
                }
            }
        }
        QCOMPARE(turbineTable(true).size(), size_t(20));
        QCOMPARE(turbineTable(false).size(), size_t(14));
        QCOMPARE(domesticRotaryLobeTable(2).size(), size_t(12));
        QCOMPARE(importedRotaryLobeTable(0).size(), size_t(12));
    }
};

QTEST_GUILESS_MAIN(TestSizeTables)
#include "tst_size_tables.moc"
