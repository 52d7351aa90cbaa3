#include "core/form/fields.h"
#include "core/form/form_model.h"
#include "core/form/vocabulary.h"
#include "core/record/selection_record.h"
#include "support/recording_platform.h"

#include <QTest>

class TestFormModel final : public QObject {
    Q_OBJECT

private slots:
    void fieldTableIsInRecordOrder()
    {
        for (Field f : allFields()) {
            QCOMPARE(fieldControl(f).field, f);
            QCOMPARE(fieldByName(fieldName(f)), std::optional<Field>(f));
        }
        QCOMPARE(fieldByName(u"NoSuchField"), std::nullopt);
    }

    void newWindowDefaults_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("enabled");
        QTest::addColumn<int>("itemCount");
        auto row = [](const char* f, const char* text, bool enabled, int items) {
            QTest::newRow(f) << QString::fromLatin1(f) << QString::fromUtf8(text) << enabled << items;
        };
        row("Medium", "城市天然气或城市煤气", true, 5);
        row("StdFlowMin", "", true, 0);
        row("StdFlowMax", "", true, 0);
        row("ZMode", "修正", true, 2);
        row("ZnZgMin", "1.0", false, 0);
        row("ZnZgMax", "1.0", false, 0);
        row("PabsMin", "150", true, 0);
        row("PabsMax", "200", true, 0);
        row("TempMin", "-20", true, 0);
        row("TempMax", "60", true, 0);
        row("RefCondition", "燃烧参比条件和体积计量参比条件均为:温度20℃，压力101.325kPa", true, 2);
        row("XCO2", "0.000", true, 0);
        row("XH2", "0.000", true, 0);
        row("Hs", "45", true, 0);
        row("RelDensity", "0.6", true, 0);
        row("CombinedAccuracy", "1.5", true, 2);
        row("MeterType", "", true, 0);
        row("BaseOrigin", "", true, 2);
        row("MechCounter", "", true, 2);
        row("CardControl", "", true, 3);
        row("SizeSpec", "", true, 0);
        row("NominalPressure", "", true, 0);
        row("Corrector", "有", true, 2);
        row("ExProof", "本安 iaIICT4", true, 2);
        row("CorrectionMode", "温压自动检测", true, 4);
        row("PressSensorUpper", "0.2", true, 6);
        row("SettlementUnit", "", true, 2);
        row("ResultText", "", true, 0);
    }

    void newWindowDefaults()
    {
        QFETCH(QString, field);
        QFETCH(QString, text);
        QFETCH(bool, enabled);
        QFETCH(int, itemCount);
        FormModel form;
        const Field f = *fieldByName(field);
        QCOMPARE(form.text(f), text);
        QCOMPARE(form.enabled(f), enabled);
        QCOMPARE(form.count(f), itemCount);
    }

    // Handlers read some choices by position: each position's enum names the item
    // that stands there in a new window.
    void itemEnumsNameTheirItems_data()
    {
        QTest::addColumn<Field>("field");
        QTest::addColumn<int>("position");
        QTest::addColumn<QString>("item");
        auto row = [](Field f, auto position, const char* item) {
            QTest::addRow("%s %s", qPrintable(fieldName(f)), item)
                << f << static_cast<int>(position) << QString::fromUtf8(item);
        };
        using namespace vocab;
        row(Field::Medium, Medium::CityGas, "城市天然气或城市煤气");
        row(Field::Medium, Medium::OilField, "油田天然气");
        row(Field::Medium, Medium::CoalBed, "煤层气");
        row(Field::Medium, Medium::Air, "空气或氮气或惰性气体");
        row(Field::Medium, Medium::OxygenHydrogen, "氧气或氢气");
        row(Field::ZMode, ZMode::Corrected, "修正");
        row(Field::ZMode, ZMode::NotCorrected, "不修正");
        row(Field::RefCondition, RefCondition::Ref20, "燃烧参比条件和体积计量参比条件均为:温度20℃，压力101.325kPa");
        row(Field::RefCondition, RefCondition::Ref25_0,
            "燃烧参比条件:温度25℃,压力101.325kPa;体积计量参比条件:温度0℃,压力101.325kPa");
        row(Field::CombinedAccuracy, CombinedAccuracy::Class15, "1.5");
        row(Field::CombinedAccuracy, CombinedAccuracy::Class10, "1.0");
        row(Field::BaseAccuracy, BaseAccuracy::Class10, "1.0");
        row(Field::BaseAccuracy, BaseAccuracy::Class05, "0.5");
        row(Field::Corrector, Corrector::Yes, "有");
        row(Field::Corrector, Corrector::No, "无");
        row(Field::Installation, Installation::Horizontal, "水平");
        row(Field::Installation, Installation::Vertical, "垂直");
        row(Field::CorrectionMode, CorrectionMode::Auto, "温压自动检测");
        row(Field::CorrectionMode, CorrectionMode::PressureMeasured, "压力检测温度设置");
        row(Field::CorrectionMode, CorrectionMode::TemperatureMeasured, "温度检测压力设置");
        row(Field::CorrectionMode, CorrectionMode::BothSet, "温压均设置修正");
        row(Field::SettlementUnit, SettlementUnit::Volume, "体积量（m3）");
        row(Field::SettlementUnit, SettlementUnit::Money, "货     币（元）");
    }

    void itemEnumsNameTheirItems()
    {
        QFETCH(Field, field);
        QFETCH(int, position);
        QFETCH(QString, item);
        FormModel form;
        form.select(field, item);
        QCOMPARE(form.index(field), position);
    }

    void noMediumIsNone()
    {
        FormModel form;
        form.setIndex(Field::Medium, -1);
        QCOMPARE(form.item<vocab::Medium>(Field::Medium), vocab::Medium::None);
        QVERIFY(!form.chosen(Field::Medium, vocab::Medium::CityGas));
    }

    void settlementItemKeepsItsBlanks()
    {
        FormModel form;
        QCOMPARE(form.items(Field::SettlementUnit).at(1), QStringLiteral("货     币（元）"));
    }

    void editChangeStepRunsOnlyOnRealChange()
    {
        FormModel form;
        int runs = 0;
        form.setStep(Field::PabsMin, [&] { ++runs; });
        form.setText(Field::PabsMin, QStringLiteral("150")); // the same text
        QCOMPARE(runs, 0);
        form.setText(Field::PabsMin, QStringLiteral("300"));
        QCOMPARE(runs, 1);
    }

    void radioClickStepRunsOnChangeToAnItem()
    {
        FormModel form;
        int runs = 0;
        form.setStep(Field::Gprs, [&] { ++runs; });
        form.setIndex(Field::Gprs, 0); // already chosen
        QCOMPARE(runs, 0);
        form.setIndex(Field::Gprs, 1);
        QCOMPARE(runs, 1);
        form.setIndex(Field::Gprs, -1); // to no choice: no click
        QCOMPARE(runs, 1);
        form.select(Field::Gprs, u"无");
        QCOMPARE(runs, 2);
    }

    void listChoiceFromCodeRunsNothing()
    {
        FormModel form;
        int runs = 0;
        form.setStep(Field::Corrector, [&] { ++runs; });
        form.setIndex(Field::Corrector, 1);
        form.select(Field::Corrector, u"有");
        QCOMPARE(runs, 0);
        QCOMPARE(form.text(Field::Corrector), QStringLiteral("有"));
    }

    void selectUnknownItemLeavesNoChoice()
    {
        FormModel form;
        form.select(Field::Installation, u"斜");
        QCOMPARE(form.index(Field::Installation), -1);
        QCOMPARE(form.text(Field::Installation), QString());
    }

    void clearingAListEmptiesItsChoice()
    {
        FormModel form;
        form.clearItems(Field::BaseOrigin);
        QCOMPARE(form.count(Field::BaseOrigin), 0);
        QCOMPARE(form.index(Field::BaseOrigin), -1);
        form.addItem(Field::BaseOrigin, QStringLiteral("国产"));
        QCOMPARE(form.index(Field::BaseOrigin), -1);
    }

    void observerSeesEveryChange()
    {
        FormModel form;
        QList<Field> seen;
        form.setObserver([&](Field f) { seen << f; });
        form.setText(Field::WorkFlowMin, QStringLiteral("1.000"));
        form.setEnabled(Field::Hart, false);
        form.setIndex(Field::Hart, 1);
        QCOMPARE(seen, (QList<Field> {Field::WorkFlowMin, Field::Hart, Field::Hart}));
    }

    // A second model takes what the first shows, runs none of its own steps for it,
    // and keeps its steps: the next change runs them as before.
    void copyingStateRunsNoStep()
    {
        FormModel shown;
        shown.setText(Field::StdFlowMin, QStringLiteral("10"));
        shown.setItems(Field::MeterType, {QStringLiteral("a"), QStringLiteral("b")});
        shown.setIndex(Field::MeterType, 1);
        shown.setEnabled(Field::Hart, false);
        shown.setIndex(Field::ZMode, 1);
        FormModel copy;
        int steps = 0;
        for (Field f : {Field::StdFlowMin, Field::MeterType, Field::ZMode})
            copy.setStep(f, [&] { ++steps; });
        QList<Field> told;
        copy.setObserver([&](Field f) { told << f; });
        copy.copyStateFrom(shown);
        QCOMPARE(steps, 0);
        QCOMPARE(told.size(), kFieldCount);
        for (Field f : allFields()) {
            QCOMPARE(copy.text(f), shown.text(f));
            QCOMPARE(copy.items(f), shown.items(f));
            QCOMPARE(copy.index(f), shown.index(f));
            QCOMPARE(copy.enabled(f), shown.enabled(f));
        }
        copy.setText(Field::StdFlowMin, QStringLiteral("20"));
        QCOMPARE(steps, 1);
        QCOMPARE(shown.text(Field::StdFlowMin), QStringLiteral("10"));
    }

    void typing_data()
    {
        QTest::addColumn<int>("filter");
        QTest::addColumn<QString>("before");
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QString>("after");
        QTest::addColumn<int>("beeps");
        const int u = int(KeyFilter::Unsigned), s = int(KeyFilter::Signed), d = int(KeyFilter::Digits);
        QTest::newRow("digits replace the selection") << u << "150"
                                                      << "300"
                                                      << "300" << 0;
        QTest::newRow("a letter beeps") << u << "150"
                                        << "a"
                                        << "150" << 1;
        QTest::newRow("slash beeps") << u << "150"
                                     << "/"
                                     << "150" << 1;
        QTest::newRow("minus refused in flows") << u << ""
                                                << "-5"
                                                << "5" << 1;
        QTest::newRow("two points pass") << u << ""
                                         << "1.2.3"
                                         << "1.2.3" << 0;
        QTest::newRow("minus in temperatures") << s << "60"
                                               << "-20"
                                               << "-20" << 0;
        QTest::newRow("plus in temperatures") << s << "60"
                                              << "+5"
                                              << "+5" << 0;
        QTest::newRow("letter in temperatures") << s << "60"
                                                << "x"
                                                << "60" << 1;
        QTest::newRow("backspace deletes the selection") << u << "150"
                                                         << "\b"
                                                         << "" << 0;
        QTest::newRow("backspace after typing") << u << ""
                                                << "12\b3"
                                                << "13" << 0;
        QTest::newRow("blank beeps") << u << "1"
                                     << " 2"
                                     << "2" << 1;
        QTest::newRow("number box takes eleven digits") << d << ""
                                                        << "202612100011"
                                                        << "20261210001" << 1;
        QTest::newRow("number box refuses a dash") << d << "20261210001"
                                                   << "2026-1"
                                                   << "20261" << 1;
    }

    void typing()
    {
        QFETCH(int, filter);
        QFETCH(QString, before);
        QFETCH(QString, keys);
        QFETCH(QString, after);
        QFETCH(int, beeps);
        RecordingPlatform ui;
        QCOMPARE(typeKeys(KeyFilter(filter), before, keys, ui), after);
        QCOMPARE(ui.events.count(QStringLiteral("beep")), beeps);
    }

    void keyPressHandlersDiscardWithBeep()
    {
        RecordingPlatform ui;
        QChar key = u'a';
        filterUnsignedKey(key, ui);
        QVERIFY(key.isNull());
        key = u'-';
        filterSignedKey(key, ui);
        QCOMPARE(key, QChar(u'-'));
        QCOMPARE(ui.events, QStringList {QStringLiteral("beep")});
    }

    void derivedFields_data()
    {
        QTest::addColumn<QString>("meterType");
        QTest::addColumn<QString>("origin");
        QTest::addColumn<QString>("product");
        QTest::newRow("domestic rotary-lobe") << "气体腰轮(罗茨)"
                                              << "国产"
                                              << "气体腰轮流量计";
        QTest::newRow("imported roots") << "气体腰轮(罗茨)"
                                        << "进口"
                                        << "气体罗茨流量计";
        QTest::newRow("rotary-lobe, no origin") << "气体腰轮(罗茨)"
                                                << ""
                                                << "气体腰轮流量计";
        QTest::newRow("turbine") << "气体涡轮"
                                 << "进口"
                                 << "气体涡轮";
        QTest::newRow("vortex") << "气体旋进"
                                << "国产"
                                << "气体旋进";
    }

    void derivedFields()
    {
        QFETCH(QString, meterType);
        QFETCH(QString, origin);
        QFETCH(QString, product);
        QCOMPARE(productName(meterType, origin), product);
    }

    void boreDigitsOfLabel_data()
    {
        QTest::addColumn<QString>("label");
        QTest::addColumn<QString>("bore");
        QTest::newRow("rotary") << "100RKD-G160-4(1.6<=Qg<=250)"
                                << "100";
        QTest::newRow("rotary DN150") << "150RKD-G650(6.5<=Qg<=1000)"
                                      << "150";
        QTest::newRow("no digits") << "G16"
                                   << "";
        QTest::newRow("empty") << ""
                               << "";
        QTest::newRow("all digits") << "250"
                                    << "250";
    }

    void boreDigitsOfLabel()
    {
        QFETCH(QString, label);
        QFETCH(QString, bore);
        QCOMPARE(boreDigits(label), bore);
    }

    void temperatureError()
    {
        QCOMPARE(tempMaxError(QStringLiteral("0.5")), QStringLiteral("±0.5℃"));
        QCOMPARE(tempMaxError(QStringLiteral("1.0")), QStringLiteral("±1.0℃"));
        QCOMPARE(tempMaxError(QString()), QString());
    }

    void snapshotDerivesTheRecordFields()
    {
        FormModel form;
        form.setItems(Field::Size, {QStringLiteral("25RKD-G10(0.4<=Qg<=16)")});
        form.setIndex(Field::Size, 0);
        form.setItems(Field::MeterType, {QStringLiteral("气体腰轮(罗茨)")});
        form.setIndex(Field::MeterType, 0);
        form.setIndex(Field::BaseOrigin, 1);
        form.setIndex(Field::CorrectorAccuracy, 1);
        form.setText(Field::ResultText, QStringLiteral("  RKD-G10-D-1.6-1.0 "));
        const TSelection s = snapshot(form, QStringLiteral("Z"));
        QCOMPARE(s.ModelCode, QStringLiteral("RKD-G10-D-1.6-1.0"));
        QCOMPARE(s.ProductName, QStringLiteral("气体罗茨流量计"));
        QCOMPARE(s.Bore, QStringLiteral("25"));
        QCOMPARE(s.TempSensorL, QStringLiteral("-20"));
        QCOMPARE(s.TempSensorH, QStringLiteral("60"));
        QCOMPARE(s.TempMaxError, QStringLiteral("±1.0℃"));
        const QStringList row = toRow(s);
        QCOMPARE(row.size(), kColumnCount);
        QCOMPARE(row[36], row[10]);
        QCOMPARE(row[37], row[11]);
        QCOMPARE(row[28], QStringLiteral("Z"));
        QCOMPARE(row[44], QStringLiteral("±1.0℃"));
    }
};

QTEST_GUILESS_MAIN(TestFormModel)
#include "tst_form_model.moc"
