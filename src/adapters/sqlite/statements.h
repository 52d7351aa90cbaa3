#pragma once

#include "adapters/sqlite/query_helpers.h"

#include <optional>

// The statements on the table of stored selections. Their texts keep the meaning
// of the original Jet statements; values are bound, and the first eight characters
// of a number are taken by substr (LEFT is a keyword in SQLite).
namespace statements {

// All rows, newest number first, for the main window's list.
Statement listAll();
// The expression, table and condition of the highest number of a day (yyyymmdd).
QStringList highestOfDayFields();
QStringList highestOfDayTables();
QString highestOfDayCondition();
// The numbers of a day, for numbering past the three-digit sequence.
Statement numbersOfDay(const QString& day);
// Whether a number is stored.
Statement exists(const QString& number);
// The 45 values of a row, in column order.
Statement insert(const QStringList& row);
// The stored row of a number.
Statement fetch(const QString& number);
Statement remove(const QString& number);
// The 42 columns the selection sheet prints, for one number; three lines of text.
Statement print(const QString& number);

} // namespace statements

// The row the selection sheet prints: the 42 columns by name. Runs without the
// query helpers; `error` is set when the query itself fails.
struct PrintRow {
    QStringList columns;
    QStringList values;
    QString value(const QString& column) const;
};
// What the print command says when the number is not stored.
QString notSavedMessage();

std::optional<PrintRow> fetchPrintRow(QSqlQuery& query, const QString& number, QString* error, int* rowsFound);
