#pragma once

#include "core/ports/project_store.h"

#include <QString>
#include <QStringList>

#include <vector>

// The workbook of a project, for the quote: a sheet "项目" of its lines (位号,
// 选型编号, 型号, 介质, 标况流量范围, 绝压范围, 通径规格, 数量; the quantity a
// number, the rest text; column widths set; the header row frozen), then one sheet
// per line, named by its tag, with the whole stored selection record (each column's
// name and its value, as stored). Written whole or not at all; false with the reason.
bool writeProjectWorkbook(
    const QString& path, const Project& project, const std::vector<ProjectLine>& lines, QString* error);

// The sheet names of the lines, in line order: the tag, with the characters a sheet
// name cannot hold replaced by "_", cut to 31 UTF-16 units between characters and
// made unique (the lines' sheet "项目" and the reserved "History" among them) by a
// number in brackets, names that differ only in letter case or width counting as one.
// A cell a workbook cannot hold (a text of over 32,767 characters, or one holding
// NUL) refuses the whole workbook, naming its line and field: never an empty or cut
// cell.
QStringList lineSheetNames(const std::vector<ProjectLine>& lines);
