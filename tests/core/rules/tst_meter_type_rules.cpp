#include "core/form/selection_context.h"
#include "core/steps/option_chain.h"
#include "support/recording_platform.h"

#include <QTest>

using F = Field;

class TestMeterTypeRules final : public QObject {
    Q_OBJECT

private slots:
    void meterTypes_data()
    {
        QTest::addColumn<int>("medium");
        QTest::addColumn<float>("qmax");
        QTest::addColumn<QString>("pabsMax");
        QTest::addColumn<QStringList>("types");
        QTest::addColumn<QString>("chosen");
        const QString t = QStringLiteral("气体涡轮"), r = QStringLiteral("气体腰轮(罗茨)"),
                      v = QStringLiteral("气体旋进");
        QTest::newRow("city gas, both fit: the second") << 0 << 500.f << "1000" << QStringList {t, r} << r;
        QTest::newRow("city gas, 2000 m3/h: turbine") << 0 << 2000.f << "1000" << QStringList {t} << t;
        QTest::newRow("650 m3/h at 3000 kPa") << 0 << 650.f << "3000" << QStringList {t} << t;
        QTest::newRow("651 m3/h at 3000 kPa") << 0 << 651.f << "3000" << QStringList {} << "";
        QTest::newRow("6500 m3/h at 2500 kPa") << 0 << 6500.f << "2500" << QStringList {t} << t;
        QTest::newRow("roots at 1600 m3/h, 1600 kPa") << 0 << 1600.f << "1600" << QStringList {t, r} << r;
        QTest::newRow("oil field, 700 m3/h at 9000 kPa") << 1 << 700.f << "9000" << QStringList {v} << v;
        QTest::newRow("coal bed, 700 m3/h at 9000 kPa") << 2 << 700.f << "9000" << QStringList {} << "";
        QTest::newRow("coal bed, both fit: the first") << 2 << 100.f << "1000" << QStringList {t, v} << t;
        QTest::newRow("air, all three: the second") << 3 << 100.f << "1000" << QStringList {t, r, v} << r;
        QTest::newRow("oxygen") << 4 << 100.f << "1000" << QStringList {v} << v;
        QTest::newRow("oxygen above 3600 m3/h") << 4 << 3601.f << "1000" << QStringList {} << "";
        QTest::newRow("oxygen, 900 m3/h at 5000 kPa") << 4 << 900.f << "5000" << QStringList {} << "";
        QTest::newRow("oxygen, 150 m3/h at 16000 kPa") << 4 << 150.f << "16000" << QStringList {v} << v;
    }

    void meterTypes()
    {
        QFETCH(int, medium);
        QFETCH(float, qmax);
        QFETCH(QString, pabsMax);
        QFETCH(QStringList, types);
        QFETCH(QString, chosen);
        RecordingPlatform ui;
        SelectionContext w(ui);
        w.form.setIndex(F::Medium, medium);
        w.form.setText(F::PabsMax, pabsMax);
        w.flows = {1, qmax, 1};
        fillMeterTypes(w);
        QCOMPARE(w.form.items(F::MeterType), types);
        QCOMPARE(w.form.text(F::MeterType), chosen);
    }
};

QTEST_GUILESS_MAIN(TestMeterTypeRules)
#include "tst_meter_type_rules.moc"
