#pragma once

#include "adapters/sqlite/query_helpers.h"


// The statements on the table of stored selections. Their texts keep the meaning
// of the original Jet statements; values are bound, and the first eight characters
// of a number are taken by substr (LEFT is a keyword in SQLite).
namespace statements {

// A page of the rows, newest number first, for the main window's list.
Statement listPage(int offset, int limit);
// The highest number of a day (yyyymmdd).
Statement highestOfDay(const QString& day);
// The numbers of a day, for numbering past the three-digit sequence.
Statement numbersOfDay(const QString& day);
// The 45 values of a row, in column order.
Statement insert(const QStringList& row);
// The stored row of a number; whether a number is stored.
Statement fetch(const QString& number);
Statement remove(const QString& number);
// The 42 columns the selection sheet prints, for one number; three lines of text.
Statement print(const QString& number);

} // namespace statements
