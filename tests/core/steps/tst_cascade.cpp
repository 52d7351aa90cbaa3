#include "core/rules/size_tables.h"
#include "support/window_script.h"

#include <QRandomGenerator>
#include <QSet>
#include <QTest>

using F = Field;

namespace {

const QString kMedia[] = {"城市天然气或城市煤气", "油田天然气", "煤层气", "空气或氮气或惰性气体", "氧气或氢气"};

// A window driven by script lines, as the user would drive it.
struct Cascade : WindowScript {
    const FormModel& form() { return workspace.current()->form(); }
    QString text(Field f) { return form().text(f); }
    QStringList items(Field f) { return form().items(f); }
    // "text|on" or "text|off"
    QString state(Field f) { return text(f) + (form().enabled(f) ? QStringLiteral("|on") : QStringLiteral("|off")); }

    void flows(int medium, const QString& qmin, const QString& qmax, const QString& pabsMax)
    {
        run(flowLines(kMedia[medium], qmin, qmax, pabsMax));
    }
    // choose lines; every line must run
    void choose(const QString& field, const QString& item)
    {
        const QStringList out = run(QStringLiteral("choose %1 %2").arg(field, item));
        for (const QString& line : out)
            QVERIFY2(!line.contains(QStringLiteral("script-error")), qPrintable(line));
    }
    void path(const QString& type, const QString& origin, const QString& counter, const QString& card)
    {
        choose(QStringLiteral("MeterType"), type);
        choose(QStringLiteral("BaseOrigin"), origin);
        choose(QStringLiteral("MechCounter"), counter);
        choose(QStringLiteral("CardControl"), card);
    }
};

} // namespace

class TestCascade final : public QObject {
    Q_OBJECT

private slots:
    void cityGasChainWithDefaults()
    {
        Cascade c;
        c.flows(0, "100", "500", "600");
        QCOMPARE(c.items(F::MeterType), (QStringList {"气体涡轮", "气体腰轮(罗茨)"}));
        QCOMPARE(c.text(F::MeterType), QStringLiteral("气体腰轮(罗茨)"));
        QCOMPARE(c.items(F::BaseOrigin), (QStringList {"国产", "进口"}));
        QCOMPARE(c.text(F::BaseOrigin), QStringLiteral("国产"));
        QCOMPARE(c.items(F::MechCounter), (QStringList {"有", "无"}));
        QCOMPARE(c.text(F::MechCounter), QStringLiteral("有"));
        QCOMPARE(c.items(F::CardControl), (QStringList {"无", "一体", "分体"}));
        QCOMPARE(c.text(F::CardControl), QStringLiteral("无"));
        QCOMPARE(c.text(F::Size), QStringLiteral("100RKD-G400-4(2.5<=Qg<=650)"));
        QCOMPARE(c.text(F::NominalPressure), QStringLiteral("1.6"));
        QCOMPARE(c.text(F::Corrector), QStringLiteral("有"));
    }

    void origins_data()
    {
        QTest::addColumn<int>("medium");
        QTest::addColumn<QString>("type");
        QTest::addColumn<QStringList>("origins");
        QTest::addColumn<QStringList>("counters");
        QTest::newRow("city gas turbine")
            << 0 << "气体涡轮" << QStringList {"国产", "进口"} << QStringList {"有", "无"};
        QTest::newRow("city gas rotary") << 0 << "气体腰轮(罗茨)" << QStringList {"国产", "进口"}
                                         << QStringList {"有", "无"};
        QTest::newRow("oil turbine") << 1 << "气体涡轮" << QStringList {"国产"} << QStringList {"无"};
        QTest::newRow("oil vortex") << 1 << "气体旋进" << QStringList {"国产"} << QStringList {"无"};
        QTest::newRow("coal turbine") << 2 << "气体涡轮" << QStringList {"国产"} << QStringList {"无"};
        QTest::newRow("coal vortex") << 2 << "气体旋进" << QStringList {"国产"} << QStringList {"无"};
        QTest::newRow("air turbine") << 3 << "气体涡轮" << QStringList {"国产", "进口"} << QStringList {"有", "无"};
        QTest::newRow("air rotary") << 3 << "气体腰轮(罗茨)" << QStringList {"国产", "进口"}
                                    << QStringList {"有", "无"};
        QTest::newRow("air vortex") << 3 << "气体旋进" << QStringList {"国产"} << QStringList {"无"};
        QTest::newRow("oxygen vortex") << 4 << "气体旋进" << QStringList {"国产"} << QStringList {"无"};
    }

    void origins()
    {
        QFETCH(int, medium);
        QFETCH(QString, type);
        QFETCH(QStringList, origins);
        QFETCH(QStringList, counters);
        Cascade c;
        c.flows(medium, "20", "100", "600");
        c.choose("MeterType", type);
        QCOMPARE(c.items(F::BaseOrigin), origins);
        QCOMPARE(c.text(F::BaseOrigin), origins.first());
        QCOMPARE(c.items(F::MechCounter), counters);
        QCOMPARE(c.text(F::MechCounter), counters.first());
        QCOMPARE(c.text(F::CardControl), QStringLiteral("无"));
    }

