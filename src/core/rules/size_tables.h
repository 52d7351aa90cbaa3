#pragma once

#include <QString>

#include <limits>
#include <optional>
#include <variant>
#include <vector>

class FormModel;

// A meter size as the size list offers it: its label and the measuring range
// (m3/h at line conditions) it is fitted with, and optionally a pressure cap: the
// row is offered only while PabsMax <= the cap, in kPa.
struct TSizeCandidate {
    QString label;
    double lo;
    double hi;
    double pressureCapKpa = std::numeric_limits<double>::infinity();
};

// A pressure stop inside a table: the walk ends at once when PabsMax > the limit.
struct PressureStop {
    double limitKpa;
};

using SizeTableEntry = std::variant<TSizeCandidate, PressureStop>;
using SizeTable = std::vector<SizeTableEntry>;

// The tables, each for the variant that fills the list.
// Rotary-lobe, domestic (RKD) and imported (roots): 0 no card control, 1 integrated
// card control (the stems take a "C"), 2 separate card control (no DN25 row).
SizeTable domesticRotaryLobeTable(int variant);
SizeTable importedRotaryLobeTable(int variant);
// Vortex-precession: 0 no card control, any other variant card control.
SizeTable vortexTable(int variant);
// Turbine: the full form up to DN300 or the short form up to DN200.
SizeTable turbineTable(bool fullForm);

// The one fitting rule: an exact pass, and a widened pass (lo / 1.2, hi * 1.2) when
// the exact pass finds nothing; pressure caps and stops hold in both passes.
// Appends the fitting labels to the size list; true when the list then holds any.
bool fitSizes(FormModel& form, const SizeTable& table, float qmin, float qmax);

// The row of the size tables whose label is `label` (a label names the same range in
// every table and variant that holds it), or nothing.
const TSizeCandidate* sizeTableRow(const QString& label);

// Which pass of the fitting offers a size: the exact pass never leaves a row that
// covers the working flows to the widened one, so a label offered for Qmin and Qmax
// came from the exact pass exactly when its row covers them with its own bounds.
enum class SizeFit { Exact, Widened };
std::optional<SizeFit> sizeFitOf(const QString& label, float qmin, float qmax);

bool fitDomesticRotaryLobeSizes(FormModel& form, int variant, float qmin, float qmax);
bool fitRootsSizes(FormModel& form, int variant, float qmin, float qmax);
bool fitVortexSizes(FormModel& form, int variant, float qmin, float qmax);
bool fitTurbineSizes(FormModel& form, bool fullForm, float qmin, float qmax);
