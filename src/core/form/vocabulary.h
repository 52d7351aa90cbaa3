#pragma once

#include <QStringView>

// The item texts of the selection window's lists and radio groups. Handlers compare
// choices by exact text, blanks included, so every item is spelled once, here.
// Where a handler reads a choice by its position in a list whose items stand
// fixed, the positions are named by an enum beside the texts, in item order.
namespace vocab {

// Medium (使用领域)
inline constexpr QStringView CityGas = u"城市天然气或城市煤气";
inline constexpr QStringView OilFieldGas = u"油田天然气";
inline constexpr QStringView CoalBedGas = u"煤层气";
inline constexpr QStringView AirLike = u"空气或氮气或惰性气体";
inline constexpr QStringView OxygenHydrogen = u"氧气或氢气";

enum class Medium { None = -1, CityGas, OilField, CoalBed, Air, OxygenHydrogen };

// Compressibility mode
inline constexpr QStringView ZCorrected = u"修正";
inline constexpr QStringView ZNotCorrected = u"不修正";
enum class ZMode { Corrected, NotCorrected };

// Reference conditions of the gas data
inline constexpr QStringView Ref20 = u"燃烧参比条件和体积计量参比条件均为:温度20℃，压力101.325kPa";
inline constexpr QStringView Ref25_0 = u"燃烧参比条件:温度25℃,压力101.325kPa;体积计量参比条件:温度0℃,压力101.325kPa";
enum class RefCondition { Ref20, Ref25_0 };

// Meter types
inline constexpr QStringView Turbine = u"气体涡轮";
inline constexpr QStringView RotaryLobe = u"气体腰轮(罗茨)";
inline constexpr QStringView Vortex = u"气体旋进";

// Origin of the base meter
inline constexpr QStringView Domestic = u"国产";
inline constexpr QStringView Imported = u"进口";

// Yes / no groups
inline constexpr QStringView Yes = u"有";
inline constexpr QStringView No = u"无";
// The corrector list begins with "有" whether it holds both items or that one alone.
enum class Corrector { Yes, No };

// Card control
inline constexpr QStringView CardNone = u"无";
inline constexpr QStringView CardIntegrated = u"一体";
inline constexpr QStringView CardSplit = u"分体";

// Accuracy classes
inline constexpr QStringView Class15 = u"1.5";
inline constexpr QStringView Class10 = u"1.0";
inline constexpr QStringView Class05 = u"0.5";
enum class CombinedAccuracy { Class15, Class10 };
enum class BaseAccuracy { Class10, Class05 };

// Installation
inline constexpr QStringView Horizontal = u"水平";
inline constexpr QStringView Vertical = u"垂直";
enum class Installation { Horizontal, Vertical };

// Explosion protection
inline constexpr QStringView IntrinsicSafe = u"本安 iaIICT4";
inline constexpr QStringView Flameproof = u"隔爆 dIICT4";

// Correction mode, in item order
inline constexpr QStringView ModeAuto = u"温压自动检测";
inline constexpr QStringView ModePressureMeasured = u"压力检测温度设置";
inline constexpr QStringView ModeTemperatureMeasured = u"温度检测压力设置";
inline constexpr QStringView ModeBothSet = u"温压均设置修正";
enum class CorrectionMode { Auto, PressureMeasured, TemperatureMeasured, BothSet };

// Settlement unit of card meters
inline constexpr QStringView SettleVolume = u"体积量（m3）";
inline constexpr QStringView SettleMoney = u"货     币（元）";
enum class SettlementUnit { Volume, Money };

// Pipe connection
inline constexpr QStringView Flange = u"法兰";
inline constexpr QStringView Thread = u"螺纹";

// Derived product names of rotary-lobe meters
inline constexpr QStringView RotaryLobeProduct = u"气体腰轮流量计";
inline constexpr QStringView RootsProduct = u"气体罗茨流量计";

// The group that holds pressure, temperature and gas fields (a focus target)
inline constexpr QStringView GasGroupCaption = u"介质特性";

} // namespace vocab