    void importedTurbineHasACounter()
    {
        Cascade c;
        c.flows(0, "20", "100", "600");
        c.choose("MeterType", "气体涡轮");
        c.choose("BaseOrigin", "进口");
        QCOMPARE(c.items(F::MechCounter), QStringList {"有"});
    }

    void cardLists_data()
    {
        QTest::addColumn<int>("medium");
        QTest::addColumn<QString>("qmax");
        QTest::addColumn<QString>("pabsMax");
        QTest::addColumn<QString>("type");
        QTest::addColumn<QString>("origin");
        QTest::addColumn<QString>("counter");
        QTest::addColumn<QStringList>("cards");
        const QString t = "气体涡轮", r = "气体腰轮(罗茨)", v = "气体旋进";
        QTest::newRow("turbine, counter: split") << 0 << "1000"
                                                 << "600" << t << "国产"
                                                 << "有" << QStringList {"无", "分体"};
        QTest::newRow("turbine, no counter: integrated") << 0 << "1000"
                                                         << "600" << t << "国产"
                                                         << "无" << QStringList {"无", "一体"};
        QTest::newRow("turbine at 900 kPa") << 0 << "1000"
                                            << "900" << t << "国产"
                                            << "有" << QStringList {"无"};
        QTest::newRow("turbine at 900 kPa, no counter") << 0 << "1000"
                                                        << "900" << t << "国产"
                                                        << "无" << QStringList {"无"};
        QTest::newRow("turbine at 3000 m3/h") << 0 << "3000"
                                              << "600" << t << "国产"
                                              << "有" << QStringList {"无"};
        QTest::newRow("turbine at 3000 m3/h, no counter") << 0 << "3000"
                                                          << "600" << t << "国产"
                                                          << "无" << QStringList {"无"};
        QTest::newRow("turbine at 2500 m3/h and 800 kPa") << 0 << "2500"
                                                          << "800" << t << "国产"
                                                          << "有" << QStringList {"无", "分体"};
        QTest::newRow("imported turbine") << 0 << "1000"
                                          << "600" << t << "进口"
                                          << "有" << QStringList {"无", "分体"};
        QTest::newRow("rotary at 800 kPa") << 0 << "500"
                                           << "800" << r << "国产"
                                           << "有" << QStringList {"无", "一体", "分体"};
        QTest::newRow("rotary at 801 kPa") << 0 << "500"
                                           << "801" << r << "国产"
                                           << "有" << QStringList {"无"};
        QTest::newRow("rotary without counter") << 0 << "500"
                                                << "800" << r << "进口"
                                                << "无" << QStringList {"无", "一体"};
        QTest::newRow("rotary without counter at 801 kPa") << 0 << "500"
                                                           << "801" << r << "进口"
                                                           << "无" << QStringList {"无"};
        QTest::newRow("oil vortex 600 m3/h at 450 kPa") << 1 << "600"
                                                        << "450" << v << "国产"
                                                        << "无" << QStringList {"无"};
        QTest::newRow("oil vortex 600 m3/h at 400 kPa") << 1 << "600"
                                                        << "400" << v << "国产"
                                                        << "无" << QStringList {"无", "一体"};
        QTest::newRow("oil vortex 150 m3/h at 800 kPa") << 1 << "150"
                                                        << "800" << v << "国产"
                                                        << "无" << QStringList {"无", "一体"};
        QTest::newRow("oil vortex 3600 m3/h at 250 kPa") << 1 << "3600"
                                                         << "250" << v << "国产"
                                                         << "无" << QStringList {"无", "一体"};
        QTest::newRow("oxygen vortex 3600 m3/h at 251 kPa") << 4 << "3600"
                                                            << "251" << v << "国产"
                                                            << "无" << QStringList {"无"};
        QTest::newRow("oil turbine") << 1 << "100"
                                     << "400" << t << "国产"
                                     << "无" << QStringList {"无"};
        QTest::newRow("coal vortex") << 2 << "100"
                                     << "400" << v << "国产"
                                     << "无" << QStringList {"无"};
        QTest::newRow("coal turbine") << 2 << "100"
                                      << "400" << t << "国产"
                                      << "无" << QStringList {"无"};
        QTest::newRow("air rotary") << 3 << "100"
                                    << "400" << r << "国产"
                                    << "有" << QStringList {"无"};
        QTest::newRow("air turbine") << 3 << "100"
                                     << "400" << t << "进口"
                                     << "有" << QStringList {"无"};
        QTest::newRow("air vortex") << 3 << "100"
                                    << "400" << v << "国产"
                                    << "无" << QStringList {"无"};
    }

