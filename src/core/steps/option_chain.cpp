#include "core/steps/option_chain.h"

#include "core/form/numbers.h"
#include "core/rules/rule_match.h"
#include "core/form/selection_context.h"
#include "core/rules/size_list_rules.h"
#include "core/form/vocabulary.h"

#include <optional>
#include <span>

using F = Field;
using M = vocab::Medium;
using namespace vocab;

namespace {

// clang-format off

// The origin list and the mechanical-counter list: each offers the items of the
// first rule that holds for the medium, the meter type and the origin (an empty
// origin cell takes any).
struct ListRule {
    Media media;
    QStringView meterType;
    Texts origins;
    Texts items;
};

// The origins of the base meter by medium and meter type.
const ListRule kOriginRules[] = {
    {{M::CityGas, M::Air},                                 Turbine,    {}, {Domestic, Imported}},
    {{M::CityGas, M::Air},                                 RotaryLobe, {}, {Domestic, Imported}},
    {{M::OilField, M::CoalBed},                            Turbine,    {}, {Domestic}},
    {{M::OilField, M::CoalBed, M::Air, M::OxygenHydrogen}, Vortex,     {}, {Domestic}},
};

// The mechanical-counter list; "有" comes before "无" where both are offered.
const ListRule kCounterRules[] = {
    {{M::CityGas, M::Air},                                 Turbine,    {Domestic},           {Yes, No}},
    {{M::CityGas, M::Air},                                 Turbine,    {Imported},           {Yes}},
    {{M::CityGas, M::Air},                                 RotaryLobe, {Domestic, Imported}, {Yes, No}},
    {{M::OilField, M::CoalBed},                            Turbine,    {Domestic},           {No}},
    {{M::OilField, M::CoalBed, M::Air, M::OxygenHydrogen}, Vortex,     {Domestic},           {No}},
};

// The card-control list: each item is offered when any of its limits holds (an
// item without limits always is). Every list begins with "无".
struct CardItem {
    QStringView card;
    std::initializer_list<Limits> when;
};

struct CardRule {
    Media media;
    Texts meterTypes;
    Texts origins;
    Texts counters;
    std::initializer_list<CardItem> items;
};

const CardRule kCardRules[] = {
    {{M::CityGas},                     {Turbine},    {Domestic},           {Yes}, {{CardNone, {}}, {CardSplit,      {{2500, 800}}}}},
    {{M::CityGas},                     {Turbine},    {Domestic},           {No},  {{CardNone, {}}, {CardIntegrated, {{2500, 800}}}}},
    {{M::CityGas},                     {Turbine},    {Imported},           {Yes}, {{CardNone, {}}, {CardSplit,      {{2500, 800}}}}},
    {{M::CityGas},                     {RotaryLobe}, {Domestic, Imported}, {Yes}, {{CardNone, {}}, {CardIntegrated, {{kNoLimit, 800}}},
                                                                         {CardSplit,      {{kNoLimit, 800}}}}},
    {{M::CityGas},                     {RotaryLobe}, {Domestic, Imported}, {No},  {{CardNone, {}}, {CardIntegrated, {{kNoLimit, 800}}}}},
    {{M::OilField, M::OxygenHydrogen}, {Vortex},     {Domestic},           {No},  {{CardNone, {}}, {CardIntegrated, {{150, 800}, {800, 400}, {3600, 250}}}}},
    {{M::OilField, M::CoalBed},        {Turbine},    {Domestic},           {No},  {{CardNone, {}}}},
    {{M::CoalBed},                     {Vortex},     {Domestic},           {No},  {{CardNone, {}}}},
    {{M::Air},                         {},           {},                   {},    {{CardNone, {}}}},
};

// clang-format on

// The chain goes on: the first item of the rebuilt list is chosen and the next step
// runs; an empty list ends the chain at this level.
void continueChain(SelectionContext& w, Field list, void (*next)(SelectionContext&))
{
    if (w.form.count(list) == 0)
        return;
    w.form.setIndex(list, 0);
    next(w);
}

// A choice in the chain: `list` and the lists below it are emptied, `list` is refilled
// from its rules and the chain goes on.
void refillFromRules(SelectionContext& w, Field list, std::span<const ListRule> rules, void (*next)(SelectionContext&))
{
    FormModel& f = w.form;
    emptyChainFrom(f, list);
    w.clearResult();
    const M medium = f.item<M>(F::Medium);
    const QString meterType = f.text(F::MeterType);
    const QString origin = f.text(F::BaseOrigin);
    for (const ListRule& rule : rules) {
        if (rule.media.has(medium) && meterType == rule.meterType && matches(rule.origins, origin)) {
            for (QStringView item : rule.items)
                f.addItem(list, item.toString());
            break;
        }
    }
    continueChain(w, list, next);
}

} // namespace

