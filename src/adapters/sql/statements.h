#pragma once

#include "adapters/sql/query_helpers.h"
#include "core/ports/selection_store.h"

#include <optional>
#include <vector>

// The statements on the table of stored selections, in SQL that SQLite and
// PostgreSQL both accept. Their texts keep the meaning of the original Jet
// statements; values are bound, never pasted into the text. Each text is fixed for
// its kind of call (only the bound values change), so that the store prepares it
// once and reuses it. What one engine alone knows (its search index) is with the
// store of that engine.
namespace statements {

// How a statement writes the column names: as they stand, or quoted, for an engine
// that folds unquoted names to lower case (PostgreSQL: "CO2摩尔含量", "GPRS").
enum class Names {
    AsWritten,
    Quoted,
};

// The name of a thing that belongs to the table of stored selections: the table's
// name, then what it is ("选型输出检索").
QString besideTheTable(QStringView what);
// A column's name in double quotes.
QString quotedName(const char* name);

// The table with the 45 text columns in their order, where it is missing; the
// selection number is the key, so two programs saving one number cannot both succeed.
Statement createTable();

// How an engine's LIKE compares letters: SQLite's like ignores the case of ASCII
// letters; PostgreSQL's like does not, its ilike does.
enum class Match {
    CaseFoldingLike,
    ILike,
};

// A page of the list, newest number first: `select *` in the order of the key, from
// the top or after the last number of the page before (a keyset page: no offset is
// skipped, the key's index serves it), with or without a search (see ListQuery),
// the rows compared one by one.
Statement listPage(const ListQuery& query, int limit, Match match);
// A page of the rows of `source` (a table, or a subquery named as one whose values
// are `sourceValues`), with the query's conditions, ordered and cut by the key.
Statement pageOf(const QString& source, const ListQuery& query, int limit, Match match, QVariantList sourceValues);
// The page of the rows in the key's range of the numbers that start with the
// search's text (in any case of its Latin letters), with the query's conditions.
Statement pageInKeyRange(const ListQuery& query, int limit, Match match);
// The newest `limit` rows of two pages of one query, each read its own way: an
// engine's index names some rows that the key's range does not, and the other way.
Statement newestOfTwoPages(const Statement& first, const Statement& second, int limit);
// The number `rows` rows into the list's order after `after` (from the top when
// none), read from the key alone: where a slice of a search that reads the rows ends.
Statement sliceEnd(const std::optional<QString>& after, int rows);
// A page of the rows a search finds after `query.after` down to `downTo` (that number
// included; to the last row when none): one slice of the key read through.
Statement sliceOfPage(const ListQuery& query, const std::optional<QString>& downTo, int limit, Match match);
// The key of the row of a number, when it is among the rows the query finds: one
// row, read by its key, which no index would find sooner.
Statement listHolds(const ListQuery& query, const QString& number, Match match);
// Whether a search is made of digits only, the beginning of a number.
bool isNumberPrefix(const QString& search);
// Whether a trigram index can narrow a search for this text: it knows nothing of
// texts shorter than three characters.
bool trigramsServe(const QString& search);

// The bounds of a key's range: from `from` up to, not including, `before`.
struct KeyRange {
    QString from;
    QString before;
};
// The range of the numbers that start with a search's text in any case of its Latin
// letters: from its upper case up to past its lower case.
KeyRange caseFoldedPrefixRange(const QString& search);
// The bounds of a day's numbers in the order of the key: from the day itself (so
// from its 000) up to, not including, the text that follows every text beginning
// with the day ("20261211" after "20261210"): exactly the numbers whose first
// eight characters are the day, as substr(选型编号,1,8)=day selected them.
KeyRange dayRange(const QString& day);
// The highest number of a day, through the range on the key.
Statement highestOfDay(const QString& day);
// The numbers of a day, for numbering past the three-digit sequence.
Statement numbersOfDay(const QString& day);
// The 45 values of a row, in column order.
Statement insert(const QStringList& row);
// The stored row of a number.
Statement fetch(const QString& number);
// Whether a number is stored: its key alone, from the key's index.
Statement exists(const QString& number);
Statement remove(const QString& number);
// The 42 columns the selection sheet prints, for one number; three lines of text.
Statement print(const QString& number, Names names = Names::AsWritten);
// A page of the rows after a number, lowest number first.
Statement rowsAfter(const QString& number, int limit);
// The 45 values of a row, unless its number is stored already.
Statement insertUnlessStored(const QStringList& row);
// The same for many rows in one statement, which answers the numbers it stored.
Statement insertManyUnlessStored(const std::vector<QStringList>& rows);

// A search text as a LIKE pattern with the escape character `\`: `%`, `_` and `\`
// in the text stand for themselves.
QString likeLiteral(const QString& text);

} // namespace statements
