#include "core/gas/flow_conversion.h"

#include <QTest>

#include <limits>

Q_DECLARE_METATYPE(FlowOperand)
Q_DECLARE_METATYPE(GasData)

namespace {

FlowOperands operands(double stdFlow, double pressureKpa, double temperatureC, std::optional<double> typedZnZg)
{
    FlowOperands ops;
    ops.stdFlow = stdFlow;
    ops.pressureKpa = pressureKpa;
    ops.temperatureC = temperatureC;
    ops.typedZnZg = typedZnZg;
    return ops;
}

const GasData kMethaneLike {39.8f, 0.555f, 0, 0};

} // namespace

class TestFlowConversion final : public QObject {
    Q_OBJECT

private slots:
    void conversionFactor_data()
    {
        QTest::addColumn<double>("znzg");
        QTest::addColumn<double>("pressureKpa");
        QTest::addColumn<double>("temperatureC");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<double>("stdFlow");
        QTest::addColumn<QString>("flow");
        QTest::newRow("the standard condition itself") << 1.0 << 101.325 << 20.0 << "1.0000" << 100.0 << "100.000";
        QTest::newRow("150 kPa, 60 C") << 1.0 << 150.0 << 60.0 << "1.3026" << 100.0 << "76.767";
        QTest::newRow("200 kPa, -20 C") << 1.0 << 200.0 << -20.0 << "2.2857" << 10.0 << "4.375";
        QTest::newRow("Zn/Zg 1.05 at 1000 kPa, 10 C") << 1.05 << 1000.0 << 10.0 << "10.7287" << 5000.0 << "466.041";
    }

    void conversionFactor()
    {
        QFETCH(double, znzg);
        QFETCH(double, pressureKpa);
        QFETCH(double, temperatureC);
        QFETCH(QString, shown);
        QFETCH(double, stdFlow);
        QFETCH(QString, flow);
        const double k = ::conversionFactor(znzg, pressureKpa, temperatureC);
        QCOMPARE(QString::number(k, 'f', 4), shown);
        QCOMPARE(QString::number(conversionFactorTemperatureFirst(znzg, pressureKpa, temperatureC), 'f', 4), shown);
        QCOMPARE(QString::number(workingFlow(stdFlow, k), 'f', 3), flow);
    }

    // Both orders are kept because their last bits differ: merging them would move results.
    void theTwoOrdersRoundApart()
    {
        const double zFirst = ::conversionFactor(1, 100, -20);
        const double tFirst = conversionFactorTemperatureFirst(1, 100, -20);
        QVERIFY(zFirst != tFirst);
        QVERIFY(std::fabs(zFirst - tFirst) <= 2 * std::numeric_limits<double>::epsilon() * zFirst);
    }

    void computedZnZg_data()
    {
        QTest::addColumn<GasData>("gas");
        QTest::addColumn<float>("pressureMpa");
        QTest::addColumn<float>("temperatureC");
        QTest::addColumn<bool>("aboveOne");
        QTest::newRow("cold and above atmospheric pressure") << kMethaneLike << 0.2f << -20.0f << true;
        QTest::newRow("hot near atmospheric pressure") << kMethaneLike << 0.11f << 60.0f << false;
        QTest::newRow("high pressure") << kMethaneLike << 6.0f << 10.0f << true;
    }

    void computedZnZg()
    {
        QFETCH(GasData, gas);
        QFETCH(float, pressureMpa);
        QFETCH(float, temperatureC);
        QFETCH(bool, aboveOne);
        for (GasReference ref : {GasReference::Combustion20Metering20, GasReference::Combustion25Metering0}) {
            const std::optional<double> ratio = ::computedZnZg(ref, pressureMpa, temperatureC, gas);
            QVERIFY(ratio);
            QCOMPARE(*ratio > 1, aboveOne);
            QVERIFY(std::fabs(*ratio - 1) < 0.2);
        }
    }

    void zgAtTheStandardConditionIsZn()
    {
        for (GasReference ref : {GasReference::Combustion20Metering20, GasReference::Combustion25Metering0})
            QCOMPARE(::computedZnZg(ref, 0.101325f, 20.0f, kMethaneLike), std::optional<double>(1.0));
    }

    void referenceConditionMatters()
    {
        const auto ref20 = ::computedZnZg(GasReference::Combustion20Metering20, 6.0f, 10.0f, kMethaneLike);
        const auto ref25 = ::computedZnZg(GasReference::Combustion25Metering0, 6.0f, 10.0f, kMethaneLike);
        QVERIFY(ref20 && ref25 && *ref20 != *ref25);
    }

    void gasOutsideTheMethodGivesNoRatio_data()
    {
        QTest::addColumn<GasData>("gas");
        QTest::newRow("Hs 0") << GasData {0, 0.6f, 0, 0};
        QTest::newRow("Hs 1e30") << GasData {1e30f, 0.6f, 0, 0};
    }

