#pragma once

#include <QStringView>

#include <span>

// Every template the model-code composers expand, with its product series and when
// it is used. The composers take their templates from here and the key of the codes
// ("流量计参数代号") is written from here, so the two cannot disagree.
enum class CodeTemplateId {
    // turbine
    VrnaPlain,
    VrnaDab,
    VrnaDarV,
    VrnaCorrector,
    VrneCounter,
    VrneNoCounter,
    VrnsII,
    VrnuPlain,
    VrnuDab,
    VrnuCity,
    VrnuAir,
    VrnsHart,
    VrnsCurrent,
    Vrns,
    VrnCurrent,
    Vrn,
    Sjf,
    // vortex precession
    PwxHart,
    PwxCurrent,
    Pwx,
    PwxcMode,
    PwxcSuffix,
    MqeCurrent,
    Mqe,
    Sjn,
    // rotary lobe (RKD) and roots (G)
    RkevLetters,
    RkevGW,
    RkevG,
    RkevBW,
    RdarI,
    RkevB,
    RdarV,
    RthreadDarV,
    Rdar,
    RthreadPulse,
    Rthread,
    Rpulse,
    Rplain,
    RcardCounter,
    Rcard,
    RdabRoots,
    Rdab,
    RthreadZ,
    Rz,
    RthreadPlainD,
    RplainD,
    RcorrectorPart,
};

enum class CodeFamily { Turbine, Vortex, RotaryLobe };

struct CodeTemplate {
    CodeTemplateId id;
    CodeFamily family;
    const char16_t* series; // the product series the code names
    const char16_t* text;   // the template, placeholders in braces (see codePlaceholders())
    const char* when;       // when the composers use it
};

std::span<const CodeTemplate> codeTemplates();
QStringView codeTemplate(CodeTemplateId id);

// The texts of {P}: the part of a code that a composer picks by tests of its own
// (which corrector, which communication and explosion protection, which detection
// mode), each with the template it goes into. The composers take them from here by
// id, and the key of the codes lists them as the values {P} takes in that template.
// A text may hold placeholders of its own ({L}, {M1}, {M3}), filled, with their
// effects, when the composer takes the part.
enum class CodePartId {
    // VRNA with corrector
    VrnaGprs,
    VrnaAirFlameproofGprs,
    VrnaAirFlameproofGprsWireless,
    VrnaWirelessSafe,
    VrnaWirelessFlameproof,
    VrnaCurrent,
    VrnaDisplaySafe,
    VrnaDisplayFlameproof,
    VrnaDar,
    // VRNSⅡ with corrector
    VrnsIIGprs,
    VrnsIIWirelessSafe,
    VrnsIIWirelessFlameproof,
    VrnsIICurrent,
    VrnsIIFlameproof,
    VrnsIIDisplay,
    VrnsIIDar,
    VrnsIIAirFlameproofGprs,
    VrnsIIAirFlameproofGprsWireless,
    VrnsIIAirGprs,
    VrnsIIAirGprsWireless,
    VrnsIIAirGprsCurrent,
    VrnsIIAirGprsWirelessCurrent,
    // VRNU with corrector, city gas
    VrnuCityGprs,
    VrnuCityWirelessSafe,
    VrnuCityWirelessFlameproof,
    VrnuCityCurrent,
    VrnuCityFlameproof,
    VrnuCityDisplay,
    VrnuCityDar,
    // VRNU with corrector, air-like gases
    VrnuAirGprsWireless,
    VrnuAirGprsCurrent,
    VrnuAirGprs,
    VrnuAirFlameproofGprsWireless,
    VrnuAirFlameproofGprs,
    VrnuAirWireless,
    VrnuAirDisplayCurrent,
    VrnuAirDisplay,
    VrnuAirDarCurrent,
    VrnuAirDar,
    // PWXC for oxygen or hydrogen
    PwxcDetection,
    // rotary-lobe and roots without counter and card control
    RotaryGprs,
    RotaryWirelessSafe,
    RotaryWirelessFlameproof,
    RotaryCurrent,
    RotaryDarV,
    RotaryFlameproof,
    RotarySafe,
    RotaryDar,
};

struct CodePart {
    CodePartId id;
    CodeTemplateId templ; // the template whose {P} it is
    const char16_t* text;
};

std::span<const CodePart> codeParts();
const CodePart& codePart(CodePartId id);

// What "选型" adds after a composed code, in this order, each when its choice holds.
enum class CodeSuffixId { SettlementInMoney, SpecialRequirement };

struct CodeSuffix {
    CodeSuffixId id;
    const char16_t* text;
    const char* when;
};

std::span<const CodeSuffix> codeSuffixes();
QStringView codeSuffix(CodeSuffixId id);
