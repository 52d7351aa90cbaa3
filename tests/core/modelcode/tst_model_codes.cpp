#include "support/window_script.h"
#include "workspace/code_key.h"

#include <QRegularExpression>
#include <QTest>

using F = Field;

namespace {

enum Base { Point, Small };

// Runs a whole selection from the flow inputs down and clicks "选型".
QStringList select(WindowSelection& s, const QString& medium, Base base, const QStringList& path, const QString& size,
    const QStringList& options)
{
    QString script = base == Point ? meteringPointLines(medium) : flowLines(medium, "1", "15", "400");
    const char* levels[] = {"MeterType", "BaseOrigin", "MechCounter", "CardControl"};
    for (int i = 0; i < 4; ++i)
        script += QStringLiteral("choose %1 %2\n").arg(QString::fromLatin1(levels[i]), path[i]);
    script += QStringLiteral("choose SizeSpec %1\n").arg(size);
    for (const QString& option : options)
        script += QStringLiteral("choose %1\n").arg(option);
    script += QStringLiteral("click 选型\n");
    return s.run(script);
}

// A text of the key as a pattern: as written, each position one of the values the
// key lists for it ({P} those it lists for the template; placeholders inside a value
// in turn), or a typed number where it lists none (the temperatures).
QString keyPattern(const CodeKeySeries& series, const CodeKeyTemplate& templ, const QString& text)
{
    QString pattern;
    qsizetype i = 0;
    while (i < text.size()) {
        if (text[i] != u'{') {
            pattern += QRegularExpression::escape(text.mid(i++, 1));
            continue;
        }
        const qsizetype close = text.indexOf(u'}', i);
        const QString name = text.mid(i + 1, close - i - 1);
        i = close + 1;
        QStringList values;
        for (const CodeKeyPosition& p : series.positions) {
            if (p.name == name)
                values = name == u"P" ? templ.parts : p.values;
        }
        if (values.isEmpty()) {
            pattern += QStringLiteral("[-+.0-9]+");
            continue;
        }
        for (QString& v : values)
            v = keyPattern(series, templ, v);
        pattern += QStringLiteral("(?:") + values.join(u'|') + u')';
    }
    return pattern;
}

// The series of the key that have a template the code fits.
QStringList seriesFitting(const QString& code)
{
    static const std::vector<CodeKeySeries> key = codeKey();
    static const QString suffixes = [] {
        QString pattern;
        for (const CodeKeyTemplate& suffix : codeKeySuffixes())
            pattern += QStringLiteral("(?:") + QRegularExpression::escape(suffix.text) + QStringLiteral(")?");
        return pattern;
    }();
    QStringList out;
    for (const CodeKeySeries& series : key) {
        for (const CodeKeyTemplate& t : series.templates) {
            const QRegularExpression pattern(u'^' + keyPattern(series, t, t.text) + suffixes + u'$');
            if (pattern.match(code).hasMatch() && !out.contains(series.series))
                out << series.series;
        }
    }
    return out;
}

// The key of the codes ("流量计参数代号") holds the code: a template of one series
// filled with values that the key lists for each position.
void verifyInKey(const QString& code)
{
    const QStringList series = seriesFitting(code);
    QVERIFY2(series.size() == 1, qPrintable(code + QStringLiteral(" fits ") + series.join(u',')));
    // a series that names itself starts the code with its name
    if (!series[0].startsWith(QStringLiteral("RKD/G")))
        QVERIFY2(code.startsWith(series[0] + u'-'), qPrintable(series[0]));
}

} // namespace

