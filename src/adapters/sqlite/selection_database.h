#pragma once

#include "adapters/sql/copy_into_empty.h"
#include "adapters/sql/sql_store.h"
#include "adapters/sqlite/search_index.h"

#include <QString>

#include <memory>

// The SQLite store: the program's one connection to the database of stored
// selections, an SQLite file (by default sjk/选型数据库.mdb beside the program) or a
// fresh database in memory. Without an open connection every operation fails with
// the statement it would have run.
class SelectionDatabase : public SqlStore, public CopyIntoEmpty {
public:
    enum class Opened {
        Yes,
        Missing, // no file there: the program goes on without a database
        Failed,  // a file that cannot be used as the database
    };

    SelectionDatabase() = default;

    // Opens the file at `path`; ":memory:" is a fresh database that already holds
    // the table. A file whose permissions grant no writing is opened read-only.
    // A file without the table, or whose table has not the program's shape (its 45
    // columns by name and order, of text affinity, the selection number the primary
    // key), is Failed, with the reason in `error`; it is never altered.
    Opened open(const QString& path, QString* error = nullptr);

    bool readOnly() const { return m_readOnly; }
    // The file the selections are kept in; empty for a database in memory, or while
    // no file is open.
    QString fileName() const;

    // Creates the file and the table where they are missing, in a folder that must
    // exist; touches no row that exists. Makes the search index where it is missing,
    // checks it through and rebuilds it where it does not agree with the table (what
    // was done in `notice`). False with a reason when that cannot be done, or when
    // the table that is there has not the program's shape.
    static bool create(const QString& path, QString* error, QString* notice = nullptr);
    // Why no file can be created at `path`: the folder it would be in is not there.
    // Empty when it is.
    static QString missingFolder(const QString& path);

    // The program's own file: sjk/选型数据库.mdb beside the executable.
    static QString defaultPath();

    // What the program says when its file is not there.
    static QString missingMessage();

    static const QString& tableName();

    static const QString& memoryPath();

    // What the opening found wrong with the search index: that it was rebuilt, and
    // why, or why it is not read; empty when it is sound.
    QString searchIndexNotice() const;
    static QString searchIndexRebuiltText(const QString& why);
    std::vector<StoreFinding> checkAndRepair() override;
    bool searchIndexed() const override { return m_searchIndexState.indexed; }
    bool searchIsIndexed(const QString& search) override;

    // The rows as the usual reading gives them, read straight from SQLite: copy-db
    // reads every row this way, and most of the usual reading's time went in
    // wrapping each value for Qt.
    StoreResult<std::vector<StoredRow>> readInNumberOrder(const QString& after, int limit) override;

    // Into a table that holds no row (a new file that copy-db or an import fills) the
    // rows go in one transaction, which holds the file for writing: without the
    // search index's triggers, which took the rows into the index 64 at a time, the
    // index made from all of them at the end. A file that holds rows, or is held by
    // another program, keeps the usual way.
    StoreResult<bool> beginCopyIntoEmpty() override;
    StoreResult<InsertOutcome> insertUnlessStored(const std::vector<StoredRow>& rows) override;
    StoreResult<InsertOutcome> endCopyIntoEmpty(bool keep) override;

protected:
    // Another program holding the file, still after the wait, is Busy.
    StoreError::Kind kindOf(const QSqlError& error) override;
    std::optional<StoreError> beginWriteTransaction() override;
    // A search of three characters or more that the index names few rows for is read
    // through it; one that many rows hold is found soonest among the newest rows.
    Statement pageStatement(const ListQuery& query, int limit) override;
    // Through SQLite's own interface too, a row at a time on one prepared statement:
    // Qt's binding of the thousands of values of one statement took longer than
    // SQLite's storing the rows (copy-db and import store through this).
    StoreResult<QSet<QString>> insertManyUnlessStored(const std::vector<StoredRow>& rows) override;

private:
    // Adds and opens the connection; what makes it unusable, or empty.
    QString connectTo(const QString& path, bool memory);

    // Whether a search reads the index: only when it names few rows there. Asked once
    // for a text, by counting its first entries in the index.
    bool indexServes(const QString& search);

    bool m_readOnly = false;
    bool m_copyingIntoEmpty = false;
    bool m_indexSetAside = false; // during that copy: the index is made at its end
    sqlite_search::Prepared m_searchIndexState;
    QString m_probedSearch;
    bool m_probedServes = false;
    // Whether Qt's driver uses the SQLite library the program links: then copy-db's
    // rows are read straight through the driver's handle.
    bool m_oneSqliteLibrary = false;
};

// The SQLite store at `path`, opened as SelectionDatabase::open opens it; the store
// is there in every case, `opened` tells how far the opening got.
std::unique_ptr<SelectionStore> openSelectionDatabase(
    const QString& path, SelectionDatabase::Opened* opened, QString* error);
