#include "support/window_script.h"

#include <QRandomGenerator>
#include <QTest>

using F = Field;

namespace {

// All option groups as text, to tell whether a run changed any.
QStringList groups(const FormModel& f)
{
    QStringList out;
    for (Field g : allFields())
        out << fieldName(g) + u'=' + f.text(g) + (f.enabled(g) ? u'+' : u'-');
    return out;
}

} // namespace

class TestSelectionCommand final : public QObject {
    Q_OBJECT

private slots:
    void workingFlowFirst()
    {
        WindowSelection s;
        const QStringList before = groups(s.form());
        QCOMPARE(s.run("click 选型"), QStringList {showBoxLine("请先计算工况流量，再选型操作！")});
        QCOMPARE(groups(s.form()), before);
        QVERIFY(!s.hasPending());
    }

    void incompleteChoices()
    {
        WindowSelection s;
        // the vortex table stops at 6400 kPa: no size
        s.run(flowLines(kOil, "30", "300", "7000"));
        const QStringList before = groups(s.form());
        QCOMPARE(s.run("click 选型"), QStringList {showBoxLine("选型内容不全，无法选型！")});
        QCOMPARE(groups(s.form()), before);
        // no rating for an imported turbine above 1600 kPa
        s.run(meteringPointLines(kCity) + "paste PabsMax 1700\nclick 计算工况流量\nchoose BaseOrigin 进口\n");
        QCOMPARE(s.text(F::NominalPressure), QString());
        QCOMPARE(s.run("click 选型"), QStringList {showBoxLine("选型内容不全，无法选型！")});
        QVERIFY(!s.hasPending());
    }

    void coalBedNeedsACorrector()
    {
        WindowSelection s;
        s.run(meteringPointLines(kCoal) + "choose Corrector 无\n");
        const QStringList before = groups(s.form());
        QCOMPARE(s.run("click 选型"), QStringList {showBoxLine("无修正仪，选型条件不满足！")});
        QCOMPARE(groups(s.form()), before); // no option group changed
        QVERIFY(!s.hasPending());
    }

    void turbineWithoutCounterNorCorrector()
    {
        WindowSelection s;
        s.run(meteringPointLines(kCity)
            + "choose MeterType 气体涡轮\nchoose MechCounter 无\nchoose Hart 有\n"
              "choose Corrector 无\n");
        QCOMPARE(s.text(F::CorrectorAccuracy), QString());
        QCOMPARE(s.run("click 选型"), QStringList {showBoxLine("无机械计数器也无修正仪，选型条件不满足！")});
        // the settings made before the test stay
        QCOMPARE(s.text(F::Hart), QStringLiteral("无"));
        QCOMPARE(s.text(F::CorrectorAccuracy), QStringLiteral("0.5"));
        QCOMPARE(s.text(F::ResultText), QString());
        QVERIFY(!s.hasPending());
        // in air the same meter gives the plain corrector message
        s.run(meteringPointLines(kAir) + "choose MeterType 气体涡轮\nchoose MechCounter 无\nchoose Corrector 无\n");
        QCOMPARE(s.run("click 选型"), QStringList {showBoxLine("无修正仪，选型条件不满足！")});
    }

    void rotaryLobeWithoutCounterNeedsACorrector()
    {
        WindowSelection s;
        s.run(flowLines(kCity, "1", "15", "400")
            + "choose MechCounter 无\nchoose SizeSpec 50RKD-G16(0.5<=Qg<=25)\nchoose Corrector 无\n");
        QCOMPARE(s.run("click 选型"), QStringList {showBoxLine("无修正仪，选型条件不满足！")});
        // the DAR row's settings were made before the corrector test
        QCOMPARE(s.text(F::CorrectorAccuracy), QStringLiteral("0.5"));
        QCOMPARE(s.text(F::CorrectionMode), QStringLiteral("温压自动检测"));
        QVERIFY(!s.hasPending());
    }

    void cardRowWithoutSensorRange()
    {
        WindowSelection s;
        s.run(flowLines(kCity, "100", "500", "600")
            + "choose CardControl 一体\n"
              "choose SizeSpec 150RKD-G650C(6.5<=Qg<=1000)\n");
        QCOMPARE(s.form().count(F::PressSensorUpper), 0);
        QCOMPARE(s.run("click 选型"),
            (QStringList {plainLine("无压力传感器上限压力，选型失败！"), focusLine("PressSensorUpper")}));
        QVERIFY(!s.hasPending());
    }

