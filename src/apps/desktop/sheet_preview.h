#pragma once

#include "core/ports/calculation_sheet.h"

#include <optional>

class Platform;
class QPrintPreviewDialog;
class SelectionStore;
class QString;
class QWidget;
struct PrintRow;

// The preview of a stored selection's sheet: opens at page width; the user prints
// it, saves it as a PDF or closes it. With a calculation record, the check box
// "附计算书" (object name "withCalculationBox") adds its page to what is shown,
// printed and saved; without one the box is disabled and `why` says why. The caller
// shows the dialog.
QPrintPreviewDialog* createSheetPreview(const PrintRow& row, QWidget* parent,
    const std::optional<CalculationSheet>& calculation = std::nullopt, const QString& why = QString());

// The preview of the selection stored under `number`, its row `row` as the store
// gave it, with the calculation record computed afresh from the store; when that
// cannot be, the box says why. The caller shows the dialog.
QPrintPreviewDialog* createStoredSheetPreview(
    SelectionStore& store, const QString& number, const PrintRow& row, QWidget* parent);

// The preview's command "另存为PDF" once the file is chosen: writes the sheet (and the
// calculation record's page when given), and when it cannot be written completely
// says so in the program's error box.
bool saveSheetAsPdf(const QString& path, const PrintRow& row, const QString& date, Platform& ui,
    const CalculationSheet* calculation = nullptr);
