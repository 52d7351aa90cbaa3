#pragma once

#include <QString>

#include <vector>

class SelectionContext;

// What a window's figures say the engineer should look at before quoting: nothing
// is refused for a warning, and nothing stored or shown in a message changes.
struct SelectionWarning {
    QString code; // "above-size-max", "below-size-min", "low-absolute-pressure", "sgerg-outside"
    QString text; // as the window's warning line shows it
};

// The window's current warnings, in the order of the codes above: the chosen size
// against the working flows, the pressures as typed, and in mode "修正" the inputs
// the compressibility method judges.
std::vector<SelectionWarning> selectionWarnings(const SelectionContext& w);
