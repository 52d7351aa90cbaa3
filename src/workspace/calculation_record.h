#pragma once

#include "core/ports/calculation_sheet.h"

#include <QStringList>

#include <optional>

class SelectionStore;

// The calculation record of a stored selection: its stored inputs are put back into
// a window without a screen, as opening it does, which computes the working flows
// afresh with the window's own code; the record tells what that window then shows,
// formatted as it shows it, with the factors behind it. `row` is the stored row, its
// 45 values in column order; `dateText` the date printed at its foot.
CalculationSheet calculationRecord(const QStringList& row, const QString& dateText);

// The record of the selection stored under `number` in `store`; nothing, and what to
// tell the user in `error`, when it cannot be read or is not stored.
std::optional<CalculationSheet> storedCalculationRecord(
    SelectionStore& store, const QString& number, const QString& dateText, QString* error);