    void cardLists()
    {
        QFETCH(int, medium);
        QFETCH(QString, qmax);
        QFETCH(QString, pabsMax);
        QFETCH(QString, type);
        QFETCH(QString, origin);
        QFETCH(QString, counter);
        QFETCH(QStringList, cards);
        Cascade c;
        c.flows(medium, "30", qmax, pabsMax);
        c.choose("MeterType", type);
        c.choose("BaseOrigin", origin);
        c.choose("MechCounter", counter);
        QCOMPARE(c.items(F::CardControl), cards);
        QCOMPARE(c.text(F::CardControl), QStringLiteral("无"));
    }

    // The end states of a complete chain, the user having touched nothing below the
    // card control.
    void endStates_data()
    {
        QTest::addColumn<int>("medium");
        QTest::addColumn<QString>("qmin");
        QTest::addColumn<QString>("qmax");
        QTest::addColumn<QString>("type");
        QTest::addColumn<QString>("origin");
        QTest::addColumn<QString>("counter");
        QTest::addColumn<QString>("card");
        const QString t = "气体涡轮", r = "气体腰轮(罗茨)", v = "气体旋进";
        QTest::newRow("city turbine, none") << 0 << "100"
                                            << "500" << t << "国产"
                                            << "有"
                                            << "无";
        QTest::newRow("city turbine, split") << 0 << "100"
                                             << "500" << t << "国产"
                                             << "有"
                                             << "分体";
        QTest::newRow("city turbine, integrated") << 0 << "100"
                                                  << "500" << t << "国产"
                                                  << "无"
                                                  << "一体";
        QTest::newRow("city imported turbine, split") << 0 << "100"
                                                      << "500" << t << "进口"
                                                      << "有"
                                                      << "分体";
        QTest::newRow("city rotary, none") << 0 << "100"
                                           << "500" << r << "国产"
                                           << "有"
                                           << "无";
        QTest::newRow("city rotary, integrated") << 0 << "100"
                                                 << "500" << r << "国产"
                                                 << "有"
                                                 << "一体";
        QTest::newRow("city rotary, split") << 0 << "100"
                                            << "500" << r << "国产"
                                            << "有"
                                            << "分体";
        QTest::newRow("city rotary w/o counter, integrated") << 0 << "100"
                                                             << "500" << r << "国产"
                                                             << "无"
                                                             << "一体";
        QTest::newRow("city roots, integrated") << 0 << "100"
                                                << "500" << r << "进口"
                                                << "有"
                                                << "一体";
        QTest::newRow("city roots, split") << 0 << "100"
                                           << "500" << r << "进口"
                                           << "有"
                                           << "分体";
        QTest::newRow("oil turbine, none") << 1 << "20"
                                           << "100" << t << "国产"
                                           << "无"
                                           << "无";
        QTest::newRow("oil vortex, none") << 1 << "20"
                                          << "100" << v << "国产"
                                          << "无"
                                          << "无";
        QTest::newRow("oil vortex, integrated") << 1 << "20"
                                                << "100" << v << "国产"
                                                << "无"
                                                << "一体";
        QTest::newRow("coal turbine, none") << 2 << "20"
                                            << "100" << t << "国产"
                                            << "无"
                                            << "无";
        QTest::newRow("coal vortex, none") << 2 << "20"
                                           << "100" << v << "国产"
                                           << "无"
                                           << "无";
        QTest::newRow("air turbine, none") << 3 << "20"
                                           << "100" << t << "进口"
                                           << "有"
                                           << "无";
        QTest::newRow("air rotary, none") << 3 << "20"
                                          << "100" << r << "国产"
                                          << "无"
                                          << "无";
        QTest::newRow("air vortex, none") << 3 << "20"
                                          << "100" << v << "国产"
                                          << "无"
                                          << "无";
        QTest::newRow("oxygen vortex, none") << 4 << "20"
                                             << "100" << v << "国产"
                                             << "无"
                                             << "无";
        QTest::newRow("oxygen vortex, integrated") << 4 << "20"
                                                   << "100" << v << "国产"
                                                   << "无"
                                                   << "一体";
    }

