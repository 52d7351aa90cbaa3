#include "core/gas/sgerg.h"

#include "core/gas/sgerg_coefficients.h"

#include <cmath>

using namespace sgerg;

namespace {

// Intermediate arithmetic: at least double precision.
using Real = double;

// The arithmetic left the real numbers, or an iteration did not settle.
struct Failure { };

// Every quantity the method stores is rounded to single precision when stored;
// later steps use the rounded value.
float store(Real value)
{
    const float f = static_cast<float>(value);
    if (!std::isfinite(f))
        throw Failure {};
    return f;
}

// Rounded as store rounds, unchecked: only for a value that flows into a stored
// value through additions, subtractions and multiplications alone, which carry an
// infinity or a NaN on (0 times infinity is a NaN), so that the check of the value
// it flows into fails exactly when its own would have. Both end in the same failure.
float storeUnchecked(Real value)
{
    return static_cast<float>(value);
}

Real finite(Real value)
{
    if (!std::isfinite(value))
        throw Failure {};
    return value;
}

// exp(ln(x)/3), the real cube root as the method takes it; defined for x > 0 only.
Real cubeRoot(Real x)
{
    if (!(x > 0))
        throw Failure {};
    return std::exp(std::log(x) / 3.0);
}

// The gas values as the mass density reads them, widened once (exactly) rather
// than at every evaluation.
struct GasValues {
    Real Hs;
    Real xCO2;
    Real xH2;
    Real xCO;
};

// The heating values and molar masses that enter the mass density. The secant
// step evaluates the density for H + 1 with these constants held as singles.
struct HeatsAndMasses {
    double heatH2;
    double heatCO;
    double massN2;
    double massCO2;
    double massH2;
    double massCO;
};

constexpr HeatsAndMasses exactConstants {heatH2, heatCO, massN2, massCO2, massH2, massCO};
constexpr HeatsAndMasses singleConstants {
    static_cast<float>(heatH2),
    static_cast<float>(heatCO),
    static_cast<float>(massN2),
    static_cast<float>(massCO2),
    static_cast<float>(massH2),
    static_cast<float>(massCO),
};

struct Composition {
    float xCH; // equivalent hydrocarbon
    float xN2; // nitrogen, the balance
    float rho; // mass density at 0 C, 101.325 kPa, kg/m3
};

// The terms of the mass density that do not move while the secant iteration moves H:
// the same products and sums, in the same order, worked out once instead of every
// pass. rhoM changes only between the iteration's outer passes.
struct FixedTerms {
    double heatOthers; // heat of the H2 and the CO per mole of gas
    double massN2;
    double massOthers; // rhoM times the mass of the CO2, the H2 and the CO
};

FixedTerms fixedTerms(float rhoM, const GasValues& g, const HeatsAndMasses& k)
{
    return FixedTerms {
        k.heatH2 * g.xH2 + k.heatCO * g.xCO,
        k.massN2,
        Real(rhoM) * (k.massCO2 * g.xCO2 + k.massH2 * g.xH2 + k.massCO * g.xCO),
    };
}

// Mass density of the gas for a trial molar heating value H of the equivalent
// hydrocarbon and a molar density rhoM. Inlined: it is the secant iteration's body.
[[gnu::always_inline]] inline Composition SgergMassDensity(float H, float rhoM, const GasValues& g, const FixedTerms& k)
{
    // mCH, xCH and xN2 all flow into rho, whose check stands for theirs
    const float mCH = storeUnchecked(massCHslope * H - massCHoffset);
    Composition c;
    c.xCH = storeUnchecked(g.Hs / (Real(H) * rhoM) - k.heatOthers / H);
    c.xN2 = storeUnchecked(1.0 - c.xCH - g.xCO2 - g.xH2 - g.xCO);
    c.rho = store(Real(rhoM) * (Real(c.xCH) * mCH + k.massN2 * c.xN2) + k.massOthers);
    return c;
}

// The terms of the second virial coefficient that depend on the temperature alone,
// each stored as the method stores it, and the quadratics of B_CH evaluated at T.
struct PureTermsOfB {
    Real b0CH;
    Real b1CH;
    Real b2CH;
    float bN2;
    Real crossFactorCH_N2; // 0.72 + 1.875e-5 (320 - T)^2
    float bCO2;
    float bCH_H2;
    float bCH_CO;
    float bN2_CO2;
    float bN2_H2;
    float bH2;
    float bCO;
};

// Unchecked: each stored term is checked where it ends, in the sum of SgergB.
PureTermsOfB pureTermsOfB(float T)
{
    const Real t = T;
    return PureTermsOfB {
        B0_CH(t),
        B1_CH(t),
        B2_CH(t),
        storeUnchecked(B_N2(t)),
        0.72 + 1.875e-5 * (320.0 - t) * (320.0 - t),
        storeUnchecked(B_CO2(t)),
        storeUnchecked(B_CH_H2(t)),
        storeUnchecked(B_CH_CO(t)),
        storeUnchecked(B_N2_CO2(t)),
        storeUnchecked(B_N2_H2(t)),
        storeUnchecked(B_H2(t)),
        storeUnchecked(B_CO(t)),
    };
}

// The first iteration evaluates B at the standard temperature in every pass: its
// pure terms are constants, worked out once. Nothing else is kept between calls.
const PureTermsOfB& standardPureTerms()
{
    static const PureTermsOfB terms = pureTermsOfB(standardTemperature);
    return terms;
}

// Second virial coefficient of the mixture, dm3/mol.
float SgergB(const PureTermsOfB& k, float H, float xCH, float xN2, float xCO2, float xH2, float xCO)
{
    const Real h = H;
    // Every term, and each pure term of k, reaches the sum below by sums and products
    // (a square root and a halving carry an infinity or a NaN on too): its check
    // stands for theirs. The square root's own domain check stays.
    const float bCH = storeUnchecked(k.b0CH + k.b1CH * h + k.b2CH * h * h);
    const float bCH_N2 = storeUnchecked(k.crossFactorCH_N2 * (Real(bCH) + k.bN2) / 2.0);
    const Real product = Real(bCH) * k.bCO2;
    if (product < 0)
        throw Failure {};
    const float bCH_CO2 = storeUnchecked(-0.865 * std::sqrt(product));

    const Real ch = xCH, n2 = xN2, co2 = xCO2, h2 = xH2, co = xCO;
    return store(ch * ch * bCH + 2 * ch * n2 * bCH_N2 + 2 * ch * co2 * bCH_CO2 + 2 * ch * h2 * k.bCH_H2
        + 2 * ch * co * k.bCH_CO + n2 * n2 * k.bN2 + 2 * n2 * co2 * k.bN2_CO2 + 2 * n2 * h2 * k.bN2_H2
        + co2 * co2 * k.bCO2 + h2 * h2 * k.bH2 + co * co * k.bCO);
}

// Third virial coefficient of the mixture, dm6/mol2.
float SgergC(float T, float H, float xCH, float xN2, float xCO2, float xH2, float xCO)
{
    const Real t = T;
    const Real h = H;
    // As in SgergB: each term reaches the sum below, through cube roots that carry an
    // infinity or a NaN on, and its check stands for theirs; the cube root's domain
    // check stays.
    const float cCH = storeUnchecked(C0_CH(t) + C1_CH(t) * h + C2_CH(t) * h * h);
    const float cN2 = storeUnchecked(C_N2(t));
    const float cCO2 = storeUnchecked(C_CO2(t));
    const float cH2 = storeUnchecked(C_H2(t));
    const float cCH_CH_CO = storeUnchecked(C_CH_CH_CO(t));
    const float cN2_N2_CO2 = storeUnchecked(C_N2_N2_CO2(t));
    const float cN2_CO2_CO2 = storeUnchecked(C_N2_CO2_CO2(t));
    const float y = storeUnchecked(0.92 + 0.0013 * (t - 270.0));

    const Real ch3 = cCH, n23 = cN2, co23 = cCO2, h23 = cH2;
    const float cCH_CH_N2 = storeUnchecked(y * cubeRoot(ch3 * ch3 * n23));
    const float cCH_N2_N2 = storeUnchecked(y * cubeRoot(ch3 * n23 * n23));
    const float cCH_CH_CO2 = storeUnchecked(0.92 * cubeRoot(ch3 * ch3 * co23));
    const float cCH_CO2_CO2 = storeUnchecked(0.92 * cubeRoot(ch3 * co23 * co23));
    const float cCH_CH_H2 = storeUnchecked(1.2 * cubeRoot(ch3 * ch3 * h23));
    const float cCH_N2_CO2 = storeUnchecked(1.1 * cubeRoot(ch3 * n23 * co23));

    const Real ch = xCH, n2 = xN2, co2 = xCO2, h2 = xH2, co = xCO;
    return store(ch * ch * ch * cCH + 3 * ch * ch * n2 * cCH_CH_N2 + 3 * ch * ch * co2 * cCH_CH_CO2
        + 3 * ch * ch * h2 * cCH_CH_H2 + 3 * ch * ch * co * cCH_CH_CO + 3 * ch * n2 * n2 * cCH_N2_N2
        + 6 * ch * n2 * co2 * cCH_N2_CO2 + 3 * ch * co2 * co2 * cCH_CO2_CO2 + n2 * n2 * n2 * cN2
        + 3 * n2 * n2 * co2 * cN2_N2_CO2 + 3 * n2 * co2 * co2 * cN2_CO2_CO2 + co2 * co2 * co2 * cCO2
        + h2 * h2 * h2 * cH2);
}

// The gas-only part: the molar heating value H of the equivalent hydrocarbon that
// reproduces the given density and calorific value.
SgergGas characterise(float Hs, float d, float xCO2, float xH2)
{
    const float xCO = store(ratioCOtoH2 * xH2);
    const GasValues gas {Hs, xCO2, xH2, xCO};
    const float rhoN = store(airDensity * d);

    float H = startHeat;
    float rhoM = startMolarDensity;
    FixedTerms exact = fixedTerms(rhoM, gas, exactConstants);
    FixedTerms single = fixedTerms(rhoM, gas, singleConstants);
    Composition c {};
    for (int pass = 1;; ++pass) {
        if (pass > kSgergMaxPasses)
            throw Failure {};
        c = SgergMassDensity(H, rhoM, gas, exact);
        if (std::fabs(Real(rhoN) - c.rho) >= toleranceMassDensity) {
            // secant step with a fixed increment of 1 kJ/mol
            // h1 flows into c1.rho through mCH, step into H: their checks stand for these
            const float h1 = storeUnchecked(Real(H) + 1.0);
            const Composition c1 = SgergMassDensity(h1, rhoM, gas, single);
            const float step = storeUnchecked((Real(rhoN) - c.rho) / (Real(c1.rho) - c.rho));
            H = store(Real(H) + step);
            continue;
        }
        const float bN = SgergB(standardPureTerms(), H, c.xCH, c.xN2, xCO2, xH2, xCO);
        rhoM = store(1.0 / (Real(idealMolarVolume) + bN));
        const float hCalc
            = store((Real(c.xCH) * H + Real(singleConstants.heatH2) * xH2 + Real(singleConstants.heatCO) * xCO) * rhoM);
        if (std::fabs(Real(Hs) - hCalc) < toleranceHeat)
            break;
        exact = fixedTerms(rhoM, gas, exactConstants);
        single = fixedTerms(rhoM, gas, singleConstants);
    }
    return SgergGas {H, c.xCH, c.xN2, xCO2, xH2, xCO};
}

// Density at the state point from the virial equation, by fixed-point iteration.
float compressibility(const SgergGas& g, float p, float t)
{
    const float T = store(t + kelvinOffset);
    const float B = SgergB(pureTermsOfB(T), g.H, g.xCH, g.xN2, g.xCO2, g.xH2, g.xCO);
    const float C = SgergC(T, g.H, g.xCH, g.xN2, g.xCO2, g.xH2, g.xCO);
    const Real RT = gasConstant * T;
    const Real a = finite(RT / p);
    // Z at a density; each pass needs it at the density the pass before ended on,
    // and the answer is it at the last one: worked out once a density.
    auto zAt = [B, C](float rho) { return 1.0 + Real(B) * rho + Real(C) * rho * rho; };
    float rho = store(1.0 / (a + B));
    Real z = zAt(rho);
    float pCalc = 0;
    int pass = 0;
    do {
        if (++pass > kSgergMaxPasses)
            throw Failure {};
        rho = store(1.0 / (a * z));
        z = zAt(rho);
        pCalc = store(z * (RT * rho));
    } while (std::fabs(Real(p) - pCalc) >= tolerancePressure);
    return store(z);
}

// Hs and d at 20 C / 20 C as the method takes them.
float heatAt25(float Hs)
{
    return store(ref20HeatFactor * Hs);
}

float densityAt0(float d)
{
    return store(ref20DensityFactor * d);
}

} // namespace

