// Rotary-lobe meters (domestic, series RKD) and roots meters (imported, series G).
// The code opens with the series-and-size code {R}.
#include "core/form/form_model.h"
#include "core/form/vocabulary.h"
#include "core/modelcode/composers.h"
#include "core/modelcode/model_code.h"

using F = Field;
using namespace vocab;

namespace {

const QString kSmallest = QStringLiteral("RKD-G10");

struct Meter {
    bool roots;    // imported
    bool smallest; // the RKD-G10, with its own rows
    bool dn50Pair; // RKD-G16 or RKD-G25: the sizes with a 1.0-class corrector
};

Meter meterOf(ModelCode& m)
{
    Meter meter;
    meter.roots = m.is(F::BaseOrigin, Imported);
    const QString& r = m.seriesSizeCode();
    meter.smallest = !meter.roots && r == kSmallest;
    meter.dn50Pair = !meter.roots && (r == u"RKD-G16" || r == u"RKD-G25");
    return meter;
}

// The shared groups of settings of the tables.
void kevSettings(ModelCode& m)
{
    m.set(F::DisplayFactor, Yes);
    m.set({F::Hart, F::CounterPulse}, No);
    m.set(F::PipeConnection, Flange);
    m.firstMode();
    m.set(F::CorrectorAccuracy, Class05);
}

void darSettings(ModelCode& m, bool setMode = true)
{
    m.set({F::Hart, F::CounterPulse}, No);
    m.set(F::PipeConnection, Flange);
    if (setMode)
        m.firstMode();
    m.set(F::CorrectorAccuracy, Class05);
}

void cardSettings(ModelCode& m)
{
    m.set(F::CorrectorAccuracy, Class05);
    m.set({F::DisplayFactor, F::Hart, F::CounterPulse, F::Gprs, F::ShortRangeWireless, F::CurrentOutput}, No);
    m.set(F::PipeConnection, Flange);
    m.set(F::ExProof, IntrinsicSafe);
}

void noCorrectorSettings(ModelCode& m)
{
    m.clear(F::CorrectionMode);
    m.clear(F::CorrectorAccuracy);
    m.clear(F::ExProof);
    m.set({F::Gprs, F::ShortRangeWireless, F::Hart, F::CurrentOutput, F::DisplayFactor}, No);
    m.correctorModel.clear();
}

// Mechanical counter, no card control, corrector.
QString counterWithCorrector(ModelCode& m, const Meter& meter)
{
    m.requireSensorRange();
    if (!m.yes(F::Gprs)) {
        if (m.form().index(F::ExProof) < 0 || (m.air() && meter.roots))
            m.set(F::ExProof, IntrinsicSafe);
    }
    if (m.yes(F::Gprs)) {
        kevSettings(m);
        m.correctorModel = QStringLiteral("KEV");
        return m.expand(CodeTemplateId::RkevLetters);
    }
    const bool wireless = m.yes(F::ShortRangeWireless);
    if (m.flameproof()) {
        kevSettings(m);
        m.set(F::CurrentOutput, No);
        m.correctorModel = QStringLiteral("KEV");
        return m.expand(wireless ? CodeTemplateId::RkevGW : CodeTemplateId::RkevG);
    }
    if (wireless) {
        kevSettings(m);
        m.set(F::CurrentOutput, No);
        m.correctorModel = QStringLiteral("KEV");
        return m.expand(CodeTemplateId::RkevBW);
    }
    if (m.yes(F::CurrentOutput)) {
        darSettings(m, !m.air());
        m.set(F::DisplayFactor, No);
        m.correctorModel = QStringLiteral("DAR");
        return m.expand(CodeTemplateId::RdarI);
    }
    if (m.yes(F::DisplayFactor)) {
        kevSettings(m);
        m.correctorModel = QStringLiteral("KEV");
        return m.expand(CodeTemplateId::RkevB);
    }
    if (meter.dn50Pair && m.form().text(F::CorrectorAccuracy) == Class10) {
        m.set({F::Hart, F::CounterPulse}, No);
        m.set(F::PipeConnection, Flange);
        m.set(F::ExProof, IntrinsicSafe);
        m.correctorModel = QStringLiteral("DAR-V");
        return m.expand(CodeTemplateId::RdarV);
    }
    if (meter.smallest) {
        m.set(F::CorrectorAccuracy, Class10);
        m.set({F::Hart, F::CounterPulse}, No);
        m.correctorModel = QStringLiteral("DAR-V");
        return m.expand(m.is(F::PipeConnection, Thread) ? CodeTemplateId::RthreadDarV : CodeTemplateId::RdarV);
    }
    darSettings(m);
    m.correctorModel = QStringLiteral("DAR");
    return m.expand(CodeTemplateId::Rdar);
}

// Mechanical counter, no card control, no corrector.
QString counterWithoutCorrector(ModelCode& m, const Meter& meter)
{
    noCorrectorSettings(m);
    const bool pulse = m.yes(F::CounterPulse);
    if (meter.smallest && m.is(F::PipeConnection, Thread))
        return m.expand(pulse ? CodeTemplateId::RthreadPulse : CodeTemplateId::Rthread);
    if (!meter.smallest)
        m.set(F::PipeConnection, Flange);
    return m.expand(pulse ? CodeTemplateId::Rpulse : CodeTemplateId::Rplain);
}

// Card controls, city gas only.
QString cardControlled(ModelCode& m, const Meter& meter)
{
    const bool counter = m.is(F::MechCounter, Yes);
    const bool integrated = m.is(F::CardControl, CardIntegrated);
    if (!counter && !integrated)
        return QString(); // no counter with a split card control: no row
    m.requireCorrector();
    m.requireInstallation();
    m.requireSensorRange();
    cardSettings(m);
    if (integrated) {
        m.correctorModel = QStringLiteral("CPU卡流量补偿控制仪");
        if (meter.roots)
            m.keepModeWithoutItem();
        return m.expand(counter ? CodeTemplateId::RcardCounter : CodeTemplateId::Rcard);
    }
    m.correctorModel = QStringLiteral("DAB");
    if (meter.roots) {
        m.firstMode();
        return m.expand(CodeTemplateId::RdabRoots);
    }
    return m.expand(CodeTemplateId::Rdab);
}

// The RKD-G10 without counter: its own integrated corrector Z, or none (D).
QString rkdG10WithoutCounter(ModelCode& m)
{
    m.set(F::ExProof, IntrinsicSafe);
    m.set({F::DisplayFactor, F::Hart, F::CounterPulse}, No);
    m.modeSuffix(3);
    const bool thread = m.is(F::PipeConnection, Thread);
    if (m.correctorFitted()) {
        m.set(F::CorrectorAccuracy, Class10);
        m.correctorModel = QStringLiteral("Z");
        const QString code = m.expand(thread ? CodeTemplateId::RthreadZ : CodeTemplateId::Rz);
        if (m.air())
            m.firstMode();
        return code;
    }
    m.clear(F::CorrectionMode);
    m.clear(F::CorrectorAccuracy);
    m.correctorModel.clear();
    return m.expand(thread ? CodeTemplateId::RthreadPlainD : CodeTemplateId::RplainD);
}

// The rows without counter and card control.
enum class Row {
    Letters,  // GPRS: KEV with its communication letters
    Wireless, // short-range wireless: KEV-?-W
    Current,  // current output: DAR-I
    DarV,     // RKD-G16 / RKD-G25 at class 1.0: DAR-V
    Kev,      // KEV-G or KEV-B
    Dar,      // DAR
};

Row rowOf(ModelCode& m, const Meter& meter)
{
    if (m.yes(F::Gprs))
        return Row::Letters;
    if (m.yes(F::ShortRangeWireless))
        return Row::Wireless;
    if (m.air() && meter.roots)
        return m.yes(F::CurrentOutput) ? Row::Current : Row::Dar; // the display factor is not consulted
    if (m.yes(F::CurrentOutput))
        return Row::Current;
    if (meter.dn50Pair && m.form().text(F::CorrectorAccuracy) == Class10)
        return Row::DarV;
    if (!m.intrinsicallySafe() || m.yes(F::DisplayFactor))
        return Row::Kev;
    return Row::Dar;
}

// Without counter and card control, rotary-lobe and roots: the row is chosen, its settings of Hart,
// CounterPulse, PipeConnection, CorrectorAccuracy and CorrectionMode are made, the
// corrector is tested, then the rest.
QString withoutCounter(ModelCode& m, const Meter& meter)
{
    if (m.air() && meter.roots && !m.yes(F::Gprs))
        m.set(F::ExProof, IntrinsicSafe);
    const Row row = rowOf(m, meter);
    switch (row) {
    case Row::Letters:
    case Row::Wireless:
        m.set({F::Hart, F::CounterPulse}, No);
        m.set(F::PipeConnection, Flange);
        m.firstMode();
        m.set(F::CorrectorAccuracy, Class05);
        break;
    case Row::Current: darSettings(m, !m.air()); break;
    case Row::DarV:
        m.set({F::Hart, F::CounterPulse}, No);
        m.set(F::PipeConnection, Flange);
        break;
    case Row::Kev:
    case Row::Dar: darSettings(m); break;
    }
    m.requireCorrector();

    CodePartText part;
    switch (row) {
    case Row::Letters:
        part = m.part(CodePartId::RotaryGprs);
        m.set(F::DisplayFactor, Yes);
        m.correctorModel = QStringLiteral("KEV");
        break;
    case Row::Wireless:
        if (meter.roots && !m.flameproof())
            m.set(F::ExProof, IntrinsicSafe);
        part = m.part((meter.roots ? !m.flameproof() : m.intrinsicallySafe()) ? CodePartId::RotaryWirelessSafe
                                                                              : CodePartId::RotaryWirelessFlameproof);
        m.set(F::DisplayFactor, Yes);
        m.set(F::CurrentOutput, No);
        m.correctorModel = QStringLiteral("KEV");
        break;
    case Row::Current:
        part = m.part(CodePartId::RotaryCurrent);
        m.set(F::ExProof, IntrinsicSafe);
        m.set(F::DisplayFactor, No);
        m.correctorModel = QStringLiteral("DAR");
        break;
    case Row::DarV:
        part = m.part(CodePartId::RotaryDarV);
        m.set(F::ExProof, IntrinsicSafe);
        m.set(F::DisplayFactor, No);
        m.correctorModel = QStringLiteral("DAR-V");
        break;
    case Row::Kev:
        if (!m.intrinsicallySafe()) {
            part = m.part(CodePartId::RotaryFlameproof);
            m.set(F::DisplayFactor, Yes);
            m.correctorModel = meter.roots ? QStringLiteral("KEV") : QStringLiteral("KEV-G");
        } else {
            part = m.part(CodePartId::RotarySafe);
            m.correctorModel = meter.roots ? QStringLiteral("KEV") : QStringLiteral("KEV-B");
        }
        break;
    case Row::Dar:
        part = m.part(CodePartId::RotaryDar);
        if (m.air() && meter.roots)
            m.set(F::DisplayFactor, No);
        m.correctorModel = QStringLiteral("DAR");
        break;
    }
    return m.expand(CodeTemplateId::RcorrectorPart, part);
}

} // namespace

QString composeRotaryLobe(ModelCode& m)
{
    const Meter meter = meterOf(m);
    if (meter.smallest) {
        m.sameOutputsOff();
        m.set(F::ExProof, IntrinsicSafe);
    }
    const bool counter = m.is(F::MechCounter, Yes);
    const bool noCounter = m.is(F::MechCounter, No);
    const bool noCard = m.is(F::CardControl, CardNone);
    if (!noCard) {
        if (m.air() || (!m.is(F::CardControl, CardIntegrated) && !m.is(F::CardControl, CardSplit)))
            return QString();
        return cardControlled(m, meter);
    }
    if (counter)
        return m.correctorFitted() ? counterWithCorrector(m, meter) : counterWithoutCorrector(m, meter);
    if (noCounter)
        return meter.smallest ? rkdG10WithoutCounter(m) : withoutCounter(m, meter);
    return QString();
}
