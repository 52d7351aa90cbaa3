#include "adapters/postgresql/postgres_database.h"

#include "adapters/postgresql/postgres_copy.h"
#include "adapters/postgresql/search_index.h"
#include "adapters/sql/project_tables.h"
#include "adapters/sql/statements.h"
#include "adapters/sql/table_shape.h"
#include "core/record/columns.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>

#include <map>
#include <utility>

namespace {

const QString kDriver = QStringLiteral("QPSQL");

// How long a statement waits for a row that another program's unfinished save
// holds: long enough for that save, short enough that the user is told soon.
constexpr int kLockTimeoutMs = 2500;

// A server that does not answer is given up after seconds, not after the minutes of
// the system's TCP defaults: the user is told and can try again.
QString connectOptions(const PostgresLocation& where)
{
    QStringList options = {
        QStringLiteral("connect_timeout=5"),
        QStringLiteral("keepalives_idle=10"),
        QStringLiteral("keepalives_interval=3"),
        QStringLiteral("keepalives_count=3"),
        QStringLiteral("tcp_user_timeout=20000"),
        QStringLiteral("application_name=flowsel"),
        // the notice of a table that is there already is no news to the user. Every
        // statement is planned for its values: the store keeps one prepared statement
        // per text, and after five runs the server would plan a search once for any
        // text, which for a short one walks the whole key backwards, and then for
        // every later search too (seconds each at a million rows)
        QStringLiteral(
            "options='-c lock_timeout=%1 -c client_min_messages=warning -c plan_cache_mode=force_custom_plan'")
            .arg(kLockTimeoutMs),
    };
    if (const QString own = where.connectOptions(); !own.isEmpty())
        options << own;
    return options.join(u';');
}

QString cleanMessage(const QSqlError& error)
{
    QString text = error.databaseText().isEmpty() ? error.text() : error.databaseText();
    // Qt's driver appends the state in brackets; the kind of the failure says it
    if (const QString state = QStringLiteral("(%1)").arg(error.nativeErrorCode()); text.endsWith(state))
        text.chop(state.size());
    const QString severity = QStringLiteral("ERROR:");
    if (text.startsWith(severity))
        text = text.section(u'\n', 0, 0).mid(severity.size());
    return text.trimmed();
}

// The columns of a table in the current schema, in their order, from the
// catalogue; none when there is no such table.
std::optional<std::vector<TableColumn>> columnsOf(const QSqlDatabase& db, const QString& table, QString* error)
{
    QSqlQuery q(db);
    q.prepare(
        QStringLiteral("select c.column_name, c.data_type, coalesce(k.is_key, false) from information_schema.columns c "
                       "left join (select a.attname as name, true as is_key from pg_index i "
                       "join pg_attribute a on a.attrelid = i.indrelid and a.attnum = any(i.indkey) "
                       "where i.indisprimary and i.indrelid = to_regclass(quote_ident(?))) k on k.name = c.column_name "
                       "where c.table_schema = current_schema() and c.table_name = ? order by c.ordinal_position"));
    q.addBindValue(table);
    q.addBindValue(table);
    if (!q.exec()) {
        *error = cleanMessage(q.lastError());
        return std::nullopt;
    }
    std::vector<TableColumn> found;
    while (q.next()) {
        const QString type = q.value(1).toString();
        found.push_back(
            {q.value(0).toString(), type, type == u"text" || type == u"character varying", q.value(2).toBool()});
    }
    return found;
}

// What is wrong with the table of stored selections, or the error of the query
// when the catalogue cannot be read; empty when it has the program's shape.
QString tableShapeProblem(const QSqlDatabase& db)
{
    QString error;
    const std::optional<std::vector<TableColumn>> found = columnsOf(db, kSelectionTable.toString(), &error);
    if (!found)
        return error;
    return tableShapeProblem(*found, Qt::CaseSensitive);
}

// Failures that mean the connection is gone: the class of connection exceptions,
// and the server shutting down or restarting.
bool isConnectionLost(const QString& sqlState)
{
    return sqlState.startsWith(QStringLiteral("08")) || sqlState == u"57P01" || sqlState == u"57P02"
        || sqlState == u"57P03";
}

} // namespace

