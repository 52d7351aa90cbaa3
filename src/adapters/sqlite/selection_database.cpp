#include "adapters/sqlite/selection_database.h"

#include "adapters/sqlite/query_helpers.h"
#include "adapters/sqlite/statements.h"
#include "core/form/selection_number.h"
#include "core/record/selection_record.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

#include <atomic>

namespace {

constexpr int kBusyTimeoutMs = 15000; // as long as the connection waits for a busy file

QString newConnectionName()
{
    static std::atomic<int> counter {0};
    return QStringLiteral("flowsel-%1").arg(++counter);
}

// CREATE TABLE with the 45 text columns in their order; the selection number is the
// key, so two programs saving the same number cannot both succeed.
QString createTableStatement()
{
    QStringList columns;
    for (const Column& c : ::columns()) {
        const QString column = QStringLiteral("\"%1\" text").arg(QString::fromUtf8(c.name));
        columns << (columns.isEmpty() ? column + QStringLiteral(" not null primary key") : column);
    }
    return QStringLiteral("create table if not exists %1 (%2)").arg(SelectionDatabase::tableName(), columns.join(u','));
}

bool isWriteProtected(const QString& path)
{
    const QFileDevice::Permissions p = QFileInfo(path).permissions();
    // the mode bits, not what the current user may do: an administrator could write anything
    return !(p & (QFileDevice::WriteOwner | QFileDevice::WriteGroup | QFileDevice::WriteOther));
}

} // namespace

SelectionDatabase::SelectionDatabase()
    : m_connectionName(newConnectionName())
{
}

SelectionDatabase::~SelectionDatabase()
{
    close();
}

const QString& SelectionDatabase::tableName()
{
    static const QString name = QStringLiteral("选型输出");
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
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_connectionName);
    db.setDatabaseName(path);
    QString options = QStringLiteral("QSQLITE_BUSY_TIMEOUT=%1").arg(kBusyTimeoutMs);
    if (m_readOnly)
        options += QStringLiteral(";QSQLITE_OPEN_READONLY");
    db.setConnectOptions(options);
    auto fail = [&](const QString& why) {
        if (error)
            *error = why;
        close();
        return Opened::Failed;
    };
    if (!db.open())
        return fail(db.lastError().text());
    // SQLite reads the file only on the first statement: make sure it is a database.
    QSqlQuery probe(db);
    if (!probe.exec(QStringLiteral("select count(*) from sqlite_master")))
        return fail(probe.lastError().databaseText());
    if (memory && !createSchema().ok())
        return fail(db.lastError().text());
    return Opened::Yes;
}

void SelectionDatabase::close()
{
    m_queries.clear(); // before the connection goes
    if (QSqlDatabase::contains(m_connectionName)) {
        {
            QSqlDatabase db = QSqlDatabase::database(m_connectionName, false);
            db.close();
        }
        QSqlDatabase::removeDatabase(m_connectionName);
    }
}

bool SelectionDatabase::isOpen() const
{
    return QSqlDatabase::contains(m_connectionName) && QSqlDatabase::database(m_connectionName, false).isOpen();
}

QSqlDatabase SelectionDatabase::connection() const
{
    if (!QSqlDatabase::contains(m_connectionName))
        return QSqlDatabase();
    return QSqlDatabase::database(m_connectionName, false);
}

bool SelectionDatabase::create(const QString& path, QString* error)
{
    if (path == memoryPath()) {
        *error = QStringLiteral("an in-memory database needs no file");
        return false;
    }
    const QFileInfo info(path);
    if (!QDir().mkpath(info.absolutePath())) {
        *error = QStringLiteral("cannot create the folder %1").arg(info.absolutePath());
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
            ok = q.exec(createTableStatement());
            if (!ok)
                *error = q.lastError().databaseText().isEmpty() ? q.lastError().text() : q.lastError().databaseText();
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
    return ok;
}

// Runs a statement on the connection; the query is handed to `read` on success,
// then let go of its result so that it holds no lock on the file.
template <typename T, typename Read>
StoreResult<T> SelectionDatabase::run(const Statement& statement, Read read)
{
    auto it = m_queries.find(statement.sql);
    if (it == m_queries.end()) {
        it = m_queries.emplace(statement.sql, QSqlQuery(connection())).first;
        it->second.setForwardOnly(true);
    }
    QSqlQuery& query = it->second;
    if (!executeStatement(query, statement)) {
        StoreError error {statement.sql, engineMessage(query)};
        query.finish();
        return error;
    }
    StoreResult<T> result = read(query);
    query.finish();
    return result;
}

StoreResult<bool> SelectionDatabase::createSchema()
{
    return run<bool>({createTableStatement(), {}}, [](QSqlQuery&) { return true; });
}

StoreResult<bool> SelectionDatabase::exists(const QString& number)
{
    const StoreResult<std::optional<StoredRow>> row = fetch(number);
    if (!row.ok())
        return row.error();
    return row.value().has_value();
}

StoreResult<bool> SelectionDatabase::insert(const StoredRow& row)
{
    return run<bool>(statements::insert(row), [](QSqlQuery&) { return true; });
}

StoreResult<std::optional<StoredRow>> SelectionDatabase::fetch(const QString& number)
{
    return run<std::optional<StoredRow>>(statements::fetch(number),
                                         [](QSqlQuery& q) -> std::optional<StoredRow> {
                                             if (!q.next())
                                                 return std::nullopt;
                                             return rowOf(q);
                                         });
}

StoreResult<bool> SelectionDatabase::remove(const QString& number)
{
    return run<bool>(statements::remove(number), [](QSqlQuery&) { return true; });
}

StoreResult<std::vector<StoredRow>> SelectionDatabase::readPage(int offset, int limit)
{
    return run<std::vector<StoredRow>>(statements::listPage(offset, limit), [](QSqlQuery& q) {
        std::vector<StoredRow> rows;
        while (q.next())
            rows.push_back(rowOf(q));
        return rows;
    });
}

StoreResult<int> SelectionDatabase::highestSequenceOfDay(const QString& day)
{
    return run<int>(statements::highestOfDay(day), [](QSqlQuery& q) {
        if (!q.next())
            return 0;
        bool ok = false;
        const int sequence = textOf(q.value(0)).mid(kDayDigits, kSequenceDigits).toInt(&ok);
        return ok ? sequence : 0;
    });
}

StoreResult<QStringList> SelectionDatabase::numbersOfDay(const QString& day)
{
    return run<QStringList>(statements::numbersOfDay(day), [](QSqlQuery& q) {
        QStringList numbers;
        while (q.next())
            numbers << textOf(q.value(0));
        return numbers;
    });
}

StoreResult<std::optional<PrintRow>> SelectionDatabase::fetchPrintRow(const QString& number)
{
    return run<std::optional<PrintRow>>(statements::print(number),
                                        [](QSqlQuery& q) -> std::optional<PrintRow> {
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
