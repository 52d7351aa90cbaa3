#pragma once

#include "core/form/fields.h"

#include <QString>
#include <QStringView>

#include <span>
#include <variant>

// The table of stored selections, by the name the users' documents know.
inline constexpr QStringView kSelectionTable = u"选型输出";

// The values of a stored row that no control shows: the selection command derives
// them from the form.
enum class Derived {
    ModelCode,
    ProductName,
    Bore,
    CorrectorModel,
    TempSensorL,
    TempSensorH,
    TempMaxError,
};

// Whether the selection sheet's statement reads a column.
enum class Printed {
    No,
    Yes,
    YesThenLineBreak, // the statement goes on on a new line after this column
};

// One column of the table of stored selections.
struct Column {
    std::variant<Field, Derived> value; // what the column holds
    const char* name;                   // the stored column name
    const char* header;                 // the list's header; nullptr: not in the list
    int width;                          // the list column's width in pixels
    Printed printed;
};

inline constexpr int kColumnCount = 45;

// The columns in their stored order. Everything that writes, reads or shows a row
// (the pending row, the table's statements, the restore, the list) follows it.
std::span<const Column> columns();

// The position of the column that holds a field or a derived value.
int columnOf(Field f);
int columnOf(Derived d);

// The columns the main window's list shows: the first 44.
int listColumnCount();
