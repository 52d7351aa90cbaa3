// The SGERG-88 routine as it stood before the gas-only part was computed once per
// gas: every call runs both iterations. Kept unchanged so that the routine in use can
// be compared with it bit for bit.
#include "core/gas/sgerg_reference.h"

#include "core/gas/sgerg_coefficients.h"

#include <cmath>

using namespace sgerg;

namespace {

// The passes each iteration may take before it gives up.
constexpr int kSgergMaxPasses = 100;

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

struct GasValues {
    float Hs;
    float xCO2;
    float xH2;
    float xCO;
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

// Mass density of the gas for a trial molar heating value H of the equivalent
// hydrocarbon and a molar density rhoM.
Composition SgergMassDensity(float H, float rhoM, const GasValues& g, const HeatsAndMasses& k)
{
    const float mCH = store(massCHslope * H - massCHoffset);
    Composition c;
    c.xCH = store(g.Hs / (Real(H) * rhoM) - (k.heatH2 * g.xH2 + k.heatCO * g.xCO) / H);
    c.xN2 = store(1.0 - c.xCH - g.xCO2 - g.xH2 - g.xCO);
    c.rho = store(Real(rhoM) * (Real(c.xCH) * mCH + k.massN2 * c.xN2)
        + Real(rhoM) * (k.massCO2 * g.xCO2 + k.massH2 * g.xH2 + k.massCO * g.xCO));
    return c;
}

// Second virial coefficient of the mixture, dm3/mol.
float SgergB(float T, float H, float xCH, float xN2, float xCO2, float xH2, float xCO)
{
    const Real t = T;
    const Real h = H;
    const float bCH = store(B0_CH(t) + B1_CH(t) * h + B2_CH(t) * h * h);
    const float bN2 = store(B_N2(t));
    const float bCH_N2 = store((0.72 + 1.875e-5 * (320.0 - t) * (320.0 - t)) * (Real(bCH) + bN2) / 2.0);
    const float bCO2 = store(B_CO2(t));
    const Real product = Real(bCH) * bCO2;
    if (product < 0)
        throw Failure {};
    const float bCH_CO2 = store(-0.865 * std::sqrt(product));
    const float bCH_H2 = store(B_CH_H2(t));
    const float bCH_CO = store(B_CH_CO(t));
    const float bN2_CO2 = store(B_N2_CO2(t));
    const float bN2_H2 = store(B_N2_H2(t));
    const float bH2 = store(B_H2(t));
    const float bCO = store(B_CO(t));

    const Real ch = xCH, n2 = xN2, co2 = xCO2, h2 = xH2, co = xCO;
    return store(ch * ch * bCH + 2 * ch * n2 * bCH_N2 + 2 * ch * co2 * bCH_CO2 + 2 * ch * h2 * bCH_H2
        + 2 * ch * co * bCH_CO + n2 * n2 * bN2 + 2 * n2 * co2 * bN2_CO2 + 2 * n2 * h2 * bN2_H2 + co2 * co2 * bCO2
        + h2 * h2 * bH2 + co * co * bCO);
}

// Third virial coefficient of the mixture, dm6/mol2.
float SgergC(float T, float H, float xCH, float xN2, float xCO2, float xH2, float xCO)
{
    const Real t = T;
    const Real h = H;
    const float cCH = store(C0_CH(t) + C1_CH(t) * h + C2_CH(t) * h * h);
    const float cN2 = store(C_N2(t));
    const float cCO2 = store(C_CO2(t));
    const float cH2 = store(C_H2(t));
    const float cCH_CH_CO = store(C_CH_CH_CO(t));
    const float cN2_N2_CO2 = store(C_N2_N2_CO2(t));
    const float cN2_CO2_CO2 = store(C_N2_CO2_CO2(t));
    const float y = store(0.92 + 0.0013 * (t - 270.0));

    const Real ch3 = cCH, n23 = cN2, co23 = cCO2, h23 = cH2;
    const float cCH_CH_N2 = store(y * cubeRoot(ch3 * ch3 * n23));
    const float cCH_N2_N2 = store(y * cubeRoot(ch3 * n23 * n23));
    const float cCH_CH_CO2 = store(0.92 * cubeRoot(ch3 * ch3 * co23));
    const float cCH_CO2_CO2 = store(0.92 * cubeRoot(ch3 * co23 * co23));
    const float cCH_CH_H2 = store(1.2 * cubeRoot(ch3 * ch3 * h23));
    const float cCH_N2_CO2 = store(1.1 * cubeRoot(ch3 * n23 * co23));

    const Real ch = xCH, n2 = xN2, co2 = xCO2, h2 = xH2, co = xCO;
    return store(ch * ch * ch * cCH + 3 * ch * ch * n2 * cCH_CH_N2 + 3 * ch * ch * co2 * cCH_CH_CO2
        + 3 * ch * ch * h2 * cCH_CH_H2 + 3 * ch * ch * co * cCH_CH_CO + 3 * ch * n2 * n2 * cCH_N2_N2
        + 6 * ch * n2 * co2 * cCH_N2_CO2 + 3 * ch * co2 * co2 * cCH_CO2_CO2 + n2 * n2 * n2 * cN2
        + 3 * n2 * n2 * co2 * cN2_N2_CO2 + 3 * n2 * co2 * co2 * cN2_CO2_CO2 + co2 * co2 * co2 * cCO2
        + h2 * h2 * h2 * cH2);
}

float compressibility(float p, float t, float Hs, float d, float xCO2, float xH2)
{
    const GasValues gas {Hs, xCO2, xH2, store(ratioCOtoH2 * xH2)};
    const float rhoN = store(airDensity * d);

    // Outer iteration: the molar heating value H of the equivalent hydrocarbon that
    // reproduces the given density and calorific value.
    float H = startHeat;
    float rhoM = startMolarDensity;
    Composition c {};
    for (int pass = 1;; ++pass) {
        if (pass > kSgergMaxPasses)
            throw Failure {};
        c = SgergMassDensity(H, rhoM, gas, exactConstants);
        if (std::fabs(Real(rhoN) - c.rho) >= toleranceMassDensity) {
            // secant step with a fixed increment of 1 kJ/mol
            const float h1 = store(Real(H) + 1.0);
            const Composition c1 = SgergMassDensity(h1, rhoM, gas, singleConstants);
            const float step = store((Real(rhoN) - c.rho) / (Real(c1.rho) - c.rho));
            H = store(Real(H) + step);
            continue;
        }
        const float bN = SgergB(standardTemperature, H, c.xCH, c.xN2, xCO2, xH2, gas.xCO);
        rhoM = store(1.0 / (Real(idealMolarVolume) + bN));
        const float hCalc = store(
            (Real(c.xCH) * H + Real(singleConstants.heatH2) * xH2 + Real(singleConstants.heatCO) * gas.xCO) * rhoM);
        if (std::fabs(Real(Hs) - hCalc) < toleranceHeat)
            break;
    }

    // Density at the state point from the virial equation, by fixed-point iteration.
    const float T = store(t + kelvinOffset);
    const float B = SgergB(T, H, c.xCH, c.xN2, xCO2, xH2, gas.xCO);
    const float C = SgergC(T, H, c.xCH, c.xN2, xCO2, xH2, gas.xCO);
    const Real a = finite(gasConstant * T / p);
    float rho = store(1.0 / (a + B));
    float pCalc = 0;
    int pass = 0;
    do {
        if (++pass > kSgergMaxPasses)
            throw Failure {};
        rho = store(1.0 / (a * (1.0 + Real(B) * rho + Real(C) * rho * rho)));
        pCalc = store((1.0 + Real(B) * rho + Real(C) * rho * rho) * (gasConstant * T * rho));
    } while (std::fabs(Real(p) - pCalc) >= tolerancePressure);
    return store(1.0 + Real(B) * rho + Real(C) * rho * rho);
}

} // namespace

int referenceSgergZ(float p, float t, float Hs, float d, float xCO2, float xH2, float& Z)
{
    try {
        Z = compressibility(p, t, Hs, d, xCO2, xH2);
        return 0;
    } catch (const Failure&) {
        return 1;
    }
}

int referenceSgergZRef20(float p, float t, float Hs, float d, float xCO2, float xH2, float& Z)
{
    try {
        const float hs25 = store(ref20HeatFactor * Hs);
        const float d25 = store(ref20DensityFactor * d);
        return referenceSgergZ(p, t, hs25, d25, xCO2, xH2, Z);
    } catch (const Failure&) {
        return 1;
    }
}
