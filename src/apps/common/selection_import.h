#pragma once

#include "core/ports/selection_store.h"

#include <QHash>
#include <QSet>
#include <QString>

#include <deque>
#include <optional>
#include <utility>
#include <vector>

class CopyIntoEmpty;
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
//
// Into a store that holds no row and knows a faster way for that (a new team store,
// CopyIntoEmpty), as copy-db does: the rows go in as one
// transaction, all or none, and what the store tells of a batch may come with the
// next; the conflicts and failures are then told together at the end.
class SelectionImport {
public:
    static constexpr int kRowsPerBatch = 1000;

    SelectionImport(OldSelections& from, SelectionStore& into);
    // An import that did not finish keeps nothing of a copy into the empty store.
    ~SelectionImport();
    SelectionImport(const SelectionImport&) = delete;
    SelectionImport& operator=(const SelectionImport&) = delete;

    enum class Step {
        Stored,     // a batch is done; there may be more
        Done,       // every row is read
        FileFault,  // the file could not be read on (error())
        StoreFault, // the store failed, nothing of the batch stored (error())
    };
    // Reads the next batch and stores it; the conflicts and failures among its rows,
    // in row order, go to `reports` once the store has told what became of them.
    Step step(std::vector<ImportReport>& reports);
    // Stops between batches: the batches stored stay, but a copy into the empty
    // store keeps nothing.
    void cancel();

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
    // A row read, by its place in the file.
    struct ReadRow {
        qint64 place = 0;
        StoredRow values;
    };
    // The next row to store, from the file, then from the rows set aside; none at the
    // end. A row that cannot be stored is told, not handed out.
    std::optional<ReadRow> next(Step& fault);
    // Stores a batch and takes in what the store tells of rows finished.
    std::optional<Step> store(const std::vector<ReadRow>& batch);
    std::optional<Step> takeIn(const InsertOutcome& outcome);
    // Ends a copy into the empty store, keeping its rows or none.
    std::optional<Step> endCopy(bool keep);
    // The reports of the rows finished, in the order of the file.
    void tell(std::vector<ImportReport>& reports);

    OldSelections& m_from;
    SelectionStore& m_into;
    CopyIntoEmpty* m_bulk; // the store's faster way into an empty table, if it has one
    bool m_begun = false;
    bool m_copying = false;
    bool m_ended = false;
    // A row read that begins the next batch: its number is in the batch before.
    std::optional<ReadRow> m_held;
    // In a copy into the empty store, a row whose number came before: it waits for
    // the end of the copy, when the store can read back what it holds.
    std::deque<ReadRow> m_later;
    QSet<QString> m_copied;
    // The rows sent whose fate the store has not told yet, by number.
    QHash<QString, ReadRow> m_sent;
    std::vector<std::pair<qint64, ImportReport>> m_reports;
    ImportCounts m_counts;
    int m_copiedStored = 0; // of m_counts.stored, those of the copy, kept only at its end
    qint64 m_read = 0;      // rows read from the file
    qint64 m_done = 0;
    QString m_error;
};
