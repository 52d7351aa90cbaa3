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
        Failed,    // the engine refused the statement
        Busy,      // another program holds the store, still after a short wait
        Duplicate, // an insert of a number that another program stored first
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
    const StoreError& error() const { return m_error; }

private:
    std::optional<T> m_value;
    StoreError m_error;
};

// Where the selections are kept. The workspace reaches storage only through this;
// every operation returns plain records and fills no view.
class SelectionStore {
public:
    virtual ~SelectionStore() = default;

    // Creates the table of stored selections where it is missing.
    virtual StoreResult<bool> createSchema() = 0;
    // Whether a selection with this number is stored.
    virtual StoreResult<bool> exists(const QString& number) = 0;
    // Stores a row; its first value is the number, which must be new. Two programs
    // storing one number at once: one succeeds, the other fails as a Duplicate.
    virtual StoreResult<bool> insert(const StoredRow& row) = 0;
    // The stored row of a number; none when the number is not stored.
    virtual StoreResult<std::optional<StoredRow>> fetch(const QString& number) = 0;
    // Deletes the row of a number; false when no row held it (another program
    // deleted it first).
    virtual StoreResult<bool> remove(const QString& number) = 0;
    // At most `limit` rows of the list, newest number first, after skipping `offset`.
    virtual StoreResult<std::vector<StoredRow>> readPage(int offset, int limit) = 0;
    // The highest sequence (the last three digits) stored for a day (yyyymmdd); 0 when
    // the day has none.
    virtual StoreResult<int> highestSequenceOfDay(const QString& day) = 0;
    // Every number stored for a day.
    virtual StoreResult<QStringList> numbersOfDay(const QString& day) = 0;
    // What the selection sheet prints of a number; none unless exactly one row holds it.
    virtual StoreResult<std::optional<PrintRow>> fetchPrintRow(const QString& number) = 0;
    // At most `limit` rows whose number comes after `after` (all rows from the first
    // when it is empty), lowest number first: a whole store read page by page.
    virtual StoreResult<std::vector<StoredRow>> readInNumberOrder(const QString& after, int limit) = 0;
    // Stores the rows in one transaction, each unless its number is stored already: a
    // stored row is never overwritten. The numbers that were skipped, in row order;
    // on a failure nothing of the rows is stored.
    virtual StoreResult<QStringList> insertUnlessStored(const std::vector<StoredRow>& rows) = 0;
};
