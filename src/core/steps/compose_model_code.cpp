#include "core/steps/compose_model_code.h"

#include "core/form/numbers.h"
#include "core/form/selection_context.h"
#include "core/form/vocabulary.h"
#include "core/modelcode/composers.h"
#include "core/modelcode/model_code.h"
#include "core/ports/platform.h"
#include "core/record/selection_record.h"

using F = Field;
using namespace vocab;

namespace {

const QString kComputeFirst = QStringLiteral("请先计算工况流量，再选型操作！");
const QString kChoicesIncomplete = QStringLiteral("选型内容不全，无法选型！");

// The composer of the chosen meter type, where the medium has one for it.
QString compose(ModelCode& m, std::initializer_list<QStringView> typesOfMedium)
{
    const QString type = m.form().text(F::MeterType);
    for (QStringView t : typesOfMedium) {
        if (type != t)
            continue;
        if (t == Turbine)
            return composeTurbine(m);
        if (t == RotaryLobe)
            return composeRotaryLobe(m);
        return composeVortex(m);
    }
    return QString();
}

// The medium decides the composers and the options set before them.
QString dispatch(ModelCode& m)
{
    FormModel& f = m.form();
    switch (m.medium()) {
    case Medium::CityGas: m.set(F::Hart, No); return compose(m, {Turbine, RotaryLobe});
    case Medium::OilField:
        m.set(F::ExProof, Flameproof);
        m.set({F::Gprs, F::ShortRangeWireless}, No);
        return compose(m, {Turbine, Vortex});
    case Medium::CoalBed:
        if (!f.chosen(F::Corrector, Corrector::Yes))
            m.refuse(kNoCorrector);
        m.firstMode();
        m.set({F::CurrentOutput, F::Gprs, F::ShortRangeWireless, F::Hart, F::DisplayFactor, F::CounterPulse}, No);
        m.set(F::PipeConnection, Flange);
        m.set(F::ExProof, Flameproof);
        return compose(m, {Turbine, Vortex});
    case Medium::Air: return compose(m, {Turbine, RotaryLobe, Vortex});
    case Medium::OxygenHydrogen:
        // the only type offered for this medium, taken by its position
        return f.firstChosen(F::MeterType) ? composeVortex(m) : QString();
    default: return QString();
    }
}

bool specialRequirement(const FormModel& f)
{
    return (trimmed(f.text(F::Corrector)) == Yes && f.chosen(F::CombinedAccuracy, CombinedAccuracy::Class10))
        || f.chosen(F::BaseAccuracy, BaseAccuracy::Class05)
        || (f.text(F::CardControl) != CardNone && f.text(F::PressSensorUpper) == u"0.9");
}

} // namespace

void composeModelCode(SelectionContext& w)
{
    FormModel& f = w.form;
    w.pending.reset();
    if (trimmed(f.text(F::WorkFlowMin)).isEmpty() || trimmed(f.text(F::WorkFlowMax)).isEmpty()) {
        w.ui().showBox(MessageKind::Information, kComputeFirst);
        return;
    }
    for (Field choice :
        {F::Size, F::NominalPressure, F::Corrector, F::CardControl, F::MechCounter, F::BaseOrigin, F::MeterType}) {
        if (f.text(choice).isEmpty()) {
            w.ui().showBox(MessageKind::Information, kChoicesIncomplete);
            return;
        }
    }
    w.clearResult();
    w.correctorModel.clear();

    ModelCode m(w.form);
    QString code;
    try {
        code = dispatch(m);
    } catch (const CommandStopped& stopped) {
        if (stopped.box == CommandStopped::Box::Plain)
            w.ui().plainMessage(stopped.text);
        else
            w.ui().showBox(MessageKind::Information, stopped.text);
        if (stopped.focus)
            w.ui().setFocus(fieldName(*stopped.focus));
        w.clearResult();
        return;
    }
    // The options were set before the code is shown: setting a group empties the result.
    if (trimmed(code).isEmpty()) {
        w.clearResult();
        return;
    }
    if (f.chosen(F::SettlementUnit, SettlementUnit::Money))
        code += codeSuffix(CodeSuffixId::SettlementInMoney);
    if (specialRequirement(f))
        code += codeSuffix(CodeSuffixId::SpecialRequirement);
    f.setText(F::ResultText, code);
    w.correctorModel = m.correctorModel;
    w.pending = toRow(snapshot(f, w.correctorModel));
}