bool PostgresDatabase::open(const PostgresLocation& where, QString* error)
{
    close();
    m_location = where;
    m_located = true;
    m_lost = false;
    const QString problem = connect(false);
    if (problem.isEmpty())
        return true;
    if (error)
        *error = problem;
    close();
    m_located = false;
    return false;
}

bool PostgresDatabase::create(const PostgresLocation& where, QString* error)
{
    PostgresDatabase db;
    db.m_location = where;
    *error = db.connect(true);
    return error->isEmpty();
}

QString PostgresDatabase::connect(bool createTable)
{
    if (!QSqlDatabase::isDriverAvailable(kDriver))
        return QStringLiteral("Qt's PostgreSQL driver (QPSQL) is not installed; on Debian it is the package "
                              "libqt6sql6-psql");
    QSqlDatabase db = QSqlDatabase::addDatabase(kDriver, connectionName());
    // libpq takes a host that starts with "/" as the folder of the server's socket
    db.setHostName(m_location.host);
    if (m_location.port > 0)
        db.setPort(m_location.port);
    db.setDatabaseName(m_location.database);
    db.setUserName(m_location.user);
    db.setPassword(m_location.password);
    db.setConnectOptions(connectOptions(m_location));
    if (!db.open())
        return cleanMessage(db.lastError());
    if (createTable) {
        QSqlQuery create(db);
        if (!create.exec(statements::createTable().sql))
            return cleanMessage(create.lastError());
    }
    if (const QString problem = tableShapeProblem(db); !problem.isEmpty())
        return problem;
    // a server is written to by whoever may: a role that may not create tables keeps
    // working without the project tables
    const ColumnReader read = [db](const QString& table, QString* error) { return columnsOf(db, table, error); };
    if (const QString problem = checkProjectTables(true, read, Qt::CaseSensitive); !problem.isEmpty())
        return problem;
    if (createTable && !hasProjects())
        return projectTablesMissing();
    const QStringList missing = postgres_search::missing(db);
    postgres_search::add(db, createTable);
    // indexes another program dropped (or never made) and this opening made: what a
    // check of the store tells as put right
    if (!missing.isEmpty() && postgres_search::missing(db).isEmpty())
        m_searchIndexRepaired = QStringLiteral("检索索引缺少 %1").arg(missing.join(u'、'));
    return QString();
}

std::vector<StoreFinding> PostgresDatabase::checkAndRepair()
{
    std::vector<StoreFinding> findings;
    if (std::optional<StoreError> notReady = readyFor(postgres_search::foundStatement()))
        return {{QStringLiteral("store"), notReady->message, false}};
    const QSqlDatabase db = connection();
    if (!hasProjects())
        findings.push_back({QStringLiteral("project-tables"), projectTablesMissing(), false});
    // what the opening put right already is a finding of the (first) check too
    if (const QString atOpening = std::exchange(m_searchIndexRepaired, QString()); !atOpening.isEmpty())
        findings.push_back({QStringLiteral("search-index"), atOpening, true});
    const QStringList missing = postgres_search::missing(db);
    if (missing.isEmpty())
        return findings;
    const QString what = QStringLiteral("检索索引缺少 %1").arg(missing.join(u'、'));
    postgres_search::add(db, true);
    const QStringList still = postgres_search::missing(db);
    if (still.isEmpty())
        findings.push_back({QStringLiteral("search-index"), what, true});
    else
        findings.push_back({QStringLiteral("search-index"),
            QStringLiteral("%1；未能建立（权限不足或其他程序占用）").arg(what), false});
    return findings;
}

std::optional<StoreError> PostgresDatabase::readyFor(const Statement& statement)
{
    if (!m_lost || !m_located)
        return std::nullopt;
    close();
    const QString problem = connect(false);
    if (!problem.isEmpty()) {
        close();
        return StoreError {statement.sql, problem, StoreError::Kind::Disconnected};
    }
    m_lost = false;
    return std::nullopt;
}

