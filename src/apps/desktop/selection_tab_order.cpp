#include "apps/desktop/selection_tab_order.h"

using F = Field;
using B = WindowButton;

const std::vector<TabStop>& readingTabOrder()
{
    // clang-format off
    static const std::vector<TabStop> order = {
        F::Medium, F::StdFlowMin, F::StdFlowMax,
        F::ZMode, F::ZnZgMin, F::ZnZgMax,
        F::PabsMin, F::PabsMax, B::GaugePressure, F::TempMin, F::TempMax,
        F::RefCondition,
        F::XCO2, F::Hs,
        F::XH2, F::RelDensity,
        B::ComputeFlow, F::CombinedAccuracy,
        F::MeterType, F::BaseOrigin, F::MechCounter,
        F::CardControl, F::Size, F::NominalPressure,
        F::BaseAccuracy, F::Corrector, F::Installation,
        F::Gprs, F::ShortRangeWireless, F::CurrentOutput,
        F::Hart, F::ExProof,
        F::CorrectionMode,
        F::PressSensorUpper, F::CorrectorAccuracy, F::DisplayFactor, F::SettlementUnit,
        F::CounterPulse, F::PipeConnection,
        B::Select, F::SelectionNo,
        B::Save, B::Print,
    };
    // clang-format on
    return order;
}