class TestModelCodes final : public QObject {
    Q_OBJECT

private slots:
    // The worked examples, end to end from the flow inputs. `options` are choose
    // lines; `settings` the groups as the composed product leaves them.
    void workedExamples_data()
    {
        QTest::addColumn<QString>("medium");
        QTest::addColumn<int>("base");
        QTest::addColumn<QStringList>("path");
        QTest::addColumn<QString>("size");
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<QString>("code");
        QTest::addColumn<QString>("correctorModel");
        QTest::addColumn<QStringList>("settings");
        const QString t = "气体涡轮", r = "气体腰轮(罗茨)", v = "气体旋进";

        // turbine: 80B, sensor 0.5, rating 1.6, base 1.0, combined 1.5, -20 to 60 C
        QTest::newRow("VRNA KEV-G-G") << kCity << int(Point) << QStringList {t, "国产", "有", "无"}
                                      << "80B(13<=Qg<=250)"
                                      << QStringList {"Gprs 有", "ExProof 隔爆 dIICT4", "ShortRangeWireless 无"}
                                      << "VRNA-80B-0.5/1.6-1.0/1.5-KEV-G-G"
                                      << "KEV"
                                      << QStringList {"CurrentOutput=无", "DisplayFactor=有", "Hart=无",
                                             "CounterPulse=无", "PipeConnection=法兰", "CorrectorAccuracy=0.5",
                                             "CorrectionMode=温压自动检测", "ExProof=隔爆 dIICT4"};
        QTest::newRow("VRNA KEV-G-GW in air")
            << kAir << int(Point) << QStringList {t, "国产", "有", "无"} << "80B(13<=Qg<=250)"
            << QStringList {"Gprs 有", "ExProof 隔爆 dIICT4", "ShortRangeWireless 无"}
            << "VRNA-80B-0.5/1.6-1.0/1.5-KEV-G-GW"
            << "KEV"
            << QStringList {"CurrentOutput=有", "DisplayFactor=有", "CorrectorAccuracy=0.5", "ExProof=隔爆 dIICT4"};
        QTest::newRow("VRNA DAR-V-C") << kCity << int(Point) << QStringList {t, "国产", "有", "无"}
                                      << "80B(13<=Qg<=250)"
                                      << QStringList {"Gprs 无", "ShortRangeWireless 无", "CurrentOutput 无",
                                             "DisplayFactor 无", "CorrectorAccuracy 1.0",
                                             "CorrectionMode 温度检测压力设置"}
                                      << "VRNA-80B-0.5/1.6-1.0/1.5-DAR-V-C"
                                      << "DAR-V"
                                      << QStringList {"CorrectorAccuracy=1.0", "CorrectionMode=温度检测压力设置",
                                             "ExProof=本安 iaIICT4", "Hart=无", "CounterPulse=无",
                                             "PipeConnection=法兰"};
        QTest::newRow("VRNA with DAB") << kCity << int(Point) << QStringList {t, "国产", "有", "分体"}
                                       << "80B(13<=Qg<=250)" << QStringList {"CorrectionMode 温压均设置修正"}
                                       << "VRNA-80B-1.0/DAB-Ⅱ-0.5/1.6"
                                       << "DAB"
                                       << QStringList {"CorrectorAccuracy=0.5", "DisplayFactor=无", "Hart=无",
                                              "ShortRangeWireless=无", "Gprs=无", "CounterPulse=无",
                                              "ExProof=本安 iaIICT4", "PipeConnection=法兰",
                                              "CorrectionMode=温压均设置修正"};
        QTest::newRow("VRNSⅡ KEV-B-GW") << kCity << int(Point) << QStringList {t, "国产", "无", "无"}
                                        << "80B(13<=Qg<=250)"
                                        << QStringList {"Gprs 有", "ExProof 本安 iaIICT4", "ShortRangeWireless 有"}
                                        << "VRNSⅡ-80B-KEV-B-GW-0.5/1.6-1.0/1.5"
                                        << "KEV"
                                        << QStringList {"DisplayFactor=有", "CurrentOutput=无", "ExProof=本安 iaIICT4",
                                               "CorrectorAccuracy=0.5", "CorrectionMode=温压自动检测", "Hart=无",
                                               "PipeConnection=法兰"};
        QTest::newRow("VRNSⅡ KEV-B-GWI- in air")
            << kAir << int(Point) << QStringList {t, "国产", "无", "无"} << "80B(13<=Qg<=250)"
            << QStringList {"Gprs 有", "ExProof 本安 iaIICT4", "ShortRangeWireless 有", "CurrentOutput 有"}
            << "VRNSⅡ-80B-KEV-B-GWI-0.5/1.6-1.0/1.5"
            << "KEV" << QStringList {"DisplayFactor=有", "CurrentOutput=有", "ExProof=本安 iaIICT4"};
        QTest::newRow("VRNU DAR-I") << kCity << int(Point) << QStringList {t, "进口", "有", "无"} << "80B(13<=Qg<=250)"
                                    << QStringList {"NominalPressure 1.6", "Gprs 无", "ShortRangeWireless 无",
                                           "CurrentOutput 有"}
                                    << "VRNU-80B-0.5/1.6-1.0/1.5/DAR-I"
                                    << "DAR"
                                    << QStringList {"ExProof=本安 iaIICT4", "DisplayFactor=无", "CorrectorAccuracy=0.5",
                                           "Hart=无"};
        QTest::newRow("VRNU KEV-GGW in air")
            << kAir << int(Point) << QStringList {t, "进口", "有", "无"} << "80B(13<=Qg<=250)"
            << QStringList {"Gprs 有", "ExProof 隔爆 dIICT4", "ShortRangeWireless 有"}
            << "VRNU-80B-1.6-1.0/1.5/KEV-GGW-0.5-0.5"
            << "KEV"
            << QStringList {
                   "CurrentOutput=无", "DisplayFactor=有", "CorrectorAccuracy=0.5", "CorrectionMode=温压自动检测"};
        QTest::newRow("VRN without corrector")
            << kOil << int(Point) << QStringList {t, "国产", "无", "无"} << "80B(13<=Qg<=250)"
            << QStringList {"Corrector 无", "CurrentOutput 有"} << "VRN-80B-I-0.5/1.6--20/60-1.5"
            << ""
            << QStringList {"CorrectionMode=", "CorrectorAccuracy=", "ExProof=隔爆 dIICT4", "Hart=无",
                   "DisplayFactor=无", "CounterPulse=无", "PipeConnection=法兰"};
        QTest::newRow("SJF") << kCoal << int(Point) << QStringList {t, "国产", "无", "无"} << "80B(13<=Qg<=250)"
                             << QStringList {} << "SJF-80B-0.5/1.6--20/60-1.5"
                             << "SJF流量补偿仪"
                             << QStringList {"ExProof=隔爆 dIICT4", "CorrectionMode=温压自动检测", "Hart=无"};

        // rotary-lobe and roots, city gas: sensor 0.5, rating 1.6, base 1.0, combined 1.5
        QTest::newRow("RKD KEV-B-G") << kCity << int(Small) << QStringList {r, "国产", "有", "无"}
                                     << "50RKD-G16(0.5<=Qg<=25)"
                                     << QStringList {"Gprs 有", "ExProof 本安 iaIICT4", "ShortRangeWireless 无",
                                            "CurrentOutput 无"}
                                     << "RKD-G16-CKEV-B-G-0.5/1.6-1.0/1.5"
                                     << "KEV"
                                     << QStringList {"DisplayFactor=有", "ExProof=本安 iaIICT4",
                                            "CorrectorAccuracy=0.5", "Hart=无", "CorrectionMode=温压自动检测"};
        QTest::newRow("RKD-G10 DAR-V, thread")
            << kCity << int(Small) << QStringList {r, "国产", "有", "无"} << "25RKD-G10(0.4<=Qg<=16)"
            << QStringList {"PipeConnection 螺纹", "CorrectionMode 温压自动检测"} << "RKD-G10-RC-CDAR-V-0.5/1.6-1.0/1.5"
            << "DAR-V" << QStringList {"CorrectorAccuracy=1.0", "PipeConnection=螺纹", "Hart=无", "CounterPulse=无"};
        QTest::newRow("RKD-G10 with Z") << kCity << int(Small) << QStringList {r, "国产", "无", "无"}
                                        << "25RKD-G10(0.4<=Qg<=16)"
                                        << QStringList {"PipeConnection 法兰", "CorrectionMode 压力检测温度设置"}
                                        << "RKD-G10-Z-C-0.5/1.6-1.0/1.5"
                                        << "Z"
                                        << QStringList {"CorrectorAccuracy=1.0", "ExProof=本安 iaIICT4",
                                               "CorrectionMode=压力检测温度设置"};
        QTest::newRow("RKD-G10 without corrector, thread")
            << kCity << int(Small) << QStringList {r, "国产", "无", "无"} << "25RKD-G10(0.4<=Qg<=16)"
            << QStringList {"PipeConnection 螺纹", "Corrector 无"} << "RKD-G10-RC-D-1.6-1.0"
            << "" << QStringList {"CorrectionMode=", "CorrectorAccuracy=", "PipeConnection=螺纹"};
        QTest::newRow("RKD-G25 DAR-V-B") << kCity << int(Small) << QStringList {r, "国产", "无", "无"}
                                         << "50RKD-G25(0.5<=Qg<=40)"
                                         << QStringList {"Gprs 无", "ShortRangeWireless 无", "CurrentOutput 无",
                                                "CorrectorAccuracy 1.0", "CorrectionMode 温度检测压力设置"}
                                         << "RKD-G25-DAR-V-B-0.5/1.6-1.0/1.5"
                                         << "DAR-V"
                                         << QStringList {
                                                "ExProof=本安 iaIICT4", "DisplayFactor=无", "CorrectorAccuracy=1.0"};
        QTest::newRow("RKD-G100 with pulse output")
            << kCity << int(Small) << QStringList {r, "国产", "有", "无"} << "80RKD-G100(0.65<=Qg<=160)"
            << QStringList {"Corrector 无", "CounterPulse 有"} << "RKD-G100-OYT-1.6-1.0"
            << "" << QStringList {"CorrectionMode=", "ExProof=", "CounterPulse=有", "PipeConnection=法兰"};
        QTest::newRow("RKD-G16C integrated card")
            << kCity << int(Small) << QStringList {r, "国产", "有", "一体"} << "50RKD-G16C(0.5<=Qg<=25)"
            << QStringList {"CorrectionMode 压力检测温度设置", "Installation 垂直"} << "RKD-G16C-0.5/1.6-1.0/1.5-C-2-C"
            << "CPU卡流量补偿控制仪"
            << QStringList {"CorrectorAccuracy=0.5", "ExProof=本安 iaIICT4", "Gprs=无", "PipeConnection=法兰"};
        QTest::newRow("RKD-G16 with DAB")
            << kCity << int(Small) << QStringList {r, "国产", "有", "分体"} << "50RKD-G16(0.5<=Qg<=25)"
            << QStringList {"CorrectionMode 温压均设置修正", "Installation 水平"} << "RKD-G16-1.0/DAB-Ⅱ-50-0.5/1.6"
            << "DAB" << QStringList {"CorrectorAccuracy=0.5", "CorrectionMode=温压均设置修正"};
        QTest::newRow("G100 with DAB") << kCity << int(Small) << QStringList {r, "进口", "有", "分体"}
                                       << "80G100(0.65<=Qg<=160)" << QStringList {"Installation 垂直"}
                                       << "G100-1.0/DAB-80-0.5/1.6-C"
                                       << "DAB" << QStringList {"CorrectionMode=温压自动检测", "ExProof=本安 iaIICT4"};
        QTest::newRow("RKD KEV-B-GI- without counter")
            << kCity << int(Small) << QStringList {r, "国产", "无", "无"} << "50RKD-G16(0.5<=Qg<=25)"
            << QStringList {"Gprs 有", "ShortRangeWireless 无", "CurrentOutput 有"}
            << "RKD-G16-KEV-B-GI-0.5/1.6-1.0/1.5"
            << "KEV"
            << QStringList {"CurrentOutput=有", "DisplayFactor=有", "ExProof=本安 iaIICT4", "CorrectorAccuracy=0.5"};
        QTest::newRow("G100 KEV-G-W") << kCity << int(Small) << QStringList {r, "进口", "无", "无"}
                                      << "80G100(0.65<=Qg<=160)"
                                      << QStringList {"Gprs 无", "ShortRangeWireless 有", "ExProof 隔爆 dIICT4"}
                                      << "G100-KEV-G-W-0.5/1.6-1.0/1.5"
                                      << "KEV"
                                      << QStringList {"CurrentOutput=无", "DisplayFactor=有", "ExProof=隔爆 dIICT4",
                                             "CorrectorAccuracy=0.5"};

        // vortex-precession: 50D, sensor 0.5, rating 1.6, combined 1.5, -20 to 60 C
        QTest::newRow("PWX with HART") << kOil << int(Point) << QStringList {v, "国产", "无", "无"} << "50D(6<=Qg<=65)"
                                       << QStringList {"Hart 有"} << "PWX-50D-H-0.5/1.6--20/60-1.5"
                                       << "PWX流量补偿仪"
                                       << QStringList {"CurrentOutput=有", "CorrectorAccuracy=0.5",
                                              "ExProof=隔爆 dIICT4", "PipeConnection=法兰"};
        QTest::newRow("MQE without corrector")
            << kOil << int(Point) << QStringList {v, "国产", "无", "无"} << "50D(6<=Qg<=65)"
            << QStringList {"Corrector 无", "CurrentOutput 无"} << "MQE-50DS-1.6--20/60-1.5"
            << "" << QStringList {"CorrectionMode=", "CorrectorAccuracy=", "Hart=无", "ExProof=隔爆 dIICT4"};
        QTest::newRow("PWXC integrated card")
            << kOil << int(Point) << QStringList {v, "国产", "无", "一体"} << "50D(6<=Qg<=65)"
            << QStringList {"CorrectionMode 温度检测压力设置"} << "PWXC-50D-0.5/1.6-1.5-B"
            << "CPU卡流量补偿控制仪"
            << QStringList {"Hart=无", "CurrentOutput=无", "DisplayFactor=无", "PipeConnection=法兰"};
        QTest::newRow("PWXC for hydrogen")
            << kOxygen << int(Point) << QStringList {v, "国产", "无", "一体"} << "50D(6<=Qg<=65)"
            << QStringList {"CorrectionMode 压力检测温度设置"} << "PWXC-50D-0.5/1.6-1.5-C"
            << "CPU卡流量补偿控制仪"
            << QStringList {"Hart=无", "CorrectionMode=压力检测温度设置", "PipeConnection=法兰"};
        QTest::newRow("SJN") << kCoal << int(Point) << QStringList {v, "国产", "无", "无"} << "50D(6<=Qg<=65)"
                             << QStringList {} << "SJN-50D-0.5/1.6--20/60-1.5"
                             << "SJN流量补偿仪" << QStringList {"ExProof=隔爆 dIICT4"};
        QTest::newRow("PWX in air") << kAir << int(Point) << QStringList {v, "国产", "无", "无"} << "50D(6<=Qg<=65)"
                                    << QStringList {"Hart 无", "CurrentOutput 有"} << "PWX-50D-I-0.5/1.6--20/60-1.5"
                                    << "PWX流量补偿仪"
                                    << QStringList {"ExProof=隔爆 dIICT4", "CorrectorAccuracy=0.5", "CurrentOutput=有"};
    }

