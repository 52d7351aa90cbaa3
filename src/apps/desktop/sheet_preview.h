#pragma once

class Platform;
class QPrintPreviewDialog;
class QString;
class QWidget;
struct PrintRow;

// The preview of a stored selection's sheet: opens at page width; the user prints
// it, saves it as a PDF or closes it. The caller shows the dialog.
QPrintPreviewDialog* createSheetPreview(const PrintRow& row, QWidget* parent);

// The preview's command "另存为PDF" once the file is chosen: writes the sheet, and
// when it cannot be written completely says so in the program's error box.
bool saveSheetAsPdf(const QString& path, const PrintRow& row, const QString& date, Platform& ui);
