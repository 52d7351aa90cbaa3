#pragma once

#include "core/gas/sgerg_range.h"
#include "core/rules/size_capacity.h"

#include <QString>

#include <array>
#include <optional>

class FormModel;
class SelectionContext;
struct WorkingFlows;

// What a window's inputs and choices say beyond the model code: whether SGERG-88 is
// valid for the gas and the working corners, and how much of the chosen size's range
// the working flows use. Read from the window as it stands; nothing changes.

// One judged input as the method receives it: Hs and d given at the 20 C / 20 C
// reference are converted to the method's own (combustion 25 C, metering 0 C).
struct SgergInputFigure {
    SgergRangeInput input;
    QString entered;                         // the box's text
    bool converted;                          // scaled from the 20 C / 20 C reference
    std::optional<double> atMethodReference; // nothing while the box holds no number
};
std::array<SgergInputFigure, kSgergRangeInputCount> sgergInputFigures(const FormModel& form);
// The inputs the method judges, with the gas data converted to the method's own
// reference; nothing in mode "不修正" or while an input does not hold a number.
std::optional<SgergRangeInputs> sgergInputsAtMethodReference(const FormModel& form);
// How the window names an input the method judges: "高位发热量".
QString sgergInputWord(SgergRangeInput input);
// The range of the inputs in mode "修正"; nothing in mode "不修正" or while an input
// does not hold a number.
std::optional<SgergRangeVerdict> sgergRangeOf(const FormModel& form);
// "normal", "wider", "outside: Hs, PabsMax" (the record's field names), or empty.
QString sgergRangeColumn(const FormModel& form);
// The status-bar hint after "计算工况流量", or empty.
QString sgergRangeHint(const FormModel& form);

// A size's capacity against working flows.
struct SizeUse {
    SizeCapacity capacity;
    QString useAtMax;    // "76.8"
    QString marginAtMin; // "6.69"

    // The figures as shown: the working flows reach beyond the range the label states.
    bool aboveMax() const;
    bool belowMin() const;

    bool operator==(const SizeUse&) const = default;
};
// The chosen size's capacity against the window's working flows, or nothing when no
// size is chosen.
std::optional<SizeUse> sizeUseOf(const SelectionContext& w);
// The capacity of the size labelled `label` against `flows`, or nothing for a label
// that no size table holds.
std::optional<SizeUse> sizeUseOf(const QString& label, const WorkingFlows& flows);
// The status-bar hint after "选型", or empty.
QString sizeUseHint(const SelectionContext& w);