    void sensorRangeMissingInTablesAAndC_data()
    {
        QTest::addColumn<QString>("origin");
        QTest::newRow("VRNA") << "国产";
        QTest::newRow("VRNU") << "进口";
    }

    void sensorRangeMissingInTablesAAndC()
    {
        QFETCH(QString, origin);
        WindowSelection s;
        s.run(meteringPointLines(kCity) + "choose MeterType 气体涡轮\nchoose BaseOrigin " + origin + "\n");
        SelectionWindow& w = *s.workspace.current();
        w.form().setItems(F::PressSensorUpper, {});
        s.lines.clear();
        w.clickSelect();
        QCOMPARE(s.lines, (QStringList {plainLine("无压力传感器上限压力，选型失败！"), focusLine("PressSensorUpper")}));
        QVERIFY(!s.hasPending());
    }

    void cardRowWithoutInstallation()
    {
        WindowSelection s;
        s.run(flowLines(kCity, "1", "15", "400") + "choose CardControl 一体\n");
        SelectionWindow& w = *s.workspace.current();
        w.form().setIndex(F::Installation, -1);
        s.lines.clear();
        w.clickSelect();
        QCOMPARE(s.lines, (QStringList {plainLine("无安装形式，选型失败！"), focusLine("Installation")}));
        QCOMPARE(s.text(F::ResultText), QString());
        QVERIFY(!s.hasPending());
    }

    void hartIsOffInCityGas()
    {
        WindowSelection s;
        s.run(meteringPointLines(kCity) + "choose MeterType 气体涡轮\nchoose Hart 有\nclick 选型\n");
        QCOMPARE(s.text(F::ResultText), QStringLiteral("VRNA-50A-0.5/1.6-1.0/1.5-DAR-V"));
        QCOMPARE(s.text(F::Hart), QStringLiteral("无"));
    }

    void settlementAndSpecialMarks()
    {
        WindowSelection s;
        s.run(flowLines(kCity, "1", "15", "400")
            + "choose CardControl 一体\nchoose SettlementUnit 货     币（元）\n"
              "click 选型\n");
        QCOMPARE(s.text(F::ResultText), QStringLiteral("RKD-G10C-0.5/1.6-1.0/1.5-2-M"));
        s.run("choose CombinedAccuracy 1.0\nchoose BaseAccuracy 0.5\nclick 选型\n");
        QCOMPARE(s.text(F::ResultText), QStringLiteral("RKD-G10C-0.5/1.6-0.5/1.0-2-M(特殊要求)"));
        QCOMPARE(s.pending().at(1), s.text(F::ResultText));
    }

    void combinedAccuracyMarksOnlyWithACorrector()
    {
        WindowSelection s;
        s.run(meteringPointLines(kCity) + "choose MeterType 气体涡轮\nchoose CombinedAccuracy 1.0\nclick 选型\n");
        QCOMPARE(s.text(F::ResultText), QStringLiteral("VRNA-50A-0.5/1.6-1.0/1.0-DAR(特殊要求)"));
        s.run(meteringPointLines(kAir)
            + "choose MeterType 气体涡轮\nchoose Corrector 无\nchoose CombinedAccuracy 1.0\n"
              "click 选型\n");
        QCOMPARE(s.text(F::ResultText), QStringLiteral("VRNA-50A-1.6-1.0"));
    }

    void cardWithSensorRange09IsSpecial()
    {
        WindowSelection s;
        s.run(flowLines(kCity, "1", "15", "750") + "choose CardControl 一体\n");
        QCOMPARE(s.text(F::PressSensorUpper), QStringLiteral("0.9"));
        s.run("click 选型");
        QVERIFY(s.text(F::ResultText).endsWith(QStringLiteral("(特殊要求)")));
        SelectionWindow& w = *s.workspace.current();
        w.form().setItems(F::PressSensorUpper, {"0.90"});
        w.form().setIndex(F::PressSensorUpper, 0);
        w.clickSelect();
        QVERIFY(!s.text(F::ResultText).contains(QStringLiteral("特殊要求")));
    }