    void endStates()
    {
        QFETCH(int, medium);
        QFETCH(QString, qmin);
        QFETCH(QString, qmax);
        QFETCH(QString, type);
        QFETCH(QString, origin);
        QFETCH(QString, counter);
        QFETCH(QString, card);
        Cascade c;
        c.flows(medium, qmin, qmax, "600");
        c.path(type, origin, counter, card);
        QVERIFY(!c.text(F::Size).isEmpty());
        QCOMPARE(c.text(F::Corrector), QStringLiteral("有"));
        const bool none = card == QStringLiteral("无");
        const bool split = card == QStringLiteral("分体");
        const bool rotary = type == QStringLiteral("气体腰轮(罗茨)");
        QCOMPARE(c.state(F::CombinedAccuracy), split ? QStringLiteral("|off") : QStringLiteral("1.5|on"));
        QCOMPARE(c.state(F::BaseAccuracy), split ? QStringLiteral("1.0|on") : QStringLiteral("1.0|off"));
        QCOMPARE(c.state(F::CorrectorAccuracy), none ? QStringLiteral("1.0|on") : QStringLiteral("0.5|off"));
        QCOMPARE(c.state(F::CorrectionMode), QStringLiteral("温压自动检测|on"));
        const QString outputs = none ? QStringLiteral("无|on") : QStringLiteral("无|off");
        for (Field g : {F::DisplayFactor, F::Gprs, F::ShortRangeWireless, F::CurrentOutput, F::Hart})
            QCOMPARE(c.state(g), outputs);
        QCOMPARE(c.state(F::ExProof), none ? QStringLiteral("本安 iaIICT4|on") : QStringLiteral("本安 iaIICT4|off"));
        QVERIFY(c.form().enabled(F::PressSensorUpper));
        QCOMPARE(c.state(F::SettlementUnit), none ? QStringLiteral("|off") : QStringLiteral("体积量（m3）|on"));
        QCOMPARE(c.state(F::Installation), !none && rotary ? QStringLiteral("水平|on") : QStringLiteral("|off"));
        QCOMPARE(c.state(F::CounterPulse), QStringLiteral("无|off"));
        QCOMPARE(c.state(F::PipeConnection), QStringLiteral("法兰|off"));
        QCOMPARE(c.items(F::Corrector), (none ? QStringList {"有", "无"} : QStringList {"有"}));

        // a later click on "1.0" with card "无" opens the base accuracy and fixes the corrector's
        if (none) {
            c.choose("CombinedAccuracy", "1.0");
            QCOMPARE(c.state(F::BaseAccuracy), QStringLiteral("1.0|on"));
            QCOMPARE(c.state(F::CorrectorAccuracy), QStringLiteral("0.5|off"));
            c.choose("CombinedAccuracy", "1.5");
            QCOMPARE(c.state(F::BaseAccuracy), QStringLiteral("1.0|off"));
            QCOMPARE(c.state(F::CorrectorAccuracy), QStringLiteral("1.0|on"));
        } else if (!split) {
            c.choose("CombinedAccuracy", "1.0");
            QCOMPARE(c.state(F::BaseAccuracy), QStringLiteral("1.0|on"));
            c.choose("CombinedAccuracy", "1.5");
            QCOMPARE(c.state(F::CorrectorAccuracy), QStringLiteral("0.5|off"));
        }
    }

    void pipeConnectionOnlyForTheSmallestRotaryLobe()
    {
        Cascade c;
        c.flows(0, "0.4", "16", "200");
        QCOMPARE(c.text(F::Size), QStringLiteral("25RKD-G10(0.4<=Qg<=16)"));
        QCOMPARE(c.state(F::PipeConnection), QStringLiteral("法兰|on"));
        c.choose("PipeConnection", "螺纹");
        c.choose("SizeSpec", "25RKD-G10(0.4<=Qg<=16)"); // choosing again sets it back
        QCOMPARE(c.state(F::PipeConnection), QStringLiteral("法兰|on"));
        c.choose("CardControl", "一体");
        QCOMPARE(c.text(F::Size), QStringLiteral("25RKD-G10C(0.4<=Qg<=16)"));
        QCOMPARE(c.state(F::PipeConnection), QStringLiteral("法兰|off"));
        c.choose("CardControl", "无");
        c.flows(0, "0.5", "20", "200");
        QCOMPARE(c.text(F::Size), QStringLiteral("50RKD-G16(0.5<=Qg<=25)"));
        QCOMPARE(c.state(F::PipeConnection), QStringLiteral("法兰|off"));
    }

    void accuracyClicks()
    {
        Cascade c;
        c.flows(0, "100", "500", "600");
        c.choose("CardControl", "一体");
        c.choose("CombinedAccuracy", "1.0");
        QCOMPARE(c.state(F::BaseAccuracy), QStringLiteral("1.0|on"));
        QCOMPARE(c.state(F::CorrectorAccuracy), QStringLiteral("0.5|off"));
        c.choose("CombinedAccuracy", "1.5");
        QCOMPARE(c.state(F::BaseAccuracy), QStringLiteral("1.0|off"));
        QCOMPARE(c.state(F::CorrectorAccuracy), QStringLiteral("0.5|off"));
    }

    void correctorNone_data()
    {
        QTest::addColumn<int>("medium");
        QTest::addColumn<QString>("type");
        QTest::addColumn<QString>("combined");
        QTest::addColumn<QString>("current");
        QTest::addColumn<QString>("pulse");
        QTest::newRow("city gas rotary") << 0 << "气体腰轮(罗茨)"
                                         << "|off"
                                         << "|off"
                                         << "无|on";
        QTest::newRow("city gas turbine") << 0 << "气体涡轮"
                                          << "|off"
                                          << "|off"
                                          << "无|off";
        QTest::newRow("oil field") << 1 << "气体涡轮"
                                   << "1.5|on"
                                   << "无|on"
                                   << "无|off";
        QTest::newRow("coal bed") << 2 << "气体涡轮"
                                  << "1.5|on"
                                  << "|off"
                                  << "无|off";
        QTest::newRow("air rotary") << 3 << "气体腰轮(罗茨)"
                                    << "1.5|on"
                                    << "|off"
                                    << "无|on";
    }

