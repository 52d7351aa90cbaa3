// Vortex-precession meters: PWX (corrector in the meter), PWXC (integrated card
// controller), MQE (no corrector, oil-field gas), SJN (coal-bed gas).
#include "core/form/form_model.h"
#include "core/form/vocabulary.h"
#include "core/modelcode/composers.h"
#include "core/modelcode/model_code.h"

using F = Field;
using namespace vocab;

namespace {

const QString kCardController = QStringLiteral("CPU卡流量补偿控制仪");
const QString kPwx = QStringLiteral("PWX流量补偿仪");

// PWX with its corrector: "-H-" with HART (the current output comes with it),
// "-I-" with a current output.
QString pwx(ModelCode& m)
{
    m.correctorModel = kPwx;
    if (m.yes(F::Hart)) {
        m.set(F::CurrentOutput, Yes);
        return m.expand(CodeTemplateId::PwxHart);
    }
    if (m.yes(F::CurrentOutput))
        return m.expand(CodeTemplateId::PwxCurrent);
    return m.expand(CodeTemplateId::Pwx);
}

QString oilField(ModelCode& m)
{
    if (!m.is(F::CardControl, CardNone)) {
        m.set({F::DisplayFactor, F::CounterPulse, F::Gprs, F::ShortRangeWireless, F::CurrentOutput}, No);
        m.set(F::PipeConnection, Flange);
        m.requireCorrector();
        m.set(F::Hart, No);
        m.correctorModel = kCardController;
        return m.expand(CodeTemplateId::PwxcMode);
    }
    m.firstMode();
    QString code;
    if (m.correctorFitted()) {
        m.set(F::CorrectorAccuracy, Class05);
        m.set(F::ExProof, Flameproof);
        code = pwx(m);
    } else {
        code = m.oilFieldWithoutCorrector(CodeTemplateId::MqeCurrent, CodeTemplateId::Mqe);
    }
    m.plainEnd();
    return code;
}

QString coalBed(ModelCode& m)
{
    if (!m.is(F::CardControl, CardNone))
        return QString();
    m.correctorModel = QStringLiteral("SJN流量补偿仪");
    return m.expand(CodeTemplateId::Sjn);
}

QString air(ModelCode& m)
{
    if (!m.is(F::CardControl, CardNone))
        return QString();
    m.plainEnd();
    m.set(F::CorrectorAccuracy, Class05);
    m.set({F::Gprs, F::ShortRangeWireless}, No);
    m.set(F::ExProof, Flameproof);
    m.requireCorrector();
    m.firstMode();
    return pwx(m);
}

QString oxygenOrHydrogen(ModelCode& m)
{
    m.set(F::CorrectorAccuracy, Class05);
    QString code;
    if (!m.is(F::CardControl, CardNone)) {
        const CodePartText detection = m.part(CodePartId::PwxcDetection);
        m.requireCorrector();
        code = m.expand(CodeTemplateId::PwxcSuffix, detection);
        m.set(F::Hart, No);
        m.correctorModel = kCardController;
    } else {
        m.requireCorrector();
        m.firstMode();
        m.set({F::Gprs, F::ShortRangeWireless}, No);
        m.set(F::ExProof, Flameproof);
        code = pwx(m);
    }
    m.set({F::DisplayFactor, F::CounterPulse, F::Gprs, F::ShortRangeWireless}, No);
    m.set(F::PipeConnection, Flange);
    return code;
}

} // namespace

QString composeVortex(ModelCode& m)
{
    // a domestic base meter without mechanical counter, by position in their lists
    if (!m.form().firstChosen(F::BaseOrigin) || !m.form().firstChosen(F::MechCounter))
        return QString();
    switch (m.medium()) {
    case Medium::OilField: return oilField(m);
    case Medium::CoalBed: return coalBed(m);
    case Medium::Air: return air(m);
    case Medium::OxygenHydrogen: return oxygenOrHydrogen(m);
    default: return QString();
    }
}
