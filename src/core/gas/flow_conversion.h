#pragma once

#include "core/gas/sgerg.h"

#include <optional>

// A flow at the standard condition of the flow (20 C, 101.325 kPa) becomes the
// working flow at a line condition through the conversion factor
// K = Zn/Zg * Pg/Pn * Tn/Tg: Q = Qn / K.

inline constexpr double kStdPressureKpa = 101.325;
inline constexpr double kStdTemperatureK = 293.15;
inline constexpr double kKelvinOffset = 273.15;

// K multiplied from Zn/Zg on: Zn/Zg * (Pg/Pn) * Tn / Tg.
double conversionFactor(double znzg, double pressureKpa, double temperatureC);

// K with Tn/Tg taken first: Tn/Tg * (Pg/Pn * Zn/Zg). The same number on paper, but
// its last bit can round otherwise than conversionFactor's; where a factor has
// always been computed in this order it stays in it, so that no result moves.
double conversionFactorTemperatureFirst(double znzg, double pressureKpa, double temperatureC);

// The working flow Q = Qn / K.
double workingFlow(double stdFlow, double k);

// The reference conditions the gas data can be given at.
enum class GasReference {
    Combustion20Metering20, // combustion and metering both at 20 C
    Combustion25Metering0,  // the method's own: combustion at 25 C, metering at 0 C
};

// The gas as SGERG-88 describes it: superior calorific value (MJ/m3), relative
// density, mole fractions of CO2 and H2.
struct GasData {
    float hs;
    float relativeDensity;
    float xco2;
    float xh2;
};

// Zn/Zg by SGERG-88: Zn at the standard condition of the flow, Zg at the line
// condition (absolute pressure in MPa, temperature in C). Nothing when the method
// gives no answer or the quotient is not a positive finite number.
std::optional<double> computedZnZg(GasReference reference, float pressureMpa, float temperatureC, const GasData& gas);

// The two factors of that quotient, each as the method gives it: Zn at the standard
// condition of the flow and Zg at the line condition. Nothing where the quotient
// would be nothing.
struct ZnAndZg {
    float zn;
    float zg;
};
std::optional<ZnAndZg> computedZnAndZg(
    GasReference reference, float pressureMpa, float temperatureC, const GasData& gas);

// The same for the limits of one computation. Most of the method's cost is the part
// that depends on the gas alone, and Zn depends on nothing else: both are worked out
// for the first limit and reused for the next while the gas stays the same. Each
// computation holds its own, so windows and threads share nothing.
class ZnZgOfGas {
public:
    explicit ZnZgOfGas(GasReference reference)
        : m_reference(reference)
    {
    }

    std::optional<double> at(float pressureMpa, float temperatureC, const GasData& gas);

private:
    GasReference m_reference;
    std::optional<GasData> m_data; // the gas the two below belong to
    std::optional<SgergGas> m_gas; // its gas-only part, nothing when the method refuses it
    std::optional<float> m_zn;
};

// The operands of one limit of the flow range.
struct FlowOperands {
    double stdFlow = 1;
    double pressureKpa = 1;
    double temperatureC = 0;
    std::optional<double> typedZnZg; // only where the user typed Zn/Zg
};

// The operand a refused limit is blamed on.
enum class FlowOperand { None, StdFlow, Pressure, Temperature, ZnZg };

// An absolute pressure at or below 0, a temperature at or below absolute zero, a
// negative typed Zn/Zg or a negative standard flow (0 is a flow: the meter stands
// still) describe no gas: the arithmetic may go through, but the
// working flow it gives is meaningless (a negative flow, for one). Returns the
// first such operand, None when the limit describes a gas.
FlowOperand impossibleOperand(const FlowOperands& ops);

// A factor can be divided by when it is finite and not 0, as kept: in single
// precision where `keptSingle` says it is stored so.
bool usableFactor(double k, bool keptSingle);

// A working flow is usable when it is finite and single precision can hold it.
bool usableFlow(double q);

// The operand blamed for an unusable factor (or flow, `withStdFlow`): a zero divisor
// is its own cause; otherwise the most extreme operand, the one farthest from 1 in
// magnitude.
FlowOperand unusableOperand(const FlowOperands& ops, bool withStdFlow);