    void correctorNone()
    {
        QFETCH(int, medium);
        QFETCH(QString, type);
        QFETCH(QString, combined);
        QFETCH(QString, current);
        QFETCH(QString, pulse);
        Cascade c;
        c.flows(medium, "20", "100", "600");
        c.choose("MeterType", type);
        c.choose("Corrector", "无");
        QCOMPARE(c.state(F::CombinedAccuracy), combined);
        QCOMPARE(c.state(F::CurrentOutput), current);
        QCOMPARE(c.state(F::CounterPulse), pulse);
        QCOMPARE(c.state(F::CorrectorAccuracy), QStringLiteral("|off"));
        QCOMPARE(c.state(F::CorrectionMode), QStringLiteral("|off"));
        QCOMPARE(c.state(F::ExProof), QStringLiteral("|off"));
        QVERIFY(c.form().enabled(F::BaseAccuracy));
        for (Field g : {F::Gprs, F::ShortRangeWireless, F::Hart, F::DisplayFactor})
            QCOMPARE(c.state(g), QStringLiteral("无|off"));
        QVERIFY(!c.form().enabled(F::PressSensorUpper));
        QVERIFY(!c.form().enabled(F::SettlementUnit));
        if (pulse == QStringLiteral("无|on")) {
            c.choose("CounterPulse", "有");
            c.choose("Corrector", "有");
            QCOMPARE(c.state(F::CounterPulse), QStringLiteral("无|off"));
        }
        // any size brings the corrector back
        c.choose("Corrector", "无");
        c.choose("SizeSpec", c.items(F::Size).last());
        QCOMPARE(c.text(F::Corrector), QStringLiteral("有"));
    }

    void correctorWithIntegratedCardKeepsOutputsClosed()
    {
        Cascade c;
        c.flows(0, "100", "500", "600");
        c.choose("CardControl", "一体");
        c.choose("Corrector", "有");
        for (Field g : {F::Gprs, F::ShortRangeWireless, F::CurrentOutput, F::Hart})
            QCOMPARE(c.state(g), QStringLiteral("无|off"));
        QVERIFY(c.form().enabled(F::SettlementUnit));
    }

    void sizeLists_data()
    {
        QTest::addColumn<int>("medium");
        QTest::addColumn<QString>("qmin");
        QTest::addColumn<QString>("qmax");
        QTest::addColumn<QString>("pabsMax");
        QTest::addColumn<QStringList>("path");
        QTest::addColumn<QStringList>("sizes");
        QTest::newRow("turbine, full table")
            << 0 << "100"
            << "1500"
            << "600" << QStringList {"气体涡轮", "国产", "有", "无"}
            << QStringList {"150C(80<=Qg<=1600)", "200B(80<=Qg<=1600)", "250A(80<=Qg<=1600)"};
        QTest::newRow("turbine, split card: short table") << 0 << "100"
                                                          << "1500"
                                                          << "600" << QStringList {"气体涡轮", "国产", "有", "分体"}
                                                          << QStringList {"150C(80<=Qg<=1600)", "200B(80<=Qg<=1600)"};
        QTest::newRow("turbine, integrated card: short table")
            << 0 << "100"
            << "1500"
            << "600" << QStringList {"气体涡轮", "国产", "无", "一体"}
            << QStringList {"150C(80<=Qg<=1600)", "200B(80<=Qg<=1600)"};
        QTest::newRow("rotary, integrated card: C")
            << 0 << "0.5"
            << "25"
            << "600" << QStringList {"气体腰轮(罗茨)", "国产", "有", "一体"}
            << QStringList {"50RKD-G16C(0.5<=Qg<=25)", "50RKD-G25C(0.5<=Qg<=40)", "50RKD-G40C(0.5<=Qg<=65)",
                   "50RKD-G65C(0.5<=Qg<=100)"};
        QTest::newRow("roots, split card, widened")
            << 0 << "0.45"
            << "12"
            << "600" << QStringList {"气体腰轮(罗茨)", "进口", "有", "分体"}
            << QStringList {"50G16(0.5<=Qg<=25)", "50G25(0.5<=Qg<=40)", "50G40(0.5<=Qg<=65)", "50G65(0.5<=Qg<=100)"};
        QTest::newRow("oxygen vortex, card")
            << 4 << "12"
            << "100"
            << "600" << QStringList {"气体旋进", "国产", "无", "一体"} << QStringList {"50B(10<=Qg<=150)"};
    }

