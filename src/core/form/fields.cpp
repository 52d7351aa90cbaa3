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
const std::array<FieldSpec, kFieldCount>& specs()
{
    static const std::array<FieldSpec, kFieldCount> table = {{
        {Field::Medium,            "Medium",            K::List,  "ComboBox10", "使用领域：",
            items({CityGas, OilFieldGas, CoalBedGas, AirLike, OxygenHydrogen}), 0, "", true, F::None, 0},
        {Field::StdFlowMin,        "StdFlowMin",        K::Edit,  "Edit16", "标况流量范围（Nm3/h）：", {}, -1, "", true, F::Unsigned, 0},
        {Field::StdFlowMax,        "StdFlowMax",        K::Edit,  "Edit7", "～", {}, -1, "", true, F::Unsigned, 0},
        {Field::ZMode,             "ZMode",             K::Radio, "RadioGroup10", "压缩因子",
            items({ZCorrected, ZNotCorrected}), 0, "", true, F::None, 2},
        {Field::ZnZgMin,           "ZnZgMin",           K::Edit,  "Edit3", "最小流量时", {}, -1, "1.0", false, F::Unsigned, 0},
        {Field::ZnZgMax,           "ZnZgMax",           K::Edit,  "Edit4", "最大流量时", {}, -1, "1.0", false, F::Unsigned, 0},
        {Field::ConvFactorMin,     "ConvFactorMin",     K::Label, "KvLabel50", "最小流量时", {}, -1, "", true, F::None, 0},
        {Field::ConvFactorMax,     "ConvFactorMax",     K::Label, "KvLabel51", "最大流量时", {}, -1, "", true, F::None, 0},
        {Field::PabsMin,           "PabsMin",           K::Edit,  "Edit9", "绝压范围（kPa）：", {}, -1, "150", true, F::Unsigned, 0},
        {Field::PabsMax,           "PabsMax",           K::Edit,  "Edit8", "～", {}, -1, "200", true, F::Unsigned, 0},
        {Field::TempMin,           "TempMin",           K::Edit,  "Edit12", "温度范围（℃）：", {}, -1, "-20", true, F::Signed, 0},
        {Field::TempMax,           "TempMax",           K::Edit,  "Edit11", "～", {}, -1, "60", true, F::Signed, 0},
        {Field::RefCondition,      "RefCondition",      K::List,  "ComboBox17", "标况条件：",
            items({Ref20, Ref25_0}), 0, "", true, F::None, 0},
        {Field::XCO2,              "XCO2",              K::Edit,  "Edit10", "CO2的摩尔分数（0<=xCO2<=0.30）：   ", {}, -1, "0.000", true, F::Unsigned, 0},
        {Field::XH2,               "XH2",               K::Edit,  "Edit13", "H2的摩尔分数  （0<=xH2<=0.10）：     ", {}, -1, "0.000", true, F::Unsigned, 0},
        {Field::Hs,                "Hs",                K::Edit,  "Edit14", "高位发热量（20MJ/m3<=Hs<=48MJ/m3）：", {}, -1, "45", true, F::Unsigned, 0},
        {Field::RelDensity,        "RelDensity",        K::Edit,  "Edit15", "相对密度     （0.55<=d<=0.90）：  ", {}, -1, "0.6", true, F::Unsigned, 0},
        {Field::WorkFlowMin,       "WorkFlowMin",       K::Label, "KvLabel37", "工况流量范围（m3/h）：", {}, -1, "", true, F::None, 0},
        {Field::WorkFlowMax,       "WorkFlowMax",       K::Label, "KvLabel39", "～", {}, -1, "", true, F::None, 0},
        {Field::CombinedAccuracy,  "CombinedAccuracy",  K::Radio, "RadioGroup8", "综合准确度：",
            items({Class15, Class10}), 0, "", true, F::None, 2},
        {Field::MeterType,         "MeterType",         K::List,  "ComboBox12", "流量计类型：", {}, -1, "", true, F::None, 0},
        {Field::BaseOrigin,        "BaseOrigin",        K::List,  "ComboBox13", "基表产地：",
            items({Domestic, Imported}), -1, "", true, F::None, 0},
        {Field::MechCounter,       "MechCounter",       K::List,  "ComboBox14", "机械计数器：",
            items({No, Yes}), -1, "", true, F::None, 0},
        {Field::CardControl,       "CardControl",       K::List,  "ComboBox15", "卡控：",
            items({CardNone, CardIntegrated, CardSplit}), -1, "", true, F::None, 0},
        {Field::SizeSpec,          "SizeSpec",          K::List,  "ComboBox16", "通径规格：", {}, -1, "", true, F::None, 0},
        {Field::NominalPressure,   "NominalPressure",   K::List,  "ComboBox1", "公称压力MPa：", {}, -1, "", true, F::None, 0},
        {Field::BaseAccuracy,      "BaseAccuracy",      K::Radio, "RadioGroup2", "基表准确度：",
            items({Class10, Class05}), 0, "", true, F::None, 2},
        {Field::Corrector,         "Corrector",         K::List,  "ComboBox2", "修正仪：",
            items({Yes, No}), 0, "", true, F::None, 0},
        {Field::Installation,      "Installation",      K::List,  "ComboBox3", "安装形式：",
            items({Horizontal, Vertical}), 0, "", true, F::None, 0},
        {Field::Gprs,              "Gprs",              K::Radio, "RadioGroup1", "GPRS", items({No, Yes}), 0, "", true, F::None, 1},
        {Field::ShortRangeWireless,"ShortRangeWireless",K::Radio, "RadioGroup3", "短程无线", items({No, Yes}), 0, "", true, F::None, 1},
        {Field::CurrentOutput,     "CurrentOutput",     K::Radio, "RadioGroup4", "电流输出", items({No, Yes}), 0, "", true, F::None, 1},
        {Field::Hart,              "Hart",              K::Radio, "RadioGroup5", "HART", items({No, Yes}), 0, "", true, F::None, 2},
        {Field::ExProof,           "ExProof",           K::Radio, "RadioGroup6", "防爆类型",
            items({IntrinsicSafe, Flameproof}), 0, "", true, F::None, 2},
        {Field::CorrectionMode,    "CorrectionMode",    K::Radio, "wyjc", "温度、压力检测方式",
            items({ModeAuto, ModePressureMeasured, ModeTemperatureMeasured, ModeBothSet}), 0, "", true, F::None, 2},
        {Field::PressSensorUpper,  "PressSensorUpper",  K::List,  "ComboBox4", "上限压力：",
            QStringList{"0.2", "0.5", "1", "2", "5", "10"}, 0, "", true, F::None, 0},
        {Field::CorrectorAccuracy, "CorrectorAccuracy", K::Radio, "RadioGroup9", "修正仪准确度：",
            items({Class05, Class10}), 0, "", true, F::None, 2},
        {Field::DisplayFactor,     "DisplayFactor",     K::Radio, "RadioGroup7", "显示转换系数：", items({No, Yes}), 0, "", true, F::None, 2},
        {Field::SettlementUnit,    "SettlementUnit",    K::List,  "ComboBox11", "卡表结算单位：",
            items({SettleVolume, SettleMoney}), -1, "", true, F::None, 0},
        {Field::CounterPulse,      "CounterPulse",      K::Radio, "RadioGroup11", "机械计数器是否带脉冲", items({No, Yes}), 0, "", true, F::None, 2},
        {Field::PipeConnection,    "PipeConnection",    K::Radio, "RadioGroup12", "管道连接方式", items({Flange, Thread}), 0, "", true, F::None, 2},
        {Field::ResultText,        "ResultText",        K::Label, "KvLabel15", "选型结果", {}, -1, "", true, F::None, 0},
        {Field::SelectionNo,       "SelectionNo",       K::Edit,  "MaskEdit1", "选型日期编号：", {}, -1, "", true, F::Digits, 0},
    }};
    return table;
}
// clang-format on

} // namespace

const FieldSpec& fieldSpec(Field f)
{
    return specs()[static_cast<size_t>(f)];
}

QString fieldName(Field f)
{
    return QString::fromLatin1(fieldSpec(f).name);
}

std::optional<Field> fieldByName(QStringView name)
{
    for (const FieldSpec& s : specs()) {
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
