// Turbine meters: VRNA (domestic, with mechanical counter), VRNE (integrated card
// controller), VRNSⅡ (domestic, corrector in the meter), VRNU (imported base meter),
// VRNS / VRN (oil-field gas), SJF (coal-bed gas).
#include "core/form/form_model.h"
#include "core/form/vocabulary.h"
#include "core/modelcode/composers.h"
#include "core/modelcode/model_code.h"

using F = Field;
using namespace vocab;

namespace {

const QString kCardController = QStringLiteral("CPU卡流量补偿控制仪");

void closeCorrectorGroups(ModelCode& m)
{
    m.clear(F::CorrectionMode);
    m.clear(F::ExProof);
    m.clear(F::CorrectorAccuracy);
    m.set({F::Gprs, F::ShortRangeWireless, F::CurrentOutput, F::Hart, F::DisplayFactor, F::CounterPulse}, No);
    m.set(F::PipeConnection, Flange);
    m.correctorModel.clear();
}

// VRNA and VRNU without corrector
QString withoutCorrector(ModelCode& m, CodeTemplateId templ, bool correctorAccuracyKept)
{
    closeCorrectorGroups(m);
    if (correctorAccuracyKept)
        m.set(F::CorrectorAccuracy, Class05);
    return m.expand(templ);
}

// VRNE: the integrated card controller
QString vrne(ModelCode& m, bool withCounter)
{
    m.set(F::CorrectorAccuracy, Class05);
    m.set({F::CurrentOutput, F::DisplayFactor, F::Hart, F::CounterPulse}, No);
    m.set(F::PipeConnection, Flange);
    m.correctorModel = kCardController;
    if (withCounter) {
        m.set({F::Gprs, F::ShortRangeWireless}, No);
        m.set(F::ExProof, IntrinsicSafe);
        return m.expand(CodeTemplateId::VrneCounter);
    }
    m.keepModeWithoutItem();
    return m.expand(CodeTemplateId::VrneNoCounter);
}

// VRNA with the split card-control corrector DAB
QString vrnaDab(ModelCode& m)
{
    m.set(F::CorrectorAccuracy, Class05);
    m.set({F::DisplayFactor, F::Hart, F::ShortRangeWireless, F::Gprs, F::CounterPulse}, No);
    m.set(F::ExProof, IntrinsicSafe);
    m.set(F::PipeConnection, Flange);
    m.correctorModel = QStringLiteral("DAB");
    return m.expand(CodeTemplateId::VrnaDab);
}

// VRNU with DAB
QString vrnuDab(ModelCode& m)
{
    m.firstMode();
    m.set(F::CorrectorAccuracy, Class05);
    m.set({F::DisplayFactor, F::Hart, F::CounterPulse}, No);
    m.set(F::PipeConnection, Flange);
    m.correctorModel = QStringLiteral("DAB");
    return m.expand(CodeTemplateId::VrnuDab);
}

// VRNA with corrector (domestic, counter, no card control).
QString vrnaWithCorrector(ModelCode& m)
{
    m.requireSensorRange();
    m.set({F::Hart, F::CounterPulse}, No);
    m.set(F::PipeConnection, Flange);
    CodePartText part;
    bool darV = false;
    bool dar = false;
    if (m.yes(F::Gprs)) {
        m.correctorModel = QStringLiteral("KEV");
        if (m.air() && m.flameproof()) {
            // air deviates: the current output is switched on
            part = m.part(m.yes(F::ShortRangeWireless) ? CodePartId::VrnaAirFlameproofGprsWireless
                                                       : CodePartId::VrnaAirFlameproofGprs);
            m.set(F::CurrentOutput, Yes);
        } else {
            if (m.air())
                m.keepExProofInLetters();
            part = m.part(CodePartId::VrnaGprs);
        }
        m.set(F::DisplayFactor, Yes);
    } else if (m.yes(F::ShortRangeWireless)) {
        part = m.part(m.intrinsicallySafe() ? CodePartId::VrnaWirelessSafe : CodePartId::VrnaWirelessFlameproof);
        m.set(F::CurrentOutput, No);
        m.set(F::DisplayFactor, Yes);
        m.correctorModel = QStringLiteral("KEV");
    } else if (m.yes(F::CurrentOutput)) {
        part = m.part(CodePartId::VrnaCurrent);
        m.set(F::ExProof, IntrinsicSafe);
        m.set(F::DisplayFactor, No);
        m.correctorModel = QStringLiteral("DAR");
    } else if (m.yes(F::DisplayFactor)) {
        part = m.part(m.intrinsicallySafe() ? CodePartId::VrnaDisplaySafe : CodePartId::VrnaDisplayFlameproof);
        m.correctorModel = QStringLiteral("KEV");
    } else if (m.form().text(F::CorrectorAccuracy) == Class10) {
        darV = true;
        m.set(F::ExProof, IntrinsicSafe);
        m.correctorModel = QStringLiteral("DAR-V");
    } else {
        dar = true;
        part = m.part(CodePartId::VrnaDar);
        m.set(F::ExProof, IntrinsicSafe);
        m.correctorModel = QStringLiteral("DAR");
    }
    if (!darV) {
        m.set(F::CorrectorAccuracy, Class05);
        if (!(dar && m.air()))
            m.firstMode();
    }
    if (darV)
        return m.expand(CodeTemplateId::VrnaDarV);
    return m.expand(CodeTemplateId::VrnaCorrector, part);
}

// VRNSⅡ, air-like gases: the corrector part after GPRS, wireless and current output
CodePartText vrnsIIAirCorrectorPart(ModelCode& m)
{
    if (m.yes(F::Gprs) && m.form().index(F::ExProof) < 0)
        m.set(F::ExProof, IntrinsicSafe);
    const bool gprs = m.yes(F::Gprs);
    const bool wireless = m.yes(F::ShortRangeWireless);
    const bool current = m.yes(F::CurrentOutput);
    if (!gprs && !wireless) {
        m.set(F::ExProof, IntrinsicSafe);
        m.set(F::DisplayFactor, No);
        m.correctorModel = QStringLiteral("DAR");
        return m.part(current ? CodePartId::VrnsIICurrent : CodePartId::VrnsIIDar);
    }
    m.correctorModel = QStringLiteral("KEV");
    m.set(F::DisplayFactor, Yes);
    if (!gprs) {
        m.set(F::ExProof, IntrinsicSafe);
        m.set(F::CurrentOutput, No);
        return m.part(CodePartId::VrnsIIWirelessSafe);
    }
    if (m.flameproof()) {
        m.set(F::CurrentOutput, No);
        return m.part(wireless ? CodePartId::VrnsIIAirFlameproofGprsWireless : CodePartId::VrnsIIAirFlameproofGprs);
    }
    if (wireless)
        return m.part(current ? CodePartId::VrnsIIAirGprsWirelessCurrent : CodePartId::VrnsIIAirGprsWireless);
    return m.part(current ? CodePartId::VrnsIIAirGprsCurrent : CodePartId::VrnsIIAirGprs);
}

// VRNSⅡ with corrector (domestic, no counter, no card control, corrector).
QString vrnsIIWithCorrector(ModelCode& m)
{
    m.set(F::CorrectorAccuracy, Class05);
    m.firstMode();
    m.set({F::Hart, F::CounterPulse}, No);
    m.set(F::PipeConnection, Flange);
    CodePartText part;
    if (m.air()) {
        part = vrnsIIAirCorrectorPart(m);
    } else if (m.yes(F::Gprs)) {
        part = m.part(CodePartId::VrnsIIGprs);
        m.set(F::DisplayFactor, Yes);
        m.correctorModel = QStringLiteral("KEV");
    } else if (m.yes(F::ShortRangeWireless)) {
        part = m.part(m.intrinsicallySafe() ? CodePartId::VrnsIIWirelessSafe : CodePartId::VrnsIIWirelessFlameproof);
        m.set(F::DisplayFactor, Yes);
        m.set(F::CurrentOutput, No);
        m.correctorModel = QStringLiteral("KEV");
    } else if (m.yes(F::CurrentOutput)) {
        part = m.part(CodePartId::VrnsIICurrent);
        m.set(F::ExProof, IntrinsicSafe);
        m.set(F::DisplayFactor, No);
        m.correctorModel = QStringLiteral("DAR");
    } else if (!m.intrinsicallySafe()) {
        part = m.part(CodePartId::VrnsIIFlameproof);
        m.set(F::DisplayFactor, Yes);
        m.correctorModel = QStringLiteral("KEV");
    } else if (m.yes(F::DisplayFactor)) {
        part = m.part(CodePartId::VrnsIIDisplay);
        m.correctorModel = QStringLiteral("KEV");
    } else {
        part = m.part(CodePartId::VrnsIIDar);
        m.correctorModel = QStringLiteral("DAR");
    }
    return m.expand(CodeTemplateId::VrnsII, part);
}

// VRNU, city gas: VRNU-{S}-{U}/{N}-{B}/{C}/ and the corrector part
CodePartText vrnuCityCorrectorPart(ModelCode& m)
{
    m.set(F::CorrectorAccuracy, Class05);
    m.set({F::Hart, F::CounterPulse}, No);
    m.set(F::PipeConnection, Flange);
    if (m.yes(F::Gprs)) {
        m.set(F::DisplayFactor, Yes);
        m.correctorModel = QStringLiteral("KEV");
        return m.part(CodePartId::VrnuCityGprs);
    }
    if (m.yes(F::ShortRangeWireless)) {
        m.set(F::CurrentOutput, No);
        m.set(F::DisplayFactor, Yes);
        m.correctorModel = QStringLiteral("KEV");
        return m.part(
            m.intrinsicallySafe() ? CodePartId::VrnuCityWirelessSafe : CodePartId::VrnuCityWirelessFlameproof);
    }
    if (m.yes(F::CurrentOutput)) {
        m.set(F::ExProof, IntrinsicSafe);
        m.set(F::DisplayFactor, No);
        m.correctorModel = QStringLiteral("DAR");
        return m.part(CodePartId::VrnuCityCurrent);
    }
    if (!m.intrinsicallySafe()) {
        m.set(F::DisplayFactor, Yes);
        m.correctorModel = QStringLiteral("KEV");
        return m.part(CodePartId::VrnuCityFlameproof);
    }
    if (m.yes(F::DisplayFactor)) {
        m.correctorModel = QStringLiteral("KEV");
        return m.part(CodePartId::VrnuCityDisplay);
    }
    m.correctorModel = QStringLiteral("DAR");
    return m.part(CodePartId::VrnuCityDar);
}

// VRNU, air-like gases: the corrector part
CodePartText vrnuAirCorrectorPart(ModelCode& m)
{
    m.set({F::Hart, F::CounterPulse}, No);
    m.set(F::PipeConnection, Flange);
    if (m.yes(F::Gprs) && m.form().index(F::ExProof) < 0)
        m.set(F::ExProof, IntrinsicSafe);
    const bool wireless = m.yes(F::ShortRangeWireless);
    const bool current = m.yes(F::CurrentOutput);
    m.correctorModel = QStringLiteral("KEV");
    if (m.yes(F::Gprs)) {
        m.set(F::DisplayFactor, Yes);
        if (m.intrinsicallySafe()) {
            if (wireless) {
                m.set(F::CurrentOutput, No);
                return m.part(CodePartId::VrnuAirGprsWireless);
            }
            return m.part(current ? CodePartId::VrnuAirGprsCurrent : CodePartId::VrnuAirGprs);
        }
        m.set(F::CurrentOutput, No);
        return m.part(wireless ? CodePartId::VrnuAirFlameproofGprsWireless : CodePartId::VrnuAirFlameproofGprs);
    }
    m.set(F::ExProof, IntrinsicSafe);
    if (wireless) {
        m.set(F::CurrentOutput, No);
        m.set(F::DisplayFactor, Yes);
        return m.part(CodePartId::VrnuAirWireless);
    }
    if (m.yes(F::DisplayFactor))
        return m.part(current ? CodePartId::VrnuAirDisplayCurrent : CodePartId::VrnuAirDisplay);
    m.correctorModel = QStringLiteral("DAR");
    return m.part(current ? CodePartId::VrnuAirDarCurrent : CodePartId::VrnuAirDar);
}

// VRNU with corrector (imported, counter, no card control).
QString vrnuWithCorrector(ModelCode& m)
{
    m.firstMode();
    m.requireSensorRange();
    if (!m.air())
        return m.expand(CodeTemplateId::VrnuCity, vrnuCityCorrectorPart(m));
    m.set(F::CorrectorAccuracy, Class05);
    const CodePartText part = vrnuAirCorrectorPart(m);
    return m.expand(CodeTemplateId::VrnuAir, part);
}

// City gas and air-like gases: the series from origin, counter, card and corrector.
QString cityOrAir(ModelCode& m)
{
    const bool domestic = m.is(F::BaseOrigin, Domestic);
    const bool imported = m.is(F::BaseOrigin, Imported);
    const bool counter = m.is(F::MechCounter, Yes);
    const bool noCounter = m.is(F::MechCounter, No);
    const bool noCard = m.is(F::CardControl, CardNone);
    const bool integrated = m.is(F::CardControl, CardIntegrated);
    const bool split = m.is(F::CardControl, CardSplit);
    const bool corrector = m.correctorFitted();
    const bool city = !m.air();

    if (domestic && counter) {
        if (noCard)
            return corrector ? vrnaWithCorrector(m) : withoutCorrector(m, CodeTemplateId::VrnaPlain, false);
        if ((integrated || split) && city) {
            if (!corrector)
                m.refuse(kNoCorrector);
            return integrated ? vrne(m, true) : vrnaDab(m);
        }
        return QString();
    }
    if (domestic && noCounter) {
        if (noCard) {
            if (corrector)
                return vrnsIIWithCorrector(m);
            m.set(F::CorrectorAccuracy, Class05);
            m.refuse(city ? kNoCounterNoCorrector : kNoCorrector);
        }
        if (integrated && city) {
            if (!corrector) {
                m.set(F::CorrectorAccuracy, Class05);
                m.refuse(kNoCorrector);
            }
            return vrne(m, false);
        }
        return QString();
    }
    if (imported && counter) {
        if (noCard)
            return corrector ? vrnuWithCorrector(m) : withoutCorrector(m, CodeTemplateId::VrnuPlain, city);
        if (split && city) {
            if (!corrector)
                m.refuse(kNoCorrector);
            return vrnuDab(m);
        }
    }
    return QString();
}

// Oil-field and coal-bed gas: a domestic meter without counter or card control.
bool plainDomesticMeter(ModelCode& m)
{
    return m.is(F::BaseOrigin, Domestic) && m.form().firstChosen(F::MechCounter)
        && m.form().firstChosen(F::CardControl);
}

QString oilField(ModelCode& m)
{
    if (!plainDomesticMeter(m))
        return QString();
    m.firstMode();
    QString code;
    if (m.correctorFitted()) {
        m.set(F::CorrectorAccuracy, Class05);
        m.set(F::ExProof, Flameproof);
        m.correctorModel = QStringLiteral("VRNS流量补偿仪");
        if (m.yes(F::Hart)) {
            m.set(F::CurrentOutput, Yes);
            code = m.expand(CodeTemplateId::VrnsHart);
        } else if (m.yes(F::CurrentOutput)) {
            code = m.expand(CodeTemplateId::VrnsCurrent);
        } else {
            code = m.expand(CodeTemplateId::Vrns);
        }
    } else {
        code = m.oilFieldWithoutCorrector(CodeTemplateId::VrnCurrent, CodeTemplateId::Vrn);
    }
    m.plainEnd();
    return code;
}

QString coalBed(ModelCode& m)
{
    if (!plainDomesticMeter(m))
        return QString();
    m.correctorModel = QStringLiteral("SJF流量补偿仪");
    return m.expand(CodeTemplateId::Sjf);
}

} // namespace

QString composeTurbine(ModelCode& m)
{
    switch (m.medium()) {
    case Medium::CityGas:
    case Medium::Air: return cityOrAir(m);
    case Medium::OilField: return oilField(m);
    case Medium::CoalBed: return coalBed(m);
    default: return QString();
    }
}