    void sizeLists()
    {
        QFETCH(int, medium);
        QFETCH(QString, qmin);
        QFETCH(QString, qmax);
        QFETCH(QString, pabsMax);
        QFETCH(QStringList, path);
        QFETCH(QStringList, sizes);
        Cascade c;
        c.flows(medium, qmin, qmax, pabsMax);
        c.path(path[0], path[1], path[2], path[3]);
        QCOMPARE(c.items(F::Size), sizes);
        QCOMPARE(c.text(F::Size), sizes.first());
        QCOMPARE(c.text(F::NominalPressure), QStringLiteral("1.6"));
        if (path[0] == QStringLiteral("气体腰轮(罗茨)"))
            QCOMPARE(c.state(F::Installation), QStringLiteral("水平|on"));
    }

    void noSizeFits()
    {
        Cascade c;
        c.flows(1, "30", "300", "7000");
        QCOMPARE(c.text(F::MeterType), QStringLiteral("气体旋进"));
        // the computation chose the card "无" and found no size
        QCOMPARE(c.form().count(F::Size), 0);
        const QStringList out = c.run(QStringLiteral("choose CardControl 无"));
        QCOMPARE(out,
            (QStringList {"{\"event\":\"message\",\"box\":\"plain\",\"title\":\"Corvane仪表集团仪表选型系统（V1.0）\","
                          "\"text\":\"没有满足流量范围的规格型号仪表，请调整！\"}",
                "{\"event\":\"focus\",\"target\":\"StdFlowMin\"}"}));
        QCOMPARE(c.form().count(F::NominalPressure), 0);
        QCOMPARE(c.text(F::CardControl), QStringLiteral("无")); // the choices above stay
    }

    void cardChoiceSwitchesCorrectorList()
    {
        Cascade c;
        c.flows(0, "100", "500", "600");
        c.choose("CardControl", "分体");
        QCOMPARE(c.items(F::Corrector), QStringList {"有"});
        QCOMPARE(c.state(F::CombinedAccuracy), QStringLiteral("|off"));
        c.choose("CardControl", "一体");
        QCOMPARE(c.state(F::CombinedAccuracy), QStringLiteral("1.5|on"));
        c.choose("CardControl", "无");
        QCOMPARE(c.items(F::Corrector), (QStringList {"有", "无"}));
        QCOMPARE(c.state(F::Gprs), QStringLiteral("无|on"));
    }

    void ratings_data()
    {
        QTest::addColumn<int>("medium");
        QTest::addColumn<QString>("qmin");
        QTest::addColumn<QString>("qmax");
        QTest::addColumn<QString>("pabsMax");
        QTest::addColumn<QStringList>("path");
        QTest::addColumn<QString>("size");
        QTest::addColumn<QStringList>("ratings");
        const QStringList domestic = {"气体涡轮", "国产", "有", "无"};
        const QStringList imported = {"气体涡轮", "进口", "有", "无"};
        QTest::newRow("turbine DN80 at 2000 kPa")
            << 0 << "40"
            << "150"
            << "2000" << domestic << "80A(8<=Qg<=160)" << QStringList {"2.5", "4.0"};
        QTest::newRow("turbine DN150 at 2000 kPa") << 0 << "40"
                                                   << "150"
                                                   << "2000" << domestic << "150A(32<=Qg<=650)" << QStringList {"2.5"};
        QTest::newRow("turbine at exactly 1600 kPa")
            << 0 << "40"
            << "150"
            << "1600" << domestic << "80A(8<=Qg<=160)" << QStringList {"1.6", "2.5", "4.0"};
        QTest::newRow("turbine at 1600.5 kPa")
            << 0 << "40"
            << "150"
            << "1600.5" << domestic << "80A(8<=Qg<=160)" << QStringList {"2.5", "4.0"};
        QTest::newRow("imported turbine at 500 kPa")
            << 0 << "40"
            << "150"
            << "500" << imported << "80A(8<=Qg<=160)" << QStringList {"1.0", "1.6"};
        QTest::newRow("imported turbine at 1200 kPa") << 0 << "40"
                                                      << "150"
                                                      << "1200" << imported << "80A(8<=Qg<=160)" << QStringList {"1.6"};
        QTest::newRow("imported turbine at 1700 kPa") << 0 << "40"
                                                      << "150"
                                                      << "1700" << imported << "80A(8<=Qg<=160)" << QStringList {};
        QTest::newRow("air imported turbine at 3000 kPa")
            << 3 << "40"
            << "600"
            << "3000" << imported << "100C(32<=Qg<=650)" << QStringList {"4.0"};
        QTest::newRow("turbine, split card")
            << 0 << "100"
            << "1500"
            << "600" << QStringList {"气体涡轮", "国产", "有", "分体"} << "200B(80<=Qg<=1600)" << QStringList {"1.6"};
        QTest::newRow("turbine, integrated card")
            << 0 << "100"
            << "1500"
            << "600" << QStringList {"气体涡轮", "国产", "无", "一体"} << "150C(80<=Qg<=1600)" << QStringList {"1.6"};
        QTest::newRow("rotary") << 0 << "100"
                                << "500"
                                << "600" << QStringList {"气体腰轮(罗茨)", "进口", "无", "无"}
                                << "150G650(6.5<=Qg<=1000)" << QStringList {"1.6"};
        QTest::newRow("vortex DN25 at 12000 kPa")
            << 1 << "3"
            << "30"
            << "12000" << QStringList {"气体旋进", "国产", "无", "无"} << "25B(2.5<=Qg<=30)" << QStringList {"16.0"};
        QTest::newRow("vortex DN100 at 6000 kPa")
            << 1 << "60"
            << "700"
            << "6000" << QStringList {"气体旋进", "国产", "无", "无"} << "100B(50<=Qg<=800)" << QStringList {"6.3"};
        QTest::newRow("vortex DN200 at 3000 kPa")
            << 1 << "400"
            << "3000"
            << "3000" << QStringList {"气体旋进", "国产", "无", "无"} << "200B(360<=Qg<=3600)" << QStringList {"4.0"};
        QTest::newRow("vortex with card")
            << 1 << "12"
            << "100"
            << "600" << QStringList {"气体旋进", "国产", "无", "一体"} << "50B(10<=Qg<=150)" << QStringList {"1.6"};
    }

