#include "core/rules/meter_type_rules.h"

#include "core/form/form_model.h"
#include "core/form/numbers.h"
#include "core/form/vocabulary.h"
#include "core/rules/rule_match.h"

#include <limits>

using F = Field;
using M = vocab::Medium;

namespace {

// The meter types a medium can use, each within envelopes of working flow (m3/h)
// and maximum absolute pressure (kPa); both bounds of an envelope are inclusive.
struct Envelope {
    double qLow;
    double qHigh;
    double pMax;
};

struct MeterTypeRule {
    QStringView item;
    Media media;
    std::initializer_list<Envelope> envelopes;
};

constexpr double kAnyLow = -std::numeric_limits<double>::infinity();

// clang-format off
const MeterTypeRule kMeterTypeRules[] = {
    {vocab::Turbine,    {M::CityGas, M::OilField, M::CoalBed, M::Air}, {{kAnyLow, 650, 4000}, {650, 6500, 2500}}},
    {vocab::RotaryLobe, {M::CityGas, M::Air},                          {{kAnyLow, 1600, 1600}}},
    {vocab::Vortex,     {M::OilField},                                 {{kAnyLow, 150, 16000}, {kAnyLow, 800, 10000}, {kAnyLow, 3600, 4000}}},
    {vocab::Vortex,     {M::CoalBed, M::Air, M::OxygenHydrogen},       {{kAnyLow, 150, 16000}, {kAnyLow, 800, 6400},  {kAnyLow, 3600, 4000}}},
};
// clang-format on

} // namespace

void offerMeterTypes(FormModel& f, double qmax)
{
    const double p = toNumber(f.text(F::PabsMax));
    const double q = qmax;
    const M medium = f.item<M>(F::Medium);
    for (const MeterTypeRule& rule : kMeterTypeRules) {
        if (!rule.media.has(medium))
            continue;
        for (const Envelope& e : rule.envelopes) {
            if (q >= e.qLow && q <= e.qHigh && p <= e.pMax) {
                f.addItem(F::MeterType, rule.item.toString());
                break;
            }
        }
    }
}