StoreError::Kind PostgresDatabase::kindOf(const QSqlError& error)
{
    const QString sqlState = error.nativeErrorCode();
    if (sqlState == u"23505") // unique_violation: the number is stored
        return StoreError::Kind::Duplicate;
    // lock_not_available: another program's unfinished save holds the row
    if (sqlState == u"55P03")
        return StoreError::Kind::Busy;
    if (isConnectionLost(sqlState)) {
        m_lost = true;
        return StoreError::Kind::Disconnected;
    }
    if (!sqlState.isEmpty() || !m_located)
        return StoreError::Kind::Failed;
    // A connection that was made and is closed now was lost: the server went away
    // before it told why, as when the session's end was told while a copy ran.
    if (!isOpen()) {
        m_lost = true;
        return StoreError::Kind::Disconnected;
    }
    // No state from the server: ask it whether it is still there.
    QSqlQuery probe(connection());
    if (!probe.exec(QStringLiteral("select 1"))) {
        m_lost = true;
        return StoreError::Kind::Disconnected;
    }
    return StoreError::Kind::Failed;
}

bool PostgresDatabase::searchIsIndexed(const QString& search)
{
    // the trigram index, or the key's range of a number's beginning
    return search.isEmpty() || statements::trigramsServe(search) || statements::isNumberPrefix(search);
}

Statement PostgresDatabase::pageStatement(const ListQuery& query, int limit)
{
    if (statements::isNumberPrefix(query.search))
        return postgres_search::page(query, limit);
    return SqlStore::pageStatement(query, limit);
}

QString PostgresDatabase::unstorableText(const QString& text) const
{
    return text.contains(QChar(u'\0')) ? QStringLiteral("含有NUL字符，PostgreSQL 不能保存") : QString();
}

QString PostgresDatabase::messageOf(const QSqlError& error) const
{
    return cleanMessage(error);
}

std::unique_ptr<SelectionStore> openPostgresDatabase(const QString& uri, bool* opened, QString* error)
{
    auto store = std::make_unique<PostgresDatabase>();
    const std::optional<PostgresLocation> where = PostgresLocation::parse(uri, error);
    *opened = where && store->open(*where, error);
    return store;
}

StoreResult<QSet<QString>> PostgresDatabase::insertManyUnlessStored(const std::vector<StoredRow>& rows)
{
    for (const Statement& step : {copied_rows::create(), copied_rows::empty()}) {
        if (const std::optional<StoreError> error = control(step.sql))
            return *error;
    }
    if (const std::optional<QSqlError> error = copyRowsInto(connection(), copied_rows::tableName(), rows, kColumnCount))
        return copyError(*error, copied_rows::tableName());
    return numbersAnswered(copied_rows::insertUnlessStored());
}

StoreResult<bool> PostgresDatabase::beginCopyIntoEmpty()
{
    if (std::optional<StoreError> error = beginTransaction())
        return *error;
    QSqlDatabase db = connection();
    // Held until the commit: no other program adds a row meanwhile, nor reads the
    // table while its indexes are away. Any failure of these steps leaves the table
    // as it was and the copy to the usual way, unless the connection itself is gone.
    const auto usualWay = [&db](const StoreError& error) -> StoreResult<bool> {
        db.rollback();
        if (error.kind == StoreError::Kind::Disconnected)
            return error;
        return false;
    };
    if (const std::optional<StoreError> error
        = control(QStringLiteral("lock table %1 in access exclusive mode").arg(kSelectionTable)))
        return usualWay(*error);
    bool empty = false;
    if (const std::optional<StoreError> error = runStatement(
            postgres_search::rowsUpTo(1), [&empty](QSqlQuery& q) { empty = q.next() && q.value(0).toInt() == 0; }))
        return usualWay(*error);
    if (!empty)
        return usualWay(StoreError {});
    QStringList dropped;
    for (const auto& [name, usable] : postgres_search::found(db))
        dropped << name;
    if (!dropped.isEmpty()) {
        if (const std::optional<StoreError> error
            = control(QStringLiteral("drop index %1").arg(dropped.join(QStringLiteral(", ")))))
            return usualWay(*error);
    }
    m_droppedIndexes = dropped;
    m_copyingIntoEmpty = true;
    return true;
}

StoreResult<InsertOutcome> PostgresDatabase::insertUnlessStored(const std::vector<StoredRow>& rows)
{
    if (!m_copyingIntoEmpty)
        return SqlStore::insertUnlessStored(rows);
    // made before the answer to the page before is awaited: meanwhile the server is
    // still storing that page
    SentPage page = pageOf(rows);
    InsertOutcome outcome;
    std::optional<StoreError> error = answerPage(outcome);
    if (!error)
        error = sendPage(std::move(page));
    if (error) {
        abandonCopyIntoEmpty();
        return *error;
    }
    return outcome;
}

