#include "adapters/sqlite/selection_database.h"

#include "adapters/sql/project_tables.h"
#include "adapters/sql/statements.h"
#include "adapters/sql/table_shape.h"
#include "adapters/sqlite/search_index.h"
#include "core/record/columns.h"
#include "core/record/selection_record.h"

#include <QByteArrayView>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

#include <optional>
#include <sqlite3.h>
#include <utility>
#include <vector>

namespace {

// As long as the connection waits for a file that another program holds, at the
// opening as for every statement: long enough for the saves of several programs
// at once (eight batch runs saving side by side), short enough that a file held
// by a program that hangs is told.
constexpr int kBusyTimeoutMs = 15000;

// The affinity SQLite gives a column of this declared type (the rules of its
// "Determination Of Column Affinity", in their order).
QString affinityOf(const QString& declaredType)
{
    const QString t = declaredType.toUpper();
    if (t.contains(QStringLiteral("INT")))
        return QStringLiteral("INTEGER");
    if (t.contains(QStringLiteral("CHAR")) || t.contains(QStringLiteral("CLOB")) || t.contains(QStringLiteral("TEXT")))
        return QStringLiteral("TEXT");
    if (t.isEmpty() || t.contains(QStringLiteral("BLOB")))
        return QStringLiteral("BLOB");
    if (t.contains(QStringLiteral("REAL")) || t.contains(QStringLiteral("FLOA")) || t.contains(QStringLiteral("DOUB")))
        return QStringLiteral("REAL");
    return QStringLiteral("NUMERIC");
}

// The columns of a table in this database, from its catalogue; none when there is
// no such table. Only read.
std::optional<std::vector<TableColumn>> columnsOf(const QSqlDatabase& db, const QString& table, QString* error)
{
    QSqlQuery q(db);
    if (!q.exec(QStringLiteral("pragma table_info(\"%1\")").arg(table))) {
        *error = q.lastError().databaseText().isEmpty() ? q.lastError().text() : q.lastError().databaseText();
        return std::nullopt;
    }
    std::vector<TableColumn> found;
    while (q.next()) {
        const QString affinity = affinityOf(q.value(2).toString());
        found.push_back({q.value(1).toString(), affinity, affinity == u"TEXT", q.value(5).toInt() != 0});
    }
    q.finish();
    return found;
}

ColumnReader columnReader(const QSqlDatabase& db)
{
    return [db](const QString& table, QString* error) { return columnsOf(db, table, error); };
}

// What is wrong with the table of stored selections in this database, or empty
// when it has the program's shape. Only read.
QString tableShapeProblem(const QSqlDatabase& db)
{
    QString error;
    const std::optional<std::vector<TableColumn>> found = columnsOf(db, SelectionDatabase::tableName(), &error);
    if (!found)
        return error;
    // SQLite's names ignore the case of Latin letters
    return tableShapeProblem(*found, Qt::CaseInsensitive);
}

bool isWriteProtected(const QString& path)
{
    const QFileDevice::Permissions p = QFileInfo(path).permissions();
    // the mode bits, not what the current user may do: an administrator could write anything
    return !(p & (QFileDevice::WriteOwner | QFileDevice::WriteGroup | QFileDevice::WriteOther));
}

} // namespace

const QString& SelectionDatabase::tableName()
{
    static const QString name = kSelectionTable.toString();
    return name;
}

QString SelectionDatabase::missingMessage()
{
    return QStringLiteral("Corvane仪表集团仪表选型系统数据库找不到！请单击确定...");
}

const QString& SelectionDatabase::memoryPath()
{
    static const QString path = QStringLiteral(":memory:");
    return path;
}

QString SelectionDatabase::defaultPath()
{
    return QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("sjk/选型数据库.mdb"));
}

