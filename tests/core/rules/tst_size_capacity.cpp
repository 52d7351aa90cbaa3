#include "core/rules/size_capacity.h"

#include <QTest>

class TestSizeCapacity final : public QObject {
    Q_OBJECT

private slots:
    // The range as the label states it, for a row of every table.
    void statedRange_data()
    {
        QTest::addColumn<QString>("label");
        QTest::addColumn<QString>("range");
        QTest::newRow("domestic rotary-lobe")
            << QStringLiteral("150RKD-G650(6.5<=Qg<=1000)") << QStringLiteral("6.5-1000");
        QTest::newRow("fitted with another lower bound")
            << QStringLiteral("150RKD-G400-6(6.5<=Qg<=650)") << QStringLiteral("6.5-650");
        QTest::newRow("with card control") << QStringLiteral("25RKD-G10C(0.4<=Qg<=16)") << QStringLiteral("0.4-16");
        QTest::newRow("imported, decimal kept as written")
            << QStringLiteral("100G250(2.0<=Qg<=400)") << QStringLiteral("2.0-400");
        QTest::newRow("vortex") << QStringLiteral("80E(30<=Qg<=300)") << QStringLiteral("30-300");
        QTest::newRow("turbine, full form only") << QStringLiteral("300C(320<=Qg<=6500)") << QStringLiteral("320-6500");
    }

    void statedRange()
    {
        QFETCH(QString, label);
        QFETCH(QString, range);
        const std::optional<SizeCapacity> c = sizeCapacity(label);
        QVERIFY(c);
        QCOMPARE(c->rangeText(), range);
    }

    void labelOfNoTableHasNoCapacity_data()
    {
        QTest::addColumn<QString>("label");
        QTest::newRow("empty") << QString();
        QTest::newRow("invented size") << QStringLiteral("65A(10<=Qg<=100)");
        QTest::newRow("range text altered") << QStringLiteral("80E(30<=Qg<=301)");
        QTest::newRow("no C rows in the turbine table") << QStringLiteral("50AC(6<=Qg<=65)");
    }

    void labelOfNoTableHasNoCapacity()
    {
        QFETCH(QString, label);
        QCOMPARE(sizeCapacity(label).has_value(), false);
    }

    // At the size's bounds and just beyond them (a size of the widened pass).
    void useOfTheRange_data()
    {
        QTest::addColumn<double>("qmin");
        QTest::addColumn<double>("qmax");
        QTest::addColumn<QString>("useAtMax");
        QTest::addColumn<QString>("marginAtMin");
        QTest::newRow("at both bounds") << 32.0 << 650.0 << QStringLiteral("100.0") << QStringLiteral("1.00");
        QTest::newRow("just beyond both") << 31.8 << 650.4 << QStringLiteral("100.1") << QStringLiteral("0.99");
        QTest::newRow("widened to the end")
            << 32 / 1.2 << 650 * 1.2 << QStringLiteral("120.0") << QStringLiteral("0.83");
        QTest::newRow("inside") << 214.0 << 499.2 << QStringLiteral("76.8") << QStringLiteral("6.69");
    }

    void useOfTheRange()
    {
        QFETCH(double, qmin);
        QFETCH(double, qmax);
        QFETCH(QString, useAtMax);
        QFETCH(QString, marginAtMin);
        const std::optional<SizeCapacity> c = sizeCapacity(QStringLiteral("150A(32<=Qg<=650)"));
        QVERIFY(c);
        QCOMPARE(c->useAtMax(qmax), useAtMax);
        QCOMPARE(c->marginAtMin(qmin), marginAtMin);
    }
};

QTEST_GUILESS_MAIN(TestSizeCapacity)
#include "tst_size_capacity.moc"
