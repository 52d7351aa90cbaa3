#pragma once

class QPrintPreviewDialog;
class QWidget;
struct PrintRow;

// The preview of a stored selection's sheet: opens at page width; the user prints
// it, saves it as a PDF or closes it. The caller shows the dialog.
QPrintPreviewDialog* createSheetPreview(const PrintRow& row, QWidget* parent);
