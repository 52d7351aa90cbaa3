#include "core/form/selection_context.h"
#include "core/gas/sgerg.h"
#include "support/window_fixture.h"

#include <QTest>

using F = Field;

namespace {

const QString kMedia[] = {
    QStringLiteral("城市天然气或城市煤气"),
    QStringLiteral("油田天然气"),
    QStringLiteral("煤层气"),
    QStringLiteral("空气或氮气或惰性气体"),
    QStringLiteral("氧气或氢气"),
};

// A point that computes, with Zn/Zg typed or computed by SGERG-88.
void validPoint(WindowFixture& w, bool computed)
{
    w.typedZnZg(QStringLiteral("10"), QStringLiteral("100"), QStringLiteral("150"), QStringLiteral("200"));
    if (computed) {
        w.choose(F::ZMode, QStringLiteral("修正"));
        w.paste(F::Hs, QStringLiteral("39.8"));
        w.paste(F::RelDensity, QStringLiteral("0.555"));
    }
}

} // namespace

class TestWorkingFlow final : public QObject {
    Q_OBJECT

private slots:
    void typedZnZgExample()
    {
        WindowFixture w;
        w.typedZnZg(QStringLiteral("10"), QStringLiteral("100"), QStringLiteral("150"), QStringLiteral("200"));
        w.ui.take();
        w.compute();
        QCOMPARE(w.text(F::ConvFactorMax), QStringLiteral("1.3026"));
        QCOMPARE(w.text(F::ConvFactorMin), QStringLiteral("2.2857"));
        QCOMPARE(w.text(F::WorkFlowMin), QStringLiteral("4.375"));
        QCOMPARE(w.text(F::WorkFlowMax), QStringLiteral("76.767"));
        QCOMPARE(w.ui.take(), QStringList {QStringLiteral("focus: MeterType")});
        // the typed Zn/Zg are left as typed
        QCOMPARE(w.text(F::ZnZgMin), QStringLiteral("1.0"));
        QCOMPARE(w.window.context().flows.qmin, 4.375f);
    }

    void sensorRanges_data()
    {
        QTest::addColumn<QString>("pabsMax");
        QTest::addColumn<QStringList>("ranges");
        QTest::newRow("200") << "200" << QStringList {"0.2", "0.5"};
        QTest::newRow("201") << "201" << QStringList {"0.5", "1.0"};
        QTest::newRow("500") << "500" << QStringList {"0.5", "1.0"};
        QTest::newRow("1000") << "1000" << QStringList {"1.0", "2.0"};
        QTest::newRow("1500") << "1500" << QStringList {"2.0", "5.0"};
        QTest::newRow("8000") << "8000" << QStringList {"10.0"};
        QTest::newRow("10000") << "10000" << QStringList {"10.0"};
        QTest::newRow("12000") << "12000" << QStringList {};
    }

    void sensorRanges()
    {
        QFETCH(QString, pabsMax);
        QFETCH(QStringList, ranges);
        WindowFixture w;
        w.typedZnZg(QStringLiteral("10"), QStringLiteral("100"), QStringLiteral("150"), pabsMax);
        w.compute();
        QCOMPARE(w.items(F::PressSensorUpper), ranges);
        QCOMPARE(w.form().index(F::PressSensorUpper), ranges.isEmpty() ? -1 : 0);
    }

    void sensorRangesStandEvenWhenALaterCheckFails()
    {
        WindowFixture w;
        w.paste(F::PabsMax, QStringLiteral("1500"));
        w.compute(); // the flows are empty
        QCOMPARE(w.items(F::PressSensorUpper), (QStringList {"2.0", "5.0"}));
    }

