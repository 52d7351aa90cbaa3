#pragma once

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
int SgergZ(float p, float t, float Hs, float d, float xCO2, float xH2, float& Z);

// The same for Hs and d given at the 20 C / 20 C reference.
int SgergZRef20(float p, float t, float Hs, float d, float xCO2, float xH2, float& Z);

// The passes each iteration may take before it gives up.
inline constexpr int kSgergMaxPasses = 100;
