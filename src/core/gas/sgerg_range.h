#pragma once

#include <QString>

#include <array>
#include <vector>

// Where SGERG-88 may be trusted for the inputs of one working-flow computation.
enum class SgergRangeClass {
    Normal,  // inside the standard's normal range for pipeline-quality gas
    Wider,   // inside its wider range only
    Outside, // some input beyond the wider range
};

// The inputs judged, in the order their names are told.
enum class SgergRangeInput { Hs, RelDensity, XCO2, XH2, PabsMin, PabsMax, TempMin, TempMax };
inline constexpr int kSgergRangeInputCount = 8;

// The inputs in the units of the window: kPa absolute, degrees C; Hs (MJ/m3) and d at
// the method's own reference (combustion 25 C, metering 0 C).
using SgergRangeInputs = std::array<double, kSgergRangeInputCount>;

struct SgergRangeVerdict {
    SgergRangeClass range = SgergRangeClass::Normal;
    std::vector<SgergRangeInput> outside; // beyond the wider range, in input order
    std::vector<SgergRangeInput> wider;   // beyond the normal range only, in input order
};

SgergRangeVerdict sgergRange(const SgergRangeInputs& inputs);

// The bounds of one input, both inside the range, in the units of SgergRangeInputs.
struct SgergBounds {
    double low;
    double high;
};
SgergBounds sgergNormalBounds(SgergRangeInput input);
SgergBounds sgergWiderBounds(SgergRangeInput input);
// Where one input alone stands.
SgergRangeClass sgergInputRange(SgergRangeInput input, double value);

// "normal", "wider" or "outside: Hs, PabsMax"; `names` gives the name of each input.
QString sgergRangeText(const SgergRangeVerdict& verdict, const std::array<QString, kSgergRangeInputCount>& names);
