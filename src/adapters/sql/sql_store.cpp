#include "adapters/sql/sql_store.h"

#include "adapters/sql/query_helpers.h"
#include "adapters/sql/statements.h"
#include "core/form/selection_number.h"
#include "core/record/columns.h"

#include <QSqlDatabase>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

#include <algorithm>
#include <atomic>
#include <map>

struct SqlStore::PreparedQueries {
    std::map<QString, QSqlQuery> byText;
};

SqlStore::SqlStore()
    : m_connectionName(newConnectionName())
    , m_queries(std::make_unique<PreparedQueries>())
{
}

SqlStore::~SqlStore()
{
    close();
}

QString SqlStore::newConnectionName()
{
    static std::atomic<int> counter {0};
    return QStringLiteral("flowsel-%1").arg(++counter);
}

void SqlStore::close()
{
    m_queries->byText.clear(); // before the connection goes
    if (QSqlDatabase::contains(m_connectionName)) {
        {
            QSqlDatabase db = QSqlDatabase::database(m_connectionName, false);
            db.close();
        }
        QSqlDatabase::removeDatabase(m_connectionName);
    }
}

bool SqlStore::isOpen() const
{
    return QSqlDatabase::contains(m_connectionName) && QSqlDatabase::database(m_connectionName, false).isOpen();
}

QSqlDatabase SqlStore::connection() const
{
    if (!QSqlDatabase::contains(m_connectionName))
        return QSqlDatabase();
    return QSqlDatabase::database(m_connectionName, false);
}

std::optional<StoreError> SqlStore::readyFor(const Statement&)
{
    return std::nullopt;
}

QString SqlStore::messageOf(const QSqlError& error) const
{
    return error.databaseText().isEmpty() ? error.text() : error.databaseText();
}

StoreError SqlStore::failure(const Statement& statement, QSqlQuery& query)
{
    const bool connected = query.driver() && query.driver()->isOpen();
    StoreError error {
        statement.sql, connected ? messageOf(query.lastError()) : engineMessage(query), kindOf(query.lastError())};
    query.finish();
    return error;
}

// Runs a statement on the connection; the query is handed to `read` on success,
// then let go of its result so that it holds no lock.
template <typename T, typename Read>
StoreResult<T> SqlStore::run(const Statement& statement, Read read)
{
    if (std::optional<StoreError> notReady = readyFor(statement))
        return *notReady;
    auto it = m_queries->byText.find(statement.sql);
    if (it == m_queries->byText.end()) {
        it = m_queries->byText.emplace(statement.sql, QSqlQuery(connection())).first;
        it->second.setForwardOnly(true);
    }
    QSqlQuery& query = it->second;
    if (!executeStatement(query, statement))
        return failure(statement, query);
    StoreResult<T> result = read(query);
    query.finish();
    return result;
}

std::optional<StoreError> SqlStore::runStatement(
    const Statement& statement, const std::function<void(QSqlQuery&)>& read)
{
    const StoreResult<bool> done = run<bool>(statement, [&read](QSqlQuery& q) {
        read(q);
        return true;
    });
    if (done.ok())
        return std::nullopt;
    return done.error();
}

StoreResult<bool> SqlStore::createSchema()
{
    return run<bool>(statements::createTable(), [](QSqlQuery&) { return true; });
}

StoreResult<bool> SqlStore::exists(const QString& number)
{
    return run<bool>(statements::exists(number), [](QSqlQuery& q) { return q.next(); });
}

std::optional<QString> SqlStore::unstorableValue(const StoredRow& row) const
{
    for (qsizetype c = 0; c < row.size() && c < kColumnCount; ++c) {
        if (const QString reason = unstorableText(row[c]); !reason.isEmpty())
            return QStringLiteral("%1 %2").arg(QString::fromUtf8(columns()[static_cast<size_t>(c)].name), reason);
    }
    return std::nullopt;
}