    void ratings()
    {
        QFETCH(int, medium);
        QFETCH(QString, qmin);
        QFETCH(QString, qmax);
        QFETCH(QString, pabsMax);
        QFETCH(QStringList, path);
        QFETCH(QString, size);
        QFETCH(QStringList, ratings);
        Cascade c;
        c.flows(medium, qmin, qmax, pabsMax);
        c.path(path[0], path[1], path[2], path[3]);
        c.choose("SizeSpec", size);
        QCOMPARE(c.items(F::NominalPressure), ratings);
        QCOMPARE(c.text(F::NominalPressure), ratings.isEmpty() ? QString() : ratings.first());
    }

    void sensorRanges_data()
    {
        QTest::addColumn<QString>("qmin");
        QTest::addColumn<QString>("qmax");
        QTest::addColumn<QString>("pabsMax");
        QTest::addColumn<QStringList>("path");
        QTest::addColumn<QStringList>("ranges");
        const QStringList noCard = {"气体涡轮", "国产", "有", "无"};
        QTest::newRow("no card, 150 kPa") << "20"
                                          << "100"
                                          << "150" << noCard << QStringList {"0.2", "0.5"};
        QTest::newRow("no card, 600 kPa") << "20"
                                          << "100"
                                          << "600" << noCard << QStringList {"1.0", "2.0"};
        QTest::newRow("no card, 8000 kPa")
            << "20"
            << "100"
            << "8000" << QStringList {"气体旋进", "国产", "无", "无"} << QStringList {"10.0"};
        QTest::newRow("card DN80, 600 kPa")
            << "1"
            << "150"
            << "600" << QStringList {"气体腰轮(罗茨)", "国产", "有", "一体"} << QStringList {"0.7", "0.9"};
        QTest::newRow("card DN25, 750 kPa")
            << "0.4"
            << "16"
            << "750" << QStringList {"气体腰轮(罗茨)", "国产", "有", "一体"} << QStringList {"0.9"};
        QTest::newRow("card DN150, 600 kPa")
            << "100"
            << "1500"
            << "600" << QStringList {"气体涡轮", "国产", "有", "分体"} << QStringList {};
        QTest::newRow("card DN150, 300 kPa")
            << "100"
            << "1500"
            << "300" << QStringList {"气体涡轮", "国产", "有", "分体"} << QStringList {"0.5"};
    }

    void sensorRanges()
    {
        QFETCH(QString, qmin);
        QFETCH(QString, qmax);
        QFETCH(QString, pabsMax);
        QFETCH(QStringList, path);
        QFETCH(QStringList, ranges);
        Cascade c;
        c.flows(path[0] == QStringLiteral("气体旋进") ? 1 : 0, qmin, qmax, pabsMax);
        c.path(path[0], path[1], path[2], path[3]);
        QCOMPARE(c.items(F::PressSensorUpper), ranges);
    }

    void cardListIsNotTouchedBySizes()
    {
        Cascade c;
        c.flows(0, "100", "500", "600");
        const QStringList cards = c.items(F::CardControl);
        for (const QString& size : c.items(F::Size)) {
            c.choose("SizeSpec", size);
            QCOMPARE(c.items(F::CardControl), cards);
        }
    }