    void workedExamples()
    {
        QFETCH(QString, medium);
        QFETCH(int, base);
        QFETCH(QStringList, path);
        QFETCH(QString, size);
        QFETCH(QStringList, options);
        QFETCH(QString, code);
        QFETCH(QString, correctorModel);
        QFETCH(QStringList, settings);
        WindowSelection s;
        const QStringList out = select(s, medium, Base(base), path, size, options);
        QVERIFY2(s.ranCleanly(out), qPrintable(out.join(u'\n')));
        QCOMPARE(s.text(F::ResultText), code);
        QVERIFY(s.hasPending());
        QCOMPARE(s.pending().at(1), code);
        QCOMPARE(s.pending().at(28), correctorModel);
        for (const QString& setting : settings) {
            const QString name = setting.section(u'=', 0, 0);
            QCOMPARE(name + u'=' + s.text(*fieldByName(name)), setting);
        }
        verifyInKey(code);
    }

    // What "选型" adds after a composed code is in the key as well, in the order it
    // is added.
    void suffixesAreInTheKey_data()
    {
        QTest::addColumn<QString>("script");
        QTest::addColumn<QString>("code");
        const QString card = flowLines(kCity, "1", "15", "400") + "choose CardControl 一体\n";
        QTest::newRow("money") << card + "choose SettlementUnit 货     币（元）\nclick 选型\n"
                               << "RKD-G10C-0.5/1.6-1.0/1.5-2-M";
        QTest::newRow("money and special requirement") << card
                + "choose SettlementUnit 货     币（元）\nclick 选型\nchoose CombinedAccuracy 1.0\n"
                  "choose BaseAccuracy 0.5\nclick 选型\n"
                                                       << "RKD-G10C-0.5/1.6-0.5/1.0-2-M(特殊要求)";
        QTest::newRow("special requirement")
            << meteringPointLines(kCity) + "choose MeterType 气体涡轮\nchoose CombinedAccuracy 1.0\nclick 选型\n"
            << "VRNA-50A-0.5/1.6-1.0/1.0-DAR(特殊要求)";
    }