StoreResult<bool> SqlStore::insert(const StoredRow& row)
{
    const Statement statement = statements::insert(row);
    if (const std::optional<QString> reason = unstorableValue(row))
        return StoreError {statement.sql, *reason, StoreError::Kind::Failed};
    StoreResult<bool> inserted = run<bool>(statement, [](QSqlQuery&) { return true; });
    if (inserted.ok() || inserted.error().kind != StoreError::Kind::Failed)
        return inserted;
    // The key refused the row when another program stored the number after the
    // caller's check: then it is there now.
    const StoreResult<bool> stored = exists(row.value(0));
    if (!stored.ok() || !stored.value())
        return inserted;
    StoreError duplicate = inserted.error();
    duplicate.kind = StoreError::Kind::Duplicate;
    return duplicate;
}

StoreResult<QString> SqlStore::nextFreeNumber(const QString& day)
{
    const StoreResult<int> highest = highestSequenceOfDay(day);
    if (!highest.ok())
        return highest.error();
    const auto numbered
        = [&day](int sequence) { return day + QStringLiteral("%1").arg(sequence, kSequenceDigits, 10, QChar(u'0')); };
    if (highest.value() < kLastSequence)
        return numbered(highest.value() + 1);
    const StoreResult<QStringList> stored = numbersOfDay(day);
    if (!stored.ok())
        return stored.error();
    for (int sequence = 1; sequence <= kLastSequence; ++sequence) {
        if (!stored.value().contains(numbered(sequence)))
            return numbered(sequence);
    }
    return QString();
}

// On SQLite the store is held for writing while the number is looked at and the row
// stored, so the number found free is still free; on a server the key refuses a
// number another program took in between, and the next one is tried.
StoreResult<QString> SqlStore::insertUnderFreeNumber(const StoredRow& row)
{
    constexpr int kAttempts = 50; // more than programs that could plausibly save at one moment
    StoredRow numbered = row;
    const QString day = row.value(0).left(kDayDigits);
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        if (std::optional<StoreError> error = beginWriteTransaction())
            return *error;
        // after the beginning, which connects again to a server that was lost
        QSqlDatabase db = connection();
        const auto abandon = [&db](const StoreError& error) {
            db.rollback();
            return StoreResult<QString>(error);
        };
        const StoreResult<bool> taken = exists(numbered.value(0));
        if (!taken.ok())
            return abandon(taken.error());
        if (taken.value()) {
            const StoreResult<QString> next = nextFreeNumber(day);
            if (!next.ok())
                return abandon(next.error());
            if (next.value().isEmpty())
                return abandon(StoreError {statements::numbersOfDay(day).sql,
                    QStringLiteral("%1 的选型编号（001～999）已全部使用").arg(day), StoreError::Kind::Duplicate});
            numbered[0] = next.value();
        }
        const StoreResult<bool> inserted = insert(numbered);
        if (inserted.ok()) {
            if (std::optional<StoreError> error = commitOrRollBack(db))
                return *error;
            return numbered.value(0);
        }
        db.rollback();
        if (inserted.error().kind != StoreError::Kind::Duplicate)
            return inserted.error();
    }
    return StoreError {statements::numbersOfDay(day).sql, QStringLiteral("其他程序同时在保存，请稍后再按“保存”"),
        StoreError::Kind::Busy};
}

StoreResult<std::optional<StoredRow>> SqlStore::fetch(const QString& number)
{
    return run<std::optional<StoredRow>>(statements::fetch(number), [](QSqlQuery& q) -> std::optional<StoredRow> {
        if (!q.next())
            return std::nullopt;
        return rowOf(q);
    });
}

StoreResult<bool> SqlStore::remove(const QString& number)
{
    return run<bool>(statements::remove(number), [](QSqlQuery& q) { return q.numRowsAffected() > 0; });
}

namespace {

std::vector<StoredRow> allRows(QSqlQuery& q)
{
    std::vector<StoredRow> rows;
    const int columns = q.record().count();
    while (q.next())
        rows.push_back(rowOf(q, columns));
    return rows;
}

} // namespace

StoreResult<std::vector<StoredRow>> SqlStore::readPage(const ListQuery& query, int limit)
{
    return run<std::vector<StoredRow>>(pageStatement(query, limit), allRows);
}

