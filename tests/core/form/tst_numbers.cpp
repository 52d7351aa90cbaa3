#include "core/form/numbers.h"

#include <QRegularExpression>
#include <QTest>

#include <cmath>
#include <random>

class TestNumbers final : public QObject {
    Q_OBJECT

private slots:
    void parse_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("trim");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<double>("value");
        QTest::newRow("integer") << "200" << false << true << 200.0;
        QTest::newRow("decimal") << "0.581" << false << true << 0.581;
        QTest::newRow("signed") << "-20" << false << true << -20.0;
        QTest::newRow("plus") << "+5" << false << true << 5.0;
        QTest::newRow("trailing point") << "5." << false << true << 5.0;
        QTest::newRow("leading point") << ".5" << false << true << 0.5;
        QTest::newRow("exponent") << "1e3" << false << true << 1000.0;
        QTest::newRow("signed exponent") << "2.5E-2" << false << true << 0.025;
        QTest::newRow("underflow reads 0") << "1e-400" << false << true << 0.0;
        QTest::newRow("underflow written out")
            << QStringLiteral("0.%11").arg(QString(330, u'0')) << false << true << 0.0;
        QTest::newRow("underflow, digits and exponent") << "100e-333" << false << true << 0.0;
        QTest::newRow("negative underflow") << "-0.1e-330" << false << true << -0.0;
        QTest::newRow("subnormal") << "4.9e-324" << false << true << 4.9e-324;
        QTest::newRow("huge negative exponent") << "1e-99999999999999999999" << false << true << 0.0;
        QTest::newRow("overflow written out") << QStringLiteral("1%1").arg(QString(330, u'0')) << false << false << 0.0;
        QTest::newRow("overflow, leading zeros") << "0.0000001e316" << false << false << 0.0;
        QTest::newRow("overflow, small mantissa") << "0.001e312" << false << false << 0.0;
        QTest::newRow("empty") << "" << false << false << 0.0;
        QTest::newRow("blank untrimmed") << " 200" << false << false << 0.0;
        QTest::newRow("blank trimmed") << " 200 " << true << true << 200.0;
        QTest::newRow("only blanks trimmed") << "   " << true << false << 0.0;
        QTest::newRow("two points") << "1.2.3" << false << false << 0.0;
        QTest::newRow("point alone") << "." << false << false << 0.0;
        QTest::newRow("comma") << "1,5" << false << false << 0.0;
        QTest::newRow("letters") << "abc" << false << false << 0.0;
        QTest::newRow("inf") << "inf" << false << false << 0.0;
        QTest::newRow("nan") << "nan" << false << false << 0.0;
        QTest::newRow("hex") << "0x10" << false << false << 0.0;
        QTest::newRow("overflow") << "1e999" << false << false << 0.0;
        QTest::newRow("bare exponent") << "1e" << false << false << 0.0;
        QTest::newRow("full-width digit") << "１" << false << false << 0.0;
    }

    void parse()
    {
        QFETCH(QString, text);
        QFETCH(bool, trim);
        QFETCH(bool, ok);
        QFETCH(double, value);
        const std::optional<double> v = trim ? parseDecimalTrimmed(text) : parseDecimal(text);
        QCOMPARE(v.has_value(), ok);
        if (ok)
            QCOMPARE(*v, value);
    }

    void failedParseIsAGeneralError()
    {
        QVERIFY_THROWS_EXCEPTION(GeneralError, toNumber(QStringLiteral("abc")));
        try {
            toNumberTrimmed(QStringLiteral("x1"));
            QFAIL("no error");
        } catch (const GeneralError& e) {
            QVERIFY(e.message().contains(QStringLiteral("'x1'")));
        }
    }

    void singleOverflowIsAGeneralError()
    {
        QCOMPARE(toSingle(1.5), 1.5f);
        QVERIFY_THROWS_EXCEPTION(GeneralError, toSingle(1e39));
        QCOMPARE(toSingle(1e-50), 0.0f);
    }

    void format_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<int>("decimals");
        QTest::addColumn<QString>("text");
        QTest::newRow("three") << 76.76650238037109 << 3 << "76.767";
        QTest::newRow("four") << 2.285733 << 4 << "2.2857";
        QTest::newRow("exact tie rounds away from zero") << 4.0625 << 3 << "4.063";
        QTest::newRow("negative tie") << -4.0625 << 3 << "-4.063";
        QTest::newRow("no negative zero") << -0.0001 << 3 << "0.000";
        QTest::newRow("pads") << 2.0 << 3 << "2.000";
        QTest::newRow("carries into the units") << 9.9996 << 3 << "10.000";
        QTest::newRow("no places, tie") << 0.5 << 0 << "1";
        QTest::newRow("no places, negative tie") << -2.5 << 0 << "-3";
        QTest::newRow("just below a tie") << 0.12499999999999999 << 2 << "0.12";
        QTest::newRow("tiny") << 1e-300 << 3 << "0.000";
        QTest::newRow("negative tiny") << -1e-300 << 5 << "0.00000";
        QTest::newRow("nine places") << 1.0 / 3 << 9 << "0.333333333";
        QTest::newRow("largest by integers") << 8589934591.75 << 1 << "8589934591.8";
        QTest::newRow("beyond the integers") << 8589934592.25 << 1 << "8589934592.3";
        QTest::newRow("ten places") << 0.00000000005 << 10 << "0.0000000001";
        QTest::newRow("not a number") << std::nan("") << 3 << "nan";
    }

    // Against Qt's own exact formatting (ties away from zero, a negative zero's sign
    // dropped): magnitudes from 1e-12 to 1e12, any places up to 10, and exact ties.
    void formatAgreesWithQtOverASweep()
    {
        auto qt = [](double v, int d) {
            QString s = QString::number(v, 'f', d);
            if (s.startsWith(u'-') && !s.contains(QRegularExpression(QStringLiteral("[1-9]"))))
                s.remove(0, 1);
            return s;
        };
        std::mt19937_64 random(11);
        for (int i = 0; i < 200000; ++i) {
            const int d = int(random() % 11);
            double v = std::pow(10.0, std::uniform_real_distribution<double>(-12, 12)(random));
            if (i % 3 == 0) // an exact tie at d places: an odd multiple of 2^-k
                v = std::ldexp(double(2 * (random() % 100000) + 1), -int(random() % 8) - 1);
            if (random() % 2)
                v = -v;
            QCOMPARE(formatFixed(v, d), qt(v, d));
        }
    }

    void format()
    {
        QFETCH(double, value);
        QFETCH(int, decimals);
        QFETCH(QString, text);
        QCOMPARE(formatFixed(value, decimals), text);
    }

    void trimRemovesControlCharactersToo()
    {
        QCOMPARE(trimmed(QStringLiteral("\t 1.0 \r\n")), QStringLiteral("1.0"));
        QCOMPARE(trimmed(QStringLiteral("　1")), QStringLiteral("　1")); // a full-width blank is text
    }
};

QTEST_GUILESS_MAIN(TestNumbers)
#include "tst_numbers.moc"