    void suffixesAreInTheKey()
    {
        QFETCH(QString, script);
        QFETCH(QString, code);
        WindowSelection s;
        s.run(script);
        QCOMPARE(s.text(F::ResultText), code);
        verifyInKey(code);
        QVERIFY(seriesFitting(QStringLiteral("RKD-G10C-0.5/1.6-0.5/1.0-2(特殊要求)-M")).isEmpty());
    }

    // Every series the composers can produce is in the key, every position its
    // templates use is explained and lists its values (only the typed temperatures
    // are written as entered), and every template with {P} lists what {P} takes.
    void keyListsEverySeries()
    {
        const std::vector<CodeKeySeries> key = codeKey();
        QStringList names;
        for (const CodeKeySeries& series : key) {
            names << series.series;
            for (const CodeKeyPosition& p : series.positions) {
                QVERIFY2(!p.meaning.isEmpty(), qPrintable(p.name));
                const bool typed = p.name == u"TL" || p.name == u"TH";
                QVERIFY2(p.values.isEmpty() == typed, qPrintable(series.series + u' ' + p.name));
            }
            for (const CodeKeyTemplate& t : series.templates)
                QVERIFY2(t.text.contains(QStringLiteral("{P}")) != t.parts.isEmpty(), qPrintable(t.text));
        }
        QCOMPARE(names,
            (QStringList {"VRNA", "VRNE", "VRNSⅡ", "VRNU", "VRNS", "VRN", "SJF", "PWX", "PWXC", "MQE", "SJN",
                "RKD/G（腰轮、罗茨）"}));
    }

