#pragma once

#include "core/ports/selection_store.h"

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>

#include <map>

struct Statement;

// The SQLite store: the program's one connection to the database of stored
// selections, an SQLite file (by default sjk/选型数据库.mdb beside the program) or a
// fresh database in memory. Without an open connection every operation fails with
// the statement it would have run.
class SelectionDatabase : public SelectionStore {
public:
    enum class Opened {
        Yes,
        Missing, // no file there: the program goes on without a database
        Failed,  // a file that cannot be used as the database
    };

    SelectionDatabase();
    ~SelectionDatabase() override;
    SelectionDatabase(const SelectionDatabase&) = delete;
    SelectionDatabase& operator=(const SelectionDatabase&) = delete;

    // Opens the file at `path`; ":memory:" is a fresh database that already holds
    // the table. A file whose permissions grant no writing is opened read-only.
    // A file without the table, or whose table has not the program's shape (its 45
    // columns by name and order, of text affinity, the selection number the primary
    // key), is Failed, with the reason in `error`; it is never altered.
    Opened open(const QString& path, QString* error = nullptr);
    void close();

    bool isOpen() const;
    QSqlDatabase connection() const;
    bool readOnly() const { return m_readOnly; }

    // Creates the file, its folder and the table where they are missing; touches
    // nothing that exists. False with a reason when that cannot be done, or when the
    // table that is there has not the program's shape.
    static bool create(const QString& path, QString* error);

    // The program's own file: sjk/选型数据库.mdb beside the executable.
    static QString defaultPath();

    // What the program says when its file is not there.
    static QString missingMessage();

    static const QString& tableName();

    StoreResult<bool> createSchema() override;
    StoreResult<bool> exists(const QString& number) override;
    StoreResult<bool> insert(const StoredRow& row) override;
    StoreResult<std::optional<StoredRow>> fetch(const QString& number) override;
    StoreResult<bool> remove(const QString& number) override;
    StoreResult<std::vector<StoredRow>> readPage(const ListQuery& query, int limit) override;
    StoreResult<bool> holds(const ListQuery& query, const QString& number) override;
    StoreResult<int> highestSequenceOfDay(const QString& day) override;
    StoreResult<QStringList> numbersOfDay(const QString& day) override;
    StoreResult<std::optional<PrintRow>> fetchPrintRow(const QString& number) override;
    static const QString& memoryPath();

private:
    template <typename T, typename Read>
    StoreResult<T> run(const Statement& statement, Read read);
    // Adds and opens the connection; what makes it unusable, or empty.
    QString connectTo(const QString& path, bool memory);

    QString m_connectionName;
    // One query object per statement text, kept prepared while the connection lives.
    std::map<QString, QSqlQuery> m_queries;
    bool m_readOnly = false;
};
