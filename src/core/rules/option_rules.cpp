#include "core/rules/option_rules.h"

#include "core/form/form_model.h"
#include "core/form/numbers.h"
#include "core/form/vocabulary.h"
#include "core/rules/rule_match.h"

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

// Adds the items of the first rule that holds for the medium, the meter type and
// the origin.
void offerFromRules(FormModel& f, Field list, std::span<const ListRule> rules)
{
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
}

} // namespace

void offerBaseOrigins(FormModel& f)
{
    offerFromRules(f, F::BaseOrigin, kOriginRules);
}

void offerMechCounters(FormModel& f)
{
    offerFromRules(f, F::MechCounter, kCounterRules);
}

void offerCardControls(FormModel& f, double qmax)
{
    const M medium = f.item<M>(F::Medium);
    // PabsMax is read, as shown, only when a condition needs it
    std::optional<double> pabsMax;
    auto pressure = [&] {
        if (!pabsMax)
            pabsMax = toNumber(f.text(F::PabsMax));
        return *pabsMax;
    };
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
}