void emptyChainFrom(FormModel& f, Field first)
{
    const Field chain[] = {F::MeterType, F::BaseOrigin, F::MechCounter, F::CardControl, F::Size, F::NominalPressure};
    bool emptying = false;
    for (Field l : chain) {
        emptying = emptying || l == first;
        if (emptying)
            f.clearItems(l);
    }
}

void onGasInputChanged(SelectionContext& w)
{
    FormModel& f = w.form;
    emptyChainFrom(f, F::MeterType);
    f.setText(F::WorkFlowMin, QString());
    f.setText(F::WorkFlowMax, QString());
    w.clearResult();
    f.select(F::CombinedAccuracy, vocab::Class15);
    f.select(F::BaseAccuracy, vocab::Class10);
    const M medium = f.item<M>(F::Medium);
    const bool oilOrCoal = medium == M::OilField || medium == M::CoalBed;
    f.select(F::CorrectorAccuracy, oilOrCoal ? vocab::Class10 : vocab::Class05);
}

void onMeterTypeChanged(SelectionContext& w)
{
    refillFromRules(w, F::BaseOrigin, kOriginRules, onBaseOriginChanged);
}

void onBaseOriginChanged(SelectionContext& w)
{
    refillFromRules(w, F::MechCounter, kCounterRules, onMechCounterChanged);
}

void onMechCounterChanged(SelectionContext& w)
{
    FormModel& f = w.form;
    emptyChainFrom(f, F::CardControl);
    w.clearResult();
    const M medium = f.item<M>(F::Medium);
    // PabsMax is read, as shown, only when a condition needs it
    std::optional<double> pabsMax;
    auto pressure = [&] {
        if (!pabsMax)
            pabsMax = toNumber(f.text(F::PabsMax));
        return *pabsMax;
    };
    const double qmax = w.flows.qmax;
    const QString meterType = f.text(F::MeterType);
    const QString origin = f.text(F::BaseOrigin);
    const QString counter = f.text(F::MechCounter);
    for (const CardRule& rule : kCardRules) {
        if (!rule.media.has(medium) || !matches(rule.meterTypes, meterType) || !matches(rule.origins, origin)
            || !matches(rule.counters, counter))
            continue;
        for (const CardItem& item : rule.items) {
            bool offered = item.when.size() == 0;
            for (const Limits& l : item.when) {
                if (qmax <= l.qMax && pressure() <= l.pMax) {
                    offered = true;
                    break;
                }
            }
            if (offered)
                f.addItem(F::CardControl, item.card.toString());
        }
        break;
    }
    continueChain(w, F::CardControl, onCardControlChanged);
}

void onCombinedAccuracyClicked(SelectionContext& w)
{
    FormModel& f = w.form;
    w.clearResult();
    if (f.text(F::CombinedAccuracy) == vocab::Class10) {
        f.setEnabled(F::BaseAccuracy, true);
        f.select(F::BaseAccuracy, vocab::Class10);
        if (f.enabled(F::CorrectorAccuracy)) {
            f.select(F::CorrectorAccuracy, vocab::Class05);
            f.setEnabled(F::CorrectorAccuracy, false);
        }
        return;
    }
    f.select(F::BaseAccuracy, vocab::Class10);
    f.setEnabled(F::BaseAccuracy, false);
    const bool noCard = f.text(F::CardControl) == vocab::CardNone;
    f.select(F::CorrectorAccuracy, noCard ? vocab::Class10 : vocab::Class05);
    f.setEnabled(F::CorrectorAccuracy, noCard);
}

