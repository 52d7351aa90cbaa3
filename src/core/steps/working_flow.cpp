#include "core/steps/working_flow.h"

#include "core/form/numbers.h"
#include "core/form/selection_context.h"
#include "core/form/vocabulary.h"
#include "core/gas/flow_conversion.h"
#include "core/ports/platform.h"
#include "core/rules/sensor_ranges.h"
#include "core/steps/option_chain.h"

#include <optional>

using F = Field;

namespace {

const QString kPabsMaxMissing = QStringLiteral("最大绝对压力未填写！");
const QString kMediumMissing = QStringLiteral("使用介质未填写！");
const QString kZnZgMinMissing = QStringLiteral("标况和工况下的最小流量时气体压缩系数比Zn/Zg未录入！");
const QString kZnZgMaxMissing = QStringLiteral("标况和工况下的最大流量时气体压缩系数比Zn/Zg未录入！");
const QString kGasOutOfMethod = QStringLiteral("介质特性不满足一定条件！");

struct PresenceCheck {
    Field field;
    const char* message;
};

// clang-format off
const PresenceCheck kPresenceChecks[] = {
    {F::StdFlowMin, "最小标况流量未填写！"},
    {F::StdFlowMax, "最大标况流量未填写！"},
    {F::PabsMin,    "最小绝对压力未填写！"},
    {F::TempMax,    "最高温度未填写！"},
    {F::TempMin,    "最低温度未填写！"},
    {F::XCO2,       "CO2摩尔含量未填写！"},
    {F::Hs,         "高位发热量未填写！"},
    {F::XH2,        "H2摩尔含量未填写！"},
    {F::RelDensity, "相对密度未填写！"},
};
// clang-format on

// A range whose limits are swapped gives a working range that looks plausible and a
// meter several sizes too small, so it is refused before any arithmetic. Each pair is
// compared only when both of its boxes hold numbers: a text that is not a number is
// reported where the computation reads it, as it always was, and a value that
// describes no gas is named as such, whatever its partner holds.
struct OrderCheck {
    Field min;
    Field max;
    const char* message;
};

// clang-format off
const OrderCheck kOrderChecks[] = {
    {F::StdFlowMin, F::StdFlowMax, "最小标况流量大于最大标况流量，请修改！"},
    {F::PabsMin,    F::PabsMax,    "最小绝对压力大于最大绝对压力，请修改！"},
    {F::TempMin,    F::TempMax,    "最低温度高于最高温度，请修改！"},
};
// clang-format on

// What the user is told when a box holds a value that makes a working flow
// impossible to compute (a zero divisor, an overflow).
const char* valueName(Field f)
{
    switch (f) {
    case F::StdFlowMin: return "最小标况流量";
    case F::StdFlowMax: return "最大标况流量";
    case F::PabsMin: return "最小绝对压力";
    case F::PabsMax: return "最大绝对压力";
    case F::TempMin: return "最低温度";
    case F::TempMax: return "最高温度";
    case F::ZnZgMin: return "最小流量时的气体压缩系数比Zn/Zg";
    case F::ZnZgMax: return "最大流量时的气体压缩系数比Zn/Zg";
    default: return "";
    }
}

void resetR2(SelectionContext& w)
{
    emptyChainFrom(w.form, F::MeterType);
}

void resetR1(SelectionContext& w)
{
    resetR2(w);
    w.form.setText(F::WorkFlowMin, QString());
    w.form.setText(F::WorkFlowMax, QString());
    w.clearResult();
}

void refuse(SelectionContext& w, const QString& message, void (*reset)(SelectionContext&), const QString& focus)
{
    w.ui().plainMessage(message);
    reset(w);
    w.ui().setFocus(focus);
}

void refuse(SelectionContext& w, const QString& message, void (*reset)(SelectionContext&), Field focus)
{
    refuse(w, message, reset, fieldName(focus));
}

// One limit of the range and the boxes its operands come from.
struct FlowLimit {
    Field stdFlow;
    Field pressure;
    Field temperature;
    Field znzg;