    // A city-gas turbine with mechanical counter and integrated card controller is
    // never offered by the lists (a counter goes with "分体"); its row is composed
    // with the lists forced.
    void vrneWithCounter()
    {
        WindowSelection s;
        s.run(meteringPointLines(kCity)
            + "choose MeterType 气体涡轮\nchoose MechCounter 无\nchoose CardControl 一体\n"
              "choose SizeSpec 80B(13<=Qg<=250)\nchoose CorrectionMode 压力检测温度设置\n");
        SelectionWindow& w = *s.workspace.current();
        w.form().setItems(F::MechCounter, {"有"});
        w.form().setIndex(F::MechCounter, 0);
        w.form().setIndex(F::Gprs, 1);
        w.clickSelect();
        QCOMPARE(s.text(F::ResultText), QStringLiteral("VRNE-80B-0.5/1.6-1.0/1.5-C-2"));
        QCOMPARE(s.pending().at(28), QStringLiteral("CPU卡流量补偿控制仪"));
        QCOMPARE(s.text(F::Gprs), QStringLiteral("无"));
        QCOMPARE(s.text(F::ExProof), QStringLiteral("本安 iaIICT4"));
    }

    void vrneWithoutCounterKeepsAnEmptyMode()
    {
        WindowSelection s;
        s.run(meteringPointLines(kCity)
            + "choose MeterType 气体涡轮\nchoose MechCounter 无\nchoose CardControl 一体\n"
              "choose SizeSpec 80B(13<=Qg<=250)\nchoose CorrectionMode 温度检测压力设置\n"
              "click 选型\n");
        QCOMPARE(s.text(F::ResultText), QStringLiteral("VRNE-80B-0.5/1.6-1.0/1.5-B"));
        SelectionWindow& w = *s.workspace.current();
        w.form().setIndex(F::CorrectionMode, -1);
        w.clickSelect();
        QCOMPARE(s.text(F::ResultText), QStringLiteral("VRNE-80B-0.5/1.6-1.0/1.5"));
        QCOMPARE(w.form().index(F::CorrectionMode), -1);
    }

