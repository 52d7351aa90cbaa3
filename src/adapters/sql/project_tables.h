#pragma once

#include "adapters/sql/table_shape.h"

#include <QString>

#include <functional>
#include <optional>
#include <vector>

class QSqlDatabase;

// The columns of a table as the engine's catalogue describes them, in their order:
// none when there is no such table; std::nullopt, with the engine's message, when the
// catalogue cannot be read.
using ColumnReader = std::function<std::optional<std::vector<TableColumn>>(const QString& table, QString* error)>;

// Whether a store holds the project tables, and when it does not, why projects
// cannot be written to it.
struct ProjectTablesState {
    bool present = false;
    QString missing; // why the tables are not there; empty when they are
};

// What is wrong with a project table, given its columns in their order, or empty
// when it has the program's shape (names, text or whole-number columns, the key).
QString projectTableProblem(const QString& table, const std::vector<TableColumn>& found, Qt::CaseSensitivity names);

// Checks the project tables of a store, and when they are missing and the store may
// be written, makes them (an older store that holds only the table of stored
// selections gains them, its rows untouched). A store that may not be written keeps
// working without them. The reason when a table that is there has not the program's
// shape (the store is then refused), or empty; `state` tells whether they are there.
QString prepareProjectTables(
    QSqlDatabase db, bool mayWrite, const ColumnReader& read, Qt::CaseSensitivity names, ProjectTablesState* state);
