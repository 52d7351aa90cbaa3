#pragma once

#include "core/ports/print_row.h"

#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

// A stored selection as the store hands it out: its 45 values in the order of the
// column table (core/record/columns.h).
using StoredRow = QStringList;

// Why a store operation failed: the statement as it was sent and the engine's own
// message; the workspace words the report the user sees.
struct StoreError {
    enum class Kind {
        Failed,       // the engine refused the statement
        Busy,         // another program holds the store, still after a short wait
        Duplicate,    // an insert of a number that another program stored first
        Disconnected, // the connection to the store's server was lost, or cannot be
                      // made again; the next operation tries to connect again
    };
    QString statement;
    QString message;
    Kind kind = Kind::Failed;
};

// A value, or the reason there is none.
template <typename T>
class StoreResult {
public:
    StoreResult(T value)
        : m_value(std::move(value))
    {
    }
    StoreResult(StoreError error)
        : m_error(std::move(error))
    {
    }

    bool ok() const { return m_value.has_value(); }
    const T& value() const { return *m_value; }
    T& value() { return *m_value; }
    const StoreError& error() const { return m_error; }

private:
    std::optional<T> m_value;
    StoreError m_error;
};

// A row that a store would not take, and why (the engine's message, or the value it
// cannot hold).
struct RefusedRow {
    QString number;
    QString reason;
};

// What became of rows stored unless their numbers are stored already: the numbers
// that were there, and the rows the store refused, each in row order.
struct InsertOutcome {
    QStringList skipped;
    std::vector<RefusedRow> refused;
};

// Which rows of the main window's list a store operation reads. The list is in the
// order of the key, newest (highest) number first, in the store's own order of its
// key; `after` compares in that same order, so that page after page reads each row
// once however many rows there are.
//
// A search finds a row when its number starts with the text, or its model code
// (仪表型号规格), its medium (使用介质) or its product name (产品名称) contains the
// text; letters are compared without case, and every character stands for itself
// (`%`, `_`, quotes and backslashes are no wildcards or escapes). An empty search
// finds every row.
struct ListQuery {
    QString search;
    // Only the rows after this number in the list's order (older ones); none: from
    // the top. The number of the last row of the page before.
    std::optional<QString> after;
};

// What one slice of a search that reads the rows themselves found.
struct ScannedSlice {
    std::vector<StoredRow> rows; // newest number first, at most the limit asked for
    // Where the search goes on: after this number in the list's order; none when the
    // slice reached the list's last row.
    std::optional<QString> next;
};

// Where the selections are kept. The workspace reaches storage only through this;
// every operation returns plain records and fills no view.
class SelectionStore {
public:
    virtual ~SelectionStore() = default;

    // Creates the table of stored selections where it is missing.
    virtual StoreResult<bool> createSchema() = 0;
    // Whether a selection with this number is stored. It reads no more than the key
    // of one row, for the check before every save.
    virtual StoreResult<bool> exists(const QString& number) = 0;
    // Stores a row; its first value is the number, which must be new. Two programs
    // storing one number at once: one succeeds, the other fails as a Duplicate.
    virtual StoreResult<bool> insert(const StoredRow& row) = 0;
    // Stores a row whose number the program gave (not one the user typed): under that
    // number, or, when another program has stored it meanwhile, under the next free
    // number of the same day (one past the day's highest, beyond the 999th the lowest
    // free one), found and taken in one go, so that two programs saving at once never
    // take one number and neither is refused. The number stored; a Duplicate error
    // when the day's numbers are used up.
    virtual StoreResult<QString> insertUnderFreeNumber(const StoredRow& row) = 0;
    // The stored row of a number; none when the number is not stored.
    virtual StoreResult<std::optional<StoredRow>> fetch(const QString& number) = 0;
    // Deletes the row of a number; false when no row held it (another program
    // deleted it first).
    virtual StoreResult<bool> remove(const QString& number) = 0;
    // One page of the list: at most `limit` of the rows the query finds, newest number
    // first. The next page starts after the number of the last row of this one (a
    // keyset page: no offset is counted off), so that without a search the cost of a
    // page does not grow with the rows before it; a search costs what the rows it
    // looks at cost until it has found the page.
    virtual StoreResult<std::vector<StoredRow>> readPage(const ListQuery& query, int limit) = 0;
    // Whether a search's pages are read from an index (or from the key, or from the
    // newest rows for an empty search), so that a page costs a moment however many
    // rows are stored. A search that is not may read every row to fill a page.
    virtual bool searchIsIndexed(const QString& search) = 0;
    // The rows a search finds among at most `sliceRows` rows that follow
    // `query.after` in the list's order (from the top when none), at most `limit` of
    // them: a search that reads every row made of bounded steps, each of which may
    // be its last (cancelled, or out of time), with where the next one starts.
    virtual StoreResult<ScannedSlice> scanSlice(const ListQuery& query, int limit, int sliceRows) = 0;
    // Whether the row of a number is stored and among the rows the query finds.
    virtual StoreResult<bool> holds(const ListQuery& query, const QString& number) = 0;
    // The numbers of a day (yyyymmdd) are those whose first eight characters are the
    // day; in the order of the key they lie in one range, so that the key's index
    // serves these two however many rows are stored.
    // The highest sequence (the last three digits of the highest number) stored for a
    // day; 0 when the day has none.
    virtual StoreResult<int> highestSequenceOfDay(const QString& day) = 0;
    // Every number stored for a day.
    virtual StoreResult<QStringList> numbersOfDay(const QString& day) = 0;
    // What the selection sheet prints of a number; none unless exactly one row holds it.
    virtual StoreResult<std::optional<PrintRow>> fetchPrintRow(const QString& number) = 0;
    // At most `limit` rows whose number comes after `after` (all rows from the first
    // when it is empty), lowest number first: a whole store read page by page.
    virtual StoreResult<std::vector<StoredRow>> readInNumberOrder(const QString& after, int limit) = 0;
    // Stores the rows in one transaction, each unless its number is stored already: a
    // stored row is never overwritten. A row the store refuses (a value it cannot
    // hold, a number the key does not take) is left out, with the reason, and the
    // others are stored. When the store itself fails (busy, the connection lost)
    // nothing of the rows is stored.
    virtual StoreResult<InsertOutcome> insertUnlessStored(const std::vector<StoredRow>& rows) = 0;
};
