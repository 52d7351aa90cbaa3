#pragma once

#include "adapters/sql/project_tables.h"
#include "adapters/sql/statements.h"
#include "core/ports/project_store.h"
#include "core/ports/selection_store.h"

#include <QSet>
#include <QString>

#include <functional>
#include <memory>
#include <optional>

class QSqlDatabase;
class QSqlError;
class QSqlQuery;

// What a check of a store found: the part (table, project-tables, search-index), in
// words the user reads, and whether it was put right.
struct StoreFinding {
    QString part;
    QString text;
    bool repaired = false;
};

// The store's operations on a named Qt Sql connection, in statements both engines
// accept. What differs between the engines stays with the store of each: how it
// connects, how it checks the table, and what a failure means. Without an open
// connection every operation fails with the statement it would have run.
class SqlStore : public SelectionStore, public ProjectStore {
public:
    ~SqlStore() override;
    SqlStore(const SqlStore&) = delete;
    SqlStore& operator=(const SqlStore&) = delete;

    bool isOpen() const;
    QSqlDatabase connection() const;
    // Lets the connection go.
    void close();
    // Whether searches read a trigram index beside the table that the store keeps
    // itself (the SQLite file's; a server picks its own indexes).
    virtual bool searchIndexed() const { return false; }
    // Checks the store's tables and its search index through, and repairs what can be
    // made again from the rows (the index); one finding per thing found.
    virtual std::vector<StoreFinding> checkAndRepair() = 0;

    StoreResult<bool> createSchema() override;
    StoreResult<bool> exists(const QString& number) override;
    StoreResult<bool> insert(const StoredRow& row) override;
    StoreResult<QString> insertUnderFreeNumber(const StoredRow& row) override;
    StoreResult<std::optional<StoredRow>> fetch(const QString& number) override;
    StoreResult<bool> remove(const QString& number) override;
    StoreResult<std::vector<StoredRow>> readPage(const ListQuery& query, int limit) override;
    StoreResult<bool> holds(const ListQuery& query, const QString& number) override;
    // An empty search only: the engines tell what their indexes serve.
    bool searchIsIndexed(const QString& search) override { return search.isEmpty(); }
    StoreResult<ScannedSlice> scanSlice(const ListQuery& query, int limit, int sliceRows) override;
    StoreResult<int> highestSequenceOfDay(const QString& day) override;
    StoreResult<QStringList> numbersOfDay(const QString& day) override;
    StoreResult<std::optional<PrintRow>> fetchPrintRow(const QString& number) override;
    StoreResult<std::vector<StoredRow>> readInNumberOrder(const QString& after, int limit) override;
    StoreResult<InsertOutcome> insertUnlessStored(const std::vector<StoredRow>& rows) override;

    // The projects beside the selections (sql_project_store.cpp).
    bool hasProjects() const override;
    StoreResult<QString> createProject(const Project& project, const QString& day) override;
    StoreResult<std::optional<Project>> fetchProject(const QString& number) override;
    StoreResult<std::vector<Project>> listProjects(const QString& search) override;
    StoreResult<bool> updateProject(const Project& project) override;
    StoreResult<std::vector<ProjectLine>> projectLines(const QString& number) override;
    StoreResult<LineAdded> addLine(const QString& projectNo, const ProjectLine& line) override;
    StoreResult<bool> removeLine(const QString& projectNo, const QString& tag) override;
    StoreResult<LineAdded> updateLine(
        const QString& projectNo, const QString& tag, const QString& newTag, int quantity) override;
    StoreResult<QStringList> projectsUsing(const QString& selectionNo) override;
    StoreResult<std::vector<Project>> allProjects() override;
    StoreResult<std::vector<StoredProjectLine>> allLines() override;
    StoreResult<ProjectCopyOutcome> insertProjectsUnlessStored(
        const std::vector<Project>& projects, const std::vector<StoredProjectLine>& lines) override;

protected:
    // After connecting: checks the project tables, and makes them when they are
    // missing and `mayWrite`. The reason when a table that is there has not the
    // program's shape, or empty.
    QString checkProjectTables(bool mayWrite, const ColumnReader& read, Qt::CaseSensitivity names);
    // Why the store has no project tables; empty when it has them.
    const QString& projectTablesMissing() const { return m_projectTables.missing; }
    // Runs a statement as every operation does; `read` sees the query on success.
    std::optional<StoreError> runStatement(const Statement& statement, const std::function<void(QSqlQuery&)>& read);