namespace {

const QString kPageSavepoint = QStringLiteral("copied_page");

} // namespace

PostgresDatabase::SentPage PostgresDatabase::pageOf(const std::vector<StoredRow>& rows) const
{
    SentPage page {rows, {}, {}, {}};
    std::vector<StoredRow> storable;
    storable.reserve(rows.size());
    for (const StoredRow& row : rows) {
        if (const std::optional<QString> reason = unstorableValue(row))
            page.unstorable.push_back({row.value(0), *reason});
        else
            storable.push_back(row);
    }
    page.data = copyData(storable, kColumnCount);
    return page;
}

std::optional<StoreError> PostgresDatabase::sendPage(SentPage page)
{
    if (const std::optional<StoreError> error = control(QStringLiteral("savepoint ") + kPageSavepoint))
        return error;
    // the table held no row and no other program may add one, and the numbers of the
    // rows are those of a key: none is stored already
    if (const std::optional<QSqlError> error = sendCopyData(connection(), kSelectionTable.toString(), page.data))
        page.notBegun = copyError(*error, kSelectionTable.toString());
    page.data.clear();
    m_sentPage = std::move(page);
    return std::nullopt;
}

std::optional<StoreError> PostgresDatabase::answerPage(InsertOutcome& outcome)
{
    if (!m_sentPage)
        return std::nullopt;
    SentPage page = std::move(*m_sentPage);
    m_sentPage.reset();
    std::optional<StoreError> refused = page.notBegun;
    if (!refused) {
        if (const std::optional<QSqlError> error = copyAnswer(connection()))
            refused = copyError(*error, kSelectionTable.toString());
    }
    if (!refused) {
        if (const std::optional<StoreError> error = control(QStringLiteral("release ") + kPageSavepoint))
            return error;
        outcome.refused.insert(outcome.refused.end(), page.unstorable.begin(), page.unstorable.end());
        return std::nullopt;
    }
    if (refused->kind != StoreError::Kind::Failed)
        return refused;
    if (const std::optional<StoreError> undone = control(QStringLiteral("rollback to ") + kPageSavepoint))
        return undone;
    return insertRows(page.rows, outcome);
}

StoreResult<InsertOutcome> PostgresDatabase::endCopyIntoEmpty(bool keep)
{
    if (!m_copyingIntoEmpty)
        return InsertOutcome {};
    InsertOutcome outcome;
    std::optional<StoreError> error = keep ? answerPage(outcome) : std::nullopt;
    if (!keep || error) {
        abandonCopyIntoEmpty();
        if (error)
            return *error;
        return outcome;
    }
    m_copyingIntoEmpty = false;
    QSqlDatabase db = connection();
    if (!m_droppedIndexes.isEmpty()) {
        // The checks a table's deferred triggers make at the commit are made first,
        // since no index is made on a table with such checks pending. The server's own
        // memory for making an index serves: more made a million rows' index no sooner.
        QStringList steps {QStringLiteral("set constraints all immediate")};
        // those that were there, without the extension (made[0]): the trigram index
        // that was there had it
        const QStringList made = postgres_search::made(postgres_search::Making::InTransaction);
        const QStringList names = postgres_search::names();
        for (qsizetype i = 0; i < names.size(); ++i) {
            if (m_droppedIndexes.contains(names[i]))
                steps << made[i + 1];
        }
        for (const QString& step : steps) {
            if (const std::optional<StoreError> failed = control(step)) {
                db.rollback();
                return *failed;
            }
        }
    }
    if (const std::optional<StoreError> failed = commitOrRollBack(db))
        return *failed;
    return outcome;
}

void PostgresDatabase::abandonCopyIntoEmpty()
{
    // the server's answer to rows on their way comes before the rollback's
    if (m_sentPage && !m_sentPage->notBegun)
        copyAnswer(connection());
    m_sentPage.reset();
    m_copyingIntoEmpty = false;
    connection().rollback();
}

StoreError PostgresDatabase::copyError(const QSqlError& error, const QString& table)
{
    return StoreError {QStringLiteral("copy %1 from stdin").arg(table), messageOf(error), kindOf(error)};
}
