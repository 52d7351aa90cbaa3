#pragma once

#include "adapters/postgresql/postgres_location.h"
#include "adapters/sql/copy_into_empty.h"
#include "adapters/sql/sql_store.h"

#include <QByteArray>

#include <memory>

// The team store: a table of stored selections on a PostgreSQL server that many
// programs share, through Qt's QPSQL driver. The same table as the SQLite store
// (its 45 text columns, the selection number the key), the same statements.
// A connection that is lost (the server stopped, the network gone) fails the
// operation that needed it as Disconnected; the next operation connects again.
class PostgresDatabase : public SqlStore, public CopyIntoEmpty {
public:
    PostgresDatabase() = default;

    // Connects and checks the table; a database without the table, or whose table has
    // not the program's shape, is refused with the reason and never altered.
    bool open(const PostgresLocation& where, QString* error = nullptr);

    // Creates the table where it is missing (the database itself must exist) and
    // checks the one that is there; false with the reason.
    static bool create(const PostgresLocation& where, QString* error);

    // Into an empty table the rows go by COPY straight into it, without its search
    // indexes, which are made again from all the rows at the end: a GIN index made at
    // once costs a fraction of the same index kept row by row. The table is held
    // against every other program meanwhile. A role that may not drop the indexes, a
    // table that holds rows or that another program holds keep the usual way.
    StoreResult<bool> beginCopyIntoEmpty() override;
    StoreResult<InsertOutcome> endCopyIntoEmpty(bool keep) override;
    StoreResult<InsertOutcome> insertUnlessStored(const std::vector<StoredRow>& rows) override;

    std::vector<StoreFinding> checkAndRepair() override;
    bool searchIsIndexed(const QString& search) override;

protected:
    std::optional<StoreError> readyFor(const Statement& statement) override;
    StoreError::Kind kindOf(const QSqlError& error) override;
    // The primary message of a statement's error; a connection's error as libpq words it.
    QString messageOf(const QSqlError& error) const override;
    bool quotesNames() const override { return true; }
    statements::Match likeMatch() const override { return statements::Match::ILike; }
    // A number's beginning is read from the key's range beside the texts: the planner
    // would read an "or" of the two from the top of the key.
    Statement pageStatement(const ListQuery& query, int limit) override;
    // A text holding NUL: PostgreSQL's text cannot, and Qt's driver would send it
    // cut off there, or as a broken statement.
    QString unstorableText(const QString& text) const override;
    // By COPY into a table of the session, then one insert from there.
    StoreResult<QSet<QString>> insertManyUnlessStored(const std::vector<StoredRow>& rows) override;

private:
    // Adds and opens the connection; what makes it unusable, or empty.
    QString connect(bool createTable);

    // The failure of a copy into a table, as the report shows it.
    StoreError copyError(const QSqlError& error, const QString& table);
    // Takes the server's answer to the page sent, if any: what became of its rows
    // goes to `outcome`. A page the server refused goes again the usual way, which
    // names the rows it refuses.
    std::optional<StoreError> answerPage(InsertOutcome& outcome);
    // Ends the transaction of a copy into the empty table, without its rows.
    void abandonCopyIntoEmpty();

    PostgresLocation m_location;
    bool m_located = false;
    bool m_lost = false;
    bool m_copyingIntoEmpty = false;
    // The page of that copy whose rows are on their way, with the rows the program
    // kept back and why; and the reason the copy of it could not begin, if so.
    struct SentPage {
        std::vector<StoredRow> rows;
        std::vector<RefusedRow> unstorable;
        std::optional<StoreError> notBegun;
        QByteArray data; // the rows the server may take, until they are sent
    };
    std::optional<SentPage> m_sentPage;
    // A page of a copy into the empty table made ready: the rows the server cannot
    // take kept back, the others in the form they are sent in.
    SentPage pageOf(const std::vector<StoredRow>& rows) const;
    // Sends such a page within the copy's transaction; the server's answer is taken
    // by the next call or the end of the copy.
    std::optional<StoreError> sendPage(SentPage page);
    // The search indexes dropped for that copy, made again at its end.
    QStringList m_droppedIndexes;
    // What the opening found missing of the search indexes and made; empty otherwise.
    QString m_searchIndexRepaired;
};

// The team store at the postgresql:// URI `uri`, connected and checked as
// PostgresDatabase::open does; the store is there in every case, `opened` false
// with the reason in `error` when the URI or the server cannot be used.
std::unique_ptr<SelectionStore> openPostgresDatabase(const QString& uri, bool* opened, QString* error);
