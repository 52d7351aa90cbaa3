#include "support/window_fixture.h"
#include "workspace/size_candidates.h"

#include <QTest>

using F = Field;

namespace {

// A point whose working flows are `qmin` and `qmax` m3/h: Zn/Zg typed so that the
// conversion factors are 1 at 20 C, whatever the pressures.
void pointAt(WindowFixture& w, const QString& medium, const QString& qmin, const QString& qmax, const QString& pmin,
    const QString& pmax)
{
    w.choose(F::Medium, medium);
    w.typedZnZg(qmin, qmax, pmin, pmax, QStringLiteral("20"), QStringLiteral("20"));
    w.paste(F::ZnZgMin, QString::number(101.325 / pmax.toDouble(), 'g', 12));
    w.paste(F::ZnZgMax, QString::number(101.325 / pmin.toDouble(), 'g', 12));
    w.compute();
}

// "type|size|low|high|use|margin|velocity|fit|over" of each candidate, in order.
QStringList rowsOf(const std::vector<SizeCandidate>& candidates)
{
    QStringList out;
    for (const SizeCandidate& c : candidates) {
        out << QStringList {c.meterType, c.sizeSpec, c.use.capacity.lowText, c.use.capacity.highText, c.use.useAtMax,
            c.use.marginAtMin, c.velocity, c.fitText(), c.overRange() ? QStringLiteral("over") : QStringLiteral("in")}
                   .join(u'|');
    }
    return out;
}

const QString kCity = QStringLiteral("城市天然气或城市煤气");

} // namespace

class TestSizeCandidates final : public QObject {
    Q_OBJECT

private slots:
    void candidatesAndTheirFigures_data()
    {
        QTest::addColumn<QString>("medium");
        QTest::addColumn<QStringList>("point"); // Qmin, Qmax (working), PabsMin, PabsMax
        QTest::addColumn<QStringList>("rows");
        // above 1600 kPa only the turbine is offered; its full table from DN150 up
        QTest::newRow("turbine, full form, 100-1500, 2000 kPa")
            << kCity << QStringList {"100", "1500", "1500", "2000"}
            << QStringList {"气体涡轮|150C(80<=Qg<=1600)|80|1600|93.8|1.25|23.58|exact|in",
                   "气体涡轮|200B(80<=Qg<=1600)|80|1600|93.8|1.25|13.26|exact|in",
                   "气体涡轮|250A(80<=Qg<=1600)|80|1600|93.8|1.25|8.49|exact|in"};
        // no exact fit anywhere: the rotary-lobe list comes from the widened pass, and no
        // turbine fits even widened, so that type has no row
        QTest::newRow("widened rotary-lobe, 0.45-20")
            << kCity << QStringList {"0.45", "20", "101.325", "101.325"}
            << QStringList {"气体腰轮(罗茨)|50RKD-G16(0.5<=Qg<=25)|0.5|25|80.0|0.90|2.83|widened|over",
                   "气体腰轮(罗茨)|50RKD-G25(0.5<=Qg<=40)|0.5|40|50.0|0.90|2.83|widened|over",
                   "气体腰轮(罗茨)|50RKD-G40(0.5<=Qg<=65)|0.5|65|30.8|0.90|2.83|widened|over",
                   "气体腰轮(罗茨)|50RKD-G65(0.5<=Qg<=100)|0.5|100|20.0|0.90|2.83|widened|over"};
        // fitted with 2.5 although its label says 6.5: exact, yet below the stated range
        QTest::newRow("exact row below its stated range, 3-600")
            << kCity << QStringList {"3", "600", "101.325", "101.325"}
            << QStringList {"气体腰轮(罗茨)|100RKD-G400-4(2.5<=Qg<=650)|2.5|650|92.3|1.20|21.22|exact|in",
                   "气体腰轮(罗茨)|150RKD-G400-6(6.5<=Qg<=650)|6.5|650|92.3|0.46|9.43|exact|over"};
        // the vortex table stops at 6400 kPa before its DN80 rows: a type without sizes
        QTest::newRow("vortex stopped by the pressure, 30-300, 7000 kPa")
            << QStringLiteral("油田天然气") << QStringList {"30", "300", "5000", "7000"} << QStringList {};
        // air above the rotary-lobe's 1600 m3/h: turbine and vortex, in the list's order
        QTest::newRow("air, turbine and vortex, 150-2000")
            << QStringLiteral("空气或氮气或惰性气体") << QStringList {"150", "2000", "300", "400"}
            << QStringList {"气体涡轮|200C(130<=Qg<=2500)|130|2500|80.0|1.15|17.68|exact|in",
                   "气体涡轮|250B(130<=Qg<=2500)|130|2500|80.0|1.15|11.32|exact|in",
                   "气体涡轮|300A(130<=Qg<=2500)|130|2500|80.0|1.15|7.86|exact|in",
                   "气体旋进|150B(150<=Qg<=2250)|150|2250|88.9|1.00|31.44|exact|in"};
    }

