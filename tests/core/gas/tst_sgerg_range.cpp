#include "core/gas/sgerg_range.h"

#include <QTest>

#include <cmath>

namespace {

using I = SgergRangeInput;

// A pipeline gas inside the normal range at both corners.
constexpr SgergRangeInputs kNormalGas = {40, 0.6, 0.01, 0, 150, 200, -5, 30};

const std::array<QString, kSgergRangeInputCount> kNames = {
    QStringLiteral("Hs"),
    QStringLiteral("RelDensity"),
    QStringLiteral("XCO2"),
    QStringLiteral("XH2"),
    QStringLiteral("PabsMin"),
    QStringLiteral("PabsMax"),
    QStringLiteral("TempMin"),
    QStringLiteral("TempMax"),
};

} // namespace

class TestSgergRange final : public QObject {
    Q_OBJECT

private slots:
    // Each bound of the table, at the bound and just beyond it.
    void bounds_data()
    {
        QTest::addColumn<int>("input");
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("range");
        auto row = [](const char* name, I input, double value, const char* range) {
            QTest::newRow(name) << int(input) << value << QString::fromUtf8(range);
        };
        row("Hs normal low", I::Hs, 30, "normal");
        row("Hs below normal", I::Hs, 29.999, "wider");
        row("Hs normal high", I::Hs, 45, "normal");
        row("Hs above normal", I::Hs, 45.001, "wider");
        row("Hs wider low", I::Hs, 20, "wider");
        row("Hs below wider", I::Hs, 19.999, "outside: Hs");
        row("Hs wider high", I::Hs, 48, "wider");
        row("Hs above wider", I::Hs, 48.001, "outside: Hs");
        row("d low, both ranges", I::RelDensity, 0.55, "normal");
        row("d below", I::RelDensity, 0.5499, "outside: RelDensity");
        row("d normal high", I::RelDensity, 0.80, "normal");
        row("d above normal", I::RelDensity, 0.8001, "wider");
        row("d wider high", I::RelDensity, 0.90, "wider");
        row("d above wider", I::RelDensity, 0.9001, "outside: RelDensity");
        row("xCO2 0", I::XCO2, 0, "normal");
        row("xCO2 negative", I::XCO2, -0.0001, "outside: XCO2");
        row("xCO2 normal high", I::XCO2, 0.20, "normal");
        row("xCO2 above normal", I::XCO2, 0.2001, "wider");
        row("xCO2 wider high", I::XCO2, 0.30, "wider");
        row("xCO2 above wider", I::XCO2, 0.3001, "outside: XCO2");
        row("xH2 0", I::XH2, 0, "normal");
        row("xH2 negative", I::XH2, -0.0001, "outside: XH2");
        row("xH2 high, both ranges", I::XH2, 0.10, "normal");
        row("xH2 above", I::XH2, 0.1001, "outside: XH2");
        row("PabsMax 12 MPa", I::PabsMax, 12000, "normal");
        row("PabsMax above 12 MPa", I::PabsMax, 12000.001, "outside: PabsMax");
        row("PabsMin above 12 MPa", I::PabsMin, 12000.001, "outside: PabsMin");
        row("PabsMin vacuum", I::PabsMin, -0.001, "outside: PabsMin");
        row("TempMin 263.15 K", I::TempMin, -10, "normal");
        row("TempMin below 263.15 K", I::TempMin, -10.001, "outside: TempMin");
        row("TempMax 338.15 K", I::TempMax, 65, "normal");
        row("TempMax above 338.15 K", I::TempMax, 65.001, "outside: TempMax");
        row("TempMax below 263.15 K", I::TempMax, -10.001, "outside: TempMax");
        row("TempMin above 338.15 K", I::TempMin, 65.001, "outside: TempMin");
        row("not a number", I::Hs, std::nan(""), "outside: Hs");
    }

    void bounds()
    {
        QFETCH(int, input);
        QFETCH(double, value);
        QFETCH(QString, range);
        SgergRangeInputs inputs = kNormalGas;
        inputs[input] = value;
        QCOMPARE(sgergRangeText(sgergRange(inputs), kNames), range);
    }

    void everyInputOutsideIsNamedInOrder()
    {
        SgergRangeInputs inputs = kNormalGas;
        inputs[int(I::PabsMax)] = 13000;
        inputs[int(I::RelDensity)] = 0.85; // only wider: not named
        inputs[int(I::Hs)] = 50;
        const SgergRangeVerdict verdict = sgergRange(inputs);
        QCOMPARE(verdict.range, SgergRangeClass::Outside);
        QCOMPARE(sgergRangeText(verdict, kNames), QStringLiteral("outside: Hs, PabsMax"));
        QCOMPARE(verdict.wider, std::vector<SgergRangeInput> {I::RelDensity});
    }

    // The limits told for each input are those the verdict keeps: each bound holds,
    // and a step beyond it leaves that range.
    void limitsAreTheVerdictsOwn()
    {
        for (int i = 0; i < kSgergRangeInputCount; ++i) {
            const auto input = static_cast<SgergRangeInput>(i);
            const SgergBounds normal = sgergNormalBounds(input);
            const SgergBounds wider = sgergWiderBounds(input);
            const auto beyond = [](double bound, double sign) { return bound + sign * (std::abs(bound) + 1) * 1e-6; };
            QCOMPARE(sgergInputRange(input, normal.low), SgergRangeClass::Normal);
            QCOMPARE(sgergInputRange(input, normal.high), SgergRangeClass::Normal);
            QCOMPARE(sgergInputRange(input, beyond(wider.low, -1)), SgergRangeClass::Outside);
            QCOMPARE(sgergInputRange(input, beyond(wider.high, +1)), SgergRangeClass::Outside);
            if (wider.high > normal.high)
                QCOMPARE(sgergInputRange(input, beyond(normal.high, +1)), SgergRangeClass::Wider);
        }
        QCOMPARE(sgergWiderBounds(I::Hs).high, 48.0); // the window's caption: 20MJ/m3<=Hs<=48MJ/m3
    }
};

QTEST_GUILESS_MAIN(TestSgergRange)
#include "tst_sgerg_range.moc"
