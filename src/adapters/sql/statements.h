#pragma once

#include "adapters/sql/query_helpers.h"
#include "core/ports/selection_store.h"

#include <vector>

// The statements on the table of stored selections, in SQL that SQLite and
// PostgreSQL both accept. Their texts keep the meaning of the original Jet
// statements; values are bound, never pasted into the text. Each text is fixed for
// its kind of call (only the bound values change), so that the store prepares it
// once and reuses it.
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

// How an engine's LIKE compares letters: SQLite's like ignores the case of ASCII
// letters; PostgreSQL's like does not, its ilike does.
enum class Match {
    CaseFoldingLike,
    ILike,
};

// Whether a search may read the SQLite store's trigram index beside the table (a
// PostgreSQL server picks its own index for the same statement).
enum class Index {
    None,
    // The index and the rows waiting to go into it.
    Trigrams,
    // A search of digits read as two pages: the rows of the key's range of the
    // numbers that start with it, and those whose texts hold it. A server's planner
    // would read the key from the top for an "or" of a number prefix with the texts,
    // past every newer row, when the prefix is that of an old year.
    NumberRange,
};

// A page of the list, newest number first: `select *` in the order of the key, from
// the top or after the last number of the page before (a keyset page: no offset is
// skipped, the key's index serves it), with or without a search (see ListQuery).
// With the trigram index a search of three characters or more is answered from the
// rows that index and the key's range name, then compared as without it, so that
// the rows and their order are the same.
Statement listPage(const ListQuery& query, int limit, Match match, Index index = Index::None);
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
// Whether the trigram index can narrow a search for this text: it knows nothing of
// texts shorter than three characters.
bool trigramsServe(const QString& search);

// A search text as a phrase of the trigram index: the text itself, in quotes.
QString trigramPhrase(const QString& search);
// The SQLite store's trigram index beside the table, the table of the ids by which
// its entries name the selection numbers, and the table of the numbers of the rows
// saved since the index last took rows in.
const QString& sqliteSearchIndexName();
const QString& sqliteSearchKeysName();
const QString& sqliteSearchWaitingName();
// How many rows wait at most before a save moves them into the index.
inline constexpr int kSqliteRowsWaitingAtMost = 64;
// The trigram index of the SQLite store with its tables of ids and of waiting rows,
// and the triggers that keep them in step with every insert, delete and update,
// also those of programs that know nothing of them; each where it is missing.
QStringList sqliteSearchIndex();
// The names of those triggers.
const QStringList& sqliteSearchTriggerNames();
// Removes those triggers, so that they can be made again as this program makes them.
QStringList sqliteSearchTriggersRemoved();
// Removes the triggers and the tables of the index, each where it is there.
QStringList sqliteSearchIndexRemoved();
// Fills the new index from the rows already stored.
QStringList sqliteSearchIndexFill();
// Moves the waiting rows into the index.
QStringList sqliteSearchIndexCatchUp();
// How many rows wait.
Statement sqliteSearchRowsWaiting();
// How many entries of the index hold the text, counted up to `limit`.
Statement sqliteSearchMatches(const QString& search, int limit);
// How the PostgreSQL store's search indexes are made: while saves go on (outside
// any transaction), or at once, within the transaction that holds the table.
enum class Making {
    WhileSavesGoOn,
    InTransaction,
};
// The PostgreSQL store's trigram index over the searched texts and the index of the
// numbers' prefixes, with the extension that provides the first; each where it is
// missing.
QStringList postgresSearchIndex(Making making = Making::WhileSavesGoOn);
// The names of those two indexes.
QStringList postgresSearchIndexNames();
// The names of those indexes that are there, each with whether it is usable.
Statement postgresSearchIndexesFound();
// How many rows the table holds, counted up to `limit`.
Statement postgresRowsUpTo(int limit);
// The bounds of a day's numbers in the order of the key: from the day itself (so
// from its 000) up to, not including, the text that follows every text beginning
// with the day ("20261211" after "20261210"): exactly the numbers whose first
// eight characters are the day, as substr(选型编号,1,8)=day selected them.
struct KeyRange {
    QString from;
    QString before;
};
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
// A PostgreSQL session's own table of the store's columns, into which many rows are
// copied in one stream before they go into the table: made where it is missing,
// emptied, and its rows stored unless their numbers are (answering those stored).
const QString& copiedRowsTable();
Statement createCopiedRows();
Statement emptyCopiedRows();
Statement insertCopiedUnlessStored();

// A search text as a LIKE pattern with the escape character `\`: `%`, `_` and `\`
// in the text stand for themselves.
QString likeLiteral(const QString& text);

} // namespace statements
