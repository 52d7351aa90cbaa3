#include "core/gas/flow_conversion.h"

#include "core/gas/sgerg.h"

#include <cmath>
#include <limits>
#include <utility>
#include <vector>

namespace {

// Zn is taken at the standard condition of the flow whatever the reference of the
// gas data; both are single, as the method's arguments are.
constexpr float kZnPressureMpa = 0.101325f;
constexpr float kZnTemperatureC = 20.0f;

} // namespace

double conversionFactor(double znzg, double pressureKpa, double temperatureC)
{
    return znzg * (pressureKpa / kStdPressureKpa) * kStdTemperatureK / (temperatureC + kKelvinOffset);
}

double conversionFactorTemperatureFirst(double znzg, double pressureKpa, double temperatureC)
{
    return kStdTemperatureK / (temperatureC + kKelvinOffset) * (pressureKpa / kStdPressureKpa * znzg);
}

double workingFlow(double stdFlow, double k)
{
    return stdFlow / k;
}

std::optional<double> computedZnZg(GasReference reference, float pressureMpa, float temperatureC, const GasData& gas)
{
    const auto routine = reference == GasReference::Combustion20Metering20 ? SgergZRef20 : SgergZ;
    float zg = 0;
    float zn = 0;
    if (routine(pressureMpa, temperatureC, gas.hs, gas.relativeDensity, gas.xco2, gas.xh2, zg) != 0)
        return std::nullopt;
    if (routine(kZnPressureMpa, kZnTemperatureC, gas.hs, gas.relativeDensity, gas.xco2, gas.xh2, zn) != 0)
        return std::nullopt;
    const double ratio = double(zn) / double(zg);
    if (!std::isfinite(ratio) || ratio <= 0)
        return std::nullopt;
    return ratio;
}

FlowOperand impossibleOperand(const FlowOperands& ops)
{
    if (ops.pressureKpa <= 0)
        return FlowOperand::Pressure;
    if (ops.temperatureC + kKelvinOffset <= 0)
        return FlowOperand::Temperature;
    if (ops.typedZnZg && *ops.typedZnZg < 0)
        return FlowOperand::ZnZg;
    return FlowOperand::None;
}

bool usableFactor(double k, bool keptSingle)
{
    const double kept = keptSingle ? double(static_cast<float>(k)) : k;
    return std::isfinite(kept) && kept != 0;
}

bool usableFlow(double q)
{
    return std::isfinite(q) && std::fabs(q) <= std::numeric_limits<float>::max();
}

FlowOperand unusableOperand(const FlowOperands& ops, bool withStdFlow)
{
    std::vector<std::pair<FlowOperand, double>> divisors = {
        {FlowOperand::Temperature, ops.temperatureC + kKelvinOffset}, {FlowOperand::Pressure, ops.pressureKpa}};
    if (ops.typedZnZg)
        divisors.emplace_back(FlowOperand::ZnZg, *ops.typedZnZg);
    FlowOperand culprit = FlowOperand::Temperature;
    double worst = -1;
    for (const auto& [operand, value] : divisors) {
        if (value == 0)
            return operand;
        const double extremity = std::fabs(std::log(std::fabs(value)));
        if (extremity > worst) {
            culprit = operand;
            worst = extremity;
        }
    }
    if (withStdFlow && std::isfinite(worst) && std::fabs(std::log(std::fabs(ops.stdFlow))) > worst)
        return FlowOperand::StdFlow;
    return culprit;
}
