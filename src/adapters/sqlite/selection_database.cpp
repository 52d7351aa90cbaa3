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

#include <algorithm>
#include <atomic>
#include <vector>

namespace {

// As long as the connection waits for a file that another program holds: long
// enough for another program's save, short enough that a held file is told soon.
constexpr int kBusyTimeoutMs = 2500;

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

// What is wrong with the table of stored selections in this database, or empty when
// it has the program's shape: the 45 columns with their names in their order, each
// of text affinity (so that "1.0" stays "1.0"), and the selection number alone as
// the primary key (so that two programs cannot store one number twice). Only read.
QString tableShapeProblem(const QSqlDatabase& db)
{
    const QString table = SelectionDatabase::tableName();
    QSqlQuery q(db);
    if (!q.exec(QStringLiteral("pragma table_info(\"%1\")").arg(table)))
        return q.lastError().databaseText().isEmpty() ? q.lastError().text() : q.lastError().databaseText();
    struct TableColumn {
        QString name;
        QString type;
        int key;
    };
    std::vector<TableColumn> found;
    while (q.next())
        found.push_back({q.value(1).toString(), q.value(2).toString(), q.value(5).toInt()});
    q.finish();
    if (found.empty())
        return QStringLiteral("数据库中没有%1表").arg(table);
    const auto wrong = [&](const QString& what) {
        return QStringLiteral("%1表的结构与本程序不符（%2），本程序不使用也不修改此表").arg(table, what);
    };
    if (found.size() != static_cast<size_t>(kColumnCount))
        return wrong(QStringLiteral("有%1列，应为%2列").arg(found.size()).arg(kColumnCount));
    for (size_t i = 0; i < found.size(); ++i) {
        const QString name = QString::fromUtf8(::columns()[i].name);
        // SQLite's names ignore the case of Latin letters
        if (found[i].name.compare(name, Qt::CaseInsensitive) != 0)
            return wrong(QStringLiteral("第%1列为“%2”，应为“%3”").arg(i + 1).arg(found[i].name, name));
        const QString affinity = affinityOf(found[i].type);
        if (affinity != u"TEXT")
            return wrong(QStringLiteral("“%1”列为%2型，应为文本型（TEXT）").arg(name, affinity));
        if ((found[i].key != 0) != (i == 0))
            return wrong(QStringLiteral("主键应为“%1”一列").arg(QString::fromUtf8(::columns()[0].name)));
    }
    return QString();
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
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_connectionName);
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
        if (!create.exec(createTableStatement()))
            return create.lastError().text();
    }
    return tableShapeProblem(db);
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
            q.finish();
            // a table that was there is checked, never altered
            if (ok) {
                *error = tableShapeProblem(db);
                ok = error->isEmpty();
            }
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
        StoreError error {statement.sql, engineMessage(query),
                          isBusy(query) ? StoreError::Kind::Busy : StoreError::Kind::Failed};
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
    return run<bool>(statements::exists(number), [](QSqlQuery& q) { return q.next(); });
}

StoreResult<bool> SelectionDatabase::insert(const StoredRow& row)
{
    StoreResult<bool> inserted = run<bool>(statements::insert(row), [](QSqlQuery&) { return true; });
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
    return run<bool>(statements::remove(number), [](QSqlQuery& q) { return q.numRowsAffected() > 0; });
}

StoreResult<std::vector<StoredRow>> SelectionDatabase::readPage(const ListQuery& query, int limit)
{
    return run<std::vector<StoredRow>>(statements::listPage(query, limit), [limit](QSqlQuery& q) {
        std::vector<StoredRow> rows;
        rows.reserve(static_cast<size_t>(std::max(limit, 0)));
        const int columns = q.record().count();
        while (q.next())
            rows.push_back(rowOf(q, columns));
        return rows;
    });
}

StoreResult<bool> SelectionDatabase::holds(const ListQuery& query, const QString& number)
{
    return run<bool>(statements::listHolds(query, number), [](QSqlQuery& q) { return q.next(); });
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
