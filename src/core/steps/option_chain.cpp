#include "core/steps/option_chain.h"

#include "core/form/numbers.h"
#include "core/form/selection_context.h"
#include "core/form/vocabulary.h"
#include "core/ports/platform.h"
#include "core/rules/meter_type_rules.h"
#include "core/rules/option_rules.h"
#include "core/rules/rating_rules.h"
#include "core/rules/sensor_ranges.h"
#include "core/rules/size_list_rules.h"

#include <optional>

using F = Field;
using M = vocab::Medium;
using namespace vocab;

namespace {

const QString kNoSizeFits = QStringLiteral("没有满足流量范围的规格型号仪表，请调整！");

void setOutputs(FormModel& f, bool enabled)
{
    for (Field output : {F::Gprs, F::ShortRangeWireless, F::CurrentOutput, F::Hart})
        f.select(output, No);
    f.select(F::ExProof, IntrinsicSafe);
    for (Field g : {F::Gprs, F::ShortRangeWireless, F::CurrentOutput, F::Hart, F::ExProof})
        f.setEnabled(g, enabled);
}

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
void refillFromRules(SelectionContext& w, Field list, void (*offer)(FormModel&), void (*next)(SelectionContext&))
{
    emptyChainFrom(w.form, list);
    w.clearResult();
    offer(w.form);
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

void fillMeterTypes(SelectionContext& w)
{
    FormModel& f = w.form;
    offerMeterTypes(f, w.flows.qmax);
    if (f.count(F::MeterType) == 0)
        return;
    const M medium = f.item<M>(F::Medium);
    const bool preferSecond = medium == M::CityGas || medium == M::Air;
    f.setIndex(F::MeterType, preferSecond && f.count(F::MeterType) >= 2 ? 1 : 0);
    onMeterTypeChanged(w);
}

void onMeterTypeChanged(SelectionContext& w)
{
    refillFromRules(w, F::BaseOrigin, offerBaseOrigins, onBaseOriginChanged);
}

void onBaseOriginChanged(SelectionContext& w)
{
    refillFromRules(w, F::MechCounter, offerMechCounters, onMechCounterChanged);
}

void onMechCounterChanged(SelectionContext& w)
{
    FormModel& f = w.form;
    emptyChainFrom(f, F::CardControl);
    w.clearResult();
    offerCardControls(f, w.flows.qmax);
    continueChain(w, F::CardControl, onCardControlChanged);
}

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

    if (const std::optional<SizeListChoice> rule = sizeListFor(f)) {
        if (rule->mark == SizeListMark::ClosesSettlementUnit) {
            f.setIndex(F::SettlementUnit, -1);
            f.setEnabled(F::SettlementUnit, false);
        } else if (rule->mark == SizeListMark::OpensInstallation) {
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

void onSizeChanged(SelectionContext& w)
{
    FormModel& f = w.form;
    f.clearItems(F::NominalPressure);
    w.clearResult();

    offerNominalPressures(f);
    if (f.count(F::NominalPressure) > 0)
        f.setIndex(F::NominalPressure, 0);

    // emptied first: a bore that cannot be read ends the step with the list empty
    f.clearItems(F::PressSensorUpper);
    const double pabsMax = toNumberTrimmed(f.text(F::PabsMax));
    fillSensorRanges(f, pabsMax, sensorScaleOf(f));

    const bool smallRotaryLobe = f.text(F::Size).contains(u"25RKD-G10");
    f.select(F::PipeConnection, Flange);
    f.setEnabled(F::PipeConnection, smallRotaryLobe && f.text(F::CardControl) == CardNone);

    if (f.count(F::Corrector) > 0) {
        f.setIndex(F::Corrector, 0);
        onCorrectorChanged(w);
    }
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
            for (Field g : {F::CurrentOutput, F::Gprs, F::ShortRangeWireless, F::Hart, F::ExProof, F::CorrectorAccuracy,
                     F::DisplayFactor})
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
