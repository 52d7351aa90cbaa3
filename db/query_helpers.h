#pragma once

#include <QString>
#include <QStringList>
#include <QVariantList>

#include <optional>

class Platform;
class QSqlQuery;
class StoredSelections;

// One SQL statement as sent, with the values bound to its placeholders in order.
// Values are never pasted into the text.
struct Statement {
    QString sql;
    QVariantList values;
};

// The query helpers through which every database access of the program goes (the
// print query aside). Each runs one statement on the given query object and leaves
// it closed; database errors are reported in one wording:
//   data error:  "数据错误!" CR LF "(" statement ")" CR LF "(" engine's message ")"
//   query error: "数据查询错误!" ...
// as the program's error box (ShowBox kind 4).

// Runs the select and, on success, refills the list: an item per row, its caption
// the first column, its sub-items the other columns and `extraColumns` empty ones.
// On failure: two beeps and the data error; the list keeps its content.
void FillListView(QSqlQuery& query, StoredSelections& list, const Statement& select, int extraColumns, Platform& ui);

// Fills the given item from the first row of the select (sub-items appended to
// those it has); nothing when no row comes back. On failure: two beeps and the
// data error; the item is left as it was. True when the item was filled.
bool FillListItem(QSqlQuery& query, StoredSelections& list, int item, const Statement& select, int extraColumns,
                  Platform& ui);

// "select " fields " from " tables [" where " condition]: on a row, the fields are
// overwritten by its values (NULL reads empty) and the result is true. On failure:
// two beeps, no box, false, the fields keep the expressions. The field list is read
// up to its first empty entry after the first one.
bool SelectValues(QSqlQuery& query, const QStringList& tables, QStringList& fields, const QString& condition,
                  const QVariantList& values, Platform& ui);

// Executes a statement that returns no rows; on failure the data error, no beep.
// `rowsAffected`, when given, receives the number of rows it changed.
bool RunStatement(QSqlQuery& query, const Statement& statement, Platform& ui, int* rowsAffected = nullptr);

// Whether the select returns a row; on failure the query error is shown and the
// result is empty: the operation that asked goes no further. With `busy` given, a
// failure because another program holds the database is not shown but told there.
std::optional<bool> RecordExists(QSqlQuery& query, const Statement& select, Platform& ui, bool* busy = nullptr);

// Prepares, binds and executes a statement without any report: for the few
// statements that go around the helpers (the print query, the day's numbers).
bool executeStatement(QSqlQuery& query, const Statement& statement);
// The engine's message for the last failure of the query.
QString engineMessage(const QSqlQuery& query);
// Whether the last failure of the query was the database being held by another
// program (still, after the connection's busy timeout).
bool isBusy(const QSqlQuery& query);

// The texts of the error reports.
QString dataErrorText(const QString& statement, const QString& error);
QString queryErrorText(const QString& statement, const QString& error);
