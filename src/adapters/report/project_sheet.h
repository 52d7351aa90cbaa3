#pragma once

#include "core/ports/project_store.h"

#include <QString>

#include <vector>

class QPagedPaintDevice;

// The summary sheet of a project, "项目选型汇总表": the project's header (number,
// name, customer, site, date), one row per line (位号, 选型编号, 型号, 介质,
// 标况流量范围, 绝压范围, 通径规格, 数量) whose header row is repeated on every
// page, then the quantity of each model code. A4 landscape, pages numbered.
QString projectSheetTitle();
QString projectSheetHtml(const Project& project, const std::vector<ProjectLine>& lines);

// Lays the sheet out on a device set to A4 landscape (a printer, a preview).
void printProjectSheet(const Project& project, const std::vector<ProjectLine>& lines, QPagedPaintDevice& device);
// Sets a device's page to the sheet's: A4 landscape with its margins.
void setProjectSheetPage(QPagedPaintDevice& device);

// Writes the sheet as a PDF, whole or not at all; false with the reason.
bool writeProjectSheetPdf(
    const QString& path, const Project& project, const std::vector<ProjectLine>& lines, QString* error);