    void modeSuffixWithoutItemTakesItemZero()
    {
        // any other row: an empty mode gives the suffix of item 0 and is set to it
        WindowSelection s;
        s.run(
            flowLines(kCity, "1", "15", "400") + "choose CardControl 一体\nchoose SizeSpec 50RKD-G16C(0.5<=Qg<=25)\n");
        SelectionWindow& w = *s.workspace.current();
        w.form().setIndex(F::CorrectionMode, -1);
        w.clickSelect();
        QCOMPARE(s.text(F::ResultText), QStringLiteral("RKD-G16C-0.5/1.6-1.0/1.5-2"));
        QCOMPARE(s.text(F::CorrectionMode), QStringLiteral("温压自动检测"));
        // roots meters with an integrated card controller leave it empty
        s.run("choose BaseOrigin 进口\nchoose CardControl 一体\nchoose SizeSpec 50G16C(0.5<=Qg<=25)\n");
        w.form().setIndex(F::CorrectionMode, -1);
        w.clickSelect();
        QCOMPARE(s.text(F::ResultText), QStringLiteral("G16C-0.5/1.6-1.0/1.5-2"));
        QCOMPARE(w.form().index(F::CorrectionMode), -1);
    }

    void modeSuffixForms_data()
    {
        QTest::addColumn<QString>("mode");
        QTest::addColumn<QString>("dab");  // {M5}: VRNA with DAB
        QTest::addColumn<QString>("darV"); // {M4}: VRNA DAR-V
        QTest::addColumn<QString>("card"); // {M2}: RKD with integrated card and counter
        QTest::addColumn<QString>("z");    // {M3}: RKD-G10 with Z
        QTest::addColumn<QString>("modeAfterDab");
        QTest::newRow("item 0") << "温压自动检测"
                                << "VRNA-80B-1.0/DAB-0.5/1.6"
                                << "VRNA-80B-0.5/1.6-1.0/1.5-DAR-V"
                                << "RKD-G16C-0.5/1.6-1.0/1.5-2"
                                << "RKD-G10-Z-0.5/1.6-1.0/1.5"
                                << "温压自动检测";
        QTest::newRow("item 1") << "压力检测温度设置"
                                << "VRNA-80B-1.0/DAB-0.5/1.6"
                                << "VRNA-80B-0.5/1.6-1.0/1.5-DAR-V-B"
                                << "RKD-G16C-0.5/1.6-1.0/1.5-C-2"
                                << "RKD-G10-Z-C-0.5/1.6-1.0/1.5"
                                << "温压自动检测";
        QTest::newRow("item 2") << "温度检测压力设置"
                                << "VRNA-80B-1.0/DAB-0.5/1.6"
                                << "VRNA-80B-0.5/1.6-1.0/1.5-DAR-V-C"
                                << "RKD-G16C-0.5/1.6-1.0/1.5-B-2"
                                << "RKD-G10-Z-B-0.5/1.6-1.0/1.5"
                                << "温压自动检测";
        QTest::newRow("item 3") << "温压均设置修正"
                                << "VRNA-80B-1.0/DAB-Ⅱ-0.5/1.6"
                                << "VRNA-80B-0.5/1.6-1.0/1.5-DAR-V-A"
                                << "RKD-G16C-0.5/1.6-1.0/1.5-A-2"
                                << "RKD-G10-Z-A-0.5/1.6-1.0/1.5"
                                << "温压均设置修正";
    }

