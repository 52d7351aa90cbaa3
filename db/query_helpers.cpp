#include "query_helpers.h"

#include "message_kinds.h"
#include "platform.h"
#include "stored_selections.h"

#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

namespace {

const QString kNoConnection = QStringLiteral("数据库未连接");

QString textOf(const QVariant& v)
{
    return v.isNull() ? QString() : v.toString();
}

QStringList rowOf(const QSqlQuery& q, int extraColumns)
{
    const int columns = q.record().count();
    QStringList values;
    values.reserve(columns + extraColumns);
    for (int c = 0; c < columns; ++c)
        values << textOf(q.value(c));
    for (int i = 0; i < extraColumns; ++i)
        values << QString();
    return values;
}

void twoBeeps(Platform& ui)
{
    ui.beep();
    ui.beep();
}

} // namespace

QString engineMessage(const QSqlQuery& q)
{
    if (!q.driver() || !q.driver()->isOpen())
        return kNoConnection;
    const QSqlError e = q.lastError();
    return e.databaseText().isEmpty() ? e.text() : e.databaseText();
}

bool isBusy(const QSqlQuery& q)
{
    constexpr int kSqliteBusy = 5;   // another connection holds the file
    constexpr int kSqliteLocked = 6; // a table held within this process
    bool ok = false;
    const int code = q.lastError().nativeErrorCode().toInt(&ok);
    // an extended code keeps its primary code in the low byte
    return ok && ((code & 0xff) == kSqliteBusy || (code & 0xff) == kSqliteLocked);
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

QString dataErrorText(const QString& statement, const QString& error)
{
    return QStringLiteral("数据错误!\r\n(%1)\r\n(%2)").arg(statement, error);
}

QString queryErrorText(const QString& statement, const QString& error)
{
    return QStringLiteral("数据查询错误!\r\n(%1)\r\n(%2)").arg(statement, error);
}

void FillListView(QSqlQuery& query, StoredSelections& list, const Statement& select, int extraColumns, Platform& ui)
{
    query.setForwardOnly(true);
    if (!executeStatement(query, select)) {
        twoBeeps(ui);
        ui.showBox(kShowBoxError, dataErrorText(select.sql, engineMessage(query)));
        query.finish();
        return;
    }
    const int columns = query.record().count();
    list.beginRefill();
    while (query.next()) {
        list.refillBeginRow();
        for (int c = 0; c < columns; ++c)
            list.refillValue(textOf(query.value(c)));
        for (int i = 0; i < extraColumns; ++i)
            list.refillValue(QString());
    }
    list.endRefill();
    query.finish();
}

bool FillListItem(QSqlQuery& query, StoredSelections& list, int item, const Statement& select, int extraColumns,
                  Platform& ui)
{
    if (!executeStatement(query, select)) {
        twoBeeps(ui);
        ui.showBox(kShowBoxError, dataErrorText(select.sql, engineMessage(query)));
        query.finish();
        return false;
    }
    const bool found = query.next();
    if (found)
        list.extend(item, rowOf(query, extraColumns));
    query.finish();
    return found;
}

bool SelectValues(QSqlQuery& query, const QStringList& tables, QStringList& fields, const QString& condition,
                  const QVariantList& values, Platform& ui)
{
    QStringList expressions;
    for (qsizetype i = 0; i < fields.size(); ++i) {
        if (i > 0 && fields[i].isEmpty())
            break;
        expressions << fields[i];
    }
    Statement s;
    s.sql = QStringLiteral("select ") + expressions.join(u',') + QStringLiteral(" from ") + tables.join(u',');
    if (!condition.isEmpty())
        s.sql += QStringLiteral(" where ") + condition;
    s.values = values;
    if (!executeStatement(query, s)) {
        twoBeeps(ui);
        query.finish();
        return false;
    }
    const bool found = query.next();
    if (found) {
        for (qsizetype i = 0; i < expressions.size(); ++i)
            fields[i] = textOf(query.value(static_cast<int>(i)));
    }
    query.finish();
    return found;
}

bool RunStatement(QSqlQuery& query, const Statement& statement, Platform& ui, int* rowsAffected)
{
    const bool ok = executeStatement(query, statement);
    if (rowsAffected)
        *rowsAffected = ok ? query.numRowsAffected() : 0;
    if (!ok)
        ui.showBox(kShowBoxError, dataErrorText(statement.sql, engineMessage(query)));
    query.finish();
    return ok;
}

std::optional<bool> RecordExists(QSqlQuery& query, const Statement& select, Platform& ui, bool* busy)
{
    if (busy)
        *busy = false;
    if (!executeStatement(query, select)) {
        if (busy && isBusy(query))
            *busy = true;
        else
            ui.showBox(kShowBoxError, queryErrorText(select.sql, engineMessage(query)));
        query.finish();
        return std::nullopt;
    }
    const bool found = query.next();
    query.finish();
    return found;
}