    void presenceChecks_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("message");
        QTest::newRow("StdFlowMin") << "StdFlowMin"
                                    << "最小标况流量未填写！";
        QTest::newRow("StdFlowMax") << "StdFlowMax"
                                    << "最大标况流量未填写！";
        QTest::newRow("PabsMin") << "PabsMin"
                                 << "最小绝对压力未填写！";
        QTest::newRow("TempMax") << "TempMax"
                                 << "最高温度未填写！";
        QTest::newRow("TempMin") << "TempMin"
                                 << "最低温度未填写！";
        QTest::newRow("XCO2") << "XCO2"
                              << "CO2摩尔含量未填写！";
        QTest::newRow("Hs") << "Hs"
                            << "高位发热量未填写！";
        QTest::newRow("XH2") << "XH2"
                             << "H2摩尔含量未填写！";
        QTest::newRow("RelDensity") << "RelDensity"
                                    << "相对密度未填写！";
        QTest::newRow("PabsMax") << "PabsMax"
                                 << "最大绝对压力未填写！";
    }

    void presenceChecks()
    {
        QFETCH(QString, field);
        QFETCH(QString, message);
        WindowFixture w;
        w.typedZnZg(QStringLiteral("10"), QStringLiteral("100"), QStringLiteral("150"), QStringLiteral("200"));
        w.compute();
        QVERIFY(!w.text(F::WorkFlowMax).isEmpty());
        QVERIFY(w.form().count(F::MeterType) > 0);
        const Field f = *fieldByName(field);
        w.form().setEnabled(f, true); // gas fields are checked also when disabled
        w.paste(f, QString());
        w.ui.take();
        w.compute();
        QCOMPARE(w.ui.take(), (QStringList {QStringLiteral("plain: ") + message, QStringLiteral("focus: ") + field}));
        // reset R1
        QCOMPARE(w.text(F::WorkFlowMin), QString());
        QCOMPARE(w.form().count(F::MeterType), 0);
    }

    void emptyPabsMaxIsReportedBeforeTheMedium()
    {
        WindowFixture w;
        w.form().setIndex(F::Medium, -1);
        w.paste(F::PabsMax, QString());
        w.ui.take();
        w.compute();
        QCOMPARE(w.ui.take(), (QStringList {"plain: 最大绝对压力未填写！", "focus: PabsMax"}));
        w.paste(F::PabsMax, QStringLiteral("200"));
        w.ui.take();
        w.compute();
        QCOMPARE(w.ui.take(), (QStringList {"plain: 使用介质未填写！", "focus: Medium"}));
    }

    void pabsMaxIsReadWithoutTrimming()
    {
        WindowFixture w;
        w.typedZnZg(QStringLiteral("10"), QStringLiteral("100"), QStringLiteral("150"), QStringLiteral(" 200"));
        w.ui.take();
        w.compute();
        QCOMPARE(w.ui.take(), (QStringList {"plain: 最大绝对压力未填写！", "focus: PabsMax"}));
    }

    void bothTypedZnZgEmptyReportsTheMinimumOnly()
    {
        WindowFixture w;
        w.typedZnZg(QStringLiteral("10"), QStringLiteral("100"), QStringLiteral("150"), QStringLiteral("200"));
        w.compute();
        w.paste(F::ZnZgMin, QStringLiteral(" "));
        w.paste(F::ZnZgMax, QString());
        w.ui.take();
        w.compute();
        QCOMPARE(w.ui.take(),
            (QStringList {"plain: 标况和工况下的最小流量时气体压缩系数比Zn/Zg未录入！", "focus: ZnZgMin"}));
        w.paste(F::ZnZgMin, QStringLiteral("1"));
        w.ui.take();
        w.compute();
        QCOMPARE(w.ui.take(),
            (QStringList {"plain: 标况和工况下的最大流量时气体压缩系数比Zn/Zg未录入！", "focus: ZnZgMax"}));
        QCOMPARE(w.form().count(F::MeterType), 0);
    }

    // A box whose text is not a number is reported where the computation reads it; the
    // order check, which comes first, does not read it before.
    void textThatIsNotANumberEndsWithTheGeneralError_data()
    {
        QTest::addColumn<QString>("field");
        QTest::newRow("PabsMin") << "PabsMin";
        QTest::newRow("StdFlowMin") << "StdFlowMin";
    }

    void textThatIsNotANumberEndsWithTheGeneralError()
    {
        QFETCH(QString, field);
        WindowFixture w;
        w.typedZnZg(QStringLiteral("10"), QStringLiteral("100"), QStringLiteral("150"), QStringLiteral("200"));
        w.paste(*fieldByName(field), QStringLiteral("abc"));
        w.ui.take();
        w.compute();
        const QStringList events = w.ui.take();
        QCOMPARE(events.size(), 1);
        QVERIFY(events[0].startsWith(QStringLiteral("error: ")));
        QVERIFY(events[0].contains(QStringLiteral("'abc'")));
        QCOMPARE(w.text(F::WorkFlowMax), QString());
        // the window goes on
        w.paste(*fieldByName(field), field == u"PabsMin" ? QStringLiteral("150") : QStringLiteral("10"));
        w.compute();
        QCOMPARE(w.text(F::WorkFlowMax), QStringLiteral("76.767"));
    }

    // A working flow that is not a finite number never reaches the screen.
    void unusableValuesNameTheirBox_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("message");
        QTest::addColumn<bool>("computed"); // Zn/Zg by SGERG-88 rather than typed
        QTest::newRow("TempMax at absolute zero") << "TempMax"
                                                  << "-273.15"
                                                  << "最高温度的数值使工况流量无法计算，请修改！" << false;
        QTest::newRow("TempMin at absolute zero") << "TempMin"
                                                  << "-273.15"
                                                  << "最低温度的数值使工况流量无法计算，请修改！" << false;
        QTest::newRow("PabsMin zero") << "PabsMin"
                                      << "0"
                                      << "最小绝对压力的数值使工况流量无法计算，请修改！" << false;
        QTest::newRow("PabsMax zero") << "PabsMax"
                                      << "0"
                                      << "最大绝对压力的数值使工况流量无法计算，请修改！" << false;
        QTest::newRow("ZnZgMin zero") << "ZnZgMin"
                                      << "0"
                                      << "最小流量时的气体压缩系数比Zn/Zg的数值使工况流量无法计算，请修改！" << false;
        QTest::newRow("StdFlowMax huge") << "StdFlowMax"
                                         << "1e300"
                                         << "最大标况流量的数值使工况流量无法计算，请修改！" << false;
        QTest::newRow("PabsMin tiny") << "PabsMin"
                                      << "1e-300"
                                      << "最小绝对压力的数值使工况流量无法计算，请修改！" << false;
        // values that describe no gas: the arithmetic would give a negative flow
        const QString below = QStringLiteral("的数值使工况流量无法计算，请修改！");
        for (const bool computed : {false, true}) {
            const char* mode = computed ? "computed" : "typed";
            QTest::addRow("PabsMax negative, %s", mode) << "PabsMax"
                                                        << "-1"
                                                        << "最大绝对压力" + below << computed;
            QTest::addRow("PabsMin negative, %s", mode) << "PabsMin"
                                                        << "-150"
                                                        << "最小绝对压力" + below << computed;
            QTest::addRow("TempMin below absolute zero, %s", mode) << "TempMin"
                                                                   << "-300"
                                                                   << "最低温度" + below << computed;
            QTest::addRow("TempMax below absolute zero, %s", mode) << "TempMax"
                                                                   << "-273.5"
                                                                   << "最高温度" + below << computed;
            // pasted or from a batch cell: the key filter keeps "-" out of typing only
            QTest::addRow("StdFlowMin negative, %s", mode) << "StdFlowMin"
                                                           << "-10"
                                                           << "最小标况流量" + below << computed;
            QTest::addRow("StdFlowMax negative, %s", mode) << "StdFlowMax"
                                                           << "-5"
                                                           << "最大标况流量" + below << computed;
        }
        QTest::newRow("ZnZgMax negative") << "ZnZgMax"
                                          << "-1"
                                          << "最大流量时的气体压缩系数比Zn/Zg" + below << false;
    }

    void unusableValuesNameTheirBox()
    {
        QFETCH(QString, field);
        QFETCH(QString, value);
        QFETCH(QString, message);
        QFETCH(bool, computed);
        WindowFixture w;
        validPoint(w, computed);
        w.paste(*fieldByName(field), value);
        w.ui.take();
        w.compute();
        const QStringList events = w.ui.take();
        QCOMPARE(events, (QStringList {QStringLiteral("plain: ") + message, QStringLiteral("focus: ") + field}));
        for (Field f : {F::ConvFactorMin, F::ConvFactorMax, F::WorkFlowMin, F::WorkFlowMax}) {
            QVERIFY(!w.text(f).contains(QStringLiteral("inf")));
            QVERIFY(!w.text(f).contains(QStringLiteral("nan")));
        }
        QCOMPARE(w.text(F::WorkFlowMin), QString());
        QCOMPARE(w.text(F::WorkFlowMax), QString());
    }

    // A minimum above its maximum would give a working range that looks plausible and
    // a meter several sizes too small: it is refused before any arithmetic, in both
    // modes, the pairs in their order; equal limits are a range too.
    void swappedLimitsAreRefused_data()
    {
        QTest::addColumn<QStringList>("inputs"); // field=value over the valid point
        QTest::addColumn<bool>("computed");
        QTest::addColumn<QString>("message"); // empty: computed as usual
        QTest::addColumn<QString>("focus");
        for (const bool computed : {false, true}) {
            const char* mode = computed ? "computed" : "typed";
            QTest::addRow("flows, %s", mode) << QStringList {"StdFlowMin=650", "StdFlowMax=50"} << computed
                                             << "最小标况流量大于最大标况流量，请修改！"
                                             << "StdFlowMin";
            QTest::addRow("pressures, %s", mode)
                << QStringList {"PabsMin=300", "PabsMax=200"} << computed << "最小绝对压力大于最大绝对压力，请修改！"
                << "PabsMin";
            QTest::addRow("temperatures, %s", mode)
                << QStringList {"TempMin=40", "TempMax=-10"} << computed << "最低温度高于最高温度，请修改！"
                << "TempMin";
            QTest::addRow("all three, the flows first, %s", mode) << QStringList {"StdFlowMin=650", "StdFlowMax=50",
                "PabsMin=300", "PabsMax=200", "TempMin=40",
                "TempMax=-10"} << computed << "最小标况流量大于最大标况流量，请修改！"
                                                                  << "StdFlowMin";
            QTest::addRow("pressures and temperatures, %s", mode)
                << QStringList {"PabsMin=300", "PabsMax=200", "TempMin=40", "TempMax=-10"} << computed
                << "最小绝对压力大于最大绝对压力，请修改！"
                << "PabsMin";
            QTest::addRow("equal limits, %s", mode) << QStringList {"StdFlowMin=50", "StdFlowMax=50", "PabsMin=200",
                "PabsMax=200", "TempMin=20", "TempMax=20"}
                                                    << computed << ""
                                                    << "";
        }
        for (const bool computed : {false, true}) {
            const char* mode = computed ? "computed" : "typed";
            // a meter that stands still is a working point
            QTest::addRow("zero minimum flow, %s", mode) << QStringList {"StdFlowMin=0"} << computed << ""
                                                         << "";
            // the maximum's limit is computed, and so checked, first
            QTest::addRow("both flows negative, %s", mode)
                << QStringList {"StdFlowMin=-10", "StdFlowMax=-5"} << computed
                << "最大标况流量的数值使工况流量无法计算，请修改！"
                << "StdFlowMax";
            QTest::addRow("a negative maximum below the minimum, %s", mode)
                << QStringList {"StdFlowMax=-5"} << computed << "最大标况流量的数值使工况流量无法计算，请修改！"
                << "StdFlowMax";
        }
        // trimmed like every other read of these boxes
        QTest::newRow("blanks around the numbers")
            << QStringList {"StdFlowMin= 650 ", "StdFlowMax=50"} << false << "最小标况流量大于最大标况流量，请修改！"
            << "StdFlowMin";
        // a value that describes no gas is named as such, whatever its partner holds
        QTest::newRow("below absolute zero and above the minimum")
            << QStringList {"TempMax=-300"} << false << "最高温度的数值使工况流量无法计算，请修改！"
            << "TempMax";
    }

    void swappedLimitsAreRefused()
    {
        QFETCH(QStringList, inputs);
        QFETCH(bool, computed);
        QFETCH(QString, message);
        QFETCH(QString, focus);
        WindowFixture w;
        validPoint(w, computed);
        w.compute(); // a result to be reset
        QVERIFY(!w.text(F::WorkFlowMax).isEmpty());
        for (const QString& input : inputs)
            w.paste(*fieldByName(input.section(u'=', 0, 0)), input.section(u'=', 1));
        w.ui.take();
        w.compute();
        const QStringList events = w.ui.take();
        if (message.isEmpty()) {
            QCOMPARE(events.last(), QStringLiteral("focus: MeterType"));
            QVERIFY(!events.join(u'\n').contains(QStringLiteral("请修改")));
            QVERIFY(!w.text(F::WorkFlowMax).isEmpty());
            return;
        }
        QCOMPARE(events, (QStringList {QStringLiteral("plain: ") + message, QStringLiteral("focus: ") + focus}));
        // reset R1: no working flows, no chain, no result; the inputs stay as typed
        QCOMPARE(w.text(F::WorkFlowMin), QString());
        QCOMPARE(w.text(F::WorkFlowMax), QString());
        QCOMPARE(w.items(F::MeterType), QStringList {});
        QCOMPARE(w.text(F::ResultText), QString());
        QCOMPARE(w.text(*fieldByName(inputs.front().section(u'=', 0, 0))), inputs.front().section(u'=', 1));
    }

    void computedZnZgUseTheRoutine()
    {
        // a methane-like gas given at the 25 C / 0 C reference
        WindowFixture w;
        w.paste(F::StdFlowMin, QStringLiteral("10"));
        w.paste(F::StdFlowMax, QStringLiteral("100"));
        w.paste(F::Hs, QStringLiteral("39.8"));
        w.paste(F::RelDensity, QStringLiteral("0.555"));
        w.choose(F::RefCondition,
            QStringLiteral("燃烧参比条件:温度25℃,压力101.325kPa;体积计量参比条件:温度0℃,压力101.325kPa"));
        w.compute();

        float zn = 0, zgMax = 0, zgMin = 0;
        QCOMPARE(sgergZFromGasValues(0.101325f, 20.0f, 39.8f, 0.555f, 0, 0, zn), 0);
        QCOMPARE(sgergZFromGasValues(0.15f, 60.0f, 39.8f, 0.555f, 0, 0, zgMax), 0);
        QCOMPARE(sgergZFromGasValues(0.2f, -20.0f, 39.8f, 0.555f, 0, 0, zgMin), 0);
        const double ratioMax = double(zn) / zgMax;
        const double ratioMin = double(zn) / zgMin;
        const double kmax = (150 / 101.325) * ratioMax * 293.15 / (60 + 273.15);
        const float kmin = float((200 / 101.325) * ratioMin * 293.15 / (-20 + 273.15));
        QVERIFY(ratioMin > 1); // cold and above atmospheric pressure
        QCOMPARE(w.text(F::ZnZgMax), QString::number(ratioMax, 'f', 3));
        QCOMPARE(w.text(F::ZnZgMin), QString::number(ratioMin, 'f', 3));
        QCOMPARE(w.text(F::ConvFactorMax), QString::number(kmax, 'f', 4));
        QCOMPARE(w.text(F::ConvFactorMin), QString::number(kmin, 'f', 4));
        QCOMPARE(w.text(F::WorkFlowMax), QString::number(float(100 / kmax), 'f', 3));
        QCOMPARE(w.text(F::WorkFlowMin), QString::number(float(10 / kmin), 'f', 3));
        // the lists the Zn/Zg writes emptied are filled again at the end
        QVERIFY(w.form().count(F::MeterType) > 0);
    }

    void referenceConditionChoosesTheRoutine()
    {
        WindowFixture w;
        w.paste(F::StdFlowMin, QStringLiteral("10"));
        w.paste(F::StdFlowMax, QStringLiteral("100"));
        w.paste(F::PabsMin, QStringLiteral("1000"));
        w.paste(F::PabsMax, QStringLiteral("1600"));
        w.paste(F::Hs, QStringLiteral("38"));
        w.paste(F::RelDensity, QStringLiteral("0.6"));
        w.compute();
        const QString ref20 = w.text(F::ConvFactorMax);
        w.choose(F::RefCondition, w.items(F::RefCondition).at(1));
        w.compute();
        QVERIFY(w.text(F::ConvFactorMax) != ref20);
    }

    void gasOutsideTheMethodIsReported_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("value");
        QTest::newRow("Hs 0") << "Hs"
                              << "0";
        QTest::newRow("d 0") << "RelDensity"
                             << "0";
        QTest::newRow("d 5") << "RelDensity"
                             << "5";
        QTest::newRow("Hs 1e30") << "Hs"
                                 << "1e30";
    }

    void gasOutsideTheMethodIsReported()
    {
        QFETCH(QString, field);
        QFETCH(QString, value);
        WindowFixture w;
        w.paste(F::StdFlowMin, QStringLiteral("10"));
        w.paste(F::StdFlowMax, QStringLiteral("100"));
        w.paste(*fieldByName(field), value);
        w.ui.take();
        QElapsedTimer timer;
        timer.start();
        w.compute();
        QVERIFY(timer.elapsed() < 1000);
        const QStringList events = w.ui.take();
        if (events.first() == QStringLiteral("plain: 介质特性不满足一定条件！")) {
            QCOMPARE(events, (QStringList {"plain: 介质特性不满足一定条件！", "focus: 介质特性"}));
            QCOMPARE(w.form().count(F::MeterType), 0);
        } else {
            QCOMPARE(events.last(), QStringLiteral("focus: MeterType"));
            QVERIFY(!w.text(F::WorkFlowMax).contains(QStringLiteral("n")));
        }
    }

    void zModeSwitchesTheBoxes()
    {
        WindowFixture w;
        w.typedZnZg(QStringLiteral("10"), QStringLiteral("100"), QStringLiteral("150"), QStringLiteral("200"));
        QVERIFY(w.form().enabled(F::ZnZgMin) && w.form().enabled(F::ZnZgMax));
        for (Field gas : {F::RefCondition, F::XH2, F::Hs, F::XCO2, F::RelDensity})
            QVERIFY(!w.form().enabled(gas));
        w.compute();
        w.choose(F::ZMode, QStringLiteral("修正"));
        for (Field label : {F::WorkFlowMin, F::WorkFlowMax, F::ConvFactorMin, F::ConvFactorMax})
            QCOMPARE(w.text(label), QString());
        QVERIFY(!w.form().enabled(F::ZnZgMin) && !w.form().enabled(F::ZnZgMax));
        for (Field gas : {F::RefCondition, F::XH2, F::Hs, F::XCO2, F::RelDensity})
            QVERIFY(w.form().enabled(gas));
        QCOMPARE(w.text(F::ZnZgMin), QStringLiteral("1.0")); // texts stay
    }

    void counterPulseFollowsTheMeterType()
    {
        WindowFixture w;
        w.typedZnZg(QStringLiteral("10"), QStringLiteral("100"), QStringLiteral("150"), QStringLiteral("200"));
        w.form().setIndex(F::CounterPulse, 1);
        w.compute();
        QCOMPARE(w.text(F::CounterPulse), QStringLiteral("无"));
    }

    void inputChangeEmptiesTheChainAndResetsAccuracies_data()
    {
        QTest::addColumn<int>("medium");
        QTest::addColumn<QString>("correctorAccuracy");
        QTest::newRow("city gas") << 0 << "0.5";
        QTest::newRow("oil field") << 1 << "1.0";
        QTest::newRow("coal bed") << 2 << "1.0";
        QTest::newRow("air") << 3 << "0.5";
        QTest::newRow("oxygen") << 4 << "0.5";
    }

    void inputChangeEmptiesTheChainAndResetsAccuracies()
    {
        QFETCH(int, medium);
        QFETCH(QString, correctorAccuracy);
        WindowFixture w;
        w.choose(F::Medium, kMedia[medium]);
        w.typedZnZg(QStringLiteral("10"), QStringLiteral("100"), QStringLiteral("150"), QStringLiteral("200"));
        w.compute();
        QVERIFY(w.form().count(F::MeterType) > 0);
        w.form().setIndex(F::CombinedAccuracy, 1);
        w.form().setIndex(F::BaseAccuracy, 1);
        const QStringList sensors = w.items(F::PressSensorUpper);
        w.window.type(F::Hs, QStringLiteral("40"));
        for (Field l : {F::MeterType, F::BaseOrigin, F::MechCounter, F::CardControl, F::Size, F::NominalPressure})
            QCOMPARE(w.form().count(l), 0);
        QCOMPARE(w.text(F::WorkFlowMin), QString());
        QCOMPARE(w.text(F::WorkFlowMax), QString());
        QCOMPARE(w.text(F::CombinedAccuracy), QStringLiteral("1.5"));
        QCOMPARE(w.text(F::BaseAccuracy), QStringLiteral("1.0"));
        QCOMPARE(w.text(F::CorrectorAccuracy), correctorAccuracy);
        QCOMPARE(w.items(F::PressSensorUpper), sensors);
    }

    void leavingTheMediumComputesOnceBothFlowsAreTyped()
    {
        WindowFixture w;
        w.paste(F::StdFlowMin, QStringLiteral("10"));
        w.window.leave(F::Medium);
        QCOMPARE(w.text(F::WorkFlowMin), QString());
        w.paste(F::StdFlowMax, QStringLiteral(" "));
        w.ui.take();
        w.window.leave(F::Medium); // blanks count as text: the computation runs and fails on them
        QVERIFY(w.ui.take().first().startsWith(QStringLiteral("error: ")));
        w.paste(F::StdFlowMax, QStringLiteral("100"));
        w.window.leave(F::Medium);
        QVERIFY(!w.text(F::WorkFlowMax).isEmpty());
    }

    void secondComputationKeepsAccuracies()
    {
        // the Zn/Zg texts written again are the same: no input-changed step runs
        WindowFixture w;
        w.paste(F::StdFlowMin, QStringLiteral("10"));
        w.paste(F::StdFlowMax, QStringLiteral("100"));
        w.compute();
        int resets = 0;
        w.form().setStep(F::ZnZgMax, [&] { ++resets; });
        w.form().setStep(F::ZnZgMin, [&] { ++resets; });
        w.compute();
        QCOMPARE(resets, 0);
    }
};

QTEST_GUILESS_MAIN(TestWorkingFlow)
#include "tst_working_flow.moc"