SelectionDatabase::Opened SelectionDatabase::open(const QString& path, QString* error)
{
    close();
    const bool memory = path == memoryPath();
    if (!memory && !QFileInfo(path).isFile())
        return Opened::Missing;
    m_readOnly = !memory && isWriteProtected(path);
    const QString problem = connectTo(path, memory);
    if (problem.isEmpty())
        return Opened::Yes;
    if (error)
        *error = problem;
    close();
    return Opened::Failed;
}

// Every handle on the connection is gone when this returns, so that a failed one
// can be removed without Qt's warning of a connection still in use.
QString SelectionDatabase::connectTo(const QString& path, bool memory)
{
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connectionName());
    db.setDatabaseName(path);
    QString options = QStringLiteral("QSQLITE_BUSY_TIMEOUT=%1").arg(kBusyTimeoutMs);
    if (m_readOnly)
        options += QStringLiteral(";QSQLITE_OPEN_READONLY");
    db.setConnectOptions(options);
    if (!db.open())
        return db.lastError().text();
    {
        // SQLite reads the file only on the first statement: make sure it is a database.
        QSqlQuery probe(db);
        if (!probe.exec(QStringLiteral("select count(*) from sqlite_master")))
            return probe.lastError().databaseText();
    }
    if (memory) {
        QSqlQuery create(db);
        if (!create.exec(statements::createTable().sql))
            return create.lastError().text();
    }
    if (const QString problem = tableShapeProblem(db); !problem.isEmpty())
        return problem;
    if (const QString problem = checkProjectTables(!m_readOnly, columnReader(db), Qt::CaseInsensitive);
        !problem.isEmpty())
        return problem;
    m_searchIndexState
        = sqlite_search::prepare(db, m_readOnly ? sqlite_search::Work::Read : sqlite_search::Work::Everything);
    m_probedSearch.clear();
    {
        // a Qt built with its own SQLite inside the driver would hand out a handle of
        // another library than the one this program calls
        QSqlQuery version(db);
        m_oneSqliteLibrary = version.exec(QStringLiteral("select sqlite_version()")) && version.next()
            && version.value(0).toString() == QString::fromLatin1(sqlite3_libversion());
    }
    return QString();
}

QString SelectionDatabase::missingFolder(const QString& path)
{
    // SQLite makes no folder; it would only say that it cannot open the file
    const QString folder = QFileInfo(path).absolutePath();
    if (QFileInfo(folder).isDir())
        return QString();
    return QStringLiteral("the folder %1 does not exist").arg(QDir::toNativeSeparators(folder));
}

