#include "workspace/selection_restore.h"

#include "core/rules/cascade.h"
#include "core/form/numbers.h"
#include "core/modelcode/selection_command.h"
#include "core/form/selection_context.h"
#include "core/rules/size_candidates.h"
#include "core/form/vocabulary.h"
#include "workspace/working_flow.h"

using F = Field;
using namespace vocab;

void restoreSelection(SelectionContext& w, const QStringList& row)
{
    FormModel& f = w.form;
    // column k of the table (counted from 1)
    auto col = [&row](int k) { return k - 1 < row.size() ? row[k - 1] : QString(); };

    f.setText(F::SelectionNo, col(1));
    f.select(F::Medium, col(3));
    f.setText(F::StdFlowMin, col(4));
    f.setText(F::StdFlowMax, col(5));
    f.select(F::ZMode, col(6));
    RadioGroup10Click(w);
    f.setText(F::ZnZgMin, col(7));
    f.setText(F::ZnZgMax, col(8));
    f.setText(F::PabsMin, col(9));
    f.setText(F::PabsMax, col(10));
    f.setText(F::TempMin, col(11));
    f.setText(F::TempMax, col(12));
    f.select(F::RefCondition, col(13));
    f.setText(F::XCO2, col(14));
    f.setText(F::XH2, col(15));
    f.setText(F::Hs, col(16));
    f.setText(F::RelDensity, col(17));
    GroupBox3Enter(w);

    const QString product = col(22);
    f.select(F::MeterType, product == RootsProduct || product == RotaryLobeProduct ? RotaryLobe : QStringView(product));
    ComboBox12Change(w);
    f.select(F::BaseOrigin, col(23));
    ComboBox13Change(w);
    f.select(F::MechCounter, col(24));
    ComboBox14Change(w);
    f.select(F::CardControl, col(25));
    ComboBox15Change(w);
    f.select(F::SizeSpec, col(44));
    ComboBox16Change(w);
    f.select(F::CombinedAccuracy, col(19));
    RadioGroup8Click(w);
    f.select(F::BaseAccuracy, col(28));
    f.select(F::NominalPressure, col(27));
    f.select(F::Corrector, trimmed(col(29)).isEmpty() ? No : Yes);
    ComboBox2Change(w);
    // The corrector step sets the accuracies back; what was saved is chosen again,
    // so the selection comes back with the code it was saved with.
    f.select(F::CombinedAccuracy, col(19));
    f.select(F::BaseAccuracy, col(28));
    if (!trimmed(col(30)).isEmpty())
        f.select(F::Installation, col(30));
    else
        f.setIndex(F::Installation, -1);
    f.select(F::Gprs, col(31));
    f.select(F::ShortRangeWireless, col(32));
    f.select(F::CurrentOutput, col(33));
    f.select(F::Hart, col(34));
    f.select(F::ExProof, col(35));
    f.select(F::CorrectionMode, col(36));
    f.select(F::PressSensorUpper, col(39));
    f.select(F::CorrectorAccuracy, col(40));
    f.select(F::DisplayFactor, col(41));
    f.select(F::CounterPulse, col(42) == Yes ? Yes : No);
    f.select(F::PipeConnection, col(43));
    f.setText(F::ResultText, col(2));
    if (!trimmed(col(18)).isEmpty())
        f.select(F::SettlementUnit, trimmed(col(18)));
    BitBtn1Click(w);
    // A result on screen always belongs to the current choices: a run that stopped
    // early does not leave the stored code standing.
    if (!w.pending)
        w.clearResult();
}