    void modeSuffixForms()
    {
        QFETCH(QString, mode);
        QFETCH(QString, dab);
        QFETCH(QString, darV);
        QFETCH(QString, card);
        QFETCH(QString, z);
        QFETCH(QString, modeAfterDab);
        WindowSelection s;
        select(s, kCity, Point, {"气体涡轮", "国产", "有", "分体"}, "80B(13<=Qg<=250)", {"CorrectionMode " + mode});
        QCOMPARE(s.text(F::ResultText), dab);
        QCOMPARE(s.text(F::CorrectionMode), modeAfterDab);
        select(s, kCity, Point, {"气体涡轮", "国产", "有", "无"}, "80B(13<=Qg<=250)", {"CorrectionMode " + mode});
        QCOMPARE(s.text(F::ResultText), darV);
        select(s, kCity, Small, {"气体腰轮(罗茨)", "国产", "有", "一体"}, "50RKD-G16C(0.5<=Qg<=25)",
            {"CorrectionMode " + mode});
        QCOMPARE(s.text(F::ResultText), card);
        select(s, kCity, Small, {"气体腰轮(罗茨)", "国产", "无", "无"}, "25RKD-G10(0.4<=Qg<=16)",
            {"CorrectionMode " + mode});
        QCOMPARE(s.text(F::ResultText), z);
        for (const QString& code : {dab, darV, card, z})
            verifyInKey(code);
    }

