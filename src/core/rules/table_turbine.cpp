#include "core/rules/size_tables.h"

namespace {

constexpr double kNoCap = std::numeric_limits<double>::infinity();

struct TurbineRow {
    const char* label;
    double lo;
    double hi;
    double pressureCapKpa;
    bool fullFormOnly; // DN250 and DN300: not in the short form
};

// clang-format off
// Note the order: 80C follows 100A.
const TurbineRow kTurbine[] = {
    {"50A(6<=Qg<=65)",       6,   65,   kNoCap, false},
    {"50B(10<=Qg<=100)",     10,  100,  kNoCap, false},
    {"80A(8<=Qg<=160)",      8,   160,  kNoCap, false},
    {"80B(13<=Qg<=250)",     13,  250,  kNoCap, false},
    {"100A(13<=Qg<=250)",    13,  250,  kNoCap, false},
    {"80C(20<=Qg<=400)",     20,  400,  kNoCap, false},
    {"100B(20<=Qg<=400)",    20,  400,  kNoCap, false},
    {"100C(32<=Qg<=650)",    32,  650,  kNoCap, false},
    {"150A(32<=Qg<=650)",    32,  650,  2500,   false},
    {"150B(50<=Qg<=1000)",   50,  1000, 2500,   false},
    {"200A(50<=Qg<=1000)",   50,  1000, 2500,   false},
    {"150C(80<=Qg<=1600)",   80,  1600, 2500,   false},
    {"200B(80<=Qg<=1600)",   80,  1600, 2500,   false},
    {"250A(80<=Qg<=1600)",   80,  1600, 2500,   true},
    {"200C(130<=Qg<=2500)",  130, 2500, 2500,   false},
    {"250B(130<=Qg<=2500)",  130, 2500, 2500,   true},
    {"300A(130<=Qg<=2500)",  130, 2500, 2500,   true},
    {"250C(200<=Qg<=4000)",  200, 4000, 2500,   true},
    {"300B(200<=Qg<=4000)",  200, 4000, 2500,   true},
    {"300C(320<=Qg<=6500)",  320, 6500, 2500,   true},
};
// clang-format on

} // namespace

SizeTable turbineTable(bool fullForm)
{
    SizeTable table;
    for (const TurbineRow& r : kTurbine) {
        if (fullForm || !r.fullFormOnly)
            table.push_back(TSizeCandidate {QString::fromLatin1(r.label), r.lo, r.hi, r.pressureCapKpa});
    }
    return table;
}