    void combinationWithoutARowEndsSilently()
    {
        // an imported turbine with an integrated card controller
        WindowSelection s;
        s.run(meteringPointLines(kCity) + "choose MeterType 气体涡轮\nchoose BaseOrigin 进口\nclick 选型\n");
        QVERIFY(s.hasPending());
        SelectionWindow& w = *s.workspace.current();
        w.form().setItems(F::CardControl, {"无", "一体"});
        w.form().setIndex(F::CardControl, 1);
        s.lines.clear();
        w.clickSelect();
        QCOMPARE(s.lines, QStringList {});
        QCOMPARE(s.text(F::ResultText), QString());
        QVERIFY(!s.hasPending());
    }

    void oilFieldFixesProtectionAndRadio()
    {
        WindowSelection s;
        s.run(meteringPointLines(kOil)
            + "choose MeterType 气体旋进\nchoose Gprs 有\nchoose ShortRangeWireless 有\n"
              "click 选型\n");
        QCOMPARE(s.text(F::ResultText), QStringLiteral("PWX-32B-0.5/1.6--20/60-1.5"));
        QCOMPARE(s.text(F::ExProof), QStringLiteral("隔爆 dIICT4"));
        QCOMPARE(s.text(F::Gprs), QStringLiteral("无"));
        QCOMPARE(s.text(F::ShortRangeWireless), QStringLiteral("无"));
    }

    void airVrnuEndsInClassHalf()
    {
        WindowSelection s;
        s.run(meteringPointLines(kAir) + "choose MeterType 气体涡轮\nchoose BaseOrigin 进口\n");
        QCOMPARE(s.text(F::CorrectorAccuracy), QStringLiteral("1.0"));
        s.run("click 选型");
        QCOMPARE(s.text(F::ResultText), QStringLiteral("VRNU-50A-1.6-1.0/1.5/DAR-0.5-0.5"));
    }

    void emptySensorRangeInVrnsII()
    {
        WindowSelection s;
        s.run(meteringPointLines(kCity)
            + "choose MeterType 气体涡轮\nchoose MechCounter 无\n"
              "choose SizeSpec 80B(13<=Qg<=250)\n");
        SelectionWindow& w = *s.workspace.current();
        w.form().setItems(F::PressSensorUpper, {});
        w.clickSelect();
        QCOMPARE(s.text(F::ResultText), QStringLiteral("VRNSⅡ-80B-/1.6-1.0/1.5"));
    }

    void smallestRotaryLobeSwitchesOffItsOutputs_data()
    {
        QTest::addColumn<QString>("counter");
        QTest::addColumn<QString>("code");
        QTest::newRow("with counter") << "有"
                                      << "RKD-G10-CDAR-V-0.5/1.6-1.0/1.5";
        QTest::newRow("without counter") << "无"
                                         << "RKD-G10-Z-0.5/1.6-1.0/1.5";
    }

    void smallestRotaryLobeSwitchesOffItsOutputs()
    {
        QFETCH(QString, counter);
        QFETCH(QString, code);
        WindowSelection s;
        s.run(flowLines(kCity, "1", "15", "400") + "choose MechCounter " + counter
            + "\nchoose SizeSpec 25RKD-G10(0.4<=Qg<=16)\nchoose Gprs 有\nclick 选型\n");
        QCOMPARE(s.text(F::ResultText), code);
        QCOMPARE(s.text(F::Gprs), QStringLiteral("无"));
    }

    void integratedCardSmallestIsACardRow()
    {
        WindowSelection s;
        s.run(flowLines(kCity, "1", "15", "400") + "choose CardControl 一体\nclick 选型\n");
        QCOMPARE(s.text(F::Size), QStringLiteral("25RKD-G10C(0.4<=Qg<=16)"));
        QCOMPARE(s.text(F::ResultText), QStringLiteral("RKD-G10C-0.5/1.6-1.0/1.5-2"));
    }

