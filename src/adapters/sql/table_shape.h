#pragma once

#include <QString>

#include <vector>

// A column of the table of stored selections as the engine's catalogue describes it.
struct TableColumn {
    QString name;
    QString type;     // the type as the engine names it, for the report
    bool text = true; // whether the engine keeps its values as text
    bool key = false; // part of the primary key
};

// What is wrong with the table of stored selections, given its columns in their
// order, or empty when it has the program's shape: the 45 columns with their names
// in their order, each kept as text (so that "1.0" stays "1.0"), and the selection
// number alone as the primary key (so that two programs cannot store one number
// twice). `names` is how the engine compares column names.
QString tableShapeProblem(const std::vector<TableColumn>& found, Qt::CaseSensitivity names);
