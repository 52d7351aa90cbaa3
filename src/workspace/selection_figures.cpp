#include "workspace/selection_figures.h"

#include "core/form/numbers.h"
#include "core/form/selection_context.h"
#include "core/form/vocabulary.h"
#include "core/gas/sgerg_coefficients.h"

#include <QStringList>

using F = Field;

namespace {

// The boxes of the inputs, in the order of SgergRangeInput.
constexpr Field kRangeFields[kSgergRangeInputCount]
    = {F::Hs, F::RelDensity, F::XCO2, F::XH2, F::PabsMin, F::PabsMax, F::TempMin, F::TempMax};

// How the status bar names them.
const char* const kRangeWords[kSgergRangeInputCount]
    = {"高位发热量", "相对密度", "CO2摩尔分数", "H2摩尔分数", "最小绝对压力", "最大绝对压力", "最低温度", "最高温度"};

std::array<QString, kSgergRangeInputCount> fieldNames()
{
    std::array<QString, kSgergRangeInputCount> names;
    for (int i = 0; i < kSgergRangeInputCount; ++i)
        names[i] = fieldName(kRangeFields[i]);
    return names;
}

} // namespace

std::array<SgergInputFigure, kSgergRangeInputCount> sgergInputFigures(const FormModel& form)
{
    // The standard's ranges refer to its own reference conditions: gas data given at
    // 20 C / 20 C are judged as the method receives them.
    const bool ref20 = form.chosen(F::RefCondition, vocab::RefCondition::Ref20);
    std::array<SgergInputFigure, kSgergRangeInputCount> figures;
    for (int i = 0; i < kSgergRangeInputCount; ++i) {
        const auto input = static_cast<SgergRangeInput>(i);
        SgergInputFigure& figure = figures[i];
        figure = {input, form.text(kRangeFields[i]), false, parseDecimalTrimmed(form.text(kRangeFields[i]))};
        if (ref20 && (input == SgergRangeInput::Hs || input == SgergRangeInput::RelDensity)) {
            figure.converted = true;
            if (figure.atMethodReference)
                *figure.atMethodReference
                    *= input == SgergRangeInput::Hs ? sgerg::ref20HeatFactor : sgerg::ref20DensityFactor;
        }
    }
    return figures;
}

std::optional<SgergRangeInputs> sgergInputsAtMethodReference(const FormModel& form)
{
    if (form.chosen(F::ZMode, vocab::ZMode::NotCorrected))
        return std::nullopt;
    SgergRangeInputs inputs {};
    for (const SgergInputFigure& figure : sgergInputFigures(form)) {
        if (!figure.atMethodReference)
            return std::nullopt;
        inputs[int(figure.input)] = *figure.atMethodReference;
    }
    return inputs;
}

std::optional<SgergRangeVerdict> sgergRangeOf(const FormModel& form)
{
    const std::optional<SgergRangeInputs> inputs = sgergInputsAtMethodReference(form);
    if (!inputs)
        return std::nullopt;
    return sgergRange(*inputs);
}

QString sgergInputWord(SgergRangeInput input)
{
    return QString::fromUtf8(kRangeWords[int(input)]);
}

QString sgergRangeColumn(const FormModel& form)
{
    const std::optional<SgergRangeVerdict> verdict = sgergRangeOf(form);
    return verdict ? sgergRangeText(*verdict, fieldNames()) : QString();
}

QString sgergRangeHint(const FormModel& form)
{
    const std::optional<SgergRangeVerdict> verdict = sgergRangeOf(form);
    if (!verdict)
        return QString();
    switch (verdict->range) {
    case SgergRangeClass::Normal: return QStringLiteral("SGERG-88：输入在管输天然气的常规适用范围内");
    case SgergRangeClass::Wider: return QStringLiteral("SGERG-88：输入超出常规范围，在扩展适用范围内");
    case SgergRangeClass::Outside: break;
    }
    QStringList out;
    for (SgergRangeInput input : verdict->outside)
        out << sgergInputWord(input);
    return QStringLiteral("SGERG-88：超出适用范围（%1），压缩系数仅供参考").arg(out.join(u'、'));
}

bool SizeUse::aboveMax() const
{
    // read without the handlers' general error: figures are read outside any handler
    const std::optional<double> use = parseDecimal(useAtMax);
    return use && *use > 100;
}

bool SizeUse::belowMin() const
{
    const std::optional<double> margin = parseDecimal(marginAtMin);
    return margin && *margin < 1;
}

std::optional<SizeUse> sizeUseOf(const QString& label, const WorkingFlows& flows)
{
    const std::optional<SizeCapacity> capacity = sizeCapacity(label);
    if (!capacity)
        return std::nullopt;
    return SizeUse {*capacity, capacity->useAtMax(flows.qmax), capacity->marginAtMin(flows.qmin)};
}

std::optional<SizeUse> sizeUseOf(const SelectionContext& w)
{
    if (w.form.index(F::Size) < 0)
        return std::nullopt;
    return sizeUseOf(w.form.text(F::Size), w.flows);
}

QString sizeUseHint(const SelectionContext& w)
{
    const std::optional<SizeUse> use = sizeUseOf(w);
    if (!use)
        return QString();
    return QStringLiteral("通径利用率：最大工况流量为上限的 %1%，最小工况流量为下限的 %2 倍")
        .arg(use->useAtMax, use->marginAtMin);
}
