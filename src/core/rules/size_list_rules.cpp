#include "core/rules/size_list_rules.h"

#include "core/form/form_model.h"
#include "core/form/vocabulary.h"
#include "core/rules/rule_match.h"
#include "core/rules/size_tables.h"

using F = Field;
using M = vocab::Medium;
using namespace vocab;

namespace {

// Marks of a row: S, the settlement unit is closed; I, the installation is opened
// with "水平" (both before the list is filled).
constexpr SizeListMark NoMark = SizeListMark::None;
constexpr SizeListMark S = SizeListMark::ClosesSettlementUnit;
constexpr SizeListMark I = SizeListMark::OpensInstallation;

struct SizeListRule {
    Media media;
    QStringView meterType;
    Texts origins;
    Texts counters;
    Texts cards;
    SizeList list;
    SizeListMark mark;
};

// clang-format off
const SizeListRule kSizeListRules[] = {
    {{M::CityGas},                                 Turbine,    {},         {},    {CardNone},                   SizeList::TurbineFull,  S},
    {{M::CityGas},                                 Turbine,    {Domestic}, {Yes}, {CardIntegrated, CardSplit},  SizeList::TurbineShort, NoMark},
    {{M::CityGas},                                 Turbine,    {Domestic}, {No},  {CardIntegrated},             SizeList::TurbineShort, NoMark},
    {{M::CityGas},                                 Turbine,    {Imported}, {Yes}, {CardSplit},                  SizeList::TurbineShort, NoMark},
    {{M::CityGas},                                 RotaryLobe, {Domestic}, {},    {CardNone},                   SizeList::Domestic0,    S},
    {{M::CityGas},                                 RotaryLobe, {Domestic}, {Yes}, {CardIntegrated},             SizeList::Domestic1,    I},
    {{M::CityGas},                                 RotaryLobe, {Domestic}, {No},  {CardIntegrated},             SizeList::Domestic1,    NoMark},
    {{M::CityGas},                                 RotaryLobe, {Domestic}, {Yes}, {CardSplit},                  SizeList::Domestic2,    I},
    {{M::CityGas},                                 RotaryLobe, {Imported}, {},    {CardNone},                   SizeList::Imported0,    S},
    {{M::CityGas},                                 RotaryLobe, {Imported}, {},    {CardIntegrated},             SizeList::Imported1,    I},
    {{M::CityGas},                                 RotaryLobe, {Imported}, {Yes}, {CardSplit},                  SizeList::Imported2,    I},
    {{M::OilField, M::CoalBed},                    Turbine,    {Domestic}, {No},  {CardNone},                   SizeList::TurbineFull,  S},
    {{M::OilField, M::CoalBed, M::OxygenHydrogen}, Vortex,     {Domestic}, {No},  {CardNone},                   SizeList::Vortex0,      S},
    {{M::OilField, M::OxygenHydrogen},             Vortex,     {},         {},    {CardIntegrated},             SizeList::Vortex1,      NoMark},
    {{M::Air},                                     Turbine,    {},         {},    {CardNone},                   SizeList::TurbineFull,  S},
    {{M::Air},                                     RotaryLobe, {Domestic}, {},    {CardNone},                   SizeList::Domestic0,    S},
    {{M::Air},                                     RotaryLobe, {Imported}, {},    {CardNone},                   SizeList::Imported0,    S},
    {{M::Air},                                     Vortex,     {Domestic}, {No},  {CardNone},                   SizeList::Vortex0,      S},
};
// clang-format on

const SizeListRule* sizeListRule(const FormModel& f)
{
    const M medium = f.item<M>(F::Medium);
    const QString meterType = f.text(F::MeterType);
    const QString origin = f.text(F::BaseOrigin);
    const QString counter = f.text(F::MechCounter);
    const QString card = f.text(F::CardControl);
    for (const SizeListRule& rule : kSizeListRules) {
        if (rule.media.has(medium) && meterType == rule.meterType && matches(rule.origins, origin)
            && matches(rule.counters, counter) && matches(rule.cards, card))
            return &rule;
    }
    return nullptr;
}

} // namespace

std::optional<SizeListChoice> sizeListFor(const FormModel& f)
{
    if (const SizeListRule* rule = sizeListRule(f))
        return SizeListChoice {rule->list, rule->mark};
    return std::nullopt;
}

bool fillSizeList(FormModel& f, SizeList list, float qmin, float qmax)
{
    switch (list) {
    case SizeList::TurbineFull: return fitTurbineSizes(f, true, qmin, qmax);
    case SizeList::TurbineShort: return fitTurbineSizes(f, false, qmin, qmax);
    case SizeList::Domestic0: return fitDomesticRotaryLobeSizes(f, 0, qmin, qmax);
    case SizeList::Domestic1: return fitDomesticRotaryLobeSizes(f, 1, qmin, qmax);
    case SizeList::Domestic2: return fitDomesticRotaryLobeSizes(f, 2, qmin, qmax);
    case SizeList::Imported0: return fitRootsSizes(f, 0, qmin, qmax);
    case SizeList::Imported1: return fitRootsSizes(f, 1, qmin, qmax);
    case SizeList::Imported2: return fitRootsSizes(f, 2, qmin, qmax);
    case SizeList::Vortex0: return fitVortexSizes(f, 0, qmin, qmax);
    case SizeList::Vortex1: return fitVortexSizes(f, 1, qmin, qmax);
    case SizeList::None: break;
    }
    return false;
}
