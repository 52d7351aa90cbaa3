#include "core/form/gauge_pressure.h"

#include "core/form/numbers.h"

#include <cmath>

namespace {

// kPa per unit; rows in the order of PressureUnit.
struct UnitRow {
    PressureUnit unit;
    const char16_t* name;
    double kpaPerUnit;
};

// clang-format off
constexpr UnitRow kUnits[] = {
    {PressureUnit::KPa, u"kPa", 1.0},
    {PressureUnit::MPa, u"MPa", 1000.0},
    {PressureUnit::Bar, u"bar", 100.0},
};
// clang-format on

const UnitRow& rowOf(PressureUnit unit)
{
    return kUnits[static_cast<int>(unit)];
}

constexpr int kBoxDecimals = 6;

} // namespace

std::optional<PressureUnit> pressureUnitByName(QStringView name)
{
    for (const UnitRow& row : kUnits) {
        if (name == QStringView(row.name))
            return row.unit;
    }
    return std::nullopt;
}

QStringList pressureUnitNames()
{
    QStringList names;
    for (const UnitRow& row : kUnits)
        names << QString::fromUtf16(row.name);
    return names;
}

std::optional<double> absolutePressureKpa(double gauge, PressureUnit unit, double atmosphereKpa)
{
    const double kpa = atmosphereKpa + gauge * rowOf(unit).kpaPerUnit;
    if (!std::isfinite(kpa))
        return std::nullopt;
    return kpa;
}

QString pressureBoxText(double kpa)
{
    return formatFixedTrimmed(kpa, kBoxDecimals);
}
