#pragma once

#include <QString>

class QDate;
class QPageLayout;
class QPainter;
struct CalculationSheet;
struct PrintRow;

// The printed selection sheet: one A4 portrait page drawn from the template
// (sheet_template.h) with the print query's row. Drawing needs a QGuiApplication
// (the offscreen platform will do) for its fonts.

// The report's title, "Corvane".
QString selectionSheetTitle();

// The preview window's caption, naming the selection it shows:
// "打印预览 – 选型编号 20261210001".
QString selectionSheetPreviewCaption(const QString& number);

// What [DATE] prints for a date: the system locale's short date format. The sheet
// prints the date of printing, not the record's.
QString selectionSheetDate(const QDate& date);

// A4 portrait without margins: the PDF's page, and the page a printer is set to.
QPageLayout selectionSheetPageLayout();

// Paints the whole page onto the painter's device, whose origin is taken as the
// top-left corner of the printable area; template pixels (96 per inch) become
// device units by the device's logical resolution. Draws no background.
void paintSelectionSheet(QPainter& painter, const PrintRow& row, const QString& dateText);

// Writes the sheet as a PDF with its fonts embedded: one page, and the calculation
// record's page after it when one is given. False, with the message in `error`, when
// the file cannot be written completely (a full disk included); no file is left at
// `path` then, and one that was there stays as it was.
bool writeSelectionSheetPdf(const QString& path, const PrintRow& row, const QString& dateText, QString* error = nullptr,
    const CalculationSheet* calculation = nullptr);

// What is said when the sheet could not be written to `path`, and why.
QString sheetNotWrittenText(const QString& path, const QString& reason);