void onCorrectorChanged(SelectionContext& w)
{
    FormModel& f = w.form;
    w.clearResult();
    const M medium = f.item<M>(F::Medium);
    if (trimmed(f.text(F::Corrector)) == vocab::Yes) {
        if (f.enabled(F::CorrectorAccuracy))
            f.select(F::CorrectorAccuracy, vocab::Class05);
        else if (f.text(F::CombinedAccuracy) == vocab::Class10 && f.index(F::CorrectorAccuracy) < 0)
            f.select(F::CorrectorAccuracy, vocab::Class05);
        f.select(F::CorrectionMode, vocab::ModeAuto);
        f.select(F::DisplayFactor, vocab::No);
        if (f.firstChosen(F::CardControl)) {
            f.select(F::ExProof, vocab::IntrinsicSafe);
            for (Field output : {F::Gprs, F::ShortRangeWireless, F::CurrentOutput, F::Hart})
                f.select(output, vocab::No);
            f.select(F::CorrectorAccuracy, vocab::Class05);
            f.select(F::DisplayFactor, vocab::No);
            for (Field g : {F::CurrentOutput, F::Gprs, F::ShortRangeWireless, F::Hart, F::ExProof,
                            F::CorrectorAccuracy, F::DisplayFactor})
                f.setEnabled(g, true);
        }
        if (f.text(F::CardControl) != vocab::CardSplit) {
            if (f.index(F::CombinedAccuracy) < 0)
                f.select(F::CombinedAccuracy, vocab::Class15);
            f.setEnabled(F::CombinedAccuracy, true);
            onCombinedAccuracyClicked(w);
        }
        f.setEnabled(F::CorrectionMode, true);
        f.setEnabled(F::PressSensorUpper, true);
        if (f.text(F::CardControl) != vocab::CardNone)
            f.setEnabled(F::SettlementUnit, true);
        f.select(F::CounterPulse, vocab::No);
        f.setEnabled(F::CounterPulse, false);
        return;
    }

    // no corrector: its own groups close
    for (Field g : {F::CorrectorAccuracy, F::CorrectionMode, F::ExProof})
        f.setIndex(g, -1);
    for (Field g : {F::DisplayFactor, F::Gprs, F::ShortRangeWireless, F::CurrentOutput, F::Hart})
        f.select(g, vocab::No);
    if (medium == M::CityGas) {
        f.setIndex(F::CombinedAccuracy, -1);
        f.setEnabled(F::CombinedAccuracy, false);
    } else {
        f.select(F::CombinedAccuracy, vocab::Class15);
        f.setEnabled(F::CombinedAccuracy, true);
    }
    f.setIndex(F::CorrectorAccuracy, -1);
    f.setEnabled(F::CorrectorAccuracy, false);
    f.setEnabled(F::BaseAccuracy, true);
    if (medium == M::OilField) {
        f.setEnabled(F::CurrentOutput, true);
    } else {
        f.setEnabled(F::CurrentOutput, false);
        f.setIndex(F::CurrentOutput, -1);
    }
    for (Field g : {F::Gprs, F::ShortRangeWireless, F::Hart, F::ExProof, F::CorrectionMode, F::PressSensorUpper,
                    F::CorrectorAccuracy, F::DisplayFactor, F::SettlementUnit})
        f.setEnabled(g, false);
    if (trimmed(f.text(F::MeterType)) == vocab::RotaryLobe) {
        f.select(F::CounterPulse, vocab::No);
        f.setEnabled(F::CounterPulse, true);
    }
}

void onOptionClicked(SelectionContext& w)
{
    w.clearResult();
}
