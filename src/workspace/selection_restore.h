#pragma once

#include <QStringList>

class SelectionContext;

// Brings a stored selection back into a window: the stored inputs and choices are
// put back in the order in which the option chain builds its lists, each step of
// the chain re-run, and "选型" runs again, so the window holds a live selection.
// `row` is the stored row, its 45 values in column order.
void restoreSelection(SelectionContext& w, const QStringList& row);
