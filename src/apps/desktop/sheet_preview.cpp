#include "apps/desktop/sheet_preview.h"

#include "adapters/report/calculation_page.h"
#include "adapters/report/selection_sheet.h"
#include "apps/desktop/widget_platform.h"
#include "core/ports/calculation_sheet.h"
#include "core/ports/platform.h"
#include "core/ports/print_row.h"
#include "workspace/calculation_record.h"

#include <QAction>
#include <QCheckBox>
#include <QDate>
#include <QFileDialog>
#include <QPainter>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QToolBar>

bool saveSheetAsPdf(
    const QString& path, const PrintRow& row, const QString& date, Platform& ui, const CalculationSheet* calculation)
{
    QString error;
    if (writeSelectionSheetPdf(path, row, date, &error, calculation))
        return true;
    ui.showBox(MessageKind::Error, error);
    return false;
}

QPrintPreviewDialog* createSheetPreview(
    const PrintRow& row, QWidget* parent, const std::optional<CalculationSheet>& calculation, const QString& why)
{
    auto* printer = new QPrinter(QPrinter::HighResolution);
    printer->setPageLayout(selectionSheetPageLayout());
    printer->setFullPage(true); // the sheet's origin is the printable area's corner
    printer->setDocName(selectionSheetTitle());
    auto* dialog = new QPrintPreviewDialog(printer, parent);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    QObject::connect(dialog, &QObject::destroyed, [printer] { delete printer; });
    dialog->setWindowTitle(selectionSheetPreviewCaption(row.value(QStringLiteral("选型编号"))));
    const QString date = selectionSheetDate(QDate::currentDate());
    auto* withCalculation = new QCheckBox(QStringLiteral("附计算书"), dialog);
    withCalculation->setObjectName(QStringLiteral("withCalculationBox"));
    withCalculation->setEnabled(calculation.has_value());
    if (!calculation)
        withCalculation->setToolTip(why);
    // the record's page when the box is ticked: what is shown is what is printed and saved
    auto chosenCalculation = [withCalculation, calculation]() -> const CalculationSheet* {
        return withCalculation->isChecked() && calculation ? &*calculation : nullptr;
    };
    QObject::connect(dialog, &QPrintPreviewDialog::paintRequested, dialog, [row, date, chosenCalculation](QPrinter* p) {
        QPainter painter(p);
        paintSelectionSheet(painter, row, date);
        if (const CalculationSheet* record = chosenCalculation()) {
            p->newPage();
            paintCalculationPage(painter, *record);
        }
    });
    auto* preview = dialog->findChild<QPrintPreviewWidget*>();
    if (preview)
        preview->setZoomMode(QPrintPreviewWidget::FitToWidth);
    if (auto* tools = dialog->findChild<QToolBar*>()) {
        QAction* save = tools->addAction(QObject::tr("另存为PDF..."));
        save->setObjectName(QStringLiteral("savePdfAction"));
        QObject::connect(save, &QAction::triggered, dialog, [dialog, row, date, chosenCalculation] {
            const QString path = QFileDialog::getSaveFileName(dialog, QObject::tr("另存为PDF"),
                row.value(QStringLiteral("选型编号")) + QStringLiteral(".pdf"), QStringLiteral("PDF (*.pdf)"));
            if (!path.isEmpty()) {
                WidgetPlatform ui;
                saveSheetAsPdf(path, row, date, ui, chosenCalculation());
            }
        });
        tools->addWidget(withCalculation);
    }
    if (preview)
        QObject::connect(withCalculation, &QCheckBox::toggled, preview, &QPrintPreviewWidget::updatePreview);
    return dialog;
}

QPrintPreviewDialog* createStoredSheetPreview(
    SelectionStore& store, const QString& number, const PrintRow& row, QWidget* parent)
{
    QString why;
    const std::optional<CalculationSheet> record
        = storedCalculationRecord(store, number, selectionSheetDate(QDate::currentDate()), &why);
    return createSheetPreview(row, parent, record, why);
}