    void rootsAtClassOneStaysDar()
    {
        WindowSelection s;
        s.run(flowLines(kCity, "1", "15", "400") + "choose BaseOrigin 进口\nchoose SizeSpec 50G16(0.5<=Qg<=25)\n");
        QCOMPARE(s.text(F::CorrectorAccuracy), QStringLiteral("1.0"));
        s.run("click 选型");
        QCOMPARE(s.text(F::ResultText), QStringLiteral("G16-CDAR-0.5/1.6-1.0/1.5"));
        QCOMPARE(s.text(F::CorrectorAccuracy), QStringLiteral("0.5"));
    }

    void rotaryWithoutCounterByProtection_data()
    {
        QTest::addColumn<QString>("exProof");
        QTest::addColumn<QString>("code");
        QTest::addColumn<QString>("model");
        QTest::addColumn<QString>("display");
        QTest::newRow("intrinsically safe") << "本安 iaIICT4"
                                            << "RKD-G100-DAR-0.5/1.6-1.0/1.5"
                                            << "DAR"
                                            << "无";
        QTest::newRow("flameproof") << "隔爆 dIICT4"
                                    << "RKD-G100-KEV-G-0.5/1.6-1.0/1.5"
                                    << "KEV-G"
                                    << "有";
    }

    void rotaryWithoutCounterByProtection()
    {
        QFETCH(QString, exProof);
        QFETCH(QString, code);
        QFETCH(QString, model);
        QFETCH(QString, display);
        WindowSelection s;
        s.run(flowLines(kCity, "1", "15", "400")
            + "choose MechCounter 无\nchoose SizeSpec 80RKD-G100(0.65<=Qg<=160)\n"
              "choose ExProof "
            + exProof + "\nclick 选型\n");
        QCOMPARE(s.text(F::ResultText), code);
        QCOMPARE(s.pending().at(28), model);
        QCOMPARE(s.text(F::DisplayFactor), display);
    }

    void airRootsIgnoresTheDisplayFactor()
    {
        WindowSelection s;
        s.run(flowLines(kAir, "1", "15", "400")
            + "choose MeterType 气体腰轮(罗茨)\nchoose BaseOrigin 进口\n"
              "choose MechCounter 无\nchoose DisplayFactor 有\nclick 选型\n");
        QCOMPARE(s.text(F::ResultText), QStringLiteral("G16-DAR-0.5/1.6-1.0/1.5"));
        QCOMPARE(s.text(F::DisplayFactor), QStringLiteral("无"));
    }

    void temperaturesAreTrimmed()
    {
        WindowSelection s;
        s.run(meteringPointLines(kCoal)
            + "paste TempMin \" -20 \"\nclick 计算工况流量\n"
              "choose MeterType 气体旋进\nchoose SizeSpec 50D(6<=Qg<=65)\nclick 选型\n");
        QCOMPARE(s.text(F::ResultText), QStringLiteral("SJN-50D-0.5/1.6--20/60-1.5"));
        QCOMPARE(s.pending().at(10), QStringLiteral(" -20 ")); // stored as shown
    }

    void oxygenCardWithoutCorrector()
    {
        WindowSelection s;
        s.run(meteringPointLines(kOxygen) + "choose CardControl 一体\n");
        SelectionWindow& w = *s.workspace.current();
        w.form().setItems(F::Corrector, {"有", "无"});
        w.form().setIndex(F::Corrector, 1);
        w.form().setIndex(F::CorrectorAccuracy, 1);
        s.lines.clear();
        w.clickSelect();
        QCOMPARE(s.lines, QStringList {showBoxLine("无修正仪，选型条件不满足！")});
        QCOMPARE(s.text(F::CorrectorAccuracy), QStringLiteral("0.5"));
    }

    void airVortexWithCardHasNoCode()
    {
        WindowSelection s;
        s.run(meteringPointLines(kAir) + "choose MeterType 气体旋进\n");
        SelectionWindow& w = *s.workspace.current();
        w.form().setItems(F::CardControl, {"无", "一体"});
        w.form().setIndex(F::CardControl, 1);
        s.lines.clear();
        w.clickSelect();
        QCOMPARE(s.lines, QStringList {});
        QCOMPARE(s.text(F::ResultText), QString());
    }

