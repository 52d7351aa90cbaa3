#include "adapters/sql/query_helpers.h"

#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

namespace {

const QString kNoConnection = QStringLiteral("数据库未连接");

} // namespace

QString textOf(const QVariant& v)
{
    return v.isNull() ? QString() : v.toString();
}

QStringList rowOf(const QSqlQuery& q)
{
    return rowOf(q, q.record().count());
}

QStringList rowOf(const QSqlQuery& q, int columns)
{
    QStringList values;
    values.reserve(columns);
    for (int c = 0; c < columns; ++c)
        values << textOf(q.value(c));
    return values;
}

QString engineMessage(const QSqlQuery& q)
{
    if (!q.driver() || !q.driver()->isOpen())
        return kNoConnection;
    const QSqlError e = q.lastError();
    return e.databaseText().isEmpty() ? e.text() : e.databaseText();
}

bool executeStatement(QSqlQuery& q, const Statement& s)
{
    q.finish();
    if (!q.driver() || !q.driver()->isOpen())
        return false;
    // The same statement again on the same query object keeps its compiled form:
    // every new window, for one, asks for the day's highest number.
    const bool prepared = q.lastQuery() == s.sql && !q.lastError().isValid();
    if (!prepared && !q.prepare(s.sql))
        return false;
    for (const QVariant& v : s.values)
        q.addBindValue(v);
    return q.exec();
}
