#pragma once

#include "core/ports/selection_store.h"

#include <QString>

#include <optional>
#include <vector>

class OldSelections;

// What an import did with the rows it read: stored under their numbers, skipped as
// already there (the store holds the same row), in conflict (the store holds the
// number with other values: left as it is), or failed (a row that cannot be stored).
struct ImportCounts {
    int stored = 0;
    int skipped = 0;
    int conflicts = 0;
    int failed = 0;

    // Whether every row is in the store now.
    bool whole() const { return conflicts == 0 && failed == 0; }
};

// A row an import tells of: a conflict (no reason), or a row that failed, and why.
struct ImportReport {
    QString number;
    std::optional<QString> failure;
};

// Stores the old program's selections in a store, a thousand rows a transaction,
// each under its own number and never over a stored row. A row is stored as read,
// never computed again; a second import of the same rows changes nothing.
class SelectionImport {
public:
    static constexpr int kRowsPerBatch = 1000;

    SelectionImport(OldSelections& from, SelectionStore& into);

    enum class Step {
        Stored,     // a batch is done; there may be more
        Done,       // every row is read
        FileFault,  // the file could not be read on (error())
        StoreFault, // the store failed, nothing of the batch stored (error())
    };
    // Reads the next batch and stores it; the conflicts and failures among its rows,
    // in row order, go to `reports`.
    Step step(std::vector<ImportReport>& reports);

    const ImportCounts& counts() const { return m_counts; }
    // How many rows have been read and dealt with.
    qint64 rowsDone() const { return m_done; }
    const QString& error() const { return m_error; }

    // Why a row cannot be stored whatever the store: a number that is not eleven
    // digits, a value longer than the old table's columns (255), or a value that is
    // no text (an unpaired surrogate, a control character other than tab, carriage
    // return and line feed; a NUL is for the store to judge). None when it can be.
    static std::optional<QString> rowProblem(const StoredRow& row);

private:
    OldSelections& m_from;
    SelectionStore& m_into;
    // A row read that begins the next batch: its number is in the batch before.
    std::optional<StoredRow> m_held;
    bool m_ended = false;
    ImportCounts m_counts;
    qint64 m_done = 0;
    QString m_error;
};
