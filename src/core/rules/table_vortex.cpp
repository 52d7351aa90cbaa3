#include "core/rules/size_tables.h"

#include <cmath>

namespace {

constexpr double kNoStop = std::numeric_limits<double>::quiet_NaN();

struct VortexRow {
    const char* label; // nullptr: a pressure stop
    double lo;
    double hi;
    bool withCard; // offered with card control
    double stopVariant0Kpa;
    double stopVariant1Kpa;
};

// clang-format off
const VortexRow kVortex[] = {
    {nullptr,                 0,   0,    false, kNoStop, 900},
    {"20B(1.2<=Qg<=15)",      1.2, 15,   false, kNoStop, kNoStop},
    {"25B(2.5<=Qg<=30)",      2.5, 30,   false, kNoStop, kNoStop},
    {"32B(4.5<=Qg<=60)",      4.5, 60,   false, kNoStop, kNoStop},
    {"50D(6<=Qg<=65)",        6,   65,   true,  kNoStop, kNoStop},
    {"50E(8<=Qg<=75)",        8,   75,   false, kNoStop, kNoStop},
    {"50B(10<=Qg<=150)",      10,  150,  true,  kNoStop, kNoStop},
    {nullptr,                 0,   0,    false, 6400,    kNoStop},
    {"80D(20<=Qg<=200)",      20,  200,  true,  kNoStop, kNoStop},
    {"80E(30<=Qg<=300)",      30,  300,  false, kNoStop, kNoStop},
    {"80B(28<=Qg<=400)",      28,  400,  true,  kNoStop, kNoStop},
    {"100D(55<=Qg<=550)",     55,  550,  true,  kNoStop, kNoStop},
    {"100B(50<=Qg<=800)",     50,  800,  true,  kNoStop, kNoStop},
    {nullptr,                 0,   0,    false, 4000,    500},
    {"150D(100<=Qg<=1200)",   100, 1200, true,  kNoStop, kNoStop},
    {"150B(150<=Qg<=2250)",   150, 2250, true,  kNoStop, kNoStop},
    {"200B(360<=Qg<=3600)",   360, 3600, true,  kNoStop, kNoStop},
};
// clang-format on

} // namespace

SizeTable vortexTable(int variant)
{
    const bool withCard = variant != 0;
    SizeTable table;
    for (const VortexRow& r : kVortex) {
        if (!r.label) {
            const double stop = withCard ? r.stopVariant1Kpa : r.stopVariant0Kpa;
            if (!std::isnan(stop))
                table.push_back(PressureStop {stop});
        } else if (!withCard || r.withCard) {
            table.push_back(TSizeCandidate {QString::fromLatin1(r.label), r.lo, r.hi});
        }
    }
    return table;
}