    void communicationLetters_data()
    {
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<QString>("code");
        QTest::addColumn<QString>("current");
        QTest::addColumn<QString>("exProof");
        const QString prefix = "VRNA-80B-0.5/1.6-1.0/1.5-";
        QTest::newRow("G-G") << QStringList {"Gprs 有", "ExProof 隔爆 dIICT4", "CurrentOutput 有"} << prefix + "KEV-G-G"
                             << "无"
                             << "隔爆 dIICT4";
        QTest::newRow("G-GW") << QStringList {"Gprs 有", "ExProof 隔爆 dIICT4", "ShortRangeWireless 有"}
                              << prefix + "KEV-G-GW"
                              << "无"
                              << "隔爆 dIICT4";
        QTest::newRow("B-G") << QStringList {"Gprs 有"} << prefix + "KEV-B-G"
                             << "无"
                             << "本安 iaIICT4";
        QTest::newRow("B-GI") << QStringList {"Gprs 有", "CurrentOutput 有"} << prefix + "KEV-B-GI"
                              << "有"
                              << "本安 iaIICT4";
        QTest::newRow("B-GW") << QStringList {"Gprs 有", "ShortRangeWireless 有", "CurrentOutput 有"}
                              << prefix + "KEV-B-GW"
                              << "无"
                              << "本安 iaIICT4";
        QTest::newRow("G-W") << QStringList {"ShortRangeWireless 有", "ExProof 隔爆 dIICT4", "CurrentOutput 有"}
                             << prefix + "KEV-G-W"
                             << "无"
                             << "隔爆 dIICT4";
        QTest::newRow("B-W") << QStringList {"ShortRangeWireless 有", "CurrentOutput 有"} << prefix + "KEV-B-W"
                             << "无"
                             << "本安 iaIICT4";
        QTest::newRow("DAR-I") << QStringList {"CurrentOutput 有", "ExProof 隔爆 dIICT4"} << prefix + "DAR-I"
                               << "有"
                               << "本安 iaIICT4";
        QTest::newRow("KEV-G") << QStringList {"DisplayFactor 有", "ExProof 隔爆 dIICT4"} << prefix + "KEV-G"
                               << "无"
                               << "隔爆 dIICT4";
        QTest::newRow("DAR at class 0.5") << QStringList {"CorrectorAccuracy 0.5"} << prefix + "DAR"
                                          << "无"
                                          << "本安 iaIICT4";
    }

    void communicationLetters()
    {
        QFETCH(QStringList, options);
        QFETCH(QString, code);
        QFETCH(QString, current);
        QFETCH(QString, exProof);
        WindowSelection s;
        select(s, kCity, Point, {"气体涡轮", "国产", "有", "无"}, "80B(13<=Qg<=250)", options);
        QCOMPARE(s.text(F::ResultText), code);
        QCOMPARE(s.text(F::CurrentOutput), current);
        QCOMPARE(s.text(F::ExProof), exProof);
        verifyInKey(code);
    }

    void missingExProofCountsAsIntrinsicallySafeForLetters()
    {
        WindowSelection s;
        select(s, kCity, Point, {"气体涡轮", "国产", "有", "无"}, "80B(13<=Qg<=250)", {"Gprs 有"});
        SelectionWindow& w = *s.workspace.current();
        w.form().setIndex(F::ExProof, -1);
        w.clickSelect();
        QCOMPARE(s.text(F::ResultText), QStringLiteral("VRNA-80B-0.5/1.6-1.0/1.5-KEV-B-G"));
        QCOMPARE(s.text(F::ExProof), QStringLiteral("本安 iaIICT4"));
        // an explicit test sends a missing item to its "otherwise"
        w.form().setIndex(F::Gprs, 0);
        w.form().setIndex(F::ShortRangeWireless, 1);
        w.form().setIndex(F::ExProof, -1);
        w.clickSelect();
        QCOMPARE(s.text(F::ResultText), QStringLiteral("VRNA-80B-0.5/1.6-1.0/1.5-KEV-G-W"));
    }
};

QTEST_GUILESS_MAIN(TestModelCodes)
#include "tst_model_codes.moc"
