#pragma once

#include "adapters/sql/statements.h"

#include <QString>
#include <QStringList>

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

// The index is an FTS5 table of trigrams (`选型输出检索`) over the model code, the medium
// and the product name. It holds no text of its own (contentless): each row's entry
// is found by its number's id, an integer key of a table of its own
// (`选型输出检索号`) that no VACUUM renumbers. A save does not write the index itself:
// the index would write a segment of its own for every transaction, and its merges
// after, which cost a save more than the row. The number waits in a small table
// instead (`选型输出检索待入`), whose rows every search reads beside the index; when
// some dozens wait, the save that adds the last one moves them all into the index
// in one segment. Triggers keep all of it in step with every insert, delete and
// update, also those of programs that know nothing of them.
const QString& indexName();
const QString& keysName();
const QString& waitingName();
// How many rows wait at most before a save moves them into the index.
inline constexpr int kRowsWaitingAtMost = 64;
// The index, its tables and triggers, each where it is missing.
QStringList made();
// Removes the triggers and the tables of the index, each where it is there.
QStringList removed();
// Fills the new index from the rows already stored.
QStringList filled();
// Moves the waiting rows into the index.
QStringList caughtUp();
// The names of the triggers.
const QStringList& triggerNames();
// How many rows wait.
Statement rowsWaiting();
// How many entries of the index hold the text, counted up to `limit`.
Statement matches(const QString& search, int limit);
// A search text as a phrase of the index: the text itself, in quotes.
QString phrase(const QString& search);
// The page of a search that the index serves (trigramsServe): the rows of the key's
// range of the numbers that start with it, and those the index names or that wait.
Statement page(const ListQuery& query, int limit, statements::Match match);

// What the opening found and did.
struct Prepared {
    bool indexed = false; // searches may read the index
    QString repaired;     // what was wrong with the index, when it was rebuilt; empty otherwise
    QString problem;      // what is wrong and was not repaired (read-only, held, full); empty otherwise
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
