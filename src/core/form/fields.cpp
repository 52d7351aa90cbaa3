#include "core/form/fields.h"

#include "core/form/vocabulary.h"

namespace {

QStringList items(std::initializer_list<QStringView> list)
{
    QStringList out;
    for (QStringView s : list)
        out << s.toString();
    return out;
}

using K = ControlKind;
using F = KeyFilter;
using namespace vocab;

// clang-format off
const std::array<FieldControl, kFieldCount>& specs()
{
    static const std::array<FieldControl, kFieldCount> table = {{
        {Field::Medium,            "Medium",            K::List,  "使用领域：",
            items({CityGas, OilFieldGas, CoalBedGas, AirLike, OxygenHydrogen}), 0, "", true, F::None, 0},
        {Field::StdFlowMin,        "StdFlowMin",        K::Edit,  "标况流量范围（Nm3/h）：", {}, -1, "", true, F::Unsigned, 0},
        {Field::StdFlowMax,        "StdFlowMax",        K::Edit,  "～", {}, -1, "", true, F::Unsigned, 0},
        {Field::ZMode,             "ZMode",             K::Radio, "压缩因子",
            items({ZCorrected, ZNotCorrected}), 0, "", true, F::None, 2},
        {Field::ZnZgMin,           "ZnZgMin",           K::Edit,  "最小流量时", {}, -1, "1.0", false, F::Unsigned, 0},
        {Field::ZnZgMax,           "ZnZgMax",           K::Edit,  "最大流量时", {}, -1, "1.0", false, F::Unsigned, 0},
        {Field::ConvFactorMin,     "ConvFactorMin",     K::Label, "最小流量时", {}, -1, "", true, F::None, 0},
        {Field::ConvFactorMax,     "ConvFactorMax",     K::Label, "最大流量时", {}, -1, "", true, F::None, 0},
        {Field::PabsMin,           "PabsMin",           K::Edit,  "绝压范围（kPa）：", {}, -1, "150", true, F::Unsigned, 0},
        {Field::PabsMax,           "PabsMax",           K::Edit,  "～", {}, -1, "200", true, F::Unsigned, 0},
        {Field::TempMin,           "TempMin",           K::Edit,  "温度范围（℃）：", {}, -1, "-20", true, F::Signed, 0},
        {Field::TempMax,           "TempMax",           K::Edit,  "～", {}, -1, "60", true, F::Signed, 0},
        {Field::RefCondition,      "RefCondition",      K::List,  "标况条件：",
            items({Ref20, Ref25_0}), 0, "", true, F::None, 0},
        {Field::XCO2,              "XCO2",              K::Edit,  "CO2的摩尔分数（0<=xCO2<=0.30）：   ", {}, -1, "0.000", true, F::Unsigned, 0},
        {Field::XH2,               "XH2",               K::Edit,  "H2的摩尔分数  （0<=xH2<=0.10）：     ", {}, -1, "0.000", true, F::Unsigned, 0},
        {Field::Hs,                "Hs",                K::Edit,  "高位发热量（20MJ/m3<=Hs<=48MJ/m3）：", {}, -1, "45", true, F::Unsigned, 0},
        {Field::RelDensity,        "RelDensity",        K::Edit,  "相对密度     （0.55<=d<=0.90）：  ", {}, -1, "0.6", true, F::Unsigned, 0},
        {Field::WorkFlowMin,       "WorkFlowMin",       K::Label, "工况流量范围（m3/h）：", {}, -1, "", true, F::None, 0},
        {Field::WorkFlowMax,       "WorkFlowMax",       K::Label, "～", {}, -1, "", true, F::None, 0},
        {Field::CombinedAccuracy,  "CombinedAccuracy",  K::Radio, "综合准确度：",
            items({Class15, Class10}), 0, "", true, F::None, 2},
        {Field::MeterType,         "MeterType",         K::List,  "流量计类型：", {}, -1, "", true, F::None, 0},
        {Field::BaseOrigin,        "BaseOrigin",        K::List,  "基表产地：",
            items({Domestic, Imported}), -1, "", true, F::None, 0},
        {Field::MechCounter,       "MechCounter",       K::List,  "机械计数器：",
            items({No, Yes}), -1, "", true, F::None, 0},
        {Field::CardControl,       "CardControl",       K::List,  "卡控：",
            items({CardNone, CardIntegrated, CardSplit}), -1, "", true, F::None, 0},
        {Field::Size,          "SizeSpec",          K::List,  "通径规格：", {}, -1, "", true, F::None, 0},
        {Field::NominalPressure,   "NominalPressure",   K::List,  "公称压力MPa：", {}, -1, "", true, F::None, 0},
        {Field::BaseAccuracy,      "BaseAccuracy",      K::Radio, "基表准确度：",
            items({Class10, Class05}), 0, "", true, F::None, 2},
        {Field::Corrector,         "Corrector",         K::List,  "修正仪：",
            items({Yes, No}), 0, "", true, F::None, 0},
        {Field::Installation,      "Installation",      K::List,  "安装形式：",
            items({Horizontal, Vertical}), 0, "", true, F::None, 0},
        {Field::Gprs,              "Gprs",              K::Radio, "GPRS", items({No, Yes}), 0, "", true, F::None, 1},
        {Field::ShortRangeWireless,"ShortRangeWireless",K::Radio, "短程无线", items({No, Yes}), 0, "", true, F::None, 1},
        {Field::CurrentOutput,     "CurrentOutput",     K::Radio, "电流输出", items({No, Yes}), 0, "", true, F::None, 1},
        {Field::Hart,              "Hart",              K::Radio, "HART", items({No, Yes}), 0, "", true, F::None, 2},
        {Field::ExProof,           "ExProof",           K::Radio, "防爆类型",
            items({IntrinsicSafe, Flameproof}), 0, "", true, F::None, 2},
        {Field::CorrectionMode,    "CorrectionMode",    K::Radio, "温度、压力检测方式",
            items({ModeAuto, ModePressureMeasured, ModeTemperatureMeasured, ModeBothSet}), 0, "", true, F::None, 2},
        {Field::PressSensorUpper,  "PressSensorUpper",  K::List,  "上限压力：",
            QStringList{"0.2", "0.5", "1", "2", "5", "10"}, 0, "", true, F::None, 0},
        {Field::CorrectorAccuracy, "CorrectorAccuracy", K::Radio, "修正仪准确度：",
            items({Class05, Class10}), 0, "", true, F::None, 2},
        {Field::DisplayFactor,     "DisplayFactor",     K::Radio, "显示转换系数：", items({No, Yes}), 0, "", true, F::None, 2},
        {Field::SettlementUnit,    "SettlementUnit",    K::List,  "卡表结算单位：",
            items({SettleVolume, SettleMoney}), -1, "", true, F::None, 0},
        {Field::CounterPulse,      "CounterPulse",      K::Radio, "机械计数器是否带脉冲", items({No, Yes}), 0, "", true, F::None, 2},
        {Field::PipeConnection,    "PipeConnection",    K::Radio, "管道连接方式", items({Flange, Thread}), 0, "", true, F::None, 2},
        {Field::ResultText,        "ResultText",        K::Label, "选型结果", {}, -1, "", true, F::None, 0},
        {Field::SelectionNo,       "SelectionNo",       K::Edit,  "选型日期编号：", {}, -1, "", true, F::Digits, 0},
    }};
    return table;
}
// clang-format on

} // namespace

const FieldControl& fieldControl(Field f)
{
    return specs()[static_cast<size_t>(f)];
}

QString fieldName(Field f)
{
    return QString::fromLatin1(fieldControl(f).name);
}

std::optional<Field> fieldByName(QStringView name)
{
    for (const FieldControl& s : specs()) {
        if (name == QLatin1StringView(s.name))
            return s.field;
    }
    return std::nullopt;
}

const std::array<Field, kFieldCount>& allFields()
{
    static const std::array<Field, kFieldCount> fields = [] {
        std::array<Field, kFieldCount> out {};
        for (int i = 0; i < kFieldCount; ++i)
            out[static_cast<size_t>(i)] = static_cast<Field>(i);
        return out;
    }();
    return fields;
}