    Field box(FlowOperand operand) const
    {
        switch (operand) {
        case FlowOperand::StdFlow: return stdFlow;
        case FlowOperand::Pressure: return pressure;
        case FlowOperand::ZnZg: return znzg;
        default: return temperature;
        }
    }
};

constexpr FlowLimit kMinimum {F::StdFlowMin, F::PabsMax, F::TempMin, F::ZnZgMin};
constexpr FlowLimit kMaximum {F::StdFlowMax, F::PabsMin, F::TempMax, F::ZnZgMax};

bool describesGas(Field f, double value)
{
    FlowOperands ops;
    if (f == F::StdFlowMin || f == F::StdFlowMax)
        ops.stdFlow = value;
    else if (f == F::PabsMin || f == F::PabsMax)
        ops.pressureKpa = value;
    else if (f == F::TempMin || f == F::TempMax)
        ops.temperatureC = value;
    return impossibleOperand(ops) == FlowOperand::None;
}

// The first pair of limits whose minimum lies above its maximum is refused.
bool limitsInOrder(SelectionContext& w, std::optional<double> pabsMax)
{
    for (const OrderCheck& check : kOrderChecks) {
        const std::optional<double> low = parseDecimalTrimmed(w.form.text(check.min));
        // PabsMax is read as shown, as everywhere
        const std::optional<double> high
            = check.max == F::PabsMax ? pabsMax : parseDecimalTrimmed(w.form.text(check.max));
        if (!low || !high || !describesGas(check.min, *low) || !describesGas(check.max, *high))
            continue;
        if (*low > *high) {
            refuse(w, QString::fromUtf8(check.message), resetR1, check.min);
            return false;
        }
    }
    return true;
}

void refuseValue(SelectionContext& w, Field culprit)
{
    refuse(w, QStringLiteral("%1的数值使工况流量无法计算，请修改！").arg(QString::fromUtf8(valueName(culprit))),
        resetR1, culprit);
}

// Values that describe no gas are named as for a flow that cannot be computed. The
// standard flow is looked at here, before the limit's arithmetic, only when it is a
// number: a text that is not one is reported where the flow is read, as always.
bool describesGas(SelectionContext& w, const FlowLimit& limit, FlowOperands ops)
{
    if (const std::optional<double> flow = parseDecimalTrimmed(w.form.text(limit.stdFlow)))
        ops.stdFlow = *flow;
    const FlowOperand impossible = impossibleOperand(ops);
    if (impossible == FlowOperand::None)
        return true;
    refuseValue(w, limit.box(impossible));
    return false;
}

// A working flow or factor that is not a finite number must not reach the screen:
// the user is told which box holds the value that made it so.
bool acceptFactor(SelectionContext& w, const FlowLimit& limit, const FlowOperands& ops, double k, bool storedSingle)
{
    if (usableFactor(k, storedSingle))
        return true;
    refuseValue(w, limit.box(unusableOperand(ops, false)));
    return false;
}

// The working flow of one limit, its standard flow read now; nothing when refused.
std::optional<float> acceptFlow(SelectionContext& w, const FlowLimit& limit, FlowOperands& ops, double k)
{
    ops.stdFlow = toNumberTrimmed(w.form.text(limit.stdFlow));
    const double q = workingFlow(ops.stdFlow, k);
    if (usableFlow(q))
        return static_cast<float>(q);
    refuseValue(w, limit.box(unusableOperand(ops, true)));
    return std::nullopt;
}

// The gas data as the boxes held them when last read: both limits read them, and
// the same texts give the same numbers.
struct GasRead {
    QString hs, d, xco2, xh2;
    GasData data;
};

// The gas data of the boxes, read in the method's order; a text that is not a
// number ends the handler at the same box every time it is read.
GasData readGas(const FormModel& f, std::optional<GasRead>& last)
{
    const QString hs = f.text(F::Hs);
    const QString d = f.text(F::RelDensity);
    const QString xco2 = f.text(F::XCO2);
    const QString xh2 = f.text(F::XH2);
    if (last && last->hs == hs && last->d == d && last->xco2 == xco2 && last->xh2 == xh2)
        return last->data;
    auto gasValue = [](const QString& text) { return toSingle(toNumberTrimmed(text)); };
    const GasData data {gasValue(hs), gasValue(d), gasValue(xco2), gasValue(xh2)};
    last = GasRead {hs, d, xco2, xh2, data};
    return data;
}

// Zn/Zg of one limit: as typed, or by SGERG-88 at its line condition; nothing when
// the method gives no answer. The pressure and temperature are the numbers already
// read from their boxes; the gas data are read now, in the method's order.
std::optional<double> znZgOf(
    SelectionContext& w, const FlowOperands& ops, ZnZgOfGas& method, std::optional<GasRead>& gas)
{
    if (ops.typedZnZg)
        return ops.typedZnZg;
    const float p = toSingle(ops.pressureKpa / 1000);
    const float t = toSingle(ops.temperatureC);
    const std::optional<double> ratio = method.at(p, t, readGas(w.form, gas));
    if (!ratio)
        refuse(w, kGasOutOfMethod, resetR2, vocab::GasGroupCaption.toString());
    return ratio;
}

// A number as the boxes show it, blanks ignored.
double number(const FormModel& f, Field field)
{
    return toNumberTrimmed(f.text(field));
}

// PabsMax and a typed ZnZgMax are read exactly as shown, blanks refused.
double exactNumber(const FormModel& f, Field field)
{
    return toNumber(f.text(field));
}

// The inputs are there and in order: PabsMax (whose sensor ranges are offered at
// once), the medium, the other boxes, a typed Zn/Zg, the limits' order.
bool inputsPresent(SelectionContext& w, bool typed)
{
    FormModel& f = w.form;
    const std::optional<double> pabsMax = parseDecimal(f.text(F::PabsMax));
    if (!pabsMax) {
        refuse(w, kPabsMaxMissing, resetR1, F::PabsMax);
        return false;
    }
    fillSensorRanges(f, *pabsMax, SensorScale::Standard);

    if (f.index(F::Medium) < 0) {
        refuse(w, kMediumMissing, resetR1, F::Medium);
        return false;
    }
    for (const PresenceCheck& check : kPresenceChecks) {
        if (f.text(check.field).isEmpty()) {
            refuse(w, QString::fromUtf8(check.message), resetR1, check.field);
            return false;
        }
    }

    if (typed) {
        if (trimmed(f.text(F::ZnZgMin)).isEmpty()) {
            refuse(w, kZnZgMinMissing, resetR2, F::ZnZgMin);
            return false;
        }
        if (trimmed(f.text(F::ZnZgMax)).isEmpty()) {
            refuse(w, kZnZgMaxMissing, resetR2, F::ZnZgMax);
            return false;
        }
    }
    return limitsInOrder(w, pabsMax);
}

// The maximum flow at PabsMin and TempMax: Kmax is shown and divided by unrounded.
bool maximumFlow(SelectionContext& w, bool typed, ZnZgOfGas& method, std::optional<GasRead>& gas)
{
    FormModel& f = w.form;
    FlowOperands max;
    if (typed)
        max.typedZnZg = exactNumber(f, F::ZnZgMax);
    max.pressureKpa = number(f, F::PabsMin);
    max.temperatureC = number(f, F::TempMax);
    if (!describesGas(w, kMaximum, max))
        return false;
    const std::optional<double> znzgMax = znZgOf(w, max, method, gas);
    if (!znzgMax)
        return false;
    if (!typed)
        f.setText(F::ZnZgMax, formatFixed(*znzgMax, 3));
    const double kmax = conversionFactor(*znzgMax, max.pressureKpa, max.temperatureC);
    if (!acceptFactor(w, kMaximum, max, kmax, false))
        return false;
    f.setText(F::ConvFactorMax, formatFixed(kmax, 4));
    const std::optional<float> qmax = acceptFlow(w, kMaximum, max, kmax);
    if (!qmax)
        return false;
    w.flows.qmax = *qmax;
    return true;
}

// The minimum flow at PabsMax and TempMin: Kmin is kept in single precision, shown
// and divided by as kept.
bool minimumFlow(SelectionContext& w, bool typed, ZnZgOfGas& method, std::optional<GasRead>& gas)
{
    FormModel& f = w.form;
    FlowOperands min;
    min.pressureKpa = exactNumber(f, F::PabsMax); // parsed above, cannot fail here
    min.temperatureC = number(f, F::TempMin);
    if (typed)
        min.typedZnZg = number(f, F::ZnZgMin);
    if (!describesGas(w, kMinimum, min))
        return false;
    const std::optional<double> znzgMin = znZgOf(w, min, method, gas);
    if (!znzgMin)
        return false;
    // Kept apart: a typed Kmin has always been multiplied with Tn/Tg first, and the two
    // orders can round the last bit differently.
    const double kmin = typed ? conversionFactorTemperatureFirst(*znzgMin, min.pressureKpa, min.temperatureC)
                              : conversionFactor(*znzgMin, min.pressureKpa, min.temperatureC);
    if (!acceptFactor(w, kMinimum, min, kmin, true))
        return false;
    w.flows.kmin = static_cast<float>(kmin);
    // Kept apart: a typed Kmin is shown before the standard flow is read, a computed
    // one (with its Zn/Zg) only once Qmin stands, so a refusal or a text that is not
    // a number leaves different texts on screen.
    if (typed)
        f.setText(F::ConvFactorMin, formatFixed(w.flows.kmin, 4));
    const std::optional<float> qmin = acceptFlow(w, kMinimum, min, w.flows.kmin);
    if (!qmin)
        return false;
    w.flows.qmin = *qmin;
    if (!typed) {
        f.setText(F::ZnZgMin, formatFixed(*znzgMin, 3));
        f.setText(F::ConvFactorMin, formatFixed(w.flows.kmin, 4));
    }
    return true;
}

// Both working flows stand: they are shown and the option chain starts afresh.
void showWorkingFlows(SelectionContext& w)
{
    FormModel& f = w.form;
    f.setText(F::WorkFlowMin, formatFixed(w.flows.qmin, 3));
    f.setText(F::WorkFlowMax, formatFixed(w.flows.qmax, 3));
    resetR2(w);
    fillMeterTypes(w);

    if (f.count(F::Corrector) > 0) {
        f.setIndex(F::Corrector, 0);
        onCorrectorChanged(w);
    }

    f.select(F::CounterPulse, vocab::No);
    f.setEnabled(F::CounterPulse,
        trimmed(f.text(F::MeterType)) == vocab::RotaryLobe && trimmed(f.text(F::Corrector)) != vocab::Yes);
    w.ui().setFocus(fieldName(F::MeterType));
}

} // namespace

