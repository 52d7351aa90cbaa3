#include "core/modelcode/code_templates.h"

#include <algorithm>

namespace {

using T = CodeTemplateId;

const char16_t kRotary[] = u"RKD/G（腰轮、罗茨）";

// clang-format off
const CodeTemplate kTemplates[] = {
    {T::VrnaPlain,     CodeFamily::Turbine, u"VRNA",  u"VRNA-{S}-{N}-{B}",                         "国产基表，带机械计数器，无修正仪"},
    {T::VrnaDab,       CodeFamily::Turbine, u"VRNA",  u"VRNA-{S}-{B}/DAB-{M5}{U}/{N}",             "国产基表，带机械计数器，分体卡控DAB"},
    {T::VrnaDarV,      CodeFamily::Turbine, u"VRNA",  u"VRNA-{S}-{U}/{N}-{B}/{C}-DAR-V{M4}",       "国产基表，带机械计数器，1.0级修正仪DAR-V"},
    {T::VrnaCorrector, CodeFamily::Turbine, u"VRNA",  u"VRNA-{S}-{U}/{N}-{B}/{C}-{P}",             "国产基表，带机械计数器，修正仪KEV或DAR"},
    {T::VrneCounter,   CodeFamily::Turbine, u"VRNE",  u"VRNE-{S}-{U}/{N}-{B}/{C}-{M2}2",           "一体卡控，带机械计数器"},
    {T::VrneNoCounter, CodeFamily::Turbine, u"VRNE",  u"VRNE-{S}-{U}/{N}-{B}/{C}{M1}",             "一体卡控，无机械计数器"},
    {T::VrnsII,        CodeFamily::Turbine, u"VRNSⅡ", u"VRNSⅡ-{S}-{P}{U}/{N}-{B}/{C}",            "国产基表，无机械计数器，修正仪在表内"},
    {T::VrnuPlain,     CodeFamily::Turbine, u"VRNU",  u"VRNU-{S}-{N}-{B}",                         "进口基表，无修正仪"},
    {T::VrnuDab,       CodeFamily::Turbine, u"VRNU",  u"VRNU-{S}-{B}/DAB-{U}/{N}",                 "进口基表，分体卡控DAB"},
    {T::VrnuCity,      CodeFamily::Turbine, u"VRNU",  u"VRNU-{S}-{U}/{N}-{B}/{C}/{P}",             "进口基表，城市燃气，带修正仪"},
    {T::VrnuAir,       CodeFamily::Turbine, u"VRNU",  u"VRNU-{S}-{N}-{B}/{C}/{P}{U}-{A}",          "进口基表，空气类气体，带修正仪"},
    {T::VrnsHart,      CodeFamily::Turbine, u"VRNS",  u"VRNS-{S}-H-{U}/{N}-{C}",                   "油田天然气，带修正仪，HART"},
    {T::VrnsCurrent,   CodeFamily::Turbine, u"VRNS",  u"VRNS-{S}-I-{U}/{N}-{C}",                   "油田天然气，带修正仪，电流输出"},
    {T::Vrns,          CodeFamily::Turbine, u"VRNS",  u"VRNS-{S}-{U}/{N}-{C}",                     "油田天然气，带修正仪"},
    {T::VrnCurrent,    CodeFamily::Turbine, u"VRN",   u"VRN-{S}-I-{U}/{N}-{TL}/{TH}-{C}",          "油田天然气，无修正仪，电流输出"},
    {T::Vrn,           CodeFamily::Turbine, u"VRN",   u"VRN-{S}-{U}/{N}-{TL}/{TH}-{C}",            "油田天然气，无修正仪"},
    {T::Sjf,           CodeFamily::Turbine, u"SJF",   u"SJF-{S}-{U}/{N}-{TL}/{TH}-{C}",            "煤层气"},

    {T::PwxHart,       CodeFamily::Vortex, u"PWX",   u"PWX-{S}-H-{U}/{N}-{TL}/{TH}-{C}",          "修正仪在表内，HART"},
    {T::PwxCurrent,    CodeFamily::Vortex, u"PWX",   u"PWX-{S}-I-{U}/{N}-{TL}/{TH}-{C}",          "修正仪在表内，电流输出"},
    {T::Pwx,           CodeFamily::Vortex, u"PWX",   u"PWX-{S}-{U}/{N}-{TL}/{TH}-{C}",            "修正仪在表内"},
    {T::PwxcMode,      CodeFamily::Vortex, u"PWXC",  u"PWXC-{S}-{U}/{N}-{C}{M1}",                 "一体卡控，油田天然气"},
    {T::PwxcSuffix,    CodeFamily::Vortex, u"PWXC",  u"PWXC-{S}-{U}/{N}-{C}{P}",                  "一体卡控，氧气或氢气（{P}为检测方式代号）"},
    {T::MqeCurrent,    CodeFamily::Vortex, u"MQE",   u"MQE-{S}S-I-{N}-{TL}/{TH}-{C}",             "油田天然气，无修正仪，电流输出"},
    {T::Mqe,           CodeFamily::Vortex, u"MQE",   u"MQE-{S}S-{N}-{TL}/{TH}-{C}",               "油田天然气，无修正仪"},
    {T::Sjn,           CodeFamily::Vortex, u"SJN",   u"SJN-{S}-{U}/{N}-{TL}/{TH}-{C}",            "煤层气"},

    {T::RkevLetters,   CodeFamily::RotaryLobe, kRotary,  u"{R}-CKEV-{L}-{U}/{N}-{B}/{C}",             "带机械计数器，KEV修正仪，GPRS"},
    {T::RkevGW,        CodeFamily::RotaryLobe, kRotary,  u"{R}-CKEV-G-W-{U}/{N}-{B}/{C}",             "带机械计数器，隔爆KEV，短程无线"},
    {T::RkevG,         CodeFamily::RotaryLobe, kRotary,  u"{R}-CKEV-G-{U}/{N}-{B}/{C}",               "带机械计数器，隔爆KEV"},
    {T::RkevBW,        CodeFamily::RotaryLobe, kRotary,  u"{R}-CKEV-B-W-{U}/{N}-{B}/{C}",             "带机械计数器，本安KEV，短程无线"},
    {T::RdarI,         CodeFamily::RotaryLobe, kRotary,  u"{R}-CDAR-I-{U}/{N}-{B}/{C}",               "带机械计数器，DAR，电流输出"},
    {T::RkevB,         CodeFamily::RotaryLobe, kRotary,  u"{R}-CKEV-B-{U}/{N}-{B}/{C}",               "带机械计数器，本安KEV，显示转换系数"},
    {T::RdarV,         CodeFamily::RotaryLobe, kRotary,  u"{R}-CDAR-V{M3}{U}/{N}-{B}/{C}",            "带机械计数器，1.0级修正仪DAR-V"},
    {T::RthreadDarV,   CodeFamily::RotaryLobe, kRotary,  u"{R}-RC-CDAR-V{M3}{U}/{N}-{B}/{C}",         "RKD-G10，螺纹连接，DAR-V"},
    {T::Rdar,          CodeFamily::RotaryLobe, kRotary,  u"{R}-CDAR-{U}/{N}-{B}/{C}",                 "带机械计数器，DAR"},
    {T::RthreadPulse,  CodeFamily::RotaryLobe, kRotary,  u"{R}-RC-OYT-{N}-{B}",                       "RKD-G10，螺纹连接，无修正仪，计数器带脉冲"},
    {T::Rthread,       CodeFamily::RotaryLobe, kRotary,  u"{R}-RC-{N}-{B}",                           "RKD-G10，螺纹连接，无修正仪"},
    {T::Rpulse,        CodeFamily::RotaryLobe, kRotary,  u"{R}-OYT-{N}-{B}",                          "无修正仪，计数器带脉冲"},
    {T::Rplain,        CodeFamily::RotaryLobe, kRotary,  u"{R}-{N}-{B}",                              "无修正仪"},
    {T::RcardCounter,  CodeFamily::RotaryLobe, kRotary,  u"{R}-{U}/{N}-{B}/{C}-{M2}2{I}",             "一体卡控，带机械计数器"},
    {T::Rcard,         CodeFamily::RotaryLobe, kRotary,  u"{R}-{U}/{N}-{B}/{C}{M1}{I}",               "一体卡控，无机械计数器"},
    {T::RdabRoots,     CodeFamily::RotaryLobe, kRotary,  u"{R}-{B}/DAB-{D}-{U}/{N}{I}",               "罗茨，分体卡控DAB"},
    {T::Rdab,          CodeFamily::RotaryLobe, kRotary,  u"{R}-{B}/DAB-{M5}{D}-{U}/{N}{I}",           "腰轮，分体卡控DAB"},
    {T::RthreadZ,      CodeFamily::RotaryLobe, kRotary,  u"{R}-RC-Z{M3}{U}/{N}-{B}/{C}",              "RKD-G10，无机械计数器，螺纹连接，修正仪Z"},
    {T::Rz,            CodeFamily::RotaryLobe, kRotary,  u"{R}-Z{M3}{U}/{N}-{B}/{C}",                 "RKD-G10，无机械计数器，修正仪Z"},
    {T::RthreadPlainD, CodeFamily::RotaryLobe, kRotary,  u"{R}-RC-D-{N}-{B}",                         "RKD-G10，无机械计数器，螺纹连接，无修正仪"},
    {T::RplainD,       CodeFamily::RotaryLobe, kRotary,  u"{R}-D-{N}-{B}",                            "RKD-G10，无机械计数器，无修正仪"},
    {T::RcorrectorPart, CodeFamily::RotaryLobe, kRotary, u"{R}-{P}{U}/{N}-{B}/{C}",                   "无机械计数器，修正仪KEV、DAR或DAR-V"},
};

using P = CodePartId;

// Rows of a template in the order its composer tests them.
const CodePart kParts[] = {
    {P::VrnaGprs,                        T::VrnaCorrector,  u"KEV-{L}"},
    {P::VrnaAirFlameproofGprsWireless,   T::VrnaCorrector,  u"KEV-G-G"},
    {P::VrnaAirFlameproofGprs,           T::VrnaCorrector,  u"KEV-G-GW"},
    {P::VrnaWirelessSafe,                T::VrnaCorrector,  u"KEV-B-W"},
    {P::VrnaWirelessFlameproof,          T::VrnaCorrector,  u"KEV-G-W"},
    {P::VrnaCurrent,                     T::VrnaCorrector,  u"DAR-I"},
    {P::VrnaDisplaySafe,                 T::VrnaCorrector,  u"KEV-B"},
    {P::VrnaDisplayFlameproof,           T::VrnaCorrector,  u"KEV-G"},
    {P::VrnaDar,                         T::VrnaCorrector,  u"DAR"},

    {P::VrnsIIGprs,                      T::VrnsII,         u"KEV-{L}-"},
    {P::VrnsIIAirFlameproofGprs,         T::VrnsII,         u"KEV-G-G-"},
    {P::VrnsIIAirFlameproofGprsWireless, T::VrnsII,         u"KEV-G-GW-"},
    {P::VrnsIIAirGprs,                   T::VrnsII,         u"KEV-B-G-"},
    {P::VrnsIIAirGprsWireless,           T::VrnsII,         u"KEV-B-GW-"},
    {P::VrnsIIAirGprsCurrent,            T::VrnsII,         u"KEV-B-GI-"},
    {P::VrnsIIAirGprsWirelessCurrent,    T::VrnsII,         u"KEV-B-GWI-"},
    {P::VrnsIIWirelessSafe,              T::VrnsII,         u"KEV-B-W-"},
    {P::VrnsIIWirelessFlameproof,        T::VrnsII,         u"KEV-G-W-"},
    {P::VrnsIICurrent,                   T::VrnsII,         u"I-"},
    {P::VrnsIIFlameproof,                T::VrnsII,         u"KEV-G-"},
    {P::VrnsIIDisplay,                   T::VrnsII,         u"KEV-B-"},
    {P::VrnsIIDar,                       T::VrnsII,         u""},

    {P::VrnuCityGprs,                    T::VrnuCity,       u"KEV-{L}"},
    {P::VrnuCityWirelessSafe,            T::VrnuCity,       u"KEV-B-W"},
    {P::VrnuCityWirelessFlameproof,      T::VrnuCity,       u"KEV-G-W"},
    {P::VrnuCityCurrent,                 T::VrnuCity,       u"DAR-I"},
    {P::VrnuCityFlameproof,              T::VrnuCity,       u"KEV-G"},
    {P::VrnuCityDisplay,                 T::VrnuCity,       u"KEV-B"},
    {P::VrnuCityDar,                     T::VrnuCity,       u"DAR"},

    {P::VrnuAirGprsWireless,             T::VrnuAir,        u"KEV-B-GW-"},
    {P::VrnuAirGprsCurrent,              T::VrnuAir,        u"KEV-B-GI-"},
    {P::VrnuAirGprs,                     T::VrnuAir,        u"KEV-B-G-"},
    {P::VrnuAirFlameproofGprsWireless,   T::VrnuAir,        u"KEV-GGW-"},
    {P::VrnuAirFlameproofGprs,           T::VrnuAir,        u"KEV-GG-"},
    {P::VrnuAirWireless,                 T::VrnuAir,        u"KEV-B-W-"},
    {P::VrnuAirDisplayCurrent,           T::VrnuAir,        u"KEV-BI-"},
    {P::VrnuAirDisplay,                  T::VrnuAir,        u"KEV-B-"},
    {P::VrnuAirDarCurrent,               T::VrnuAir,        u"DAR-I-"},
    {P::VrnuAirDar,                      T::VrnuAir,        u"DAR-"},

    {P::PwxcDetection,                   T::PwxcSuffix,     u"{M1}"},

    {P::RotaryGprs,                      T::RcorrectorPart, u"KEV-{L}-"},
    {P::RotaryWirelessSafe,              T::RcorrectorPart, u"KEV-B-W-"},
    {P::RotaryWirelessFlameproof,        T::RcorrectorPart, u"KEV-G-W-"},
    {P::RotaryCurrent,                   T::RcorrectorPart, u"DAR-I-"},
    {P::RotaryDarV,                      T::RcorrectorPart, u"DAR-V{M3}"},
    {P::RotaryFlameproof,                T::RcorrectorPart, u"KEV-G-"},
    {P::RotarySafe,                      T::RcorrectorPart, u"KEV-B-"},
    {P::RotaryDar,                       T::RcorrectorPart, u"DAR-"},
};
// clang-format on

} // namespace

