#include "workspace/selection_window.h"

#include "core/form/numbers.h"
#include "core/ports/platform.h"
#include "core/steps/compose_model_code.h"
#include "core/steps/option_chain.h"
#include "core/steps/working_flow.h"

using F = Field;

SelectionWindow::SelectionWindow(Platform& ui)
    : m_context(ui)
{
    wireHandlers();
}

QString SelectionWindow::caption() const
{
    return m_windowNumber > 0 ? QStringLiteral("流量计选型-%1").arg(m_windowNumber) : QString();
}

void SelectionWindow::wireHandlers()
{
    FormModel& f = m_context.form;
    SelectionContext& w = m_context;

    // Every gas and flow input empties the chain.
    for (Field input : {F::Medium, F::StdFlowMin, F::StdFlowMax, F::PabsMin, F::PabsMax, F::TempMin, F::TempMax,
             F::RefCondition, F::XCO2, F::XH2, F::Hs, F::RelDensity, F::ZnZgMin, F::ZnZgMax})
        f.setStep(input, [&w] { onGasInputChanged(w); });
    f.setExitStep(F::Medium, [&w] { onMediumLeft(w); });
    f.setStep(F::ZMode, [&w] { onZModeClicked(w); });

    f.setStep(F::MeterType, [&w] { onMeterTypeChanged(w); });
    f.setStep(F::BaseOrigin, [&w] { onBaseOriginChanged(w); });
    f.setStep(F::MechCounter, [&w] { onMechCounterChanged(w); });
    f.setStep(F::CardControl, [&w] { onCardControlChanged(w); });
    f.setStep(F::Size, [&w] { onSizeChanged(w); });
    f.setStep(F::Corrector, [&w] { onCorrectorChanged(w); });
    f.setStep(F::CombinedAccuracy, [&w] { onCombinedAccuracyClicked(w); });

    for (Field option : {F::NominalPressure, F::BaseAccuracy, F::Installation, F::Gprs, F::ShortRangeWireless,
             F::CurrentOutput, F::Hart, F::ExProof, F::CorrectionMode, F::PressSensorUpper, F::CorrectorAccuracy,
             F::DisplayFactor, F::SettlementUnit, F::PipeConnection, F::CounterPulse})
        f.setStep(option, [&w] { onOptionClicked(w); });
}

void SelectionWindow::dispatch(const std::function<void()>& handler)
{
    try {
        handler();
    } catch (const GeneralError& e) {
        m_context.ui().generalError(e.message());
    }
}

void SelectionWindow::type(Field f, const QString& keys)
{
    dispatch([&] {
        const QString typed = typeKeys(fieldControl(f).filter, form().text(f), keys, m_context.ui());
        form().setText(f, typed);
    });
}

void SelectionWindow::paste(Field f, const QString& text)
{
    dispatch([&] { form().setText(f, text.left(kMaxEditLength)); });
}

void SelectionWindow::choose(Field f, int index)
{
    dispatch([&] {
        FormModel& form = m_context.form;
        if (form.kind(f) == ControlKind::List) {
            form.setIndex(f, index);
            form.runStep(f); // a user's choice runs the change step even for the same item
        } else {
            form.setIndex(f, index);
        }
    });
}

void SelectionWindow::leave(Field f)
{
    dispatch([&] { form().runExitStep(f); });
}

void SelectionWindow::clickComputeFlow()
{
    dispatch([&] { computeWorkingFlow(m_context); });
}

void SelectionWindow::clickSelect()
{
    dispatch([&] { composeModelCode(m_context); });
}