std::optional<SgergGas> sgergGas(float Hs, float d, float xCO2, float xH2)
{
    try {
        return characterise(Hs, d, xCO2, xH2);
    } catch (const Failure&) {
        return std::nullopt;
    }
}

std::optional<SgergGas> sgergGasRef20(float Hs, float d, float xCO2, float xH2)
{
    try {
        return characterise(heatAt25(Hs), densityAt0(d), xCO2, xH2);
    } catch (const Failure&) {
        return std::nullopt;
    }
}

std::optional<float> sgergZOfGas(const SgergGas& gas, float p, float t)
{
    try {
        return compressibility(gas, p, t);
    } catch (const Failure&) {
        return std::nullopt;
    }
}

namespace {

// The status interface of the entry points over the gas-only part.
int statusAndZ(const std::optional<SgergGas>& gas, float p, float t, float& Z)
{
    const std::optional<float> z = gas ? sgergZOfGas(*gas, p, t) : std::nullopt;
    if (!z)
        return 1;
    Z = *z;
    return 0;
}

} // namespace

int sgergZFromGasValues(float p, float t, float Hs, float d, float xCO2, float xH2, float& Z)
{
    return statusAndZ(sgergGas(Hs, d, xCO2, xH2), p, t, Z);
}

int sgergZFromGasValuesRef20(float p, float t, float Hs, float d, float xCO2, float xH2, float& Z)
{
    return statusAndZ(sgergGasRef20(Hs, d, xCO2, xH2), p, t, Z);
}