bool SelectionDatabase::create(const QString& path, QString* error, QString* notice)
{
    if (path == memoryPath()) {
        *error = QStringLiteral("an in-memory database needs no file");
        return false;
    }
    if (const QString problem = missingFolder(path); !problem.isEmpty()) {
        *error = problem;
        return false;
    }
    const QString name = newConnectionName();
    bool ok = false;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(path);
        db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=%1").arg(kBusyTimeoutMs));
        if (!db.open()) {
            *error = db.lastError().text();
        } else {
            QSqlQuery q(db);
            const bool hadTable
                = q.exec(QStringLiteral("select 1 from sqlite_master where type = 'table' and name = '%1'")
                             .arg(tableName()))
                && q.next();
            q.finish();
            ok = q.exec(statements::createTable().sql);
            if (!ok)
                *error = q.lastError().databaseText().isEmpty() ? q.lastError().text() : q.lastError().databaseText();
            q.finish();
            // a table that was there is checked, never altered
            if (ok) {
                *error = tableShapeProblem(db);
                ProjectTablesState projects;
                if (error->isEmpty())
                    *error = prepareProjectTables(db, true, columnReader(db), Qt::CaseInsensitive, &projects);
                if (error->isEmpty() && !projects.present)
                    *error = projects.missing;
                ok = error->isEmpty();
            }
            // the index is checked through and rebuilt where it does not agree with the
            // table; a file that was there is otherwise left as it was: the first
            // program that opens it to write adds an index where there is none
            if (ok) {
                const sqlite_search::Prepared index = sqlite_search::prepare(
                    db, hadTable ? sqlite_search::Work::Repair : sqlite_search::Work::Everything, true);
                if (notice && !index.repaired.isEmpty())
                    *notice = searchIndexRebuiltText(index.repaired);
                if (notice && !index.problem.isEmpty())
                    *notice = index.problem;
            }
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
    return ok;
}

QString SelectionDatabase::searchIndexRebuiltText(const QString& why)
{
    return QStringLiteral("检索索引已重建（%1）").arg(why);
}

QString SelectionDatabase::searchIndexNotice() const
{
    if (!m_searchIndexState.repaired.isEmpty())
        return searchIndexRebuiltText(m_searchIndexState.repaired);
    return m_searchIndexState.problem;
}

std::vector<StoreFinding> SelectionDatabase::checkAndRepair()
{
    std::vector<StoreFinding> findings;
    QSqlDatabase db = connection();
    if (!db.isOpen())
        return {{QStringLiteral("store"), QStringLiteral("数据库未连接"), false}};
    {
        QSqlQuery q(db);
        if (!q.exec(QStringLiteral("pragma quick_check")))
            findings.push_back({QStringLiteral("table"), q.lastError().databaseText(), false});
        else if (q.next() && q.value(0).toString() != u"ok")
            findings.push_back(
                {QStringLiteral("table"), QStringLiteral("数据库文件已损坏：%1").arg(q.value(0).toString()), false});
    }
    if (!hasProjects())
        findings.push_back({QStringLiteral("project-tables"), projectTablesMissing(), false});
    // what the opening put right already is a finding of the (first) check too
    if (const QString atOpening = std::exchange(m_searchIndexState.repaired, QString()); !atOpening.isEmpty())
        findings.push_back({QStringLiteral("search-index"), atOpening, true});
    m_searchIndexState
        = sqlite_search::prepare(db, m_readOnly ? sqlite_search::Work::Read : sqlite_search::Work::Everything, true);
    m_probedSearch.clear();
    if (const QString now = std::exchange(m_searchIndexState.repaired, QString()); !now.isEmpty())
        findings.push_back({QStringLiteral("search-index"), now, true});
    if (!m_searchIndexState.problem.isEmpty())
        findings.push_back({QStringLiteral("search-index"), m_searchIndexState.problem, false});
    return findings;
}

bool SelectionDatabase::searchIsIndexed(const QString& search)
{
    // a text many rows hold has its first page among the newest rows: a moment too
    return search.isEmpty() || (m_searchIndexState.indexed && statements::trigramsServe(search));
}

// A text that many rows hold is found soonest by reading the rows newest first, as
// without the index: its first page lies among the newest rows, while the index
// would name every row that holds it before one is compared. The index serves a
// text that few rows hold, which the scan would look for through the whole table.
// The choice changes how fast, never which rows.
bool SelectionDatabase::indexServes(const QString& search)
{
    constexpr int kFewRows = 3000;
    if (!m_searchIndexState.indexed || !statements::trigramsServe(search))
        return false;
    if (search != m_probedSearch) {
        int found = kFewRows;
        runStatement(sqlite_search::matches(search, kFewRows), [&found](QSqlQuery& q) {
            if (q.next())
                found = q.value(0).toInt();
        });
        m_probedSearch = search;
        m_probedServes = found < kFewRows;
    }
    return m_probedServes;
}

Statement SelectionDatabase::pageStatement(const ListQuery& query, int limit)
{
    if (indexServes(query.search))
        return sqlite_search::page(query, limit, likeMatch());
    return SqlStore::pageStatement(query, limit);
}

std::optional<StoreError> SelectionDatabase::beginWriteTransaction()
{
    // Qt's transaction() begins a deferred one, which takes the write lock only at its
    // first write and then fails at once rather than wait, when another program holds it
    return control(QStringLiteral("begin immediate"));
}

StoreError::Kind SelectionDatabase::kindOf(const QSqlError& error)
{
    constexpr int kSqliteBusy = 5;   // another connection holds the file
    constexpr int kSqliteLocked = 6; // a table held within this process
    bool ok = false;
    const int code = error.nativeErrorCode().toInt(&ok);
    // an extended code keeps its primary code in the low byte
    const bool busy = ok && ((code & 0xff) == kSqliteBusy || (code & 0xff) == kSqliteLocked);
    return busy ? StoreError::Kind::Busy : StoreError::Kind::Failed;
}

QString SelectionDatabase::fileName() const
{
    if (!isOpen())
        return QString();
    const QString name = connection().databaseName();
    return name == memoryPath() ? QString() : name;
}

std::unique_ptr<SelectionStore> openSelectionDatabase(
    const QString& path, SelectionDatabase::Opened* opened, QString* error)
{
    auto store = std::make_unique<SelectionDatabase>();
    *opened = store->open(path, error);
    return store;
}

namespace {

// A page of rows in number order read through SQLite's own interface; nothing when
// a value is one this reading does not take as the usual reading would (anything
// but UTF-8 text or NULL), or when SQLite fails: the usual reading then reads the
// page and tells why it failed.
std::optional<std::vector<StoredRow>> rowsReadDirectly(sqlite3* handle, const QString& after, int limit)
{
    const Statement statement = statements::rowsAfter(after, limit);
    const QByteArray sql = statement.sql.toUtf8();
    sqlite3_stmt* raw = nullptr;
    if (sqlite3_prepare_v2(handle, sql.constData(), static_cast<int>(sql.size()), &raw, nullptr) != SQLITE_OK) {
        sqlite3_finalize(raw);
        return std::nullopt;
    }
    const std::unique_ptr<sqlite3_stmt, int (*)(sqlite3_stmt*)> query(raw, sqlite3_finalize);
    const QByteArray from = statement.values.value(0).toString().toUtf8();
    if (sqlite3_bind_text(raw, 1, from.constData(), static_cast<int>(from.size()), SQLITE_TRANSIENT) != SQLITE_OK
        || sqlite3_bind_int(raw, 2, limit) != SQLITE_OK)
        return std::nullopt;
    const int columns = sqlite3_column_count(raw);
    std::vector<StoredRow> rows;
    int step = SQLITE_ROW;
    while ((step = sqlite3_step(raw)) == SQLITE_ROW) {
        StoredRow row;
        row.reserve(columns);
        for (int c = 0; c < columns; ++c) {
            switch (sqlite3_column_type(raw, c)) {
            case SQLITE_NULL: row << QString(); break;
            case SQLITE_TEXT: {
                const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(raw, c));
                const QByteArrayView bytes(text, sqlite3_column_bytes(raw, c));
                // SQLite makes other code points of a text that is not UTF-8 than Qt would
                if (!bytes.isValidUtf8())
                    return std::nullopt;
                // an empty text is not NULL: the usual reading keeps them apart
                row << (bytes.isEmpty() ? QStringLiteral("") : QString::fromUtf8(bytes));
                break;
            }
            default: return std::nullopt;
            }
        }
        rows.push_back(std::move(row));
    }
    if (step != SQLITE_DONE)
        return std::nullopt;
    return rows;
}

// The SQLite connection under Qt's, when the store is open on one.
sqlite3* handleOf(const QSqlDatabase& db)
{
    const QVariant handle = db.isOpen() && db.driver() ? db.driver()->handle() : QVariant();
    if (handle.isValid() && qstrcmp(handle.typeName(), "sqlite3*") == 0)
        return *static_cast<sqlite3* const*>(handle.data());
    return nullptr;
}

} // namespace

