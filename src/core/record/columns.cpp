#include "core/record/columns.h"

#include <array>

namespace {

using F = Field;
using D = Derived;
using P = Printed;

// clang-format off
// Column 10 is stored as "最大绝牙" and headed "最大绝压" in the list; the last column,
// the temperature error, has no list column.
const std::array<Column, kColumnCount> kColumns = {{
    {F::SelectionNo,        "选型编号",         "选型编号",         90,  P::Yes},
    {D::ModelCode,          "仪表型号规格",     "仪表型号规格",     300, P::Yes},
    {F::Medium,             "使用介质",         "使用介质",         100, P::Yes},
    {F::StdFlowMin,         "最小标况流量",     "最小标况流量",     80,  P::Yes},
    {F::StdFlowMax,         "最大标况流量",     "最大标况流量",     80,  P::Yes},
    {F::ZMode,              "压缩因子",         "压缩因子",         50,  P::No},
    {F::ZnZgMin,            "Zn_Zg_1",          "Zn_Zg_1",          50,  P::No},
    {F::ZnZgMax,            "Zn_Zg_2",          "Zn_Zg_2",          50,  P::No},
    {F::PabsMin,            "最小绝压",         "最小绝压",         70,  P::Yes},
    {F::PabsMax,            "最大绝牙",         "最大绝压",         70,  P::Yes},
    {F::TempMin,            "最低温度",         "最低温度",         70,  P::Yes},
    {F::TempMax,            "最高温度",         "最高温度",         70,  P::Yes},
    {F::RefCondition,       "参比条件",         "参比条件",         350, P::Yes},
    {F::XCO2,               "CO2摩尔含量",      "CO2摩尔含量",      80,  P::Yes},
    {F::XH2,                "H2摩尔含量",       "H2摩尔含量",       70,  P::Yes},
    {F::Hs,                 "高位发热量",       "高位发热量",       70,  P::Yes},
    {F::RelDensity,         "相对密度",         "相对密度",         70,  P::Yes},
    {F::SettlementUnit,     "卡表结算单位",     "卡表结算单位",     90,  P::Yes},
    {F::CombinedAccuracy,   "综合准确度",       "综合准确度",       80,  P::Yes},
    {F::WorkFlowMin,        "最小工况流量",     "最小工况流量",     80,  P::YesThenLineBreak},
    {F::WorkFlowMax,        "最大工况流量",     "最大工况流量",     80,  P::Yes},
    {D::ProductName,        "产品名称",         "产品名称",         70,  P::Yes},
    {F::BaseOrigin,         "基表产地",         "基表产地",         70,  P::Yes},
    {F::MechCounter,        "机械计数器",       "机械计数器",       80,  P::Yes},
    {F::CardControl,        "卡控",             "卡控",             40,  P::Yes},
    {D::Bore,               "通经",             "通经",             50,  P::Yes},
    {F::NominalPressure,    "公称压力",         "公称压力",         70,  P::Yes},
    {F::BaseAccuracy,       "基表准确度",       "基表准确度",       80,  P::Yes},
    {D::CorrectorModel,     "修正仪型号",       "修正仪型号",       80,  P::Yes},
    {F::Installation,       "安装形式",         "安装形式",         70,  P::Yes},
    {F::Gprs,               "GPRS",             "GPRS",             40,  P::Yes},
    {F::ShortRangeWireless, "短程无线",         "短程无线",         70,  P::Yes},
    {F::CurrentOutput,      "电流输出",         "电流输出",         70,  P::YesThenLineBreak},
    {F::Hart,               "HART",             "HART",             50,  P::Yes},
    {F::ExProof,            "防爆类型",         "防爆类型",         70,  P::Yes},
    {F::CorrectionMode,     "修正方式",         "修正方式",         70,  P::Yes},
    {D::TempSensorL,        "温度传感器L",      "温度传感器L",      80,  P::Yes},
    {D::TempSensorH,        "温度传感器H",      "温度传感器H",      80,  P::Yes},
    {F::PressSensorUpper,   "压力传感器上限",   "压力传感器上限",   90,  P::Yes},
    {F::CorrectorAccuracy,  "修正仪准确度",     "修正仪准确度",     90,  P::Yes},
    {F::DisplayFactor,      "显示转换系数",     "显示转换系数",     90,  P::Yes},
    {F::CounterPulse,       "机械计数器带脉冲", "机械计数器带脉冲", 100, P::Yes},
    {F::PipeConnection,     "连接方式",         "连接方式",         70,  P::Yes},
    {F::Size,           "通径规格",         "通径规格",         150, P::Yes},
    {D::TempMaxError,       "温度最大误差",     nullptr,            0,   P::Yes},
}};
// clang-format on

template <typename T>
int positionOf(T value)
{
    for (size_t i = 0; i < kColumns.size(); ++i) {
        if (const T* held = std::get_if<T>(&kColumns[i].value); held && *held == value)
            return static_cast<int>(i);
    }
    return -1;
}

} // namespace

std::span<const Column> columns()
{
    return kColumns;
}

int columnOf(Field f)
{
    return positionOf(f);
}

int columnOf(Derived d)
{
    return positionOf(d);
}

int listColumnCount()
{
    int n = 0;
    for (const Column& c : kColumns)
        n += c.header ? 1 : 0;
    return n;
}
