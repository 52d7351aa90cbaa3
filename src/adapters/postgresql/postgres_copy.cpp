#include "adapters/postgresql/postgres_copy.h"

#include "adapters/sql/statements.h"
#include "core/record/columns.h"

#include <QByteArray>
#include <QSqlDatabase>
#include <QSqlDriver>
#include <QStringEncoder>
#include <QVariant>

#include <algorithm>
#include <libpq-fe.h>

namespace {

// A value in COPY's text format: a NULL as \N, the backslash and the characters
// that end a value or a row escaped. Most values hold none of them and go as they
// are encoded, straight into the stream.
void appendValue(QByteArray& out, QStringEncoder& toUtf8, const QString& value)
{
    if (value.isNull()) {
        out += "\\N";
        return;
    }
    const qsizetype start = out.size();
    if (std::any_of(value.cbegin(), value.cend(), [](QChar c) { return c.isSurrogate(); })) {
        // as every other statement sends it: a lone surrogate as '?', where the
        // encoder would write U+FFFD
        out += value.toUtf8();
    } else {
        out.resize(start + toUtf8.requiredSpace(value.size()));
        const char* end = toUtf8.appendToBuffer(out.data() + start, value);
        out.truncate(end - out.constData());
    }
    const auto special = [](char c) { return c == '\\' || c == '\t' || c == '\n' || c == '\r'; };
    if (std::none_of(out.cbegin() + start, out.cend(), special))
        return;
    const QByteArray utf8 = out.mid(start);
    out.truncate(start);
    for (const char c : utf8) {
        switch (c) {
        case '\\': out += "\\\\"; break;
        case '\t': out += "\\t"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        default: out += c;
        }
    }
}

QSqlError errorOf(PGconn* connection, PGresult* result)
{
    const char* state = result ? PQresultErrorField(result, PG_DIAG_SQLSTATE) : nullptr;
    const char* primary = result ? PQresultErrorField(result, PG_DIAG_MESSAGE_PRIMARY) : nullptr;
    const QString message = QString::fromUtf8(primary ? primary : PQerrorMessage(connection)).trimmed();
    return QSqlError(message, message, QSqlError::StatementError, QString::fromLatin1(state ? state : ""));
}

// The result of the statement that began the copy, then that of its end: the
// first failure, or none.
std::optional<QSqlError> finish(PGconn* connection)
{
    std::optional<QSqlError> failed;
    while (PGresult* result = PQgetResult(connection)) {
        const ExecStatusType status = PQresultStatus(result);
        if (!failed && status != PGRES_COMMAND_OK && status != PGRES_COPY_IN)
            failed = errorOf(connection, result);
        PQclear(result);
    }
    return failed;
}

// The connection of Qt's driver beneath `db`, or none.
PGconn* connectionOf(const QSqlDatabase& db)
{
    const QVariant handle = db.driver() ? db.driver()->handle() : QVariant();
    // Qt's driver names the type of its handle by libpq's struct: pg_conn*
    const char* type = handle.typeName();
    if (!handle.isValid() || (qstrcmp(type, "pg_conn*") != 0 && qstrcmp(type, "PGconn*") != 0))
        return nullptr;
    return *static_cast<PGconn* const*>(handle.constData());
}

} // namespace

QByteArray copyData(const std::vector<StoredRow>& rows, int columns)
{
    QByteArray data;
    data.reserve(static_cast<qsizetype>(rows.size()) * 512);
    QStringEncoder toUtf8(QStringEncoder::Utf8, QStringConverter::Flag::Stateless);
    for (const StoredRow& row : rows) {
        for (int c = 0; c < columns; ++c) {
            if (c > 0)
                data += '\t';
            appendValue(data, toUtf8, c < row.size() ? row[c] : QString());
        }
        data += '\n';
    }
    return data;
}

std::optional<QSqlError> sendCopyData(const QSqlDatabase& db, const QString& table, const QByteArray& data)
{
    PGconn* connection = connectionOf(db);
    if (!connection)
        return QSqlError(QStringLiteral("no PostgreSQL connection"), QString(), QSqlError::ConnectionError);
    const QByteArray statement = QStringLiteral("copy %1 from stdin").arg(table).toUtf8();
    PGresult* begun = PQexec(connection, statement.constData());
    const bool copying = PQresultStatus(begun) == PGRES_COPY_IN;
    if (!copying) {
        const QSqlError error = errorOf(connection, begun);
        PQclear(begun);
        finish(connection);
        return error;
    }
    PQclear(begun);
    // rows not sent whole are refused by the server, which then answers so
    const bool sent = PQputCopyData(connection, data.constData(), static_cast<int>(data.size())) == 1;
    PQputCopyEnd(connection, sent ? nullptr : "the rows could not be sent");
    return std::nullopt;
}

std::optional<QSqlError> copyAnswer(const QSqlDatabase& db)
{
    PGconn* connection = connectionOf(db);
    if (!connection)
        return QSqlError(QStringLiteral("no PostgreSQL connection"), QString(), QSqlError::ConnectionError);
    if (std::optional<QSqlError> error = finish(connection))
        return error;
    if (PQstatus(connection) != CONNECTION_OK)
        return errorOf(connection, nullptr);
    return std::nullopt;
}

std::optional<QSqlError> copyRowsInto(
    const QSqlDatabase& db, const QString& table, const std::vector<StoredRow>& rows, int columns)
{
    if (std::optional<QSqlError> error = sendCopyData(db, table, copyData(rows, columns)))
        return error;
    return copyAnswer(db);
}

namespace copied_rows {

const QString& tableName()
{
    static const QString name = QStringLiteral("copied_rows");
    return name;
}

Statement create()
{
    // emptied by every commit, so that the rows of a transaction never outlive it
    return {QStringLiteral("create temporary table if not exists %1 (like %2) on commit delete rows")
                .arg(tableName(), kSelectionTable),
        {}};
}

Statement empty()
{
    // within a transaction a delete is cheaper than a truncate, which makes a new file
    return {QStringLiteral("delete from %1").arg(tableName()), {}};
}

Statement insertUnlessStored()
{
    const QString key = statements::quotedName(columns()[0].name);
    return {QStringLiteral("insert into %1 select * from %2 on conflict (%3) do nothing returning %3")
                .arg(kSelectionTable, tableName(), key),
        {}};
}

} // namespace copied_rows