StoreResult<std::vector<StoredRow>> SelectionDatabase::readInNumberOrder(const QString& after, int limit)
{
    if (sqlite3* sqlite = m_oneSqliteLibrary ? handleOf(connection()) : nullptr) {
        if (std::optional<std::vector<StoredRow>> rows = rowsReadDirectly(sqlite, after, limit))
            return std::move(*rows);
    }
    return SqlStore::readInNumberOrder(after, limit);
}

StoreResult<QSet<QString>> SelectionDatabase::insertManyUnlessStored(const std::vector<StoredRow>& rows)
{
    sqlite3* sqlite = m_oneSqliteLibrary ? handleOf(connection()) : nullptr;
    const Statement statement = statements::insertUnlessStored(StoredRow(kColumnCount));
    const QByteArray sql = statement.sql.toUtf8();
    sqlite3_stmt* raw = nullptr;
    if (!sqlite
        || sqlite3_prepare_v2(sqlite, sql.constData(), static_cast<int>(sql.size()), &raw, nullptr) != SQLITE_OK) {
        sqlite3_finalize(raw);
        return SqlStore::insertManyUnlessStored(rows); // which tells why
    }
    const std::unique_ptr<sqlite3_stmt, int (*)(sqlite3_stmt*)> insert(raw, sqlite3_finalize);
    const QString none;
    QSet<QString> stored;
    for (const StoredRow& row : rows) {
        sqlite3_reset(raw);
        int bound = SQLITE_OK;
        for (int c = 0; c < kColumnCount && bound == SQLITE_OK; ++c) {
            // as Qt's driver binds them: a null string is NULL, any other UTF-16 text
            // with every character it holds (the row outlives the step)
            const QString& value = c < row.size() ? row[c] : none;
            bound = value.isNull()
                ? sqlite3_bind_null(raw, c + 1)
                : sqlite3_bind_text16(raw, c + 1, value.utf16(), static_cast<int>(value.size() * 2), SQLITE_STATIC);
        }
        const int step = bound == SQLITE_OK ? sqlite3_step(raw) : bound;
        if (step != SQLITE_DONE) {
            const int code = sqlite3_extended_errcode(sqlite) & 0xff;
            const bool busy = code == SQLITE_BUSY || code == SQLITE_LOCKED;
            return StoreError {statement.sql, QString::fromUtf8(sqlite3_errmsg(sqlite)),
                busy ? StoreError::Kind::Busy : StoreError::Kind::Failed};
        }
        if (sqlite3_changes(sqlite) > 0)
            stored.insert(row.value(0));
    }
    return stored;
}

