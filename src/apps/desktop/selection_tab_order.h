#pragma once

#include "core/form/fields.h"

#include <variant>
#include <vector>

// The buttons of the selection window that Tab stops at.
enum class WindowButton {
    GaugePressure, // "表压换算…"
    ComputeFlow,   // "计算工况流量"
    Select,        // "选型"
    Save,          // "保存"
    Print,         // "打印"
};

// A place Tab stops at: a field's control (each button of a radio group in turn), or
// one of the window's buttons.
using TabStop = std::variant<Field, WindowButton>;

// The order Tab follows through the selection window, as the form is read: the point,
// the gas group row by row, then "计算工况流量" right after the last gas box, the
// meter, its options, the result.
const std::vector<TabStop>& readingTabOrder();
