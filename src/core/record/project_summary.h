#pragma once

#include "core/ports/project_store.h"

#include <QString>
#include <QStringList>

#include <vector>

// What the project's table, its summary sheet and its workbook show of a line: the
// tag, the selection's number and the columns of its stored selection that a quote
// needs. A line whose selection is gone shows "已删除" for its model code.
struct ProjectLineView {
    QString tag;
    QString selectionNo;
    QString modelCode;
    QString medium;
    QString stdFlowRange;  // Nm³/h, "min~max" as stored
    QString pressureRange; // kPa absolute, "min~max" as stored
    QString sizeSpec;
    int quantity = 1;
    QString quantityText; // the digits, or an odd stored quantity with its mark
    bool quantityValid = true;
    bool deleted = false;
};

ProjectLineView viewOf(const ProjectLine& line);

// The headers of the project's table, in its column order:
// 位号, 选型编号, 型号, 介质, 标况流量范围, 绝压范围, 通径规格, 数量.
const QStringList& projectLineHeaders();
// The texts of a line in that order (the quantity as digits).
QStringList projectLineTexts(const ProjectLineView& line);

// What the sheet shows for a selection that is no longer stored.
QString deletedSelectionText();
// What is shown for a quantity the store holds that is no whole number from 1 up:
// the stored text and a mark.
QString oddQuantityText(const QString& stored);

// The quantity of each model code over the lines that still have their selection
// and a quantity that is one, in the order each code first appears.
struct ModelTotal {
    QString modelCode;
    int quantity = 0;
};
std::vector<ModelTotal> totalsByModel(const std::vector<ProjectLine>& lines);