StoreResult<bool> SelectionDatabase::beginCopyIntoEmpty()
{
    if (m_readOnly || !isOpen() || control(QStringLiteral("begin immediate")))
        return false;
    QSqlDatabase db = connection();
    const StoreResult<std::vector<StoredRow>> first = readInNumberOrder(QString(), 1);
    QString error;
    // only an index of this program's layout that agrees with the table is made again
    m_indexSetAside = searchIndexed();
    if (!first.ok() || !first.value().empty() || (m_indexSetAside && !sqlite_search::setAside(db, &error))) {
        db.rollback();
        return false;
    }
    m_copyingIntoEmpty = true;
    return true;
}

StoreResult<InsertOutcome> SelectionDatabase::insertUnlessStored(const std::vector<StoredRow>& rows)
{
    if (!m_copyingIntoEmpty)
        return SqlStore::insertUnlessStored(rows);
    InsertOutcome outcome;
    if (const std::optional<StoreError> error = insertRows(rows, outcome)) {
        m_copyingIntoEmpty = false;
        connection().rollback();
        return *error;
    }
    return outcome;
}

StoreResult<InsertOutcome> SelectionDatabase::endCopyIntoEmpty(bool keep)
{
    if (!m_copyingIntoEmpty)
        return InsertOutcome {};
    m_copyingIntoEmpty = false;
    QSqlDatabase db = connection();
    QString error;
    if (!keep || (m_indexSetAside && !sqlite_search::remake(db, &error))) {
        db.rollback();
        if (keep)
            return StoreError {sqlite_search::filled().join(QStringLiteral("; ")), error, StoreError::Kind::Failed};
        return InsertOutcome {};
    }
    if (std::optional<StoreError> failed = commitOrRollBack(db))
        return *failed;
    return InsertOutcome {};
}