void computeWorkingFlow(SelectionContext& w)
{
    FormModel& f = w.form;
    const bool typed = f.chosen(F::ZMode, vocab::ZMode::NotCorrected);
    if (!inputsPresent(w, typed))
        return;
    w.inputsUsed = true;
    // the gas data refer to 20 C / 20 C or to 25 C / 0 C
    const GasReference reference = f.chosen(F::RefCondition, vocab::RefCondition::Ref20)
        ? GasReference::Combustion20Metering20
        : GasReference::Combustion25Metering0;
    ZnZgOfGas method(reference); // the gas and Zn once for both limits
    std::optional<GasRead> gas;
    if (maximumFlow(w, typed, method, gas) && minimumFlow(w, typed, method, gas))
        showWorkingFlows(w);
}

void onZModeClicked(SelectionContext& w)
{
    FormModel& f = w.form;
    for (Field label : {F::WorkFlowMin, F::WorkFlowMax, F::ConvFactorMin, F::ConvFactorMax})
        f.setText(label, QString());
    w.clearResult();
    const bool typed = f.chosen(F::ZMode, vocab::ZMode::NotCorrected);
    f.setEnabled(F::ZnZgMin, typed);
    f.setEnabled(F::ZnZgMax, typed);
    for (Field gas : {F::RefCondition, F::XH2, F::Hs, F::XCO2, F::RelDensity})
        f.setEnabled(gas, !typed);
}

void onMediumLeft(SelectionContext& w)
{
    const FormModel& f = w.form;
    if (!f.text(F::StdFlowMin).isEmpty() && !f.text(F::StdFlowMax).isEmpty())
        computeWorkingFlow(w);
}
