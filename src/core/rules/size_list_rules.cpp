#include "core/rules/size_list_rules.h"

#include "core/rules/rating_rules.h"
#include "core/steps/option_chain.h"
#include "core/ports/platform.h"
#include "core/rules/rule_match.h"
#include "core/form/selection_context.h"
#include "core/rules/size_tables.h"
#include "core/form/vocabulary.h"

using F = Field;
using M = vocab::Medium;
using namespace vocab;

namespace {

const QString kNoSizeFits = QStringLiteral("没有满足流量范围的规格型号仪表，请调整！");

enum class SizeList { None, TurbineFull, TurbineShort, Domestic0, Domestic1, Domestic2, Imported0, Imported1, Imported2, Vortex0, Vortex1 };

// Marks of a row: S, the settlement unit is closed; I, the installation is opened
// with "水平" (both before the list is filled).
enum Mark { NoMark, S, I };

struct SizeListRule {
    Media media;
    QStringView meterType;
    Texts origins;
    Texts counters;
    Texts cards;
    SizeList list;
    Mark mark;
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

void setOutputs(FormModel& f, bool enabled)
{
    for (Field output : {F::Gprs, F::ShortRangeWireless, F::CurrentOutput, F::Hart})
        f.select(output, No);
    f.select(F::ExProof, IntrinsicSafe);
    for (Field g : {F::Gprs, F::ShortRangeWireless, F::CurrentOutput, F::Hart, F::ExProof})
        f.setEnabled(g, enabled);
}

} // namespace

void onCardControlChanged(SelectionContext& w)
{
    FormModel& f = w.form;
    f.setIndex(F::Installation, -1);
    f.setEnabled(F::Installation, false);
    f.setIndex(F::SettlementUnit, 0);
    f.setEnabled(F::SettlementUnit, true);
    f.clearItems(F::Size);
    f.clearItems(F::NominalPressure);
    w.clearResult();

    if (const SizeListRule* rule = sizeListRule(f)) {
        if (rule->mark == S) {
            f.setIndex(F::SettlementUnit, -1);
            f.setEnabled(F::SettlementUnit, false);
        } else if (rule->mark == I) {
            f.setEnabled(F::Installation, true);
            f.setIndex(F::Installation, 0);
        }
        if (!fillSizeList(f, rule->list, w.flows.qmin, w.flows.qmax)) {
            f.clearItems(F::NominalPressure);
            w.clearResult();
            w.ui().plainMessage(kNoSizeFits);
            w.ui().setFocus(fieldName(F::StdFlowMin));
            return;
        }
    }

    const QString card = f.text(F::CardControl);
    if (card != CardNone && f.text(F::MeterType).contains(u"腰轮(罗茨)")) {
        f.setEnabled(F::Installation, true);
        f.setIndex(F::Installation, 0);
    }
    if (card != CardNone) {
        f.select(F::CorrectorAccuracy, Class05);
        f.setEnabled(F::CorrectorAccuracy, false);
        f.select(F::DisplayFactor, No);
        f.setEnabled(F::DisplayFactor, false);
        if (f.index(F::CombinedAccuracy) < 0)
            f.select(F::CombinedAccuracy, Class15);
        f.setEnabled(F::CombinedAccuracy, true);
        if (f.text(F::CombinedAccuracy) == Class15) {
            f.select(F::BaseAccuracy, Class10);
            f.setEnabled(F::BaseAccuracy, false);
        }
        f.setItems(F::Corrector, {Yes.toString()});
        setOutputs(f, false);
    } else {
        if (f.text(F::CombinedAccuracy) == Class15) {
            f.select(F::CorrectorAccuracy, Class05);
            f.setEnabled(F::CorrectorAccuracy, true);
        }
        f.select(F::DisplayFactor, No);
        f.setEnabled(F::DisplayFactor, true);
        f.setItems(F::Corrector, {Yes.toString(), No.toString()});
        setOutputs(f, true);
    }
    if (card == CardSplit) {
        f.setIndex(F::CombinedAccuracy, -1);
        f.setEnabled(F::CombinedAccuracy, false);
        f.select(F::BaseAccuracy, Class10);
        f.setEnabled(F::BaseAccuracy, true);
    } else {
        f.select(F::CombinedAccuracy, Class15);
        f.setEnabled(F::CombinedAccuracy, true);
    }

    if (f.count(F::Size) > 0) {
        f.setIndex(F::Size, 0);
        onSizeChanged(w);
        if (f.count(F::NominalPressure) > 0)
            f.setIndex(F::NominalPressure, 0);
    }
}