StoreResult<ScannedSlice> SqlStore::scanSlice(const ListQuery& query, int limit, int sliceRows)
{
    std::optional<QString> downTo;
    if (std::optional<StoreError> error
        = runStatement(statements::sliceEnd(query.after, sliceRows), [&downTo](QSqlQuery& q) {
              if (q.next())
                  downTo = textOf(q.value(0));
          }))
        return *error;
    StoreResult<std::vector<StoredRow>> rows
        = run<std::vector<StoredRow>>(statements::sliceOfPage(query, downTo, limit, likeMatch()), allRows);
    if (!rows.ok())
        return rows.error();
    ScannedSlice slice;
    slice.rows = std::move(rows.value());
    // a full page goes on after its last row; else after the slice, unless it was the last
    if (static_cast<int>(slice.rows.size()) >= limit && !slice.rows.empty())
        slice.next = slice.rows.back().value(0);
    else if (downTo)
        slice.next = downTo;
    return slice;
}

StoreResult<bool> SqlStore::holds(const ListQuery& query, const QString& number)
{
    return run<bool>(statements::listHolds(query, number, likeMatch()), [](QSqlQuery& q) { return q.next(); });
}

StoreResult<std::vector<StoredRow>> SqlStore::readInNumberOrder(const QString& after, int limit)
{
    return run<std::vector<StoredRow>>(statements::rowsAfter(after, limit), allRows);
}

StoreResult<int> SqlStore::highestSequenceOfDay(const QString& day)
{
    return run<int>(statements::highestOfDay(day), [](QSqlQuery& q) {
        if (!q.next())
            return 0;
        bool ok = false;
        const int sequence = textOf(q.value(0)).mid(kDayDigits, kSequenceDigits).toInt(&ok);
        return ok ? sequence : 0;
    });
}

StoreResult<QStringList> SqlStore::numbersOfDay(const QString& day)
{
    return run<QStringList>(statements::numbersOfDay(day), [](QSqlQuery& q) {
        QStringList numbers;
        while (q.next())
            numbers << textOf(q.value(0));
        return numbers;
    });
}

StoreResult<std::optional<PrintRow>> SqlStore::fetchPrintRow(const QString& number)
{
    const statements::Names names = quotesNames() ? statements::Names::Quoted : statements::Names::AsWritten;
    return run<std::optional<PrintRow>>(statements::print(number, names), [](QSqlQuery& q) -> std::optional<PrintRow> {
        PrintRow row;
        const QSqlRecord record = q.record();
        for (int c = 0; c < record.count(); ++c)
            row.columns << record.fieldName(c);
        int found = 0;
        while (q.next()) {
            if (++found == 1)
                row.values = rowOf(q);
        }
        if (found != 1)
            return std::nullopt;
        return row;
    });
}

std::optional<StoreError> SqlStore::control(const QString& sql)
{
    QSqlQuery query(connection());
    if (query.exec(sql))
        return std::nullopt;
    return StoreError {sql, messageOf(query.lastError()), kindOf(query.lastError())};
}

std::optional<StoreError> SqlStore::beginTransaction()
{
    const Statement begin {QStringLiteral("begin"), {}};
    if (std::optional<StoreError> notReady = readyFor(begin))
        return notReady;
    QSqlDatabase db = connection();
    if (!db.transaction())
        return StoreError {begin.sql, messageOf(db.lastError()), kindOf(db.lastError())};
    return std::nullopt;
}

StoreResult<InsertOutcome> SqlStore::insertUnlessStored(const std::vector<StoredRow>& rows)
{
    if (std::optional<StoreError> error = beginTransaction())
        return *error;
    QSqlDatabase db = connection();
    InsertOutcome outcome;
    if (const std::optional<StoreError> error = insertRows(rows, outcome)) {
        db.rollback();
        return *error;
    }
    if (std::optional<StoreError> error = commitOrRollBack(db))
        return *error;
    return outcome;
}

