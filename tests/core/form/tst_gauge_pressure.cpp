#include "core/form/gauge_pressure.h"

#include <QTest>

class TestGaugePressure final : public QObject {
    Q_OBJECT

private slots:
    // Worked examples: a data sheet's gauge reading and the box text it gives.
    void absoluteText_data()
    {
        QTest::addColumn<double>("gauge");
        QTest::addColumn<QString>("unit");
        QTest::addColumn<double>("atmosphere");
        QTest::addColumn<QString>("text");
        QTest::newRow("MPa, standard atmosphere") << 0.2 << "MPa" << 101.325 << "301.325";
        QTest::newRow("bar, the same pressure") << 2.0 << "bar" << 101.325 << "301.325";
        QTest::newRow("kPa, the same pressure") << 200.0 << "kPa" << 101.325 << "301.325";
        QTest::newRow("a rated 1.6 MPa") << 1.6 << "MPa" << 101.325 << "1701.325";
        QTest::newRow("no gauge pressure") << 0.0 << "MPa" << 101.325 << "101.325";
        QTest::newRow("a site on high ground") << 0.1 << "MPa" << 95.0 << "195";
        QTest::newRow("bar with a local atmosphere") << 0.35 << "bar" << 101.3 << "136.3";
        QTest::newRow("smallest MPa step") << 0.0001 << "MPa" << 101.325 << "101.425";
        QTest::newRow("exponent") << 1.5e-1 << "MPa" << 101.325 << "251.325";
        QTest::newRow("under the atmosphere") << -0.05 << "MPa" << 101.325 << "51.325";
        QTest::newRow("exactly vacuum") << -101.325 << "kPa" << 101.325 << "0";
        QTest::newRow("beyond vacuum, left to the window") << -2.0 << "bar" << 101.325 << "-98.675";
        QTest::newRow("below a milli-pascal") << 1e-9 << "kPa" << 101.325 << "101.325";
        QTest::newRow("a large reading") << 250.0 << "MPa" << 101.325 << "250101.325";
    }

    void absoluteText()
    {
        QFETCH(double, gauge);
        QFETCH(QString, unit);
        QFETCH(double, atmosphere);
        QFETCH(QString, text);
        const std::optional<PressureUnit> u = pressureUnitByName(unit);
        QVERIFY(u);
        const std::optional<double> kpa = absolutePressureKpa(gauge, *u, atmosphere);
        QVERIFY(kpa);
        QCOMPARE(pressureBoxText(*kpa), text);
    }

    void beyondDoublePrecision()
    {
        QVERIFY(!absolutePressureKpa(1e306, PressureUnit::MPa, kStandardAtmosphereKpa));
        QVERIFY(absolutePressureKpa(1e306, PressureUnit::KPa, kStandardAtmosphereKpa));
    }

    void unitNames_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("unit"); // -1: no unit
        QTest::newRow("kPa") << "kPa" << int(PressureUnit::KPa);
        QTest::newRow("MPa") << "MPa" << int(PressureUnit::MPa);
        QTest::newRow("bar") << "bar" << int(PressureUnit::Bar);
        QTest::newRow("milli-pascal is no unit of ours") << "mPa" << -1;
        QTest::newRow("capitals") << "KPA" << -1;
        QTest::newRow("Bar") << "Bar" << -1;
        QTest::newRow("psi") << "psi" << -1;
        QTest::newRow("blank around") << " kPa" << -1;
        QTest::newRow("empty") << "" << -1;
    }

    void unitNames()
    {
        QFETCH(QString, name);
        QFETCH(int, unit);
        const std::optional<PressureUnit> u = pressureUnitByName(name);
        QCOMPARE(u ? int(*u) : -1, unit);
        if (u)
            QCOMPARE(pressureUnitNames().value(unit), name);
    }
};

QTEST_GUILESS_MAIN(TestGaugePressure)
#include "tst_gauge_pressure.moc"
