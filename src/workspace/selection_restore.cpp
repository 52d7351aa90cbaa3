#include "workspace/selection_restore.h"

#include "core/form/numbers.h"
#include "core/form/selection_context.h"
#include "core/form/vocabulary.h"
#include "core/record/columns.h"
#include "core/steps/compose_model_code.h"
#include "core/steps/option_chain.h"
#include "core/steps/working_flow.h"

using F = Field;
using namespace vocab;

void restoreSelection(SelectionContext& w, const QStringList& row)
{
    FormModel& f = w.form;
    // the stored value of a field or a derived value
    auto stored = [&row](auto value) {
        const int column = columnOf(value);
        return column < row.size() ? row[column] : QString();
    };

    f.setText(F::SelectionNo, stored(F::SelectionNo));
    f.select(F::Medium, stored(F::Medium));
    f.setText(F::StdFlowMin, stored(F::StdFlowMin));
    f.setText(F::StdFlowMax, stored(F::StdFlowMax));
    f.select(F::ZMode, stored(F::ZMode));
    onZModeClicked(w);
    f.setText(F::ZnZgMin, stored(F::ZnZgMin));
    f.setText(F::ZnZgMax, stored(F::ZnZgMax));
    f.setText(F::PabsMin, stored(F::PabsMin));
    f.setText(F::PabsMax, stored(F::PabsMax));
    f.setText(F::TempMin, stored(F::TempMin));
    f.setText(F::TempMax, stored(F::TempMax));
    f.select(F::RefCondition, stored(F::RefCondition));
    f.setText(F::XCO2, stored(F::XCO2));
    f.setText(F::XH2, stored(F::XH2));
    f.setText(F::Hs, stored(F::Hs));
    f.setText(F::RelDensity, stored(F::RelDensity));
    computeWorkingFlow(w);

    const QString product = stored(Derived::ProductName);
    f.select(F::MeterType, product == RootsProduct || product == RotaryLobeProduct ? RotaryLobe : QStringView(product));
    onMeterTypeChanged(w);
    f.select(F::BaseOrigin, stored(F::BaseOrigin));
    onBaseOriginChanged(w);
    f.select(F::MechCounter, stored(F::MechCounter));
    onMechCounterChanged(w);
    f.select(F::CardControl, stored(F::CardControl));
    onCardControlChanged(w);
    f.select(F::Size, stored(F::Size));
    onSizeChanged(w);
    f.select(F::CombinedAccuracy, stored(F::CombinedAccuracy));
    onCombinedAccuracyClicked(w);
    f.select(F::BaseAccuracy, stored(F::BaseAccuracy));
    f.select(F::NominalPressure, stored(F::NominalPressure));
    f.select(F::Corrector, trimmed(stored(Derived::CorrectorModel)).isEmpty() ? No : Yes);
    onCorrectorChanged(w);
    // The corrector step sets the accuracies back; what was saved is chosen again,
    // so the selection comes back with the code it was saved with.
    f.select(F::CombinedAccuracy, stored(F::CombinedAccuracy));
    f.select(F::BaseAccuracy, stored(F::BaseAccuracy));
    if (!trimmed(stored(F::Installation)).isEmpty())
        f.select(F::Installation, stored(F::Installation));
    else
        f.setIndex(F::Installation, -1);
    f.select(F::Gprs, stored(F::Gprs));
    f.select(F::ShortRangeWireless, stored(F::ShortRangeWireless));
    f.select(F::CurrentOutput, stored(F::CurrentOutput));
    f.select(F::Hart, stored(F::Hart));
    f.select(F::ExProof, stored(F::ExProof));
    f.select(F::CorrectionMode, stored(F::CorrectionMode));
    f.select(F::PressSensorUpper, stored(F::PressSensorUpper));
    f.select(F::CorrectorAccuracy, stored(F::CorrectorAccuracy));
    f.select(F::DisplayFactor, stored(F::DisplayFactor));
    f.select(F::CounterPulse, stored(F::CounterPulse) == Yes ? Yes : No);
    f.select(F::PipeConnection, stored(F::PipeConnection));
    f.setText(F::ResultText, stored(Derived::ModelCode));
    if (!trimmed(stored(F::SettlementUnit)).isEmpty())
        f.select(F::SettlementUnit, trimmed(stored(F::SettlementUnit)));
    composeModelCode(w);
    // A result on screen always belongs to the current choices: a run that stopped
    // early does not leave the stored code standing.
    if (!w.pending)
        w.clearResult();
}
