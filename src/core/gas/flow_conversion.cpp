#include "core/gas/flow_conversion.h"

#include "core/gas/sgerg.h"

#include <cmath>
#include <cstring>
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
    return ZnZgOfGas(reference).at(pressureMpa, temperatureC, gas);
}

std::optional<ZnAndZg> computedZnAndZg(
    GasReference reference, float pressureMpa, float temperatureC, const GasData& gas)
{
    if (!computedZnZg(reference, pressureMpa, temperatureC, gas))
        return std::nullopt;
    const std::optional<SgergGas> g = reference == GasReference::Combustion20Metering20
        ? sgergGasRef20(gas.hs, gas.relativeDensity, gas.xco2, gas.xh2)
        : sgergGas(gas.hs, gas.relativeDensity, gas.xco2, gas.xh2);
    return ZnAndZg {*sgergZOfGas(*g, kZnPressureMpa, kZnTemperatureC), *sgergZOfGas(*g, pressureMpa, temperatureC)};
}

namespace {

bool sameBits(float a, float b)
{
    return std::memcmp(&a, &b, sizeof a) == 0;
}

bool sameGas(const GasData& a, const GasData& b)
{
    return sameBits(a.hs, b.hs) && sameBits(a.relativeDensity, b.relativeDensity) && sameBits(a.xco2, b.xco2)
        && sameBits(a.xh2, b.xh2);
}

} // namespace

std::optional<double> ZnZgOfGas::at(float pressureMpa, float temperatureC, const GasData& gas)
{
    if (!m_data || !sameGas(*m_data, gas)) {
        m_data = gas;
        m_gas = m_reference == GasReference::Combustion20Metering20
            ? sgergGasRef20(gas.hs, gas.relativeDensity, gas.xco2, gas.xh2)
            : sgergGas(gas.hs, gas.relativeDensity, gas.xco2, gas.xh2);
        m_zn.reset();
    }
    if (!m_gas)
        return std::nullopt;
    const std::optional<float> zg = sgergZOfGas(*m_gas, pressureMpa, temperatureC);
    if (!zg)
        return std::nullopt;
    if (!m_zn)
        m_zn = sgergZOfGas(*m_gas, kZnPressureMpa, kZnTemperatureC);
    if (!m_zn)
        return std::nullopt;
    const double ratio = double(*m_zn) / double(*zg);
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
    if (ops.stdFlow < 0)
        return FlowOperand::StdFlow;
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
    std::vector<std::pair<FlowOperand, double>> divisors
        = {{FlowOperand::Temperature, ops.temperatureC + kKelvinOffset}, {FlowOperand::Pressure, ops.pressureKpa}};
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
