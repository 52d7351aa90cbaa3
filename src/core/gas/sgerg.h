#pragma once

#include <optional>

// Compressibility factor Z of a natural gas by SGERG-88 (ISO 12213-3), from the
// superior calorific value Hs (MJ/m3), the relative density d, and the mole
// fractions of CO2 and H2.
//
// Inputs:  p   absolute pressure, MPa
//          t   temperature, C
//          Hs  superior calorific value, MJ/m3 (combustion 25 C, metering 0 C, 101.325 kPa)
//          d   relative density (0 C, 101.325 kPa)
//          xCO2, xH2  mole fractions
// Output:  Z, single precision.
// Returns 0 on success; 1 when an iteration does not settle within its cap or the
// arithmetic leaves the real numbers (a root of a negative number, a division by
// zero, an overflow), in which case Z is left unchanged. Ranges are not checked.
int sgergZFromGasValues(float p, float t, float Hs, float d, float xCO2, float xH2, float& Z);

// The same for Hs and d given at the 20 C / 20 C reference.
int sgergZFromGasValuesRef20(float p, float t, float Hs, float d, float xCO2, float xH2, float& Z);

// The passes each iteration may take before it gives up.
inline constexpr int kSgergMaxPasses = 100;

// The part of the method that depends on the gas alone: the equivalent hydrocarbon
// and the composition that reproduce Hs and d. It is most of the cost of one Z, so a
// caller that needs Z of one gas at several states computes it once and keeps it.
// A plain value: nothing is cached behind the caller's back.
struct SgergGas {
    float H = 0;   // molar heating value of the equivalent hydrocarbon, kJ/mol
    float xCH = 0; // mole fractions: equivalent hydrocarbon,
    float xN2 = 0; // nitrogen (the balance),
    float xCO2 = 0;
    float xH2 = 0;
    float xCO = 0; // carbon monoxide, derived from xH2
};

// The gas-only part for gas values at the method's reference, or at 20 C / 20 C;
// nothing where sgergZFromGasValues would return status 1 for every state.
std::optional<SgergGas> sgergGas(float Hs, float d, float xCO2, float xH2);
std::optional<SgergGas> sgergGasRef20(float Hs, float d, float xCO2, float xH2);

// Z of a characterised gas at p (MPa) and t (C): bit for bit what sgergZFromGasValues gives for
// the gas values it was made from; nothing where sgergZFromGasValues returns status 1.
std::optional<float> sgergZOfGas(const SgergGas& gas, float p, float t);
