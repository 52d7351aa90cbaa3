#pragma once

#include "adapters/sql/statements.h"

#include <QString>
#include <QStringList>

#include <map>

class QSqlDatabase;

// The PostgreSQL store's search indexes beside the table: a pg_trgm GIN index over
// the number and the three searched texts (`选型输出检索`), which answers like and
// ilike with a recheck of the row so that the statements stay as they are, and a
// btree of the numbers in the order of their characters (`选型输出编号前缀`), which
// serves a number's beginning.
namespace postgres_search {

// How the indexes are made: while saves go on (outside any transaction), or at once,
// within the transaction that holds the table.
enum class Making {
    WhileSavesGoOn,
    InTransaction,
};
// The extension that provides the first index, then the two indexes, each where it
// is missing.
QStringList made(Making making = Making::WhileSavesGoOn);
// The names of the two indexes.
QStringList names();
// The names of those indexes that are there, each with whether it is usable.
Statement foundStatement();
std::map<QString, bool> found(const QSqlDatabase& db);
// Those that are not there, or not usable (a making cut short).
QStringList missing(const QSqlDatabase& db);
// Adds the indexes where they are missing, while saves go on: whatever the table
// holds, or only on a table of a size whose indexes are made in a moment.
void add(const QSqlDatabase& db, bool whateverTheSize);
// How many rows the table holds, counted up to `limit`.
Statement rowsUpTo(int limit);
// The page of a search of digits: from the key's range and from the texts.
Statement page(const ListQuery& query, int limit);

} // namespace postgres_search
