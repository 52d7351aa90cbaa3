#pragma once

#include "adapters/sql/query_helpers.h"


// The statements on the table of stored selections, in SQL that SQLite and
// PostgreSQL both accept. Their texts keep the meaning of the original Jet
// statements; values are bound, and the first eight characters of a number are
// taken by substr (LEFT is a keyword in SQLite).
namespace statements {

// How a statement writes the column names: as they stand, or quoted, for an engine
// that folds unquoted names to lower case (PostgreSQL: "CO2摩尔含量", "GPRS").
enum class Names {
    AsWritten,
    Quoted,
};

// The table with the 45 text columns in their order, where it is missing; the
// selection number is the key, so two programs saving one number cannot both succeed.
Statement createTable();

// A page of the rows, newest number first, for the main window's list.
Statement listPage(int offset, int limit);
// The highest number of a day (yyyymmdd), among its eleven-digit numbers.
Statement highestOfDay(const QString& day);
// The eleven-digit numbers of a day, for numbering past the three-digit sequence.
Statement numbersOfDay(const QString& day);
// The 45 values of a row, in column order.
Statement insert(const QStringList& row);
// The stored row of a number; whether a number is stored.
Statement fetch(const QString& number);
Statement remove(const QString& number);
// The 42 columns the selection sheet prints, for one number; three lines of text.
Statement print(const QString& number, Names names = Names::AsWritten);
// A page of the rows after a number, lowest number first.
Statement rowsAfter(const QString& number, int limit);
// The 45 values of a row, unless its number is stored already.
Statement insertUnlessStored(const QStringList& row);

} // namespace statements
