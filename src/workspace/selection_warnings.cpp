#include "workspace/selection_warnings.h"

#include "core/form/numbers.h"
#include "core/form/selection_context.h"
#include "core/form/vocabulary.h"
#include "workspace/selection_figures.h"

#include <QStringList>

using F = Field;

namespace {

// Gas is not metered below atmospheric pressure, and the lowest site pressure of the
// maker's market is about 65 kPa: a smaller absolute pressure is almost always a gauge
// pressure or a value in MPa typed into a kPa box.
constexpr double kLowestAbsolutePressureKpa = 60;

// The decimals an input of the method is told with; trailing zeros dropped.
constexpr int kInputDecimals[kSgergRangeInputCount] = {2, 4, 4, 4, 3, 3, 2, 2};

void addSizeWarnings(const SelectionContext& w, std::vector<SelectionWarning>& out)
{
    // A size is chosen only after the working flows were computed for the inputs on
    // screen; the figures are the ones the engineer reads, so the warning and the
    // figure beside it never disagree.
    if (w.form.text(F::WorkFlowMax).isEmpty())
        return;
    const std::optional<SizeUse> use = sizeUseOf(w);
    if (!use)
        return;
    if (use->aboveMax())
        out.push_back({QStringLiteral("above-size-max"),
            QStringLiteral("最大工况流量超出所选规格上限（%1%）").arg(use->useAtMax)});
    if (use->belowMin())
        out.push_back({QStringLiteral("below-size-min"),
            QStringLiteral("最小工况流量低于所选规格下限（%1倍）").arg(use->marginAtMin)});
}

void addPressureWarning(const SelectionContext& w, std::vector<SelectionWarning>& out)
{
    for (Field f : {F::PabsMin, F::PabsMax}) {
        const std::optional<double> p = parseDecimalTrimmed(w.form.text(f));
        if (p && *p < kLowestAbsolutePressureKpa) {
            out.push_back({QStringLiteral("low-absolute-pressure"),
                QStringLiteral("绝压低于60kPa：请确认填写的是绝对压力（kPa），不是表压或MPa")});
            return;
        }
    }
}

void addSgergWarning(const SelectionContext& w, std::vector<SelectionWarning>& out)
{
    const std::optional<SgergRangeInputs> inputs = sgergInputsAtMethodReference(w.form);
    if (!inputs)
        return;
    const SgergRangeVerdict verdict = sgergRange(*inputs);
    if (verdict.outside.empty())
        return;
    QStringList parts;
    for (SgergRangeInput input : verdict.outside) {
        const int i = static_cast<int>(input);
        const SgergBounds wider = sgergWiderBounds(input);
        const int decimals = kInputDecimals[i];
        parts << QStringLiteral("%1 %2（适用范围 %3～%4）")
                     .arg(sgergInputWord(input), formatFixedTrimmed((*inputs)[i], decimals),
                         formatFixedTrimmed(wider.low, decimals), formatFixedTrimmed(wider.high, decimals));
    }
    out.push_back({QStringLiteral("sgerg-outside"),
        QStringLiteral("超出SGERG-88适用范围（按方法参比条件25℃/0℃）：%1，压缩系数仅供参考")
            .arg(parts.join(QStringLiteral("；")))});
}

} // namespace

std::vector<SelectionWarning> selectionWarnings(const SelectionContext& w)
{
    std::vector<SelectionWarning> out;
    addSizeWarnings(w, out);
    // the inputs speak once the computation has read them, then as they are typed; the
    // method's range only where the method computes Zn/Zg
    if (w.inputsUsed) {
        addPressureWarning(w, out);
        if (!w.form.chosen(F::ZMode, vocab::ZMode::NotCorrected))
            addSgergWarning(w, out);
    }
    return out;
}