    void pendingRowFollowsTheColumns()
    {
        WindowSelection s;
        s.run(flowLines(kCity, "1", "15", "400")
            + "choose BaseOrigin 进口\nchoose SizeSpec 80G100(0.65<=Qg<=160)\n"
              "choose CorrectorAccuracy 1.0\nclick 选型\n");
        const QStringList row = s.pending();
        QCOMPARE(row.size(), 45);
        QCOMPARE(row[0], s.text(F::SelectionNo));
        QCOMPARE(row[1], QStringLiteral("G100-CDAR-0.5/1.6-1.0/1.5"));
        QCOMPARE(row[21], QStringLiteral("气体罗茨流量计"));
        QCOMPARE(row[25], QStringLiteral("80"));
        QCOMPARE(row[36], row[10]);
        QCOMPARE(row[37], row[11]);
        QCOMPARE(row[39], QStringLiteral("0.5")); // the DAR row fixed the class
        QCOMPARE(row[44], QStringLiteral("±0.5℃"));
        QCOMPARE(row[43], QStringLiteral("80G100(0.65<=Qg<=160)"));
        const QStringList expectedHead
            = {row[0], row[1], kCity, "1", "15", "不修正", row[6], "1", "101.325", "400", "20", "20"};
        QCOMPARE(row.mid(0, 12), expectedHead);
        // any change of an input takes it away with the result, before any other run
        s.run("paste StdFlowMax 16");
        QVERIFY(!s.hasPending());
        s.run("click 计算工况流量\nclick 选型");
        QVERIFY(s.hasPending());
        s.run("choose Hart 有");
        QVERIFY(!s.hasPending());
    }

    // A walk through the whole window with "选型" among the actions: nothing
    // crashes, a result on screen is exactly what "选型" composes for the current
    // choices, and any change of an input or option empties it.
    void randomWalk()
    {
        WindowSelection s;
        QRandomGenerator rng(20261210);
        const QStringList media = {kCity, kOil, kCoal, kAir, kOxygen};
        const QStringList flows = {"0.4", "1", "12", "30", "80", "150", "400", "900", "2000"};
        const QStringList pressures = {"150", "400", "600", "750", "900", "2000", "7000"};
        QStringList choices;
        for (Field f : allFields())
            if (s.form().kind(f) == ControlKind::List || s.form().kind(f) == ControlKind::Radio)
                choices << fieldName(f);
        int codes = 0;
        for (int step = 0; step < 6000; ++step) {
            const int action = rng.bounded(12);
            const QString before = s.text(F::ResultText);
            bool changed = false;
            if (action == 0) {
                const QString q1 = flows[rng.bounded(int(flows.size()))];
                const QString q2 = flows[rng.bounded(int(flows.size()))];
                s.run(flowLines(media[rng.bounded(5)], q1, QString::number(q1.toDouble() + q2.toDouble()),
                    pressures[rng.bounded(int(pressures.size()))]));
            } else if (action <= 3) {
                s.run("click 选型");
                if (!s.text(F::ResultText).isEmpty()) {
                    ++codes;
                    // the composed product's options are set: a second run gives the same
                    const QString code = s.text(F::ResultText);
                    const QStringList row = s.pending();
                    s.run("click 选型");
                    QCOMPARE(s.text(F::ResultText), code);
                    QCOMPARE(s.pending(), row);
                }
            } else {
                const QString name = choices[rng.bounded(int(choices.size()))];
                const Field f = *fieldByName(name);
                const QStringList offered = s.form().items(f);
                if (offered.isEmpty() || !s.form().enabled(f))
                    continue;
                const int index = rng.bounded(int(offered.size()));
                changed = s.form().kind(f) == ControlKind::List || index != s.form().index(f);
                s.run(QStringLiteral("choose %1 \"%2\"").arg(name, offered[index]));
            }
            if (changed)
                QCOMPARE(s.text(F::ResultText), QString());
            Q_UNUSED(before);
            for (Field f : allFields())
                QVERIFY(s.form().index(f) >= -1 && s.form().index(f) < s.form().count(f));
            // the pending row goes with the result
            QCOMPARE(s.hasPending(), !s.text(F::ResultText).isEmpty());
            if (s.hasPending())
                QCOMPARE(s.pending().at(1), s.text(F::ResultText).trimmed());
        }
        QVERIFY2(codes > 200, qPrintable(QString::number(codes)));
    }
};

QTEST_GUILESS_MAIN(TestSelectionCommand)
#include "tst_selection_command.moc"