    // Choosing at any level rebuilds every level below with its first item chosen
    // and ends with the corrector step.
    void choiceRebuildsBelow_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("item");
        QTest::newRow("meter type") << "MeterType"
                                    << "气体涡轮";
        QTest::newRow("origin") << "BaseOrigin"
                                << "进口";
        QTest::newRow("counter") << "MechCounter"
                                 << "无";
        QTest::newRow("card") << "CardControl"
                              << "一体";
        QTest::newRow("size") << "SizeSpec"
                              << "150RKD-G650(6.5<=Qg<=1000)";
    }

    void choiceRebuildsBelow()
    {
        QFETCH(QString, field);
        QFETCH(QString, item);
        Cascade c;
        c.flows(0, "100", "500", "600");
        // disturb everything below
        c.choose("Corrector", "无");
        c.run(QStringLiteral("choose Installation 垂直\nchoose ExProof 隔爆 dIICT4"));
        c.choose(field, item);
        const Field chosen = *fieldByName(field);
        const Field levels[]
            = {F::MeterType, F::BaseOrigin, F::MechCounter, F::CardControl, F::Size, F::NominalPressure};
        bool below = false;
        for (Field level : levels) {
            if (below)
                QCOMPARE(c.form().index(level), 0);
            if (level == chosen)
                below = true;
        }
        QCOMPARE(c.text(F::Corrector), QStringLiteral("有")); // the corrector step ran last
        QCOMPARE(c.text(F::CorrectionMode), QStringLiteral("温压自动检测"));
        QCOMPARE(c.text(F::ResultText), QString());
    }

    void combinationOutsideTheTableFillsNoSize()
    {
        // a counter "无" with card "分体" is never offered; forced, it fills no size and says nothing
        Cascade c;
        c.flows(0, "100", "500", "600");
        c.choose("MechCounter", "无");
        SelectionWindow& w = *c.workspace.current();
        w.form().setItems(F::CardControl, {"无", "分体"});
        c.lines.clear();
        w.choose(F::CardControl, 1);
        QCOMPARE(c.lines, QStringList {});
        QCOMPARE(w.form().count(F::Size), 0);
        QCOMPARE(c.state(F::Installation), QStringLiteral("水平|on")); // steps 4 to 7 still ran
        QCOMPARE(c.state(F::CombinedAccuracy), QStringLiteral("|off"));
    }

    // A walk through the window: random inputs, computations and choices of whatever
    // the lists offer. Nothing crashes, no choice leaves its list, every list holds
    // only items of its vocabulary, and the result is empty after every change.
    void randomWalk()
    {
        Cascade c;
        QRandomGenerator rng(7);
        QSet<QString> sizes;
        for (const auto& table : {domesticRotaryLobeTable(0), domesticRotaryLobeTable(1), importedRotaryLobeTable(0),
                 importedRotaryLobeTable(1), vortexTable(0), turbineTable(true)})
            for (const SizeTableEntry& e : table)
                if (const auto* row = std::get_if<TSizeCandidate>(&e))
                    sizes << row->label;
        const QHash<Field, QSet<QString>> vocabulary = {
            {F::MeterType, {"气体涡轮", "气体腰轮(罗茨)", "气体旋进"}},
            {F::BaseOrigin, {"国产", "进口"}},
            {F::MechCounter, {"有", "无"}},
            {F::CardControl, {"无", "一体", "分体"}},
            {F::Size, sizes},
            {F::NominalPressure, {"1.0", "1.6", "2.5", "4.0", "6.3", "10.0", "16.0"}},
            {F::PressSensorUpper, {"0.2", "0.5", "0.7", "0.9", "1.0", "2.0", "5.0", "10.0", "1", "2", "5", "10"}},
            {F::Corrector, {"有", "无"}},
        };
        const QStringList inputs = {"StdFlowMin", "StdFlowMax", "PabsMin", "PabsMax", "TempMin", "TempMax", "XCO2",
            "XH2", "Hs", "RelDensity", "ZnZgMin", "ZnZgMax"};
        const QStringList values = {"0.4", "1", "12", "30", "100", "150", "300", "600", "800", "1500", "3000", "7000",
            "12000", "-20", "60", "0", "0.6", "45", "38", "abc", "", "1e30"};
        QStringList choices;
        for (Field f : allFields())
            if (c.form().kind(f) == ControlKind::List || c.form().kind(f) == ControlKind::Radio)
                choices << fieldName(f);
        for (int step = 0; step < 4000; ++step) {
            const int action = rng.bounded(10);
            if (action == 0) {
                c.run(QStringLiteral("paste %1 %2")
                          .arg(inputs[rng.bounded(int(inputs.size()))], values[rng.bounded(int(values.size()))]));
            } else if (action == 1) {
                c.run(QStringLiteral("click 计算工况流量"));
            } else {
                const QString name = choices[rng.bounded(int(choices.size()))];
                const QStringList offered = c.items(*fieldByName(name));
                if (offered.isEmpty())
                    continue;
                c.run(QStringLiteral("choose %1 \"%2\"").arg(name, offered[rng.bounded(int(offered.size()))]));
            }
            for (Field f : allFields()) {
                QVERIFY(c.form().index(f) >= -1 && c.form().index(f) < c.form().count(f));
                if (vocabulary.contains(f))
                    for (const QString& item : c.items(f))
                        QVERIFY2(vocabulary[f].contains(item), qPrintable(fieldName(f) + ": " + item));
            }
            QCOMPARE(c.text(F::ResultText), QString());
        }
    }
};

QTEST_GUILESS_MAIN(TestCascade)
#include "tst_cascade.moc"
