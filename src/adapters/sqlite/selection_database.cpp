#include "adapters/sqlite/selection_database.h"

#include "core/record/selection_record.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>

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
    for (const char* name : columnNames()) {
        const QString column = QStringLiteral("\"%1\" text").arg(QString::fromUtf8(name));
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
    if (memory && !QSqlQuery(db).exec(createTableStatement()))
        return fail(db.lastError().text());
    return Opened::Yes;
}

void SelectionDatabase::close()
{
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
