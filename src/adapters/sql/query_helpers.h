#pragma once

#include <QString>
#include <QStringList>
#include <QVariantList>

class QSqlQuery;

// One SQL statement as sent, with the values bound to its placeholders in order.
// Values are never pasted into the text.
struct Statement {
    QString sql;
    QVariantList values;
};

// Prepares, binds and executes a statement on the query object; false when there is
// no open connection or the engine refuses it.
bool executeStatement(QSqlQuery& query, const Statement& statement);
// The engine's message for the last failure of the query.
QString engineMessage(const QSqlQuery& query);
// A value as text; NULL reads empty.
QString textOf(const QVariant& value);
// The values of the query's current row.
QStringList rowOf(const QSqlQuery& query);
// The same for rows of `columns` values, read one after the other (the query's
// record is looked at once, not for every row).
QStringList rowOf(const QSqlQuery& query, int columns);
