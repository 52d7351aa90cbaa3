#pragma once

#include <QString>
#include <QStringList>

#include <optional>

// Gauge pressures as data sheets give them, turned into the absolute pressures in
// kPa that the boxes PabsMin and PabsMax take.

enum class PressureUnit {
    KPa,
    MPa,
    Bar,
};

// The atmosphere a gauge reading is taken against when nothing else is known, kPa.
inline constexpr double kStandardAtmosphereKpa = 101.325;

// The units by their names "kPa", "MPa", "bar" (letter case as written: "mPa" is no
// unit of ours), and the names in the order of PressureUnit.
std::optional<PressureUnit> pressureUnitByName(QStringView name);
QStringList pressureUnitNames();

// Inputs: `gauge`, a gauge pressure in `unit`; `atmosphereKpa`, the local
// atmospheric pressure in kPa. Output: the absolute pressure in kPa,
// atmosphereKpa + gauge × (1 for kPa, 1000 for MPa, 100 for bar); nothing when the
// sum is beyond double precision. A negative result is returned as it is: the
// window's own checks judge it.
std::optional<double> absolutePressureKpa(double gauge, PressureUnit unit, double atmosphereKpa);

// A pressure in kPa as the text of a pressure box: a plain decimal rounded to six
// places (a milli-pascal, beyond any gauge's reading, and far above the noise of
// the binary sum), without trailing zeros or a trailing point, never "-0":
// 0.2 MPa gauge at 101.325 kPa gives "301.325", not "301.32499999999999".
QString pressureBoxText(double kpa);
