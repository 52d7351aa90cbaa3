#pragma once

#include "adapters/sql/query_helpers.h"
#include "core/ports/selection_store.h"

#include <QByteArray>
#include <QSqlError>
#include <QString>

#include <optional>
#include <vector>

class QSqlDatabase;

// Sends rows to a table of the connection's server by COPY … FROM STDIN, which the
// server reads as one stream instead of a statement per row or per value: copy-db's
// many rows in a fraction of the time. Qt's driver knows no COPY, so this speaks to
// the driver's libpq connection itself, within the transaction Qt began. Values
// must hold no NUL (PostgreSQL's text cannot). The server's error when it refused
// the rows (the transaction is then aborted up to its last savepoint).
std::optional<QSqlError> copyRowsInto(
    const QSqlDatabase& db, const QString& table, const std::vector<StoredRow>& rows, int columns);
// The same in steps: the rows in COPY's text format, made while the server may
// still be busy; then sent, while the server's answer is taken later, so that the
// server stores them while the program does other work (reads the next rows). No
// other statement may go to the connection in between. The error when the copy
// could not begin, and then there is no answer to take.
QByteArray copyData(const std::vector<StoredRow>& rows, int columns);
std::optional<QSqlError> sendCopyData(const QSqlDatabase& db, const QString& table, const QByteArray& data);
// The server's answer to the rows sent: its error when it refused them.
std::optional<QSqlError> copyAnswer(const QSqlDatabase& db);

// A session's own table of the store's columns, into which many rows are copied in
// one stream before they go into the table: made where it is missing, emptied, and
// its rows stored unless their numbers are (answering those stored).
namespace copied_rows {
const QString& tableName();
Statement create();
Statement empty();
Statement insertUnlessStored();
} // namespace copied_rows