    void gasOutsideTheMethodGivesNoRatio()
    {
        QFETCH(GasData, gas);
        QCOMPARE(::computedZnZg(GasReference::Combustion25Metering0, 0.2f, 20.0f, gas), std::nullopt);
    }

    void impossibleOperand_data()
    {
        QTest::addColumn<double>("pressureKpa");
        QTest::addColumn<double>("temperatureC");
        QTest::addColumn<std::optional<double>>("typedZnZg");
        QTest::addColumn<FlowOperand>("operand");
        QTest::newRow("a gas") << 150.0 << -20.0 << std::optional<double>(1.0) << FlowOperand::None;
        QTest::newRow("computed Zn/Zg") << 150.0 << -20.0 << std::optional<double>() << FlowOperand::None;
        QTest::newRow("pressure 0") << 0.0 << 20.0 << std::optional<double>(1.0) << FlowOperand::Pressure;
        QTest::newRow("pressure negative") << -1.0 << 20.0 << std::optional<double>(1.0) << FlowOperand::Pressure;
        QTest::newRow("absolute zero") << 150.0 << -273.15 << std::optional<double>(1.0) << FlowOperand::Temperature;
        QTest::newRow("below absolute zero")
            << 150.0 << -300.0 << std::optional<double>(1.0) << FlowOperand::Temperature;
        QTest::newRow("Zn/Zg negative") << 150.0 << 20.0 << std::optional<double>(-1.0) << FlowOperand::ZnZg;
        QTest::newRow("Zn/Zg 0 is left to the finite checks")
            << 150.0 << 20.0 << std::optional<double>(0.0) << FlowOperand::None;
        QTest::newRow("the pressure is named first")
            << -1.0 << -300.0 << std::optional<double>(-1.0) << FlowOperand::Pressure;
    }

    void impossibleOperand()
    {
        QFETCH(double, pressureKpa);
        QFETCH(double, temperatureC);
        QFETCH(std::optional<double>, typedZnZg);
        QFETCH(FlowOperand, operand);
        QCOMPARE(::impossibleOperand(operands(1, pressureKpa, temperatureC, typedZnZg)), operand);
    }

    void usableValues()
    {
        QVERIFY(::usableFactor(1e-300, false));
        QVERIFY(!::usableFactor(1e-300, true)); // 0 once kept in single precision
        QVERIFY(!::usableFactor(0, false));
        QVERIFY(!::usableFactor(std::numeric_limits<double>::infinity(), false));
        QVERIFY(::usableFlow(std::numeric_limits<float>::max()));
        QVERIFY(!::usableFlow(1e39));
        QVERIFY(!::usableFlow(-std::numeric_limits<double>::infinity()));
    }

    void unusableOperand_data()
    {
        QTest::addColumn<double>("stdFlow");
        QTest::addColumn<double>("pressureKpa");
        QTest::addColumn<double>("temperatureC");
        QTest::addColumn<std::optional<double>>("typedZnZg");
        QTest::addColumn<bool>("withStdFlow");
        QTest::addColumn<FlowOperand>("operand");
        const std::optional<double> one(1.0), computed;
        QTest::newRow("a zero divisor: Zn/Zg")
            << 1.0 << 150.0 << 20.0 << std::optional<double>(0.0) << true << FlowOperand::ZnZg;
        QTest::newRow("a zero divisor is named before a huge flow")
            << 1e300 << 0.0 << 20.0 << one << true << FlowOperand::Pressure;
        QTest::newRow("a tiny pressure") << 1.0 << 1e-300 << 20.0 << one << false << FlowOperand::Pressure;
        QTest::newRow("a huge flow") << 1e300 << 150.0 << 20.0 << one << true << FlowOperand::StdFlow;
        QTest::newRow("the flow only where it counts")
            << 1e300 << 150.0 << 20.0 << one << false << FlowOperand::Temperature;
        QTest::newRow("a huge typed Zn/Zg")
            << 1.0 << 150.0 << 20.0 << std::optional<double>(1e300) << false << FlowOperand::ZnZg;
        QTest::newRow("farthest from 1: the temperature")
            << 1.0 << 150.0 << 20.0 << computed << false << FlowOperand::Temperature;
        QTest::newRow("farthest from 1: the pressure")
            << 1.0 << 1e5 << 20.0 << computed << false << FlowOperand::Pressure;
    }

    void unusableOperand()
    {
        QFETCH(double, stdFlow);
        QFETCH(double, pressureKpa);
        QFETCH(double, temperatureC);
        QFETCH(std::optional<double>, typedZnZg);
        QFETCH(bool, withStdFlow);
        QFETCH(FlowOperand, operand);
        QCOMPARE(::unusableOperand(operands(stdFlow, pressureKpa, temperatureC, typedZnZg), withStdFlow), operand);
    }
};

QTEST_GUILESS_MAIN(TestFlowConversion)
#include "tst_flow_conversion.moc"