std::span<const CodeTemplate> codeTemplates()
{
    return kTemplates;
}

QStringView codeTemplate(CodeTemplateId id)
{
    const auto* row = std::find_if(
        std::begin(kTemplates), std::end(kTemplates), [id](const CodeTemplate& t) { return t.id == id; });
    Q_ASSERT(row != std::end(kTemplates));
    return QStringView(row->text);
}

namespace {

// clang-format off
const CodeSuffix kSuffixes[] = {
    {CodeSuffixId::SettlementInMoney,  u"-M",        "结算单位为货币（元）"},
    {CodeSuffixId::SpecialRequirement, u"(特殊要求)", "有修正仪且组合精度1.0级，或基表精度0.5级，或带卡控且压力传感器上限为0.9MPa"},
};
// clang-format on

} // namespace

std::span<const CodeSuffix> codeSuffixes()
{
    return kSuffixes;
}

QStringView codeSuffix(CodeSuffixId id)
{
    return QStringView(kSuffixes[static_cast<int>(id)].text);
}

std::span<const CodePart> codeParts()
{
    return kParts;
}

const CodePart& codePart(CodePartId id)
{
    const auto* row
        = std::find_if(std::begin(kParts), std::end(kParts), [id](const CodePart& p) { return p.id == id; });
    Q_ASSERT(row != std::end(kParts));
    return *row;
}
