#pragma once

#include <optional>

class FormModel;

// The size lists and the table that chooses one for the medium, the meter type,
// the origin, the counter and the card control.
enum class SizeList {
    None,
    TurbineFull,
    TurbineShort,
    Domestic0,
    Domestic1,
    Domestic2,
    Imported0,
    Imported1,
    Imported2,
    Vortex0,
    Vortex1
};

// What a row of the table does to the options before its list is filled.
enum class SizeListMark {
    None,
    ClosesSettlementUnit, // the settlement unit is emptied and closed
    OpensInstallation,    // the installation is opened with "水平"
};

struct SizeListChoice {
    SizeList list;
    SizeListMark mark;
};

// The row of the table that holds for the choices on the form, if any.
std::optional<SizeListChoice> sizeListFor(const FormModel& f);

// Fills the size list with the sizes of `list` that cover the working flow range;
// false when none does.
bool fillSizeList(FormModel& f, SizeList list, float qmin, float qmax);