    SqlStore();

    const QString& connectionName() const { return m_connectionName; }
    // A connection name no other store uses.
    static QString newConnectionName();

    // Before each operation: a store whose connection was lost connects again here.
    // The reason, when the operation cannot run, for the statement it would run.
    virtual std::optional<StoreError> readyFor(const Statement& statement);
    // What a failure on the connection means.
    virtual StoreError::Kind kindOf(const QSqlError& error) = 0;
    // The engine's message in a failure, as the report shows it.
    virtual QString messageOf(const QSqlError& error) const;
    // How the statements write column names for this engine.
    virtual bool quotesNames() const { return false; }
    // How this engine's LIKE compares letters.
    virtual statements::Match likeMatch() const { return statements::Match::CaseFoldingLike; }
    // The statement of a page of the list: the rows compared one by one, unless the
    // engine's index finds them sooner.
    virtual Statement pageStatement(const ListQuery& query, int limit)
    {
        return statements::listPage(query, limit, likeMatch());
    }
    // Why the engine cannot hold a value of the row, found before the row is sent, so
    // that the reason is clear; none when it can.
    std::optional<QString> unstorableValue(const StoredRow& row) const;
    // Why the engine cannot hold a text; empty when it can.
    virtual QString unstorableText(const QString&) const { return QString(); }
    // Stores rows that hold no unstorable value, each unless its number is stored,
    // all in one go: the numbers it stored. A row the engine refuses fails them all.
    virtual StoreResult<QSet<QString>> insertManyUnlessStored(const std::vector<StoredRow>& rows);
    // Runs a statement that answers numbers, and collects them.
    StoreResult<QSet<QString>> numbersAnswered(const Statement& statement);
    // Statements no engine prepares (savepoints, a session's own tables), without values.
    std::optional<StoreError> control(const QString& sql);
    // Begins a transaction on the connection, connecting again first when it was lost.
    std::optional<StoreError> beginTransaction();
    // Begins a transaction that will write: on an engine that locks the whole store
    // (SQLite), one that holds the store for writing from its start, so that what it
    // reads stays so until it commits.
    virtual std::optional<StoreError> beginWriteTransaction() { return beginTransaction(); }
    // insertUnlessStored's work within the transaction that is open: what became of
    // the rows goes to `outcome`; an error only when the store itself fails.
    std::optional<StoreError> insertRows(const std::vector<StoredRow>& rows, InsertOutcome& outcome);
    // Commits the open transaction; when that fails, rolls it back and tells why.
    std::optional<StoreError> commitOrRollBack(QSqlDatabase& db);

private:
    template <typename T, typename Read>
    StoreResult<T> run(const Statement& statement, Read read);
    StoreError failure(const Statement& statement, QSqlQuery& query);
    // insertUnlessStored's rows [from, to): stored by one statement, or row by row
    // when the engine refuses one of them; what became of them goes to `outcome`.
    // An error only when the store itself fails.
    std::optional<StoreError> insertSlice(
        const std::vector<StoredRow>& rows, size_t from, size_t to, InsertOutcome& outcome);
    std::optional<StoreError> insertEachAlone(
        const std::vector<StoredRow>& rows, size_t from, size_t to, InsertOutcome& outcome);

    // Rows a statement of insertUnlessStored sends at most: 45 values each, within
    // the bound values either engine takes (SQLite 32766, PostgreSQL 65535).
    static constexpr size_t kRowsPerStatement = 250;

    // The next number of a day that no row holds: one past the day's highest, beyond
    // the 999th the lowest free one; empty when the day's numbers are used up.
    StoreResult<QString> nextFreeNumber(const QString& day);

    // The failure of a project operation on a store without the project tables.
    StoreError withoutProjects(const Statement& statement) const;
    // A line's statement that the key refused: whether the tag is stored now.
    StoreResult<LineAdded> tagTakenOr(const StoreError& error, const QString& projectNo, const QString& tag);

    QString m_connectionName;
    ProjectTablesState m_projectTables;
    // One query object per statement text, kept prepared while the connection lives.
    struct PreparedQueries;
    std::unique_ptr<PreparedQueries> m_queries;
};