    void candidatesAndTheirFigures()
    {
        QFETCH(QString, medium);
        QFETCH(QStringList, point);
        QFETCH(QStringList, rows);
        WindowFixture w;
        pointAt(w, medium, point[0], point[1], point[2], point[3]);
        QVERIFY(!w.text(F::WorkFlowMax).isEmpty());
        w.ui.take();
        const FormModel before = w.form();
        QCOMPARE(rowsOf(sizeCandidates(w.window.context())), rows);
        // the window itself is not touched and shows nothing
        QVERIFY(w.ui.events.isEmpty());
        for (Field f : allFields()) {
            QCOMPARE(w.form().text(f), before.text(f));
            QCOMPARE(w.form().items(f), before.items(f));
            QCOMPARE(w.form().enabled(f), before.enabled(f));
        }
    }

    // Each type's candidates are the size list the window shows when the user chooses
    // that type, in the type list's order.
    void candidatesAreTheListsOfTheWindow_data()
    {
        QTest::addColumn<QString>("medium");
        QTest::addColumn<QStringList>("point");
        QTest::newRow("city gas, two types") << kCity << QStringList {"40", "120", "300", "400"};
        QTest::newRow("air, widened") << QStringLiteral("空气或氮气或惰性气体")
                                      << QStringList {"0.45", "20", "101.325", "200"};
        QTest::newRow("oil field, card control offered")
            << QStringLiteral("油田天然气") << QStringList {"20", "140", "300", "700"};
        QTest::newRow("oxygen, vortex only")
            << QStringLiteral("氧气或氢气") << QStringList {"100", "1000", "300", "400"};
    }

    void candidatesAreTheListsOfTheWindow()
    {
        QFETCH(QString, medium);
        QFETCH(QStringList, point);
        WindowFixture w;
        pointAt(w, medium, point[0], point[1], point[2], point[3]);
        const std::vector<SizeCandidate> candidates = sizeCandidates(w.window.context());
        QStringList expected;
        for (const QString& type : w.items(F::MeterType)) {
            w.choose(F::MeterType, type);
            for (const QString& size : w.items(F::Size))
                expected << type + u'|' + size;
        }
        QStringList got;
        for (const SizeCandidate& c : candidates)
            got << c.meterType + u'|' + c.sizeSpec;
        QVERIFY(!got.isEmpty());
        QCOMPARE(got, expected);
    }

    void noneBeforeAComputationNorAfterAnInputChanged()
    {
        WindowFixture w;
        QVERIFY(sizeCandidates(w.window.context()).empty());
        pointAt(
            w, kCity, QStringLiteral("100"), QStringLiteral("1500"), QStringLiteral("1500"), QStringLiteral("2000"));
        QCOMPARE(sizeCandidates(w.window.context()).size(), size_t(3));
        w.paste(F::StdFlowMax, QStringLiteral("1400"));
        QVERIFY(sizeCandidates(w.window.context()).empty());
        // a refused computation leaves none either
        w.paste(F::StdFlowMin, QStringLiteral("2000"));
        w.compute();
        QVERIFY(sizeCandidates(w.window.context()).empty());
    }

    void velocityInTheBore_data()
    {
        QTest::addColumn<double>("flow");
        QTest::addColumn<double>("dn");
        QTest::addColumn<double>("velocity");
        // v = Q / 3600 / (pi DN^2 / 4)
        QTest::newRow("DN100, 1000 m3/h") << 1000.0 << 100.0 << 35.367765;
        QTest::newRow("DN25, 16 m3/h") << 16.0 << 25.0 << 9.054148;
        QTest::newRow("no flow") << 0.0 << 50.0 << 0.0;
    }

    void velocityInTheBore()
    {
        QFETCH(double, flow);
        QFETCH(double, dn);
        QFETCH(double, velocity);
        QVERIFY2(qAbs(boreVelocity(flow, dn) - velocity) < 1e-5, qPrintable(QString::number(boreVelocity(flow, dn))));
    }
};

QTEST_GUILESS_MAIN(TestSizeCandidates)
#include "tst_size_candidates.moc"