std::optional<StoreError> SqlStore::insertRows(const std::vector<StoredRow>& rows, InsertOutcome& outcome)
{
    for (size_t from = 0; from < rows.size(); from += kRowsPerStatement) {
        const size_t to = std::min(rows.size(), from + kRowsPerStatement);
        if (const std::optional<StoreError> error = insertSlice(rows, from, to, outcome))
            return error;
    }
    return std::nullopt;
}

std::optional<StoreError> SqlStore::commitOrRollBack(QSqlDatabase& db)
{
    if (db.commit())
        return std::nullopt;
    const QSqlError error = db.lastError();
    db.rollback();
    return StoreError {QStringLiteral("commit"), messageOf(error), kindOf(error)};
}

// One statement for the slice's rows, in a savepoint: a row the engine refuses
// fails the whole statement (and would abort a PostgreSQL transaction), and then
// the slice is written again row by row, which names the row.
std::optional<StoreError> SqlStore::insertSlice(
    const std::vector<StoredRow>& rows, size_t from, size_t to, InsertOutcome& outcome)
{
    std::vector<StoredRow> storable;
    std::vector<RefusedRow> unstorable;
    for (size_t i = from; i < to; ++i) {
        if (const std::optional<QString> reason = unstorableValue(rows[i]))
            unstorable.push_back({rows[i].value(0), *reason});
        else
            storable.push_back(rows[i]);
    }
    if (storable.empty()) {
        outcome.refused.insert(outcome.refused.end(), unstorable.begin(), unstorable.end());
        return std::nullopt;
    }
    const QString savepoint = QStringLiteral("savepoint copied_rows");
    if (const std::optional<StoreError> error = control(savepoint))
        return error;
    const StoreResult<QSet<QString>> stored = insertManyUnlessStored(storable);
    if (!stored.ok()) {
        if (stored.error().kind != StoreError::Kind::Failed)
            return stored.error();
        if (const std::optional<StoreError> error = control(QStringLiteral("rollback to ") + savepoint))
            return error;
        return insertEachAlone(rows, from, to, outcome);
    }
    if (const std::optional<StoreError> error = control(QStringLiteral("release ") + savepoint))
        return error;
    outcome.refused.insert(outcome.refused.end(), unstorable.begin(), unstorable.end());
    for (const StoredRow& row : storable) {
        if (!stored.value().contains(row.value(0)))
            outcome.skipped << row.value(0);
    }
    return std::nullopt;
}

StoreResult<QSet<QString>> SqlStore::insertManyUnlessStored(const std::vector<StoredRow>& rows)
{
    return numbersAnswered(statements::insertManyUnlessStored(rows));
}

StoreResult<QSet<QString>> SqlStore::numbersAnswered(const Statement& statement)
{
    return run<QSet<QString>>(statement, [](QSqlQuery& q) {
        QSet<QString> numbers;
        while (q.next())
            numbers.insert(textOf(q.value(0)));
        return numbers;
    });
}

std::optional<StoreError> SqlStore::insertEachAlone(
    const std::vector<StoredRow>& rows, size_t from, size_t to, InsertOutcome& outcome)
{
    const QString savepoint = QStringLiteral("savepoint copied_row");
    for (size_t i = from; i < to; ++i) {
        const StoredRow& row = rows[i];
        if (const std::optional<QString> reason = unstorableValue(row)) {
            outcome.refused.push_back({row.value(0), *reason});
            continue;
        }
        if (const std::optional<StoreError> error = control(savepoint))
            return error;
        const StoreResult<bool> inserted
            = run<bool>(statements::insertUnlessStored(row), [](QSqlQuery& q) { return q.numRowsAffected() > 0; });
        if (!inserted.ok()) {
            if (inserted.error().kind != StoreError::Kind::Failed)
                return inserted.error();
            if (const std::optional<StoreError> error = control(QStringLiteral("rollback to ") + savepoint))
                return error;
            outcome.refused.push_back({row.value(0), inserted.error().message});
            continue;
        }
        if (const std::optional<StoreError> error = control(QStringLiteral("release ") + savepoint))
            return error;
        if (!inserted.value())
            outcome.skipped << row.value(0);
    }
    return std::nullopt;
}
