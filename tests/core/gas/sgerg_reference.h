#pragma once

// SGERG-88 computed as the program computed it before the gas-only part was shared:
// the reference the routine in use must match bit for bit.
int referenceSgergZ(float p, float t, float Hs, float d, float xCO2, float xH2, float& Z);
int referenceSgergZRef20(float p, float t, float Hs, float d, float xCO2, float xH2, float& Z);
