#pragma once

#include "workspace/selection_figures.h"

#include <QString>

#include <vector>

class SelectionContext;

// One meter the window could be set to for the working flows on screen: a meter type
// of the type list and a size that its size list offers with the option chain's
// first choices (origin, counter, card control), with the figures to weigh it by.
struct SizeCandidate {
    QString meterType;
    QString sizeSpec;     // the size list's text
    SizeUse use;          // range, UseAtMax, MarginAtMin
    QString velocity;     // m/s at WorkFlowMax in the bore of the size's nominal diameter, two decimals
    bool widened = false; // offered by the widened pass of the fitting only

    // The working flows reach beyond the range the label states.
    bool overRange() const { return use.aboveMax() || use.belowMin(); }
    QString fitText() const; // "exact" or "widened"
    QString fitWord() const; // as the window and the record say it: "精确" or "放宽"

    bool operator==(const SizeCandidate&) const = default;
};

// The candidates of the window's current working range: for every meter type of its
// type list, in the list's order, the sizes of the size list in its order, as a
// window without a screen shows them after the user chooses that type. Each type is
// chosen in a fresh copy of the window, through the window's own handlers, so the
// window itself is not touched and the candidates are the lists the user would see.
// Empty before a computation and after an input changed.
std::vector<SizeCandidate> sizeCandidates(const SelectionContext& w);

// The gas velocity in m/s of `workFlow` m3/h through a bore of `dnMillimetres`:
// Q / 3600 / (pi * DN^2 / 4), DN in metres.
double boreVelocity(double workFlow, double dnMillimetres);
