#pragma once

// Coefficients of the SGERG-88 virial equation (ISO 12213-3, GB/T 17747.3), in the
// method's units: T in K, B in dm3/mol, C in dm6/mol2, H in kJ/mol.
// Each is a quadratic a0 + a1*T + a2*T^2.

struct Quadratic {
    double a0;
    double a1;
    double a2;

    double operator()(double t) const { return a0 + a1 * t + a2 * t * t; }
};

namespace sgerg {

// clang-format off

// Second virial coefficients of the pure components and of the pairs that interact.
inline constexpr Quadratic B_N2     {-0.1446,     7.4091e-4,  -9.1195e-7};
inline constexpr Quadratic B_CO2    {-0.86834,    4.0376e-3,  -5.1657e-6};
inline constexpr Quadratic B_H2     {-1.10596e-3, 8.13385e-5, -9.8722e-8};
inline constexpr Quadratic B_CO     {-0.13082,    6.0254e-4,  -6.443e-7};
inline constexpr Quadratic B_CH_H2  {-0.052128,   2.7157e-4,  -2.5e-7};
inline constexpr Quadratic B_CH_CO  {-0.068729,  -2.39381e-6,  5.18195e-7};
inline constexpr Quadratic B_N2_CO2 {-0.339693,   1.61176e-3, -2.04429e-6};
inline constexpr Quadratic B_N2_H2  { 0.012,      0.0,         0.0};

// B_CH = B0(T) + B1(T)*H + B2(T)*H^2 for the equivalent hydrocarbon
inline constexpr Quadratic B0_CH    {-0.425468,   2.865e-3,   -4.62073e-6};
inline constexpr Quadratic B1_CH    { 8.77118e-4, -5.56281e-6, 8.8151e-9};
inline constexpr Quadratic B2_CH    {-8.24747e-7, 4.31436e-9, -6.08319e-12};

// Third virial coefficients.
inline constexpr Quadratic C_N2        {7.8498e-3,   -3.9895e-5,   6.1187e-8};
inline constexpr Quadratic C_CO2       {2.0513e-3,    3.4888e-5,  -8.3703e-8};
inline constexpr Quadratic C_H2        {1.04711e-3,  -3.64887e-6,  4.67095e-9};
inline constexpr Quadratic C_CH_CH_CO  {7.36748e-3,  -2.76578e-5,  3.43051e-8};
inline constexpr Quadratic C_N2_N2_CO2 {5.52066e-3,  -1.68609e-5,  1.57169e-8};
inline constexpr Quadratic C_N2_CO2_CO2{3.58783e-3,   8.06674e-6, -3.25798e-8};

// C_CH = C0(T) + C1(T)*H + C2(T)*H^2
inline constexpr Quadratic C0_CH    {-0.302488,   1.95861e-3, -3.16302e-6};
inline constexpr Quadratic C1_CH    { 6.46422e-4, -4.22876e-6, 6.88157e-9};
inline constexpr Quadratic C2_CH    {-3.32805e-7, 2.2316e-9,  -3.67713e-12};

// clang-format on

// Constants of the method. Those marked "single" are held in single precision.
inline constexpr double ratioCOtoH2 = 0.0964;      // xCO / xH2
inline constexpr double heatH2 = 285.83;           // molar heating value of H2, kJ/mol
inline constexpr double heatCO = 282.98;           // molar heating value of CO, kJ/mol
inline constexpr double massCHslope = 0.021062199; // MCH = slope*H - offset, g/mol
inline constexpr double massCHoffset = 2.709328;
inline constexpr double massN2 = 28.0135; // molar masses, g/mol
inline constexpr double massCO2 = 44.01;
inline constexpr double massH2 = 2.0159;
inline constexpr double massCO = 28.01;
inline constexpr double airDensity = 1.292923;           // kg/m3 at 0 C, 101.325 kPa
inline constexpr float idealMolarVolume = 22.414097f;    // dm3/mol at 0 C, 101.325 kPa (single)
inline constexpr float startMolarDensity = 0.044744536f; // 1 / (22.414097 - 0.065) (single)
inline constexpr float startHeat = 1000.0f;              // kJ/mol (single)
inline constexpr float standardTemperature = 273.15f;    // K, inside the first iteration (single)
inline constexpr double kelvinOffset = 273.15;
inline constexpr double gasConstant = 0.00831451;    // MPa dm3/(mol K)
inline constexpr double toleranceMassDensity = 1e-6; // kg/m3
inline constexpr double toleranceHeat = 1e-4;        // MJ/m3
inline constexpr double tolerancePressure = 1e-5;    // MPa

// Hs and d given at the 20 C / 20 C reference, converted to 25 C / 0 C.
inline constexpr double ref20HeatFactor = 1.0732;
inline constexpr double ref20DensityFactor = 1.0003;

} // namespace sgerg
