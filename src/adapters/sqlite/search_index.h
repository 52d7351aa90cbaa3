#pragma once

#include "adapters/sql/statements.h"

#include <QString>

class QSqlDatabase;

// The SQLite store's search index beside the table: its health, recorded by the
// file's layout number (`pragma user_version`), and its repair. The index only makes
// searches faster: one that does not agree with the table is rebuilt by a program
// that may write, and left unread by one that may not, so that a search always finds
// exactly the rows the table holds.
namespace sqlite_search {

// The layout of the index this program makes; a file records it once the index is
// made or found sound. A file of a later layout keeps its index, unread.
inline constexpr int kLayout = 1;

// What the opening found and did.
struct Prepared {
    statements::Index index = statements::Index::None; // how searches may read it
    QString repaired; // what was wrong with the index, when it was rebuilt; empty otherwise
    QString problem;  // what is wrong and was not repaired (read-only, held, full); empty otherwise
};

// What is wrong with the index of this file, in words the user reads; empty when it
// agrees with the table. `thorough` adds the index's own check of its structure,
// which reads all of it.
QString damage(const QSqlDatabase& db, bool thorough);

// What an opening may do to the file.
enum class Work {
    Read,       // nothing: a read-only file is searched as its index allows
    Repair,     // rebuild an index that does not agree with the table, nothing else
    Everything, // also make one where there is none, move the waiting rows into it
                // and record its layout
};

// For a program that opens the file: makes the index where there is none, moves the
// rows that wait into it, and rebuilds it where it does not agree with the table,
// all in one write transaction, as far as `work` allows; then tells how searches
// read it.
Prepared prepare(QSqlDatabase& db, Work work, bool thorough = false);

// For a copy of many rows into the empty table within the transaction that is open:
// the index's triggers are taken away, so that the rows go in without the index
// taking them in a few at a time...
bool setAside(QSqlDatabase& db, QString* error);
// ...and the index is made from all the rows at once at the end, in the same
// transaction, as an opening makes a missing one.
bool remake(QSqlDatabase& db, QString* error);

} // namespace sqlite_search
